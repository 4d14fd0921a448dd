#pragma once

#include "ui/controls/Align.h"
#include "ui/controls/Panel.h"

#include <QRect>

class QGroupBox;
class QPushButton;

namespace velkaro {

// A panel at the window's right edge whose group boxes stack from the top, each as wide as the
// panel, with buttons placed where the panel's layout puts them.
class SidePanel : public Panel {
    Q_OBJECT
public:
    static constexpr int Width = 141;

protected:
    SidePanel(QWidget* parent, const char* name);

    QGroupBox* NewGroup(const QString& name, const QString& caption, int height,
                        Align align = Align::Top);
    QPushButton* NewButton(QGroupBox* box, const QString& name, const QString& caption,
                           QRect geometry);
};

} // namespace velkaro
