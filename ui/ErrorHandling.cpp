#include "ui/ErrorHandling.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace velkaro {

namespace {

ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

} // namespace

QString ApplicationTitle() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

void ShowStandardError(QWidget* parent, const std::string& message) {
    const QString text = QString::fromStdString(WithFullStop(message));
    if (Presenter()) {
        Presenter()(ApplicationTitle(), text);
        return;
    }
    QMessageBox::critical(parent, ApplicationTitle(), text, QMessageBox::Ok);
}

void SetErrorPresenter(ErrorPresenter presenter) {
    Presenter() = std::move(presenter);
}

} // namespace velkaro
