#pragma once

#include "files/Bitmap.h"

#include <QObject>

class QFileDialog;
class QWidget;

namespace velkaro {

class GridView;
class SettingsControls;
class UndoHistory;
struct ShowState;

// Bitmap import and export: a picture whose pixel column x is output x and pixel row y step y.
// The picture dialogs are made on first use; each then keeps the folder it was left in.
class BitmapCommands : public QObject {
    Q_OBJECT
public:
    BitmapCommands(QWidget* window, ShowState& show, SettingsControls& settings, GridView& view,
                   UndoHistory& undo);

    void ImportBitmapFile();
    void ExportBitmapFile();

    // The last imported or exported picture.
    const BitmapPicture& LastPicture() const { return lastPicture_; }

private:
    QWidget* window_;
    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    UndoHistory& undo_;
    QFileDialog* importBitmapDialog_ = nullptr;
    QFileDialog* exportBitmapDialog_ = nullptr;
    BitmapPicture lastPicture_;
};

} // namespace velkaro
