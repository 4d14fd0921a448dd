#include "ui/Application.h"
#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    velkaro::ApplyVelkaroLook(app);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    velkaro::MainWindow window(arguments.value(0));
    window.show();
    // Without a window manager nothing activates a new window; the editor's start-up relies
    // on being activated once.
    window.activateWindow();
    return app.exec();
}
