#pragma once

#include <Qt>

class QWidget;

namespace velkaro {

class GridView;
class PaletteWindow;
class SettingsControls;
class UndoHistory;
struct ShowState;

// What the mouse does on the grid: the left button paints a cell or a rectangle, the middle
// button undoes, the right button picks a colour and marks a block.
class GridMouseEditing {
public:
    GridMouseEditing(QWidget* window, ShowState& show, SettingsControls& settings, GridView& view,
                     UndoHistory& undo, PaletteWindow& palette);

private:
    void Pressed(Qt::MouseButton button, int x, int y);
    void Released(Qt::MouseButton button, int x, int y);
    void Paint(int pressCol, int pressRow, int x, int y);

    QWidget* window_;
    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    UndoHistory& undo_;
    PaletteWindow& palette_;
};

} // namespace velkaro
