#pragma once

#include "ui/ButtonCommand.h"
#include "ui/controls/Align.h"
#include "ui/controls/Panel.h"

#include <span>
#include <vector>

class QGroupBox;

namespace velkaro {

struct WindowCommands;

// A panel at the window's right edge whose group boxes stack from the top, each as wide as the
// panel. Its buttons come from the panel's table: each group box, as it is made, receives the
// table's buttons for it.
class SidePanel : public Panel {
    Q_OBJECT
public:
    static constexpr int Width = 141;

    // Lets every button of the table run its command on the window's parts.
    virtual void ConnectButtons(const WindowCommands& window);

protected:
    SidePanel(QWidget* parent, const char* name, std::span<const ButtonCommand> buttons);

    QGroupBox* NewGroup(const QString& name, const QString& caption, int height,
                        Align align = Align::Top);
    // The table's buttons in its order, which is the order the Tab key visits them.
    std::vector<QWidget*> ButtonsInTabOrder() const;

private:
    std::span<const ButtonCommand> buttons_;
};

} // namespace velkaro
