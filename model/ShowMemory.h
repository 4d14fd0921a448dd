#pragma once

#include "model/Grid.h"
#include "model/UndoRing.h"

#include <memory>

namespace velkaro {

// Every grid the editor needs, reserved once as address space when the main window is created:
// the show, the ten undo snapshots, two work copies and the block buffer. No edit allocates;
// a grid's pages become memory as its rows are first written.
struct ShowMemory {
    std::unique_ptr<Grid> Cells = NewGrid();
    std::unique_ptr<Grid> WorkGrid = NewGrid();
    std::unique_ptr<Grid> SelWorkGrid = NewGrid();
    std::unique_ptr<Grid> ClipBlock = NewGrid();
    int ClipWidth = 0;
    int ClipHeight = 0;
    UndoRing Undo;
};

} // namespace velkaro
