// Painting, picking and selecting with the mouse on the grid, and the docked palette.
#include "ui/Unit1.h"

#include "commands/FillBlock.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"
#include "ui/controls/UpDown.h"
#include "ui/upalette.h"

namespace velkaro {

namespace {

constexpr int PickSlot = 31; // the swatch that takes a picked colour no swatch holds yet

// The lowest of the 32 shown swatches that holds the colour; otherwise the colour replaces
// swatch 31. The spare slot 32 is never searched.
int FindOrMakeSwatch(std::array<TColor, 33>& palette, TColor colour) {
    for (int slot = 0; slot < TFPalette::ShownSwatches; ++slot)
        if (palette[static_cast<std::size_t>(slot)] == colour) return slot;
    palette[PickSlot] = colour;
    return PickSlot;
}

} // namespace

void TFVelkaro::ConnectPaletteAndMouse() {
    pb->OnMouseDown = [this](Qt::MouseButton button, int x, int y) { pbMouseDown(button, x, y); };
    pb->OnMouseUp = [this](Qt::MouseButton button, int x, int y) { pbMouseUp(button, x, y); };
    Panel9->OnClick = [this] { Panel9Click(); };
}

void TFVelkaro::pbMouseDown(Qt::MouseButton button, int x, int y) {
    // The press cell stays in CurCol, CurRow until the release: the mouse-move handler restores it.
    CellAt(x, y);
    if (button == Qt::RightButton) {
        PickCell(CurCol, CurRow);
        PickActive = true;
    } else if (button == Qt::LeftButton || button == Qt::MiddleButton) {
        PickActive = false;
    }
    PaintGrid();
}

void TFVelkaro::pbMouseUp(Qt::MouseButton button, int x, int y) {
    if (SkipMouseUp) {
        // The release that ends a file dialog's click must not edit the grid.
        SkipMouseUp = false;
        return;
    }
    const int pressCol = CurCol;
    const int pressRow = CurRow;
    if (button == Qt::MiddleButton) {
        Undo();
    } else if (button == Qt::RightButton) {
        // No snapshot and no repaint; the sliders now recolour the release cell.
        CellAt(x, y);
        const bool block = CurCol != pressCol || CurRow != pressRow;
        SetSelection(block, pressCol, pressRow, CurCol, CurRow);
    } else if (button == Qt::LeftButton) {
        EndSelection();
        PushUndo();
        CellAt(x, y);
        if (Steps() < CurRow + 1) {
            // Painting on or below the end of the show lengthens it to the release row.
            setWindowTitle(QString("%1   %2").arg(CurCol).arg(CurRow));
            udlz->SetPosition(std::min(CurRow + 1, MaxSteps));
        }
        const TColor colour = Palette[static_cast<std::size_t>(SelectedSwatch)];
        FillBlock(Cells, pressCol, pressRow, CurCol, CurRow, colour);
        PaintGrid();
    }
}

void TFVelkaro::PickCell(int col, int row) {
    if (FPalette->isHidden()) FPalette->show();
    SelectedSwatch = FindOrMakeSwatch(Palette, Cells[row][col]);
    FPalette->LoadSliders();
    FPalette->pp->Repaint();
}

void TFVelkaro::Panel9Click() {
    EndSelection();
}

} // namespace velkaro
