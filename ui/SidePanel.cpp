#include "ui/SidePanel.h"

#include <QGroupBox>
#include <QPushButton>

namespace velkaro {

SidePanel::SidePanel(QWidget* parent, const char* name, std::span<const ButtonCommand> buttons)
    : Panel(parent, {}, Bevel::Lowered), buttons_(buttons) {
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
    for (const ButtonCommand& command : buttons_) {
        if (name != QLatin1String(command.Group)) continue;
        auto* button = new QPushButton(QString::fromUtf8(command.Caption), box);
        button->setObjectName(command.Name);
        button->setGeometry(command.Geometry);
        if (*command.Hint) button->setToolTip(QString::fromUtf8(command.Hint));
    }
    return box;
}

void SidePanel::ConnectButtons(const WindowCommands& window) {
    for (const ButtonCommand& command : buttons_) {
        auto* button = findChild<QPushButton*>(command.Name);
        Q_ASSERT_X(button, command.Name, "a table button without its group box");
        connect(button, &QPushButton::clicked, this,
                [&window, &run = command.Run] { run(window); });
    }
}

std::vector<QWidget*> SidePanel::ButtonsInTabOrder() const {
    std::vector<QWidget*> buttons;
    buttons.reserve(buttons_.size());
    for (const ButtonCommand& command : buttons_)
        buttons.push_back(findChild<QWidget*>(command.Name));
    return buttons;
}

} // namespace velkaro
