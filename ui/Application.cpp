#include "ui/Application.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

namespace velkaro {

void ApplyVelkaroLook(QApplication& app) {
    if (auto* style = QStyleFactory::create("Fusion")) app.setStyle(style);
    // A condensed face keeps the captions within the narrow places the panels give them.
    QFont font("DejaVu Sans Condensed");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    app.setFont(font);
    // The editor speaks German, so Qt's own dialogs (file choosers, their questions) do too.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::German), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

} // namespace velkaro
