#include "ui/Application.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace velkaro {

void ApplyVelkaroLook(QApplication& app) {
    if (auto* style = QStyleFactory::create("Fusion")) app.setStyle(style);
    QFont font("DejaVu Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    app.setFont(font);
}

} // namespace velkaro
