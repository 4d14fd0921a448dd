#pragma once

#include "model/Color.h"

#include <QWidget>

class QLabel;
class QScrollBar;

namespace velkaro {

class GridView;
class Panel;
class PaintBox;
struct ShowState;

// The palette: the strip of 32 swatches and the red, green and blue sliders that mix the
// selected one. The swatches belong to the show state; this window only shows and edits them.
// It starts as a hidden tool window of the main window and is docked into it on activation.
class PaletteWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* Caption = "Farb Palette";
    static constexpr int ShownSwatches = 32;
    static constexpr int SpareSwatch = 32;

    PaletteWindow(QWidget* owner, ShowState& show, GridView& view);

    // Single-colour mode: only the red slider, the grey set in slots 0..7, squares drawn grey.
    void SetMono(bool mono);
    // Shows the selected swatch on the sliders without writing it back.
    void LoadSliders();
    // Writes the slider values into their labels and, while in sync, into the swatch.
    void SlidersMoved();
    // Chooses the swatch that holds the colour, or puts it into swatch 31.
    void PickColour(TColor colour);
    // Makes the docked palette fill the given panel, without a border, and shows it.
    void DockInto(QWidget* host);
    // The side of one swatch square in the strip as it is now; 0 when the strip is too narrow.
    int SwatchSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildLayout();
    void PaintSwatches();
    void SwatchClicked(int x);
    void DrawSwatch(int slot, int size);

    ShowState& show_;
    GridView& view_;
    bool singleColour_ = false;
    PaintBox* swatchStrip_ = nullptr;
    Panel* redSliderPanel_ = nullptr;
    Panel* greenSliderPanel_ = nullptr;
    Panel* blueSliderPanel_ = nullptr;
    QScrollBar* redSlider_ = nullptr;
    QScrollBar* greenSlider_ = nullptr;
    QScrollBar* blueSlider_ = nullptr;
    QLabel* redValueLabel_ = nullptr;
    QLabel* greenValueLabel_ = nullptr;
    QLabel* blueValueLabel_ = nullptr;
};

} // namespace velkaro
