#include "ui/FileDialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QFile>
#include <QToolTip>

namespace velkaro {

namespace {

// The name field's completion list is a window of its own: QCompleter takes it out of the
// dialog and makes it a parentless popup, so hiding the dialog does not hide it. While the
// list is open it holds the keyboard, and it hands Return to the name field, whose
// returnPressed accepts the dialog; the dialog goes, the list stays on screen with the pointer
// grab and swallows the next click anywhere. Closing every list (and a tooltip) of the dialog
// whenever the dialog hides covers each way it goes: accepted, cancelled, or before a message
// of the command that follows.
class PopupsCloseWithDialog : public QObject {
public:
    explicit PopupsCloseWithDialog(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == dialog_ && event->type() == QEvent::Hide) ClosePopups();
        return false;
    }

private:
    void ClosePopups() const {
        for (QCompleter* completer : dialog_->findChildren<QCompleter*>())
            if (completer->popup()->isVisible()) completer->popup()->hide();
        QToolTip::hideText();
    }

    QWidget* dialog_;
};

} // namespace

QFileDialog* NewFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    new PopupsCloseWithDialog(dialog);
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
