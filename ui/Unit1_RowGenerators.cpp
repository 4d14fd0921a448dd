// The buttons that generate steps from the first or last step, and the whole-show edits
// "Clr", "Aufhellen" and "Regenbogen". Every click takes its undo snapshot first, also when
// the command then refuses, so each click occupies one slot of the undo ring.
#include "ui/Unit1.h"

#include "commands/RowGenerators.h"
#include "ui/controls/UpDown.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

namespace velkaro {

namespace {

// The six outputs and the one step of the rainbow show.
constexpr int RainbowOutputs = 6;
constexpr int RainbowSteps = 1;

// Applies what a row generator changed, in the order the settings handlers expect: the
// output and step counts first (each redraws the grid and recomputes the row count), then the
// row count the command asks for, then the scroll position within the new range.
void ApplyRowCommand(TFVelkaro& w, const RowCommandResult& result) {
    if (result.Refused) return;
    if (result.Outputs) w.UDNX->SetPosition(*result.Outputs);
    if (result.Steps) w.udlz->SetPosition(*result.Steps);
    if (result.ShownRows) w.sbny->setValue(*result.ShownRows);
    // The new last step comes into view as the show grows; the scroll bar holds its range.
    if (result.ScrollDownOneRow) w.sbyoffs->setValue(w.sbyoffs->value() + 1);
    if (result.EndSelection) w.EndSelection();
    if (result.PaintGrid) w.PaintGrid();
}

void CopyLastStepClick(TFVelkaro& w, StepShift mode) {
    w.PushUndo();
    ApplyRowCommand(w, CopyLastStep(w.Cells, w.Outputs(), w.Steps(), mode));
}

void MakeChaserClick(TFVelkaro& w, RunDirection direction) {
    w.PushUndo();
    ApplyRowCommand(w, MakeChaser(w.Cells, w.Outputs(), direction));
}

void RotateFirstStepClick(TFVelkaro& w, RunDirection direction) {
    w.PushUndo();
    ApplyRowCommand(w, RotateFirstStep(w.Cells, *w.Memory.WorkGrid, w.Outputs(), direction));
}

} // namespace

void TFVelkaro::ConnectRowGenerators() {
    const auto onClick = [this](QPushButton* button, void (TFVelkaro::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(Button3, &TFVelkaro::Button3Click);
    onClick(Button13, &TFVelkaro::Button13Click);
    onClick(Button4, &TFVelkaro::Button4Click);
    onClick(Button38, &TFVelkaro::Button38Click);
    onClick(Button37, &TFVelkaro::Button37Click);
    onClick(Button9, &TFVelkaro::Button9Click);
    onClick(Button10, &TFVelkaro::Button10Click);
    onClick(Button11, &TFVelkaro::Button11Click);
    onClick(Button19, &TFVelkaro::Button19Click);
    onClick(Button20, &TFVelkaro::Button20Click);
    onClick(Button14, &TFVelkaro::Button14Click);
    onClick(Button12, &TFVelkaro::Button12Click);
    onClick(Button35, &TFVelkaro::Button35Click);
}

void TFVelkaro::Button3Click() {
    CopyLastStepClick(*this, StepShift::RotateLeft);
}
void TFVelkaro::Button13Click() {
    CopyLastStepClick(*this, StepShift::Unchanged);
}
void TFVelkaro::Button4Click() {
    CopyLastStepClick(*this, StepShift::RotateRight);
}
void TFVelkaro::Button38Click() {
    CopyLastStepClick(*this, StepShift::ShiftLeft);
}
void TFVelkaro::Button37Click() {
    CopyLastStepClick(*this, StepShift::ShiftRight);
}

void TFVelkaro::Button9Click() {
    MakeChaserClick(*this, RunDirection::Left);
}
void TFVelkaro::Button10Click() {
    MakeChaserClick(*this, RunDirection::Right);
}

void TFVelkaro::Button11Click() {
    PushUndo();
    ApplyRowCommand(*this, StretchFirstStep(Cells, *Memory.WorkGrid, Outputs()));
}

void TFVelkaro::Button19Click() {
    RotateFirstStepClick(*this, RunDirection::Left);
}
void TFVelkaro::Button20Click() {
    RotateFirstStepClick(*this, RunDirection::Right);
}

void TFVelkaro::Button14Click() {
    PushUndo();
    // The show shrinks to one step first; blacking out the cells then repaints the grid.
    udlz->SetPosition(1);
    ApplyRowCommand(*this, ClearShow(Cells));
}

void TFVelkaro::Button12Click() {
    PushUndo();
    ApplyRowCommand(*this, Brighten(Cells, Outputs(), Steps()));
}

void TFVelkaro::Button35Click() {
    PushUndo();
    // The show takes its rainbow size before the colours are written; the cells beyond it
    // keep their colours and come back when the show is enlarged again.
    UDNX->SetPosition(RainbowOutputs);
    udlz->SetPosition(RainbowSteps);
    ApplyRowCommand(*this, MakeRainbow(Cells));
}

} // namespace velkaro
