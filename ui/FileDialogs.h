#pragma once

#include <QFileDialog>
#include <QString>

#include <string>

namespace velkaro {

// A file dialog as all of ours are: Qt's own (the same everywhere), one filter showing only its
// name, any file name accepted (opening a missing one reports it), a size grip. Whatever pops up
// from it (the name completion list, a tooltip) goes when the dialog goes.
QFileDialog* NewFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode);

// Runs the dialog; the chosen path, or an empty one when the user cancels.
QString ChooseFile(QFileDialog* dialog);

// A path as the file functions take it, in the file system's encoding.
std::string LocalPath(const QString& path);

} // namespace velkaro
