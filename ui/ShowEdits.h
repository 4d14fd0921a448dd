#pragma once

#include "ui/ButtonCommand.h"

#include <QObject>

namespace velkaro {

class GridView;
class SettingsControls;
class UndoHistory;
class Grid;
struct RowCommandResult;
struct Selection;
struct ShowState;

// What an edit of the show reads, handed to its operation explicitly.
struct ShowInputs {
    Grid& Cells;
    Grid& WorkGrid;
    const Selection& Sel;
    int Outputs;
    int Steps;
};

// An edit of the show: one operation of commands/ on the inputs it names. A cell edit only
// writes cells and leaves the controls as they are.
using ShowEdit = RowCommandResult (*)(const ShowInputs& show);
using CellEdit = void (*)(const ShowInputs& show);

// A button's run for an edit of the show, for the panels' tables.
ButtonRun EditShow(ShowEdit edit);
ButtonRun EditShow(CellEdit edit);

// Runs the edits of the whole show that the buttons ask for: the step generators, the whole-show
// mirrors, "Clr", "Aufhellen" and "Regenbogen". Every edit takes its undo snapshot first, also
// when its operation then refuses, so each click occupies one slot of the undo ring.
class ShowEdits : public QObject {
    Q_OBJECT
public:
    ShowEdits(QObject* parent, ShowState& show, SettingsControls& settings, GridView& view,
              UndoHistory& undo);

    // The snapshot, the operation on the show as it is, then its result on the controls.
    void Run(ShowEdit edit);
    // The snapshot, the operation, the redraw.
    void Run(CellEdit edit);
    // These two resize the show through its controls before their operation runs.
    void ClearShow();
    void MakeRainbow();

private:
    ShowInputs Inputs() const;
    void Apply(const RowCommandResult& result);

    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    UndoHistory& undo_;
};

} // namespace velkaro
