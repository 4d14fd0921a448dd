#include "ui/SidePanel.h"

#include <QGroupBox>
#include <QPushButton>

namespace velkaro {

SidePanel::SidePanel(QWidget* parent, const char* name) : Panel(parent, {}, Bevel::Lowered) {
    setObjectName(name);
    resize(Width, parent->height());
    SetAlign(this, Align::Right);
}

QGroupBox* SidePanel::NewGroup(const QString& name, const QString& caption, int height,
                               Align align) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(name);
    box->resize(Width, height);
    SetAlign(box, align);
    return box;
}

QPushButton* SidePanel::NewButton(QGroupBox* box, const QString& name, const QString& caption,
                                  QRect geometry) {
    auto* button = new QPushButton(caption, box);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

} // namespace velkaro
