// The order in which the Tab key visits the controls: the palette's sliders, the main panel,
// then the selection panel while it is shown. Nothing else takes the focus by Tab.
#include "ui/Unit1.h"
#include "ui/upalette.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include <algorithm>
#include <vector>

namespace velkaro {

std::vector<QWidget*> TFVelkaro::TabChain() const {
    std::vector<QWidget*> chain{FPalette->sbr, FPalette->sbg, FPalette->sbb, ENX, ELZ, ES};
    for (QAbstractButton* item : RGMItems->buttons()) chain.push_back(item);
    const std::vector<QWidget*> rest{
        Button3,  Button4,  Button13, Button37, Button38, Button5,  Button6,  Button2,  Button1,
        Button39, SEnmal,   cbmono,   Button9,  Button10, Button11, Button19, Button20, Button14,
        Button12, Button35, Button17, Button18, sbp,      Button15, Button16, Button7,  Button8,
        Button21, Button36, Button22, Button23, Button24, Button29, Button30, Button26, Button27,
        Button25, Button28, Button31, Button32, Button33, Button34, Button40};
    chain.insert(chain.end(), rest.begin(), rest.end());
    return chain;
}

// Runs once the palette is docked, since the Tab key only moves within one window.
void TFVelkaro::ArrangeTabOrder() {
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
