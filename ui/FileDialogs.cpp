#include "ui/FileDialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
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

// "DMX (*.DMX)" gives "DMX": the extension of the filter's first pattern.
QString ExtensionOf(const QString& filter) {
    const qsizetype start = filter.indexOf("(*.");
    if (start < 0) return {};
    qsizetype end = start + 3;
    while (end < filter.size() && filter[end] != ' ' && filter[end] != ')') ++end;
    return filter.mid(start + 3, end - start - 3);
}

QStringList ExtensionsOf(const QStringList& filters) {
    QStringList extensions;
    for (const QString& filter : filters) extensions.append(ExtensionOf(filter));
    return extensions;
}

// The name offered once a type with `extension` is chosen: an extension of one of the
// `typeExtensions` is replaced, in any letter case; any other name stays as it was typed.
QString NameForFileType(const QString& name, const QString& extension,
                        const QStringList& typeExtensions) {
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty() || extension.isEmpty()) return name;
    if (suffix.compare(extension, Qt::CaseInsensitive) == 0) return name;
    if (!typeExtensions.contains(suffix, Qt::CaseInsensitive)) return name;
    return name.left(name.size() - suffix.size()) + extension;
}

// Qt answers a choice in the type list by putting the filter's pattern text in place of any
// extension the name has, so "show.dmx" would become a new file "show.DMX" beside the loaded
// one, and a name typed as "konzert.2026" would lose its end. The list's choices go through
// SelectFileType instead; the name gets the default extension of the chosen type either way.
void FollowTypeChoices(QFileDialog* dialog) {
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    QObject::disconnect(types, SIGNAL(activated(int)), dialog, nullptr);
    QObject::connect(types, &QComboBox::activated, dialog, [dialog](int index) {
        SelectFileType(dialog, dialog->nameFilters().value(index));
    });
    QObject::connect(types, &QComboBox::currentIndexChanged, dialog, [dialog](int index) {
        dialog->setDefaultSuffix(ExtensionOf(dialog->nameFilters().value(index)));
    });
}

} // namespace

QFileDialog* NewFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode,
                           const QStringList& filters) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    // The file list matches a pattern in any letter case, as no QDir::CaseSensitive is set.
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(ExtensionOf(filters.value(0)));
    if (mode == QFileDialog::AcceptSave) FollowTypeChoices(dialog);
    new PopupsCloseWithDialog(dialog);
    return dialog;
}

void SelectFileType(QFileDialog* dialog, const QString& filter) {
    auto* nameField = dialog->findChild<QLineEdit*>("fileNameEdit");
    const QString name = nameField->text();
    dialog->selectNameFilter(filter);
    nameField->setText(
        NameForFileType(name, ExtensionOf(filter), ExtensionsOf(dialog->nameFilters())));
}

QString ChooseFile(QFileDialog* dialog) {
    if (dialog->exec() != QDialog::Accepted) return {};
    return dialog->selectedFiles().value(0);
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace velkaro
