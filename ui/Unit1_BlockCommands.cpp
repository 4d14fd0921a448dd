// Whole-show mirrors, row and column commands and the block commands of the selection panel.
#include "ui/Unit1.h"

#include "commands/BlockCommands.h"
#include "commands/RowColumnCommands.h"
#include "ui/controls/UpDown.h"

#include <QPushButton>

#include <utility>

namespace velkaro {

namespace {

// The window keeps the selection in plain members; the commands take and give it as one value.
Selection SelectionOf(const TFVelkaro& w) {
    return {w.SelActive, w.SelCol1, w.SelCol2, w.SelRow1, w.SelRow2};
}

// A moved or resized block is stored straight into the bounds: the block stays selected and
// the next PaintGrid draws its frame where it now lies.
void StoreBounds(TFVelkaro& w, const Selection& sel) {
    w.SelCol1 = sel.SelCol1;
    w.SelCol2 = sel.SelCol2;
    w.SelRow1 = sel.SelRow1;
    w.SelRow2 = sel.SelRow2;
}

// Outputs and Steps change only through their controls, whose handlers redraw the view.
void ApplyOutputs(TFVelkaro& w, const CommandResult& result) {
    if (result.Outputs) w.UDNX->SetPosition(*result.Outputs);
}

void ApplySteps(TFVelkaro& w, const CommandResult& result) {
    if (result.Steps) w.udlz->SetPosition(*result.Steps);
}

// The window's share of a mirrored copy: its snapshot, and the click on "Horizontal" or
// "Vertikal" with the copy selected. The captures stay small enough to need no allocation.
MirroredCopySteps MirrorButtonOf(TFVelkaro& w, bool below) {
    return {[&w] { w.PushUndo(); },
            [&w, below](const Selection& copy) {
                StoreBounds(w, copy);
                below ? w.Button28Click() : w.Button25Click();
            }};
}

} // namespace

void TFVelkaro::ConnectBlockCommands() {
    const std::pair<QPushButton*, void (TFVelkaro::*)()> clicks[] = {
        {Button17, &TFVelkaro::Button17Click}, {Button18, &TFVelkaro::Button18Click},
        {Button7, &TFVelkaro::Button7Click},   {Button8, &TFVelkaro::Button8Click},
        {Button21, &TFVelkaro::Button21Click}, {Button36, &TFVelkaro::Button36Click},
        {Button23, &TFVelkaro::Button23Click}, {Button24, &TFVelkaro::Button24Click},
        {Button22, &TFVelkaro::Button22Click}, {Button29, &TFVelkaro::Button29Click},
        {Button30, &TFVelkaro::Button30Click}, {Button25, &TFVelkaro::Button25Click},
        {Button28, &TFVelkaro::Button28Click}, {Button31, &TFVelkaro::Button31Click},
        {Button32, &TFVelkaro::Button32Click}, {Button33, &TFVelkaro::Button33Click},
        {Button34, &TFVelkaro::Button34Click}, {Button40, &TFVelkaro::Button40Click},
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
}

// ---- whole show ----

void TFVelkaro::Button17Click() {
    PushUndo();
    MirrorShow(Cells, *Memory.WorkGrid, Outputs(), Steps(), false);
    PaintGrid();
}

void TFVelkaro::Button18Click() {
    PushUndo();
    MirrorShow(Cells, *Memory.WorkGrid, Outputs(), Steps(), true);
    PaintGrid();
}

// ---- whole rows and columns ----
// The bounds are handed over before EndSelection resets them; the selection is ended before
// Steps changes, so the redraw that the Steps control runs shows no frame.

void TFVelkaro::Button7Click() {
    PushUndo();
    const CommandResult result = DeleteRows(Cells, *Memory.WorkGrid, SelectionOf(*this), Steps());
    EndSelection();
    ApplySteps(*this, result);
    PaintGrid();
}

void TFVelkaro::Button8Click() {
    PushUndo();
    const CommandResult result =
        DuplicateRows(Cells, *Memory.WorkGrid, SelectionOf(*this), Steps());
    EndSelection();
    ApplySteps(*this, result);
    PaintGrid();
}

void TFVelkaro::Button21Click() {
    PushUndo();
    DeleteColumns(Cells, *Memory.WorkGrid, SelectionOf(*this));
    EndSelection();
    PaintGrid();
}

void TFVelkaro::Button36Click() {
    PushUndo();
    DuplicateColumns(Cells, *Memory.WorkGrid, SelectionOf(*this));
    EndSelection();
    PaintGrid();
}

// ---- the selected block ----

void TFVelkaro::Button23Click() {
    // Copying changes neither the show nor the view: no snapshot, no redraw.
    CopyBlock(Cells, SelectionOf(*this), BlockBufferOf(Memory));
}

void TFVelkaro::Button24Click() {
    PushUndo();
    StoreBounds(*this, PasteBlock(Cells, SelectionOf(*this), BlockBufferOf(Memory)));
    PaintGrid();
}

void TFVelkaro::Button22Click() {
    const BlockBuffer clip = BlockBufferOf(Memory);
    CopyBlock(Cells, SelectionOf(*this), clip);
    // Without a block there is nothing to trim to, and nothing to undo either.
    if (TrimToBlockRefused(clip)) return;
    PushUndo();
    const CommandResult result = TrimToBlock(Cells, clip);
    ApplyOutputs(*this, result);
    ApplySteps(*this, result);
    EndSelection();
    PaintGrid();
}

// The mirrored copies take two snapshots: one before the paste, and one inside the mirror
// button's own handler, so the first Undo shows the unmirrored copy.
void TFVelkaro::Button29Click() {
    ApplyOutputs(*this, MirrorBlockRight(Cells, SelectionOf(*this), BlockBufferOf(Memory),
                                         Outputs(), MirrorButtonOf(*this, false)));
}

void TFVelkaro::Button30Click() {
    ApplySteps(*this, MirrorBlockDown(Cells, SelectionOf(*this), BlockBufferOf(Memory), Steps(),
                                      MirrorButtonOf(*this, true)));
}

void TFVelkaro::Button25Click() {
    PushUndo();
    MirrorBlock(Cells, *Memory.SelWorkGrid, SelectionOf(*this), false);
    PaintGrid();
}

void TFVelkaro::Button28Click() {
    PushUndo();
    MirrorBlock(Cells, *Memory.SelWorkGrid, SelectionOf(*this), true);
    PaintGrid();
}

namespace {

void MoveSelectedBlock(TFVelkaro& w, int dx, int dy) {
    w.PushUndo();
    StoreBounds(w, MoveBlock(w.Cells, SelectionOf(w), BlockBufferOf(w.Memory), dx, dy));
    w.PaintGrid();
}

} // namespace

void TFVelkaro::Button31Click() {
    MoveSelectedBlock(*this, +1, 0);
}
void TFVelkaro::Button32Click() {
    MoveSelectedBlock(*this, -1, 0);
}
void TFVelkaro::Button33Click() {
    MoveSelectedBlock(*this, 0, -1);
}
void TFVelkaro::Button34Click() {
    MoveSelectedBlock(*this, 0, +1);
}

void TFVelkaro::Button40Click() {
    const Selection sel = SelectionOf(*this);
    // Two rows have nothing between them to fade; refused before any snapshot.
    if (FadeBlockVerticalRefused(sel)) return;
    PushUndo();
    FadeBlockVertical(Cells, sel);
    PaintGrid();
}

} // namespace velkaro
