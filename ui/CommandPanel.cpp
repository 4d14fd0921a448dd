// The main side panel's control tree: every control with its caption, hint, range and place.
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
    : SidePanel(parent, "commandPanel"), settings_(settings) {

    BuildFileGroup();
    settings_.BuildOutputsField(NewGroup("outputsGroup", "Anzahl Ausgänge", 40));
    settings_.BuildStepsField(NewGroup("stepsGroup", "Anzahl Schritte", 40));
    BuildCopyLastStepGroup();
    settings_.BuildStepLengthField(NewGroup("stepLengthGroup", "Schrittlänge (1/10 Sek)", 40));
    QGroupBox* modes = NewGroup("blendModeGroup", "Modus", 64);
    modes->setToolTip("Überblendmodus zwischen zwei Szenen");
    settings_.BuildBlendModeButtons(modes);
    BuildGeneratorGroups();
    BuildEditGroups();
    // In the free space between "Undo"/"Redo" and the speed bar; nothing else moves for it.
    liveOutput(NewGroup("liveOutputGroup", "Live-Ausgabe", 88));

    QGroupBox* shownSteps = NewGroup("shownStepsGroup", "Angezeigte Schritte", 48, Align::Bottom);
    settings_.BuildShownStepsSpinner(shownSteps);
    shownSteps->hide();

    QGroupBox* speed = NewGroup("previewSpeedGroup", "Vorschau 100%", 38, Align::Bottom);
    speedBar(speed);
}

QPushButton* CommandPanel::NewButton(QGroupBox* box, const QString& name, const QString& caption,
                                     QRect geometry, void (CommandPanel::*clicked)()) {
    QPushButton* button = SidePanel::NewButton(box, name, caption, geometry);
    connect(button, &QPushButton::clicked, this, clicked);
    return button;
}

