#include "ui/FileDialogs.h"

#include <QFile>

namespace velkaro {

QFileDialog* NewFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

QString ChooseFile(QFileDialog* dialog) {
    if (dialog->exec() != QDialog::Accepted) return {};
    return dialog->selectedFiles().value(0);
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace velkaro
