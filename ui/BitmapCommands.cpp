#include "ui/BitmapCommands.h"

#include "ui/ErrorHandling.h"
#include "ui/FileDialogs.h"
#include "ui/GridView.h"
#include "ui/PicturePreview.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"

#include <QFileDialog>

namespace velkaro {

namespace {

// A picture dialog: one filter, BMP added to a name typed without an extension, and a preview
// of the selected picture.
QFileDialog* NewPictureDialog(QWidget* parent, const QString& name, const QString& filterName,
                              QFileDialog::AcceptMode mode) {
    QFileDialog* dialog = NewFileDialog(parent, name, mode, {filterName + " (*.BMP)"});
    AddPicturePreview(dialog);
    return dialog;
}

} // namespace

BitmapCommands::BitmapCommands(QWidget* window, ShowState& show, SettingsControls& settings,
                               GridView& view, UndoHistory& undo)
    : QObject(window), window_(window), show_(show), settings_(settings), view_(view), undo_(undo) {
}

void BitmapCommands::ImportBitmapFile() {
    RunGuarded(window_, [this] {
        // The snapshot comes first, so even a cancelled import can be undone to this point.
        undo_.PushUndo();
        show_.IgnoreNextGridRelease = true;
        if (!importBitmapDialog_)
            importBitmapDialog_ =
                NewPictureDialog(window_, "importBitmapDialog", "Bitmap", QFileDialog::AcceptOpen);
        const QString path = ChooseFile(importBitmapDialog_);
        if (path.isEmpty()) return;
        // A failed load leaves the picture and the show as they were.
        LoadBitmapFile(LocalPath(path), lastPicture_);
        const PictureSize size = ImportedSize(lastPicture_);
        // Written as text, so the fields' own rules refuse the 0 of an empty picture.
        settings_.TypeOutputs(size.Width);
        settings_.TypeSteps(size.Height);
        ImportBitmap(lastPicture_, show_.Cells);
        view_.PaintGrid();
    });
}

void BitmapCommands::ExportBitmapFile() {
    RunGuarded(window_, [this] {
        show_.IgnoreNextGridRelease = true;
        if (!exportBitmapDialog_)
            exportBitmapDialog_ =
                NewPictureDialog(window_, "exportBitmapDialog", "BITMAP", QFileDialog::AcceptSave);
        const QString path = ChooseFile(exportBitmapDialog_);
        if (path.isEmpty()) return;
        ExportBitmap(show_.Cells, settings_.Outputs(), settings_.Steps(), lastPicture_);
        SaveBitmapFile(LocalPath(path), lastPicture_);
    });
}

} // namespace velkaro
