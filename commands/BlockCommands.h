#pragma once

#include "commands/CommandResult.h"
#include "commands/Selection.h"
#include "model/Grid.h"
#include "model/ShowMemory.h"
#include "model/ShowSettings.h"

#include <functional>

namespace velkaro {

// The block buffer: a copied block of ClipWidth x ClipHeight cells in the top-left corner
// of ClipBlock. It outlives selections, undo and loads; ClipWidth 0 means nothing to paste.
// The sizes are never negative and never larger than a selection can be (169 x 10001).
struct BlockBuffer {
    Grid& ClipBlock;
    int& ClipWidth;
    int& ClipHeight;
};

inline BlockBuffer BlockBufferOf(ShowMemory& memory) {
    return {*memory.ClipBlock, memory.ClipWidth, memory.ClipHeight};
}

// "Kopieren": copies the selected block into the buffer. Without an active selection the
// buffer becomes empty (its cells stay, its size becomes 0 x 0).
void CopyBlock(const Grid& cells, const Selection& sel, BlockBuffer clip);

// "Einfügen": writes the buffer at the selection's top-left corner, cut at column 167 and
// row 9999, and returns the selection resized to the pasted area (empty when nothing fitted).
// With an empty buffer nothing changes and the selection is returned as it was.
Selection PasteBlock(Grid& cells, const Selection& sel, BlockBuffer clip);

// ">", "<", "^", "v": copies the block and pastes it one cell further (dx, dy each -1, 0 or
// +1); the cells it leaves keep their colours. A move towards the left or top edge from the
// edge pastes the block onto itself. Returns the moved selection.
Selection MoveBlock(Grid& cells, const Selection& sel, BlockBuffer clip, int dx, int dy);

// "Trimmen" refuses, before any undo snapshot, when the block just copied has no rows. A block
// pushed past the right edge has rows but no columns: it trims to its steps and one output.
bool TrimToBlockRefused(BlockBuffer clip);

// "Trimmen", after CopyBlock: copies the block to the grid's top-left corner. Result:
// Outputs and Steps (the block's size, cut to 168 and 10000), EndSelection.
CommandResult TrimToBlock(Grid& cells, BlockBuffer clip);

// "Horizontal" / "Vertikal" of the selection panel: mirrors the selected block in place,
// left-to-right or top-to-bottom, reading from `selWorkGrid`. The selection stays.
void MirrorBlock(Grid& cells, Grid& selWorkGrid, const Selection& sel, bool vertical);

// The cross-fade refuses, before any undo snapshot, over fewer than three rows.
bool FadeBlockVerticalRefused(const Selection& sel);

// "Überblenden" / "Vertikal": replaces the rows between the block's first and last row by a
// linear cross-fade of those two rows. The selection stays.
void FadeBlockVertical(Grid& cells, const Selection& sel);

// The mirrored copies ("Nach Rechts Spiegeln", "Nach Unten spiegeln") in their parts, for a
// window that takes a snapshot before the paste and another inside the mirror button:

// Copies the block and pastes it right beside it (below it when `below`), over whatever
// lay there. Returns the selection moved onto the copy.
Selection PasteBlockBeside(Grid& cells, const Selection& sel, BlockBuffer clip, bool below);

// After the mirror: Outputs rises to the copy's last 0-based column (Steps to its last row
// for the copy below), so the copy's last column or row, a repeat of the block's first,
// lies just past the show. Result: Outputs or Steps, only when they grow.
CommandResult MirroredCopyRightSettings(int outputs, const Selection& copy);
CommandResult MirroredCopyDownSettings(int steps, const Selection& copy);

// The window's share of a mirrored copy.
struct MirroredCopySteps {
    std::function<void()> PushUndo;
    // Stores the selection and runs the mirror button's own click handler in full.
    std::function<void(const Selection&)> ClickMirrorButton;
};

// The whole mirrored copy in its order: snapshot, paste beside, the mirror button's click,
// then the settings. Result: NewSelection (the copy) and the grown Outputs or Steps.
CommandResult MirrorBlockRight(Grid& cells, const Selection& sel, BlockBuffer clip, int outputs,
                               const MirroredCopySteps& window);
CommandResult MirrorBlockDown(Grid& cells, const Selection& sel, BlockBuffer clip, int steps,
                              const MirroredCopySteps& window);

} // namespace velkaro
