#pragma once

#include "ui/SidePanel.h"

#include <functional>

#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace velkaro {

class SettingsControls;

// The main side panel: the settings, the file and bitmap commands and the step generators.
// It only places its controls and says which command was asked for; the command classes do
// the work.
class CommandPanel : public SidePanel {
    Q_OBJECT
public:
    // The preview places its speed bar, the live output its controls into the boxes given to
    // them here.
    using GroupBuilder = std::function<void(QGroupBox* box)>;

    CommandPanel(QWidget* parent, SettingsControls& settings, const GroupBuilder& speedBar,
                 const GroupBuilder& liveOutput);

    // How often "Anhängen" appends the file; text that is no number counts as once.
    int AppendTimes();
    // The controls of this panel in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const;

signals:
    void loadShowClicked();
    void saveShowClicked();
    void appendShowClicked();
    void copyLastStepRotatedLeftClicked();
    void copyLastStepClicked();
    void copyLastStepRotatedRightClicked();
    void copyLastStepShiftedLeftClicked();
    void copyLastStepShiftedRightClicked();
    void importBitmapClicked();
    void exportBitmapClicked();
    void chaserLeftClicked();
    void chaserRightClicked();
    void stretchFirstStepClicked();
    void rotateFirstStepLeftClicked();
    void rotateFirstStepRightClicked();
    void mirrorShowHorizontalClicked();
    void mirrorShowVerticalClicked();
    void clearShowClicked();
    void brightenClicked();
    void rainbowClicked();
    void undoClicked();
    void redoClicked();

private:
    QPushButton* NewButton(QGroupBox* box, const QString& name, const QString& caption,
                           QRect geometry, void (CommandPanel::*clicked)());
    void BuildFileGroup();
    void BuildCopyLastStepGroup();
    void BuildGeneratorGroups();
    void BuildEditGroups();

    SettingsControls& settings_;
    QSpinBox* appendTimesSpinner_ = nullptr;
};

} // namespace velkaro
