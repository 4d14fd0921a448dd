#include "commands/BlockCommands.h"

#include <algorithm>
#include <cstring>

namespace velkaro {

namespace {

void CopyCells(TColor* to, const TColor* from, int count) {
    if (count > 0) std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(TColor));
}

// A move towards the left or top edge stops at 0 by keeping the far bound where it was, so
// the block is pasted onto itself there.
void MoveBounds(int& first, int& last, int delta) {
    first += delta;
    if (first < 0)
        first = 0;
    else
        last += delta;
}

} // namespace

void CopyBlock(const Grid& cells, const Selection& sel, BlockBuffer clip) {
    if (!sel.SelActive) {
        clip.ClipWidth = 0;
        clip.ClipHeight = 0;
        return;
    }
    // A block pushed partly or wholly past an edge copies only what is left inside the grid.
    const Span cols = SelectedCols(sel);
    const Span rows = SelectedRows(sel);
    clip.ClipWidth = cols.Count();
    clip.ClipHeight = rows.Count();
    for (int j = 0; j < clip.ClipHeight; ++j)
        CopyCells(clip.ClipBlock[j], cells[rows.First + j] + cols.First, clip.ClipWidth);
}

Selection PasteBlock(Grid& cells, const Selection& sel, BlockBuffer clip) {
    if (clip.ClipWidth <= 0) return sel;
    Selection pasted = sel;
    pasted.SelCol2 = std::min(sel.SelCol1 + clip.ClipWidth - 1, LastPasteCol);
    pasted.SelRow2 = std::min(sel.SelRow1 + clip.ClipHeight - 1, LastPasteRow);
    const Span cols = CutSpan(pasted.SelCol1, pasted.SelCol2, LastPasteCol);
    const Span rows = CutSpan(pasted.SelRow1, pasted.SelRow2, LastPasteRow);
    if (cols.Empty()) return pasted;
    const int fromCol = cols.First - sel.SelCol1;
    for (int r = rows.First; r <= rows.Last; ++r)
        CopyCells(cells[r] + cols.First, clip.ClipBlock[r - sel.SelRow1] + fromCol, cols.Count());
    return pasted;
}

Selection MoveBlock(Grid& cells, const Selection& sel, BlockBuffer clip, int dx, int dy) {
    CopyBlock(cells, sel, clip);
    Selection moved = sel;
    MoveBounds(moved.SelCol1, moved.SelCol2, dx);
    MoveBounds(moved.SelRow1, moved.SelRow2, dy);
    return PasteBlock(cells, moved, clip);
}

bool TrimToBlockRefused(BlockBuffer clip) {
    return clip.ClipHeight <= 0;
}

CommandResult TrimToBlock(Grid& cells, BlockBuffer clip) {
    const int width = std::clamp(clip.ClipWidth, 0, GridCols);
    const int height = std::clamp(clip.ClipHeight, 0, GridRows);
    for (int j = 0; j < height; ++j) CopyCells(cells[j], clip.ClipBlock[j], width);
    CommandResult result;
    result.Outputs = std::clamp(width, MinOutputs, MaxOutputs);
    result.Steps = std::clamp(height, MinSteps, MaxSteps);
    result.EndSelection = true;
    return result;
}

void MirrorBlock(Grid& cells, Grid& selWorkGrid, const Selection& sel, bool vertical) {
    const Span cols = SelectedCols(sel);
    const Span rows = SelectedRows(sel);
    if (cols.Empty() || rows.Empty()) return;
    // The block's rows are one contiguous run of memory, so one copy saves them all.
    CopyGridRows(selWorkGrid, rows.First, cells, rows.First, rows.Count());
    for (int r = rows.First; r <= rows.Last; ++r) {
        TColor* to = cells[r] + cols.First;
        if (vertical)
            CopyCells(to, selWorkGrid[rows.First + rows.Last - r] + cols.First, cols.Count());
        else
            std::reverse_copy(selWorkGrid[r] + cols.First, selWorkGrid[r] + cols.Last + 1, to);
    }
}

bool FadeBlockVerticalRefused(const Selection& sel) {
    const Span rows = SelectedRows(sel);
    return rows.Last - rows.First < 2;
}

void FadeBlockVertical(Grid& cells, const Selection& sel) {
    if (FadeBlockVerticalRefused(sel)) return;
    const Span cols = SelectedCols(sel);
    const Span rows = SelectedRows(sel);
    const int a = rows.Last - rows.First;
    // The first and last rows are never written, so they can be read while the rows
    // between them are.
    const TColor* from = cells[rows.First];
    const TColor* to = cells[rows.Last];
    for (int i = 1; i < a; ++i) {
        const double t = static_cast<double>(i) / a;
        TColor* row = cells[rows.First + i];
        for (int c = cols.First; c <= cols.Last; ++c) row[c] = BlendColor(from[c], to[c], t);
    }
}

Selection PasteBlockBeside(Grid& cells, const Selection& sel, BlockBuffer clip, bool below) {
    CopyBlock(cells, sel, clip);
    Selection beside = sel;
    if (below) {
        const int height = sel.SelRow2 - sel.SelRow1 + 1;
        beside.SelRow1 += height;
        beside.SelRow2 += height;
    } else {
        const int width = sel.SelCol2 - sel.SelCol1 + 1;
        beside.SelCol1 += width;
        beside.SelCol2 += width;
    }
    return PasteBlock(cells, beside, clip);
}

CommandResult MirroredCopyRightSettings(int outputs, const Selection& copy) {
    CommandResult result;
    if (outputs < copy.SelCol2) result.Outputs = std::clamp(copy.SelCol2, MinOutputs, MaxOutputs);
    return result;
}

CommandResult MirroredCopyDownSettings(int steps, const Selection& copy) {
    CommandResult result;
    if (steps < copy.SelRow2) result.Steps = std::clamp(copy.SelRow2, MinSteps, MaxSteps);
    return result;
}

namespace {

Selection PasteAndMirror(Grid& cells, const Selection& sel, BlockBuffer clip, bool below,
                         const MirroredCopySteps& window) {
    // The snapshot may come before the copy: copying touches neither the cells nor the
    // settings a snapshot holds.
    window.PushUndo();
    const Selection copy = PasteBlockBeside(cells, sel, clip, below);
    window.ClickMirrorButton(copy);
    return copy;
}

} // namespace

CommandResult MirrorBlockRight(Grid& cells, const Selection& sel, BlockBuffer clip, int outputs,
                               const MirroredCopySteps& window) {
    const Selection copy = PasteAndMirror(cells, sel, clip, false, window);
    CommandResult result = MirroredCopyRightSettings(outputs, copy);
    result.NewSelection = copy;
    return result;
}

CommandResult MirrorBlockDown(Grid& cells, const Selection& sel, BlockBuffer clip, int steps,
                              const MirroredCopySteps& window) {
    const Selection copy = PasteAndMirror(cells, sel, clip, true, window);
    CommandResult result = MirroredCopyDownSettings(steps, copy);
    result.NewSelection = copy;
    return result;
}

} // namespace velkaro
