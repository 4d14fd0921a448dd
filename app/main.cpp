#include "ui/Application.h"
#include "ui/UPV.h"
#include "ui/Unit1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    velkaro::ApplyVelkaroLook(app);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    velkaro::TFVelkaro FVelkaro(arguments);
    // The main window has created its palette window, hidden; then the picture window.
    velkaro::TFPV FPV;

    FVelkaro.show();
    // Without a window manager nothing activates a new window; the editor's start-up relies
    // on being activated once.
    FVelkaro.activateWindow();
    return app.exec();
}
