#include "commands/RowColumnCommands.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velkaro {

namespace {

// Rows 0..10000 and columns 0..168 are what these commands move; the ten spare rows below
// stay as they are.
constexpr int MovedRows = LastSelectableRow + 1;
constexpr int MovedCols = GridCols;
// Column edits reach every step of the largest show, but not row 10000 past it.
constexpr int ColumnEditRows = MaxSteps;

void CopyCells(TColor* to, const TColor* from, int count) {
    if (count > 0) std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(TColor));
}

// The rows a column edit can change: a row that is black stays black when its cells move.
int RowsWithColours(const Grid& cells) {
    return std::min(cells.UsedRows(), ColumnEditRows);
}

int CutSteps(int steps) {
    return std::clamp(steps, MinSteps, MaxSteps);
}

// The rows that change Steps: every selected row, also those that the move buttons pushed past
// row 10000, where no row moves; a first row after the last counts none. Past 10001 rows the
// count changes Steps no further, so it stops there.
int CountedRows(const Selection& sel) {
    const long long rows = static_cast<long long>(sel.SelRow2) - std::max(sel.SelRow1, 0) + 1;
    return static_cast<int>(std::clamp<long long>(rows, 0, LastSelectableRow + 1));
}

void MirrorRowsLeftToRight(Grid& cells, const Grid& work, int outputs, int steps) {
    for (int r = 0; r < steps; ++r) std::reverse_copy(work[r], work[r] + outputs, cells[r]);
}

void MirrorRowsTopToBottom(Grid& cells, const Grid& work, int outputs, int steps) {
    for (int r = 0; r < steps; ++r) CopyCells(cells[r], work[steps - 1 - r], outputs);
}

} // namespace

void MirrorShow(Grid& cells, Grid& workGrid, int outputs, int steps, bool vertical) {
    const int n = std::clamp(outputs, 0, MaxOutputs);
    const int s = std::clamp(steps, 0, MaxSteps);
    CopyGridRows(workGrid, 0, cells, 0, s);
    if (vertical)
        MirrorRowsTopToBottom(cells, workGrid, n, s);
    else
        MirrorRowsLeftToRight(cells, workGrid, n, s);
}

CommandResult DeleteRows(Grid& cells, Grid& workGrid, const Selection& sel, int steps) {
    const Span rows = SelectedRows(sel);
    if (!rows.Empty() && rows.Last < LastSelectableRow) {
        // Rows First..10000-d receive rows First+d..10000.
        const int d = rows.Count();
        const int moved = MovedRows - rows.First - d;
        CopyGridRows(workGrid, rows.First, cells, rows.First, MovedRows - rows.First);
        CopyGridRows(cells, rows.First, workGrid, rows.First + d, moved);
    }
    CommandResult result;
    result.Steps = CutSteps(steps - CountedRows(sel));
    result.EndSelection = true;
    return result;
}

CommandResult DuplicateRows(Grid& cells, Grid& workGrid, const Selection& sel, int steps) {
    const Span rows = SelectedRows(sel);
    if (!rows.Empty() && rows.Last < LastSelectableRow) {
        // Rows First+d..10000 receive rows First..10000-d; the copy follows the selection.
        const int d = rows.Count();
        const int moved = MovedRows - rows.First - d;
        CopyGridRows(workGrid, rows.First, cells, rows.First, moved);
        CopyGridRows(cells, rows.First + d, workGrid, rows.First, moved);
    }
    CommandResult result;
    result.Steps = CutSteps(steps + CountedRows(sel));
    result.EndSelection = true;
    return result;
}

CommandResult DeleteColumns(Grid& cells, Grid& workGrid, const Selection& sel) {
    const Span cols = SelectedCols(sel);
    const int w = cols.Count();
    if (w > 0 && cols.Last < LastSelectableCol) {
        // Columns First..168-w receive columns First+w..168 in every step row.
        const int moved = MovedCols - cols.First - w;
        CopyGridRows(workGrid, 0, cells, 0, ColumnEditRows);
        const int rows = RowsWithColours(cells);
        for (int r = 0; r < rows; ++r)
            CopyCells(cells[r] + cols.First, std::as_const(workGrid)[r] + cols.First + w, moved);
    }
    CommandResult result;
    result.EndSelection = true;
    return result;
}

CommandResult DuplicateColumns(Grid& cells, Grid& workGrid, const Selection& sel) {
    const Span cols = SelectedCols(sel);
    const int w = cols.Count();
    if (w > 0 && cols.Last < LastSelectableCol) {
        // Columns First+w..168 receive columns First..168-w in every step row.
        const int moved = MovedCols - cols.First - w;
        CopyGridRows(workGrid, 0, cells, 0, ColumnEditRows);
        const int rows = RowsWithColours(cells);
        for (int r = 0; r < rows; ++r)
            CopyCells(cells[r] + cols.First + w, std::as_const(workGrid)[r] + cols.First, moved);
    }
    CommandResult result;
    result.EndSelection = true;
    return result;
}

} // namespace velkaro
