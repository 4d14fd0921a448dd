#include "ui/SelectionCommands.h"

#include "commands/BlockCommands.h"
#include "commands/RowColumnCommands.h"
#include "ui/GridView.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"

namespace velkaro {

SelectionCommands::SelectionCommands(QObject* parent, ShowState& show, SettingsControls& settings,
                                     GridView& view, UndoHistory& undo)
    : QObject(parent), show_(show), settings_(settings), view_(view), undo_(undo) {}

void SelectionCommands::ApplyOutputs(const CommandResult& result) {
    if (result.Outputs) settings_.SetOutputs(*result.Outputs);
}

void SelectionCommands::ApplySteps(const CommandResult& result) {
    if (result.Steps) settings_.SetSteps(*result.Steps);
}

void SelectionCommands::StoreBounds(const Selection& sel) {
    show_.Sel.SelCol1 = sel.SelCol1;
    show_.Sel.SelCol2 = sel.SelCol2;
    show_.Sel.SelRow1 = sel.SelRow1;
    show_.Sel.SelRow2 = sel.SelRow2;
}

// ---- whole rows and columns ----
// The bounds are handed over before EndSelection resets them; the selection is ended before
// Steps changes, so the redraw that the Steps control runs shows no frame.

void SelectionCommands::DeleteRows() {
    undo_.PushUndo();
    const CommandResult result =
        velkaro::DeleteRows(show_.Cells, *show_.Memory.WorkGrid, show_.Sel, settings_.Steps());
    view_.EndSelection();
    ApplySteps(result);
    view_.PaintGrid();
}

void SelectionCommands::DuplicateRows() {
    undo_.PushUndo();
    const CommandResult result =
        velkaro::DuplicateRows(show_.Cells, *show_.Memory.WorkGrid, show_.Sel, settings_.Steps());
    view_.EndSelection();
    ApplySteps(result);
    view_.PaintGrid();
}

void SelectionCommands::DeleteColumns() {
    undo_.PushUndo();
    velkaro::DeleteColumns(show_.Cells, *show_.Memory.WorkGrid, show_.Sel);
    view_.EndSelection();
    view_.PaintGrid();
}

void SelectionCommands::DuplicateColumns() {
    undo_.PushUndo();
    velkaro::DuplicateColumns(show_.Cells, *show_.Memory.WorkGrid, show_.Sel);
    view_.EndSelection();
    view_.PaintGrid();
}

// ---- the selected block ----

void SelectionCommands::CopyBlock() {
    // Copying changes neither the show nor the view: no snapshot, no redraw.
    velkaro::CopyBlock(show_.Cells, show_.Sel, BlockBufferOf(show_.Memory));
}

void SelectionCommands::PasteBlock() {
    undo_.PushUndo();
    StoreBounds(velkaro::PasteBlock(show_.Cells, show_.Sel, BlockBufferOf(show_.Memory)));
    view_.PaintGrid();
}

void SelectionCommands::TrimToBlock() {
    const BlockBuffer clip = BlockBufferOf(show_.Memory);
    velkaro::CopyBlock(show_.Cells, show_.Sel, clip);
    // Without a block there is nothing to trim to, and nothing to undo either.
    if (TrimToBlockRefused(clip)) return;
    undo_.PushUndo();
    const CommandResult result = velkaro::TrimToBlock(show_.Cells, clip);
    ApplyOutputs(result);
    ApplySteps(result);
    view_.EndSelection();
    view_.PaintGrid();
}

// The mirrored copies take two snapshots: one before the paste, and one inside the mirror
// button's own handler, so the first Undo shows the unmirrored copy. The captures stay small
// enough to need no allocation.
void SelectionCommands::MirrorBlockRightAsCopy() {
    const MirroredCopySteps steps{[this] { undo_.PushUndo(); },
                                  [this](const Selection& copy) {
                                      StoreBounds(copy);
                                      MirrorBlockHorizontal();
                                  }};
    // A copy: the mirror button's click stores new bounds while the command still runs.
    const Selection selected = show_.Sel;
    ApplyOutputs(velkaro::MirrorBlockRight(show_.Cells, selected, BlockBufferOf(show_.Memory),
                                           settings_.Outputs(), steps));
}

void SelectionCommands::MirrorBlockDownAsCopy() {
    const MirroredCopySteps steps{[this] { undo_.PushUndo(); },
                                  [this](const Selection& copy) {
                                      StoreBounds(copy);
                                      MirrorBlockVertical();
                                  }};
    const Selection selected = show_.Sel;
    ApplySteps(velkaro::MirrorBlockDown(show_.Cells, selected, BlockBufferOf(show_.Memory),
                                        settings_.Steps(), steps));
}

void SelectionCommands::MirrorBlock(bool vertical) {
    undo_.PushUndo();
    velkaro::MirrorBlock(show_.Cells, *show_.Memory.SelWorkGrid, show_.Sel, vertical);
    view_.PaintGrid();
}

void SelectionCommands::MirrorBlockHorizontal() {
    MirrorBlock(false);
}
void SelectionCommands::MirrorBlockVertical() {
    MirrorBlock(true);
}

void SelectionCommands::MoveBlock(int dx, int dy) {
    undo_.PushUndo();
    StoreBounds(velkaro::MoveBlock(show_.Cells, show_.Sel, BlockBufferOf(show_.Memory), dx, dy));
    view_.PaintGrid();
}

void SelectionCommands::MoveBlockUp() {
    MoveBlock(0, -1);
}
void SelectionCommands::MoveBlockLeft() {
    MoveBlock(-1, 0);
}
void SelectionCommands::MoveBlockRight() {
    MoveBlock(+1, 0);
}
void SelectionCommands::MoveBlockDown() {
    MoveBlock(0, +1);
}

void SelectionCommands::FadeBlockVertical() {
    // Two rows have nothing between them to fade; refused before any snapshot.
    if (FadeBlockVerticalRefused(show_.Sel)) return;
    undo_.PushUndo();
    velkaro::FadeBlockVertical(show_.Cells, show_.Sel);
    view_.PaintGrid();
}

} // namespace velkaro
