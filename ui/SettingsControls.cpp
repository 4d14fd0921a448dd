// The settings fields, their spinners and the mode controls.
#include "ui/SettingsControls.h"

#include "model/Grid.h"
#include "ui/controls/UpDown.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace velkaro {

namespace {

struct NumberField {
    QLineEdit* field;
    UpDown* spinner;
};

// An edit field with its spinner to the right, as the three settings boxes place them.
NumberField NewNumberField(QGroupBox* box, const QString& name, int min, int max, int position,
                           int typedLimit, const QString& hint) {
    auto* field = new QLineEdit(box);
    field->setObjectName(name + "Edit");
    field->setGeometry(8, 16, 97, 21);
    field->setToolTip(hint);
    field->setAccessibleName(box->title());
    auto* spinner = new UpDown(box, field, min, max, position, typedLimit);
    spinner->setObjectName(name + "Spinner");
    spinner->setAccessibleName(box->title());
    spinner->setGeometry(105, 16, 16, 21);
    return {field, spinner};
}

} // namespace

SettingsControls::SettingsControls(QObject* parent) : QObject(parent) {}

void SettingsControls::BuildSingleColourCheck(QGroupBox* box) {
    singleColourCheck_ = new QCheckBox("Einfarbig", box);
    singleColourCheck_->setObjectName("singleColourCheck");
    singleColourCheck_->setGeometry(56, 0, 97, 17);
}

void SettingsControls::BuildOutputsField(QGroupBox* box) {
    const auto outputs = NewNumberField(box, "outputs", MinOutputs, MaxOutputs, 20, 3,
                                        "Anzahl der zu steuernden RGB-Gruppen");
    outputsEdit_ = outputs.field;
    outputsSpinner_ = outputs.spinner;
}

void SettingsControls::BuildStepsField(QGroupBox* box) {
    const auto steps =
        NewNumberField(box, "steps", MinSteps, 1000, 1, 4,
                       "Die Letzte Zeile gibt an, welches die zuletzt gezeigte Szene ist.");
    stepsEdit_ = steps.field;
    stepsSpinner_ = steps.spinner;
}

void SettingsControls::BuildStepLengthField(QGroupBox* box) {
    const auto length = NewNumberField(box, "stepLength", MinStepLength, MaxStepLength, 10, 5,
                                       "Anzeigedauer pro Szene");
    stepLengthEdit_ = length.field;
    stepLengthSpinner_ = length.spinner;
}

void SettingsControls::BuildBlendModeButtons(QGroupBox* box) {
    blendModeButtons_ = new QButtonGroup(box);
    blendModeButtons_->setObjectName("blendModeButtons");
    const char* captions[] = {"100% Fade", "100% Hold", "50% Fade / 50% Hold"};
    const char* names[] = {"fadeModeButton", "holdModeButton", "halfFadeHalfHoldModeButton"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(captions[i], box);
        item->setObjectName(names[i]);
        item->setGeometry(8, 14 + 16 * i, 128, 16);
        blendModeButtons_->addButton(item, i);
    }
    blendModeButtons_->button(FadeMode)->setChecked(true);
}

void SettingsControls::BuildShownStepsSpinner(QGroupBox* box) {
    shownStepsSpinner_ = new QSpinBox(box);
    shownStepsSpinner_->setObjectName("shownStepsSpinner");
    shownStepsSpinner_->setAccessibleName("Angezeigte Schritte");
    shownStepsSpinner_->setGeometry(8, 19, 41, 22);
    shownStepsSpinner_->setRange(1, 200);
    shownStepsSpinner_->setValue(10);
    shownStepsSpinner_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    shownStepsAutomaticCheck_ = new QCheckBox("Automatisch", box);
    shownStepsAutomaticCheck_->setObjectName("shownStepsAutomaticCheck");
    shownStepsAutomaticCheck_->setGeometry(56, 20, 97, 17);
    shownStepsAutomaticCheck_->setChecked(true);
}

void SettingsControls::Start() {
    outputsSpinner_->OnChange = [this] {
        SetFieldText(outputsEdit_, QString::number(outputsSpinner_->Position()));
        emit outputsChanged();
        emit playbackChanged();
    };
    stepsSpinner_->OnChange = [this] {
        SetFieldText(stepsEdit_, QString::number(stepsSpinner_->Position()));
        emit stepsChanged();
        emit playbackChanged();
    };
    stepLengthSpinner_->OnChange = [this] {
        SetFieldText(stepLengthEdit_, QString::number(stepLengthSpinner_->Position()));
        emit playbackChanged();
    };
    connect(shownStepsSpinner_, &QSpinBox::valueChanged, this, [this] {
        if (shownStepsSpinner_->value() == 0) shownStepsSpinner_->setValue(1);
        emit shownRowsChanged();
    });
    connect(singleColourCheck_, &QCheckBox::clicked, this, [this] { emit singleColourClicked(); });
    // Also when a loaded show or a test sets them, not only on a click.
    connect(singleColourCheck_, &QCheckBox::toggled, this, &SettingsControls::playbackChanged);
    connect(blendModeButtons_, &QButtonGroup::idToggled, this, &SettingsControls::playbackChanged);
    // The spinners fill their fields once while the window is created.
    outputsSpinner_->OnChange();
    stepsSpinner_->OnChange();
    stepLengthSpinner_->OnChange();
}

int SettingsControls::Outputs() const {
    return outputsSpinner_->Position();
}
int SettingsControls::Steps() const {
    return stepsSpinner_->Position();
}
int SettingsControls::StepLength() const {
    return stepLengthSpinner_->Position();
}
int SettingsControls::BlendMode() const {
    return std::max(blendModeButtons_->checkedId(), 0);
}
bool SettingsControls::MonoMode() const {
    return singleColourCheck_->isChecked();
}
int SettingsControls::ShownRows() const {
    return shownStepsSpinner_->value();
}
ShowSettings SettingsControls::Values() const {
    return {Outputs(), Steps(), StepLength(), BlendMode()};
}

void SettingsControls::SetOutputs(int outputs) {
    outputsSpinner_->SetPosition(outputs);
}
void SettingsControls::SetSteps(int steps) {
    stepsSpinner_->SetPosition(steps);
}
void SettingsControls::SetStepLength(int stepLength) {
    stepLengthSpinner_->SetPosition(stepLength);
}
void SettingsControls::SetBlendMode(int blendMode) {
    if (auto* item = blendModeButtons_->button(blendMode)) item->setChecked(true);
}
void SettingsControls::SetShownRows(int rows) {
    shownStepsSpinner_->setValue(rows);
}
void SettingsControls::SetAllowedSteps(int maxSteps) {
    stepsSpinner_->SetMax(maxSteps);
}
void SettingsControls::TypeOutputs(int outputs) {
    outputsEdit_->setText(QString::number(outputs));
}
void SettingsControls::TypeSteps(int steps) {
    stepsEdit_->setText(QString::number(steps));
}

void SettingsControls::FocusOutputs() {
    outputsEdit_->setFocus();
    outputsEdit_->selectAll();
}

std::vector<QWidget*> SettingsControls::FieldsInTabOrder() const {
    std::vector<QWidget*> chain{outputsEdit_, stepsEdit_, stepLengthEdit_};
    for (QAbstractButton* item : blendModeButtons_->buttons()) chain.push_back(item);
    return chain;
}

QWidget* SettingsControls::SingleColourCheck() const {
    return singleColourCheck_;
}

} // namespace velkaro
