#pragma once

#include "commands/CommandResult.h"
#include "commands/Selection.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"

namespace velkaro {

// Whole-show and whole-row/column restructuring. Each operation first copies what it reads
// from `cells` into `workGrid` and then writes `cells` from there, so no source cell is
// overwritten before it is read. Rows move over 0..10000 and columns over 0..168; the cells
// beyond those limits are never touched.

// Mirrors the show area (rows 0..steps-1, columns 0..outputs-1) left-to-right, or
// top-to-bottom when `vertical`. Cells outside the show keep their colours.
void MirrorShow(Grid& cells, Grid& workGrid, int outputs, int steps, bool vertical);

// Removes the selected rows (whole rows, whatever columns are selected); the rows below
// move up and the last rows keep what they held. A selection reaching row 10000 moves
// nothing. Steps shrinks by the number of selected rows, also those beyond the show or pushed
// past row 10000.
// Result: Steps, EndSelection.
CommandResult DeleteRows(Grid& cells, Grid& workGrid, const Selection& sel, int steps);

// Inserts a copy of the selected rows right after them; the rows below move down and those
// pushed past row 10000 are lost. Result: Steps (grown by the selected rows, counted as for
// DeleteRows, at most 10000), EndSelection.
CommandResult DuplicateRows(Grid& cells, Grid& workGrid, const Selection& sel, int steps);

// Removes the selected columns in rows 0..9999; the columns to their right move left and
// the last columns keep what they held. Outputs does not change. Result: EndSelection.
CommandResult DeleteColumns(Grid& cells, Grid& workGrid, const Selection& sel);

// Inserts a copy of the selected columns right after them in rows 0..9999; columns pushed
// past column 168 are lost. Outputs does not change. Result: EndSelection.
CommandResult DuplicateColumns(Grid& cells, Grid& workGrid, const Selection& sel);

} // namespace velkaro
