#include "ui/Application.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace velkaro {

void ApplyVelkaroLook(QApplication& app) {
    if (auto* style = QStyleFactory::create("Fusion")) app.setStyle(style);
    // A condensed face keeps the captions within the narrow places the panels give them.
    QFont font("DejaVu Sans Condensed");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    app.setFont(font);
}

} // namespace velkaro
