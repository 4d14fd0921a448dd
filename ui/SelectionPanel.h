#pragma once

#include "ui/SidePanel.h"

#include <span>

namespace velkaro {

// The side panel shown instead of the command panel while a block is selected: whole rows and
// columns of the selection, the block commands and "Auswahl beenden". It only places its
// controls; its buttons run what its table gives them.
class SelectionPanel : public SidePanel {
    Q_OBJECT
public:
    explicit SelectionPanel(QWidget* parent);

    // Every button of this panel (SelectionPanelButtons.cpp), in the order the Tab key visits
    // them.
    static std::span<const ButtonCommand> Buttons();

    // Also "Auswahl beenden", which is a panel rather than a button.
    void ConnectButtons(const WindowCommands& window) override;

    // The controls of this panel in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const { return ButtonsInTabOrder(); }

private:
    Panel* endSelection_ = nullptr;
};

} // namespace velkaro
