// Painting, picking and selecting with the mouse on the grid.
#include "ui/GridMouseEditing.h"

#include "commands/FillBlock.h"
#include "ui/GridView.h"
#include "ui/PaletteWindow.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace velkaro {

namespace {

// The grid has a use for three buttons. Others (the back and forward buttons) leave the picked
// cell, the pick mode and a release waiting to be ignored exactly as they were.
bool ActsOnTheGrid(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::MiddleButton || button == Qt::RightButton;
}

} // namespace

GridMouseEditing::GridMouseEditing(QWidget* window, ShowState& show, SettingsControls& settings,
                                   GridView& view, UndoHistory& undo, PaletteWindow& palette)
    : window_(window), show_(show), settings_(settings), view_(view), undo_(undo),
      palette_(palette) {
    view_.SetMouseHandlers(
        [this](Qt::MouseButton button, int x, int y) { Pressed(button, x, y); },
        [this](Qt::MouseButton button, int x, int y) { Released(button, x, y); });
}

void GridMouseEditing::Pressed(Qt::MouseButton button, int x, int y) {
    if (!ActsOnTheGrid(button)) return;
    // The press cell stays in CurCol, CurRow until the release.
    view_.CellAt(x, y);
    if (button == Qt::RightButton) {
        palette_.PickColour(std::as_const(show_.Cells)[show_.CurRow][show_.CurCol]);
        show_.PickActive = true;
    } else {
        show_.PickActive = false;
    }
    view_.PaintGrid();
}

void GridMouseEditing::Released(Qt::MouseButton button, int x, int y) {
    if (!ActsOnTheGrid(button)) return;
    if (show_.IgnoreNextGridRelease) {
        show_.IgnoreNextGridRelease = false;
        return;
    }
    const int pressCol = show_.CurCol;
    const int pressRow = show_.CurRow;
    if (button == Qt::MiddleButton) {
        undo_.Undo();
    } else if (button == Qt::RightButton) {
        // No snapshot and no repaint; the sliders now recolour the release cell.
        view_.CellAt(x, y);
        const bool block = show_.CurCol != pressCol || show_.CurRow != pressRow;
        view_.SetSelection(block, pressCol, pressRow, show_.CurCol, show_.CurRow);
    } else {
        Paint(pressCol, pressRow, x, y);
    }
}

void GridMouseEditing::Paint(int pressCol, int pressRow, int x, int y) {
    view_.EndSelection();
    undo_.PushUndo();
    view_.CellAt(x, y);
    if (settings_.Steps() < show_.CurRow + 1) {
        // Painting on or below the end of the show lengthens it to the release row.
        window_->setWindowTitle(QString("%1   %2").arg(show_.CurCol).arg(show_.CurRow));
        settings_.SetSteps(std::min(show_.CurRow + 1, MaxSteps));
    }
    const TColor colour = show_.Palette[static_cast<std::size_t>(show_.SelectedSwatch)];
    FillBlock(show_.Cells, pressCol, pressRow, show_.CurCol, show_.CurRow, colour);
    view_.PaintGrid();
}

} // namespace velkaro
