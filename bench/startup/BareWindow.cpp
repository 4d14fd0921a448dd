// The yardstick for the editor's start-up: an empty Qt window of the main window's size, with
// nothing behind it but QApplication. What the editor takes beyond this is its own.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare Qt window");
    window.resize(1105, 809);
    window.show();
    return app.exec();
}
