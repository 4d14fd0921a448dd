#include "ui/UndoHistory.h"

#include "ui/GridView.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"

namespace velkaro {

UndoHistory::UndoHistory(ShowState& show, SettingsControls& settings, GridView& view)
    : show_(show), settings_(settings), view_(view) {}

void UndoHistory::PushUndo() {
    show_.Memory.Undo.Push(show_.Cells, settings_.Values());
}

void UndoHistory::RestoreUndo() {
    CopyGrid(show_.Cells, show_.Memory.Undo.SlotGrid());
    const ShowSettings stored = show_.Memory.Undo.SlotSettings();
    settings_.SetOutputs(stored.Outputs);
    settings_.SetSteps(stored.Steps);
    settings_.SetStepLength(stored.StepLength);
    settings_.SetBlendMode(stored.BlendMode);
    view_.PaintGrid();
}

void UndoHistory::Undo() {
    RestoreUndo();
    show_.Memory.Undo.StepBack();
}

void UndoHistory::Redo() {
    show_.Memory.Undo.StepForward();
    RestoreUndo();
}

void UndoHistory::FillWithCurrentShow() {
    show_.Memory.Undo.SetUndoPos(0);
    for (int i = 0; i < UndoRing::SlotCount; ++i) PushUndo();
}

} // namespace velkaro
