#include "ui/ShowEdits.h"

#include "commands/RowGenerators.h"
#include "ui/GridView.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"
#include "ui/WindowCommands.h"

namespace velkaro {

namespace {

// The six outputs and the one step of the rainbow show.
constexpr int RainbowOutputs = 6;
constexpr int RainbowSteps = 1;

} // namespace

ButtonRun EditShow(ShowEdit edit) {
    return [edit](const WindowCommands& window) { window.Edits.Run(edit); };
}

ButtonRun EditShow(CellEdit edit) {
    return [edit](const WindowCommands& window) { window.Edits.Run(edit); };
}

ShowEdits::ShowEdits(QObject* parent, ShowState& show, SettingsControls& settings, GridView& view,
                     UndoHistory& undo)
    : QObject(parent), show_(show), settings_(settings), view_(view), undo_(undo) {}

ShowInputs ShowEdits::Inputs() const {
    return {show_.Cells, *show_.Memory.WorkGrid, show_.Sel, settings_.Outputs(), settings_.Steps()};
}

void ShowEdits::Run(ShowEdit edit) {
    undo_.PushUndo();
    Apply(edit(Inputs()));
}

void ShowEdits::Run(CellEdit edit) {
    undo_.PushUndo();
    edit(Inputs());
    view_.PaintGrid();
}

// Applies what an edit changed, in the order the settings handlers expect: the output and step
// counts first (each redraws the grid and recomputes the row count), then the row count the
// command asks for, then the scroll position within the new range.
void ShowEdits::Apply(const RowCommandResult& result) {
    if (result.Refused) return;
    if (result.Outputs) settings_.SetOutputs(*result.Outputs);
    if (result.Steps) settings_.SetSteps(*result.Steps);
    if (result.ShownRows) settings_.SetShownRows(*result.ShownRows);
    // The new last step comes into view as the show grows; the scroll bar holds its range.
    if (result.ScrollDownOneRow) view_.ScrollBy(1);
    if (result.EndSelection) view_.EndSelection();
    if (result.PaintGrid) view_.PaintGrid();
}

void ShowEdits::ClearShow() {
    undo_.PushUndo();
    // The show shrinks to one step first; blacking out the cells then repaints the grid.
    settings_.SetSteps(1);
    Apply(velkaro::ClearShow(show_.Cells));
}

void ShowEdits::MakeRainbow() {
    undo_.PushUndo();
    // The show takes its rainbow size before the colours are written; the cells beyond it
    // keep their colours and come back when the show is enlarged again.
    settings_.SetOutputs(RainbowOutputs);
    settings_.SetSteps(RainbowSteps);
    Apply(velkaro::MakeRainbow(show_.Cells));
}

} // namespace velkaro
