#pragma once

#include <QObject>

namespace velkaro {

class GridView;
class SettingsControls;
class UndoHistory;
struct RowCommandResult;
enum class StepShift;
struct ShowState;

// The commands that generate steps from the first or last step, and the whole-show edits
// "Clr", "Aufhellen" and "Regenbogen". Every one takes its undo snapshot first, also when the
// command then refuses, so each click occupies one slot of the undo ring.
class RowGeneratorCommands : public QObject {
    Q_OBJECT
public:
    RowGeneratorCommands(QObject* parent, ShowState& show, SettingsControls& settings,
                         GridView& view, UndoHistory& undo);

    void CopyLastStepRotatedLeft();
    void CopyLastStep();
    void CopyLastStepRotatedRight();
    void CopyLastStepShiftedLeft();
    void CopyLastStepShiftedRight();
    void MakeChaserLeft();
    void MakeChaserRight();
    void StretchFirstStep();
    void RotateFirstStepLeft();
    void RotateFirstStepRight();
    void ClearShow();
    void Brighten();
    void MakeRainbow();

private:
    void Apply(const RowCommandResult& result);
    void CopyLastStepWith(StepShift shift);

    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    UndoHistory& undo_;
};

} // namespace velkaro
