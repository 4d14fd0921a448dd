// The order in which the Tab key visits the controls: the palette's sliders, the command panel,
// then the selection panel while it is shown. Nothing else takes the focus by Tab.
#include "ui/CommandPanel.h"
#include "ui/LiveOutput.h"
#include "ui/MainWindow.h"
#include "ui/SelectionPanel.h"

#include <algorithm>

namespace velkaro {

std::vector<QWidget*> MainWindow::TabChain() const {
    std::vector<QWidget*> chain;
    for (const char* slider : {"redSlider", "greenSlider", "blueSlider"})
        chain.push_back(findChild<QWidget*>(slider));
    for (const auto& panelChain : {commandPanel_->TabChain(), selectionPanel_->TabChain()})
        chain.insert(chain.end(), panelChain.begin(), panelChain.end());
    for (QWidget* live : liveOutput_->TabChain()) chain.push_back(live);
    return chain;
}

// Runs once the palette is docked, since the Tab key only moves within one window.
void MainWindow::ArrangeTabOrder() {
    const std::vector<QWidget*> chain = TabChain();
    const auto inChain = [&chain](const QWidget* widget) {
        // A listed control's own parts, like the field inside a spin edit, go with it.
        for (; widget; widget = widget->parentWidget())
            if (std::find(chain.begin(), chain.end(), widget) != chain.end()) return true;
        return false;
    };
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (!inChain(widget) && (widget->focusPolicy() & Qt::TabFocus))
            widget->setFocusPolicy(widget->focusPolicy() == Qt::StrongFocus ? Qt::ClickFocus
                                                                            : Qt::NoFocus);
    }
    // Qt's scroll bars take no focus of their own; here they do, so the arrow keys move them.
    for (QWidget* widget : chain)
        if (!(widget->focusPolicy() & Qt::TabFocus)) widget->setFocusPolicy(Qt::StrongFocus);
    for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

} // namespace velkaro
