#pragma once

#include "model/Color.h"

#include <QWidget>

class QLabel;
class QScrollBar;

namespace velkaro {

class Panel;
class PaintBox;
class TFVelkaro;

// The palette window: the strip of 32 swatches and the red, green and blue sliders that mix the
// selected one. The swatches themselves belong to the main window's show state; this window only
// shows and edits them. It starts as a hidden tool window and is docked into the main window.
class TFPalette : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* Caption = "Farb Palette";
    static constexpr int ShownSwatches = 32;
    static constexpr int SpareSwatch = 32;

    explicit TFPalette(TFVelkaro& owner);

    // Single-colour mode: only the red slider, the grey set in slots 0..7, squares drawn grey.
    void SetMono(bool mono);
    // Shows the selected swatch on the sliders without writing it back.
    void LoadSliders();
    void ppPaint();
    void ppMouseDown(int x);
    void sbrChange();
    // Makes the docked palette fill the given panel, without a border, and shows it.
    void DockInto(QWidget* host);
    // The side of one swatch square in the strip as it is now; 0 when the strip is too narrow.
    int SwatchSize() const;

    bool MonoFlag = false;

    Panel* Panel4 = nullptr;
    PaintBox* pp = nullptr;
    Panel* Panel5 = nullptr;
    Panel* Panel8 = nullptr;
    QScrollBar* sbr = nullptr;
    QLabel* LR = nullptr;
    Panel* Panel6 = nullptr;
    QScrollBar* sbg = nullptr;
    QLabel* LG = nullptr;
    Panel* panelx = nullptr;
    QScrollBar* sbb = nullptr;
    QLabel* LB = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildLayout();
    void FormPaint();
    void DrawSwatch(int slot, int size);

    TFVelkaro& owner_;
};

} // namespace velkaro
