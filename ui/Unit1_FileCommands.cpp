// The "Datei" commands: loading, saving and appending DMX show files.
#include "ui/Unit1.h"

#include "files/ShowFile.h"
#include "ui/ErrorHandling.h"
#include "ui/controls/UpDown.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace velkaro {

namespace {

QFileDialog* NewShowDialog(QWidget* parent, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    // Shown as "DMX"; the pattern takes the extension in any letter case.
    dialog->setNameFilter("DMX (*.[dD][mM][xX])");
    dialog->setDefaultSuffix("DMX");
    dialog->setAcceptMode(mode);
    // A file to open need not exist: the load then reports that it is missing.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

// The path the user chose, or an empty string when the dialog was cancelled.
QString ChooseFile(QFileDialog* dialog) {
    if (dialog->exec() != QDialog::Accepted) return {};
    return dialog->selectedFiles().value(0);
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void TFVelkaro::ConnectFileCommands() {
    fod = NewShowDialog(this, QFileDialog::AcceptOpen);
    fsd = NewShowDialog(this, QFileDialog::AcceptSave);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button39, &QPushButton::clicked, this, [this] { Button39Click(); });
}

void TFVelkaro::LoadShow(const QString& path, bool append) {
    const auto takeFirstRecord = [this](const ShowRecord::StepTiming& timing) {
        if (auto* item = RGMItems->button(timing.BlendMode)) item->setChecked(true);
        uds->SetPosition(timing.StepLength);
    };
    LoadResult result;
    try {
        result = velkaro::LoadShow(LocalPath(path), append, Cells, MonoMode(), append ? Steps() : 1,
                                   takeFirstRecord);
    } catch (...) {
        // A load that failed part-way has already cleared the grid and read some records;
        // the view must show that, not the show that is gone.
        PaintGrid();
        throw;
    }
    // As text, so the fields decide: zero steps or more than 10000 leave Steps as it was.
    ELZ->setText(QString::number(result.StepsText));
    ENX->setText(QString::number(result.OutputsText));
}

void TFVelkaro::SaveShow(const QString& path) {
    velkaro::SaveShow(LocalPath(path), Cells, Settings(), MonoMode());
}

void TFVelkaro::Button1Click() {
    RunGuarded(this, [this] {
        SkipMouseUp = true;
        const QString path = ChooseFile(fod);
        if (path.isEmpty()) return;
        fsd->selectFile(path);
        SetCaption(path);
        LoadShow(path, false);
        PaintGrid();
    });
}

void TFVelkaro::Button2Click() {
    RunGuarded(this, [this] {
        SkipMouseUp = true;
        const QString path = ChooseFile(fsd);
        if (path.isEmpty()) return;
        SetCaption(path);
        SaveShow(path);
    });
}

void TFVelkaro::Button39Click() {
    RunGuarded(this, [this] {
        SkipMouseUp = true;
        const QString path = ChooseFile(fod);
        if (path.isEmpty()) return;
        fsd->selectFile(path);
        SetCaption(path);
        // Text that is not a number counts as the least number of times.
        SEnmal->interpretText();
        const int times = SEnmal->value();
        for (int i = 0; i < times; ++i) LoadShow(path, true);
        PaintGrid();
    });
}

// The caption shows a path exactly as given: Qt would read "[*]" in it as the marker of a
// modified document, unless it is doubled.
void TFVelkaro::SetCaption(const QString& text) {
    setWindowTitle(QString(text).replace("[*]", "[*][*]"));
}

void TFVelkaro::LoadCommandLineShow() {
    if (arguments_.isEmpty()) return;
    const QString path = arguments_.first();
    SetCaption(path);
    LoadShow(path, false);
    fod->selectFile(path);
}

} // namespace velkaro
