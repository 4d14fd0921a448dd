// The main side panel's control tree: its group boxes in the order they stack, and the controls
// that are no buttons with their caption, hint, range and place.
#include "ui/CommandPanel.h"

#include "ui/SettingsControls.h"
#include "ui/controls/Align.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace velkaro {

CommandPanel::CommandPanel(QWidget* parent, SettingsControls& settings,
                           const GroupBuilder& speedBar, const GroupBuilder& liveOutput)
    : SidePanel(parent, "commandPanel", Buttons()), settings_(settings) {

    BuildFileGroup();
    settings_.BuildOutputsField(NewGroup("outputsGroup", "Anzahl Ausgänge", 40));
    settings_.BuildStepsField(NewGroup("stepsGroup", "Anzahl Schritte", 40));
    NewGroup("copyLastStepGroup", "Letzte Zeile Kopieren", 80);
    settings_.BuildStepLengthField(NewGroup("stepLengthGroup", "Schrittlänge (1/10 Sek)", 40));
    QGroupBox* modes = NewGroup("blendModeGroup", "Modus", 64);
    modes->setToolTip("Überblendmodus zwischen zwei Szenen");
    settings_.BuildBlendModeButtons(modes);
    NewGroup("bitmapGroup", "Bitmap Import/ Export", 48);
    BuildChaserGroup();
    NewGroup("firstStepGroup", "Erste Zeile ", 51);
    NewGroup("mirrorShowGroup", "Spiegeln", 48);
    NewGroup("editGroup", "Editieren", 80);
    NewGroup("undoGroup", {}, 48);
    // In the free space between "Undo"/"Redo" and the speed bar; nothing else moves for it.
    liveOutput(NewGroup("liveOutputGroup", "Live-Ausgabe", 88));

    QGroupBox* shownSteps = NewGroup("shownStepsGroup", "Angezeigte Schritte", 48, Align::Bottom);
    settings_.BuildShownStepsSpinner(shownSteps);
    shownSteps->hide();

    QGroupBox* speed = NewGroup("previewSpeedGroup", "Vorschau 100%", 38, Align::Bottom);
    speedBar(speed);
}

void CommandPanel::BuildFileGroup() {
    QGroupBox* box = NewGroup("fileGroup", "Datei", 80);
    settings_.BuildSingleColourCheck(box);
    appendTimesSpinner_ = new QSpinBox(box);
    appendTimesSpinner_->setObjectName("appendTimesSpinner");
    appendTimesSpinner_->setAccessibleName("Anhängen mal");
    appendTimesSpinner_->setGeometry(72, 48, 33, 22);
    appendTimesSpinner_->setRange(1, 10);
    appendTimesSpinner_->setValue(1);
    appendTimesSpinner_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // A spin edit reads as its minimum when its text is no number and is held to its range.
    appendTimesSpinner_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    auto* times = new QLabel("mal", box);
    times->setObjectName("appendTimesLabel");
    times->move(104, 52);
}

void CommandPanel::BuildChaserGroup() {
    QGroupBox* chaser = NewGroup("chaserGroup", "Lauflicht aus erster Zeile", 56);
    // Seven arrows do not fit a 49-pixel button in the panels' face; they do in a narrow
    // fixed-width one, which both arrow buttons share so that they look alike.
    QFont arrows("DejaVu Sans Mono");
    arrows.setStyleHint(QFont::Monospace);
    arrows.setPixelSize(11);
    for (auto* button : chaser->findChildren<QPushButton*>()) button->setFont(arrows);
}

int CommandPanel::AppendTimes() {
    appendTimesSpinner_->interpretText();
    return appendTimesSpinner_->value();
}

std::vector<QWidget*> CommandPanel::TabChain() const {
    std::vector<QWidget*> chain = settings_.FieldsInTabOrder();
    for (QWidget* button : ButtonsInTabOrder()) {
        chain.push_back(button);
        // The controls that are no buttons come right after the button they follow.
        if (button->objectName() == "appendShowButton") {
            chain.push_back(appendTimesSpinner_);
            chain.push_back(settings_.SingleColourCheck());
        } else if (button->objectName() == "mirrorShowVerticalButton") {
            chain.push_back(findChild<QWidget*>("previewSpeedBar"));
        }
    }
    return chain;
}

} // namespace velkaro
