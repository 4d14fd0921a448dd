#pragma once

#include "ui/SidePanel.h"

#include <functional>
#include <span>
#include <vector>

class QGroupBox;
class QSpinBox;

namespace velkaro {

class SettingsControls;

// The main side panel: the settings, the file and bitmap commands and the step generators.
// It only places its controls; its buttons run what its table gives them.
class CommandPanel : public SidePanel {
    Q_OBJECT
public:
    // The preview places its speed bar, the live output its controls into the boxes given to
    // them here.
    using GroupBuilder = std::function<void(QGroupBox* box)>;

    CommandPanel(QWidget* parent, SettingsControls& settings, const GroupBuilder& speedBar,
                 const GroupBuilder& liveOutput);

    // Every button of this panel (CommandPanelButtons.cpp), in the order the Tab key visits
    // them.
    static std::span<const ButtonCommand> Buttons();

    // How often "Anhängen" appends the file; text that is no number counts as once.
    int AppendTimes();
    // The controls of this panel in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const;

private:
    void BuildFileGroup();
    void BuildChaserGroup();

    SettingsControls& settings_;
    QSpinBox* appendTimesSpinner_ = nullptr;
};

} // namespace velkaro
