#pragma once

#include "model/ShowSettings.h"

#include <QObject>

#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace velkaro {

class UpDown;

// The show's settings as the user edits them: the outputs, steps and step length fields with
// their spinners, the blend mode, single-colour mode and the number of shown steps. The
// controls hold the live values; everything reads them at the moment of use.
class SettingsControls : public QObject {
    Q_OBJECT
public:
    explicit SettingsControls(QObject* parent);

    // Each fills the group box the command panel places for it.
    void BuildSingleColourCheck(QGroupBox* box);
    void BuildOutputsField(QGroupBox* box);
    void BuildStepsField(QGroupBox* box);
    void BuildStepLengthField(QGroupBox* box);
    void BuildBlendModeButtons(QGroupBox* box);
    void BuildShownStepsSpinner(QGroupBox* box);

    // Connects the controls and fills the fields once from their spinners.
    void Start();

    int Outputs() const;
    int Steps() const;
    int StepLength() const;
    int BlendMode() const;
    bool MonoMode() const;
    int ShownRows() const;
    ShowSettings Values() const;

    // Each runs the control's change handler before it returns.
    void SetOutputs(int outputs);
    void SetSteps(int steps);
    void SetStepLength(int stepLength);
    void SetBlendMode(int blendMode);
    void SetShownRows(int rows);
    void SetAllowedSteps(int maxSteps);
    // As text, so the fields' own rules refuse what is out of range.
    void TypeOutputs(int outputs);
    void TypeSteps(int steps);
    // Puts the focus into the outputs field with its text selected, as at start-up.
    void FocusOutputs();

    // The outputs, steps and length fields and the mode buttons, in the order Tab visits them.
    std::vector<QWidget*> FieldsInTabOrder() const;
    QWidget* SingleColourCheck() const;

signals:
    void outputsChanged();
    void stepsChanged();
    void shownRowsChanged();
    void singleColourClicked();
    // Any value the lamps play by changed: outputs, steps, step length, blend mode, mono.
    void playbackChanged();

private:
    QLineEdit* outputsEdit_ = nullptr;
    UpDown* outputsSpinner_ = nullptr;
    QLineEdit* stepsEdit_ = nullptr;
    UpDown* stepsSpinner_ = nullptr;
    QLineEdit* stepLengthEdit_ = nullptr;
    UpDown* stepLengthSpinner_ = nullptr;
    QButtonGroup* blendModeButtons_ = nullptr;
    QCheckBox* singleColourCheck_ = nullptr;
    QSpinBox* shownStepsSpinner_ = nullptr;
    QCheckBox* shownStepsAutomaticCheck_ = nullptr;
};

} // namespace velkaro
