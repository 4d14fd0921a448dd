#pragma once

#include "ui/controls/Panel.h"

namespace velkaro {

// The bar below the grid: the output and step under the mouse, the mouse help and the link to
// the program's web page.
class StatusBar : public Panel {
    Q_OBJECT
public:
    static constexpr const char* HelpText = "Maustasten : [Links] Farbe setzen   [Mitte]  UNDO   "
                                            "[Rechts] Farbe aufnehmen und Bereich markieren";
    static constexpr const char* WebAddress = "velkaro.example.org";
    static constexpr const char* WebLink = "https://velkaro.example.org/";

    explicit StatusBar(QWidget* parent);

    void ShowCell(int col, int row);

private:
    Panel* outputStatus_ = nullptr;
    Panel* stepStatus_ = nullptr;
};

} // namespace velkaro