void CommandPanel::BuildFileGroup() {
    QGroupBox* box = NewGroup("fileGroup", "Datei", 80);
    settings_.BuildSingleColourCheck(box);
    NewButton(box, "loadShowButton", "Laden", {8, 20, 57, 25}, &CommandPanel::loadShowClicked)
        ->setToolTip("DMX Datei laden");
    NewButton(box, "saveShowButton", "Speichern", {72, 20, 57, 25}, &CommandPanel::saveShowClicked)
        ->setToolTip("DMX Datei speichern");
    NewButton(box, "appendShowButton", "Anhängen", {8, 48, 57, 25},
              &CommandPanel::appendShowClicked);
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

void CommandPanel::BuildCopyLastStepGroup() {
    QGroupBox* box = NewGroup("copyLastStepGroup", "Letzte Zeile Kopieren", 80);
    NewButton(box, "copyLastStepRotatedLeftButton", "<<<", {8, 16, 33, 25},
              &CommandPanel::copyLastStepRotatedLeftClicked)
        ->setToolTip("Die letzte Zeile kopieren und um ein Feld nach links verschieben");
    NewButton(box, "copyLastStepButton", "===", {48, 16, 33, 25},
              &CommandPanel::copyLastStepClicked)
        ->setToolTip("Die letzte Zeile unverändert kopieren ");
    NewButton(box, "copyLastStepRotatedRightButton", ">>>", {88, 16, 33, 25},
              &CommandPanel::copyLastStepRotatedRightClicked)
        ->setToolTip("Die letzte Zeile kopieren und um ein Feld nach rechts verschieben");
    NewButton(box, "copyLastStepShiftedLeftButton", "<< |", {8, 48, 33, 25},
              &CommandPanel::copyLastStepShiftedLeftClicked);
    NewButton(box, "copyLastStepShiftedRightButton", "| >>", {88, 48, 35, 25},
              &CommandPanel::copyLastStepShiftedRightClicked);
}

void CommandPanel::BuildGeneratorGroups() {
    QGroupBox* bitmap = NewGroup("bitmapGroup", "Bitmap Import/ Export", 48);
    NewButton(bitmap, "importBitmapButton", "Laden", {8, 16, 49, 25},
              &CommandPanel::importBitmapClicked)
        ->setToolTip("Ein Bitmap als Animation übernehmen");
    NewButton(bitmap, "exportBitmapButton", "Speichern", {64, 16, 65, 25},
              &CommandPanel::exportBitmapClicked)
        ->setToolTip("Animation als Bitmap speichern");

    const QString chaserHint = "Aus der ersten Szene einen Farbverlauf  erzeugen";
    QGroupBox* chaser = NewGroup("chaserGroup", "Lauflicht aus erster Zeile", 56);
    auto* left = NewButton(chaser, "chaserLeftButton", "<<<<<<<", {8, 16, 49, 25},
                           &CommandPanel::chaserLeftClicked);
    auto* right = NewButton(chaser, "chaserRightButton", ">>>>>>", {64, 16, 65, 25},
                            &CommandPanel::chaserRightClicked);
    // Seven arrows do not fit a 49-pixel button in the panels' face; they do in a narrow
    // fixed-width one, which both arrow buttons share so that they look alike.
    QFont arrows("DejaVu Sans Mono");
    arrows.setStyleHint(QFont::Monospace);
    arrows.setPixelSize(11);
    for (auto* button : {left, right}) {
        button->setToolTip(chaserHint);
        button->setFont(arrows);
    }

    QGroupBox* first = NewGroup("firstStepGroup", "Erste Zeile ", 51);
    NewButton(first, "stretchFirstStepButton", "Dehnen", {8, 16, 49, 25},
              &CommandPanel::stretchFirstStepClicked);
    NewButton(first, "rotateFirstStepLeftButton", "<<", {64, 16, 25, 25},
              &CommandPanel::rotateFirstStepLeftClicked);
    NewButton(first, "rotateFirstStepRightButton", ">>", {96, 16, 27, 25},
              &CommandPanel::rotateFirstStepRightClicked);
}

void CommandPanel::BuildEditGroups() {
    QGroupBox* mirror = NewGroup("mirrorShowGroup", "Spiegeln", 48);
    NewButton(mirror, "mirrorShowHorizontalButton", "Horizontal", {8, 16, 57, 25},
              &CommandPanel::mirrorShowHorizontalClicked);
    NewButton(mirror, "mirrorShowVerticalButton", "Vertikal", {72, 16, 57, 25},
              &CommandPanel::mirrorShowVerticalClicked);

    QGroupBox* edit = NewGroup("editGroup", "Editieren", 80);
    NewButton(edit, "clearShowButton", "Clr", {8, 16, 57, 25}, &CommandPanel::clearShowClicked);
    NewButton(edit, "brightenButton", "Aufhellen", {72, 16, 57, 25},
              &CommandPanel::brightenClicked);
    NewButton(edit, "rainbowButton", "Regenbogen", {8, 48, 123, 25}, &CommandPanel::rainbowClicked);

    QGroupBox* undo = NewGroup("undoGroup", {}, 48);
    NewButton(undo, "undoButton", "Undo", {8, 13, 57, 25}, &CommandPanel::undoClicked);
    NewButton(undo, "redoButton", "Redo", {72, 13, 57, 25}, &CommandPanel::redoClicked);
}

int CommandPanel::AppendTimes() {
    appendTimesSpinner_->interpretText();
    return appendTimesSpinner_->value();
}

std::vector<QWidget*> CommandPanel::TabChain() const {
    std::vector<QWidget*> chain = settings_.FieldsInTabOrder();
    const auto add = [this, &chain](std::initializer_list<const char*> names) {
        for (const char* name : names) chain.push_back(findChild<QWidget*>(name));
    };
    add({"copyLastStepRotatedLeftButton", "copyLastStepRotatedRightButton", "copyLastStepButton",
         "copyLastStepShiftedRightButton", "copyLastStepShiftedLeftButton", "importBitmapButton",
         "exportBitmapButton", "saveShowButton", "loadShowButton", "appendShowButton",
         "appendTimesSpinner"});
    chain.push_back(settings_.SingleColourCheck());
    add({"chaserLeftButton", "chaserRightButton", "stretchFirstStepButton",
         "rotateFirstStepLeftButton", "rotateFirstStepRightButton", "clearShowButton",
         "brightenButton", "rainbowButton", "mirrorShowHorizontalButton",
         "mirrorShowVerticalButton"});
    add({"previewSpeedBar"});
    add({"undoButton", "redoButton"});
    return chain;
}

} // namespace velkaro
