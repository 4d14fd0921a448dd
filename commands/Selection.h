#pragma once

#include "model/Grid.h"

#include <algorithm>

namespace velkaro {

// The block selected with a right drag. All bounds are inclusive; a mouse selection lies in
// columns 0..168 and rows 0..10000 with each first bound not above its last. The block
// commands move and resize it, so it can also end up empty (a first bound past its last) or
// partly beyond the grid after a block has been pushed over an edge.
struct Selection {
    bool SelActive = false;
    int SelCol1 = 0;
    int SelCol2 = 0;
    int SelRow1 = 0;
    int SelRow2 = 0;

    bool operator==(const Selection&) const = default;
};

// The last column and row a selection can reach: the spare column past the widest show and
// the row past the longest one.
constexpr int LastSelectableCol = LastCol;  // 168
constexpr int LastSelectableRow = MaxSteps; // 10000

// A paste never writes past the last output and step of the largest show.
constexpr int LastPasteCol = MaxOutputs - 1; // 167
constexpr int LastPasteRow = MaxSteps - 1;   // 9999

// An inclusive range of columns or rows; empty when Last < First.
struct Span {
    int First = 0;
    int Last = -1;

    constexpr bool Empty() const { return Last < First; }
    constexpr int Count() const { return Empty() ? 0 : Last - First + 1; }
};

// The part of first..last that lies within 0..limit. Every command reads and writes only
// through such cut ranges, so no selection, however far it was pushed, reaches outside a grid.
constexpr Span CutSpan(int first, int last, int limit) {
    return {std::max(first, 0), std::min(last, limit)};
}

constexpr Span SelectedCols(const Selection& sel) {
    return CutSpan(sel.SelCol1, sel.SelCol2, LastSelectableCol);
}

constexpr Span SelectedRows(const Selection& sel) {
    return CutSpan(sel.SelRow1, sel.SelRow2, LastSelectableRow);
}

} // namespace velkaro
