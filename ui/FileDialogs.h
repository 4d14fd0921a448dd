#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <string>

namespace velkaro {

// A file dialog as all of ours are: Qt's own (the same everywhere), filters showing only their
// names, any file name accepted (opening a missing one reports it), a size grip. Whatever pops
// up from it (the name completion list, a tooltip) goes when the dialog goes. It offers
// `filters`, each "Name (*.EXT)" (the list matches EXT in any letter case), and a name typed
// without an extension gets the chosen type's.
QFileDialog* NewFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode,
                           const QStringList& filters);

// Chooses a type of a save dialog as a choice in its list does. The name it offers keeps its
// own letters: only the extension of another of the dialog's types becomes the chosen one's.
void SelectFileType(QFileDialog* dialog, const QString& filter);

// Runs the dialog; the chosen path, or an empty one when the user cancels.
QString ChooseFile(QFileDialog* dialog);

// A path as the file functions take it, in the file system's encoding.
std::string LocalPath(const QString& path);

} // namespace velkaro
