#include "WindowFixture.h"

#include "files/ShowFile.h"
#include "ui/RecoveryCopies.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace velkaro {
namespace {

std::vector<unsigned char> ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FileCommandsTest : public WindowTest {
protected:
    // Answers the next file dialog: chooses name in the test folder, or cancels when empty.
    void AnswerNextDialog(const QString& name) {
        QTimer::singleShot(0, [this, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(dir.path());
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    QString PathOf(const QString& name) const { return dir.path() + "/" + name; }

    // A show of the given steps whose step r has output r lit in a colour of its own.
    void MakeShow(int steps) {
        SetSteps(steps);
        for (int r = 0; r < steps; ++r) w->Show().Cells[r][r] = RGB(10 + r, 20, 30);
    }

    void SaveThroughButton(const QString& name) {
        AnswerNextDialog(name);
        QTest::mouseClick(Child<QPushButton>(*w, "saveShowButton"), Qt::LeftButton);
    }

    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, SaveAndLoadThroughTheButtons) {
    MakeShow(3);
    Child<UpDown>(*w, "stepLengthSpinner")->SetPosition(25);
    Child<QButtonGroup>(*w, "blendModeButtons")->button(HalfFadeHalfHoldMode)->setChecked(true);
    SaveThroughButton("show"); // the default extension is added
    EXPECT_EQ(w->windowTitle(), PathOf("show.DMX"));
    EXPECT_TRUE(w->Show().IgnoreNextGridRelease);
    ASSERT_EQ(ReadBytes(PathOf("show.DMX")).size(), 3u * 512u);

    Child<QPushButton>(*w, "clearShowButton")
        ->click(); // any change, so the load has something to replace
    ClearCells(w->Show().Cells);
    SetSteps(7);
    w->Show().IgnoreNextGridRelease = false;
    AnswerNextDialog("show.DMX");
    QTest::mouseClick(Child<QPushButton>(*w, "loadShowButton"), Qt::LeftButton);
    EXPECT_TRUE(w->Show().IgnoreNextGridRelease);
    EXPECT_EQ(w->windowTitle(), PathOf("show.DMX"));
    EXPECT_EQ(w->Settings().Steps(), 3);
    EXPECT_EQ(w->Settings().Outputs(), 3); // the highest lit output of the file
    EXPECT_EQ(w->Settings().BlendMode(), HalfFadeHalfHoldMode);
    EXPECT_EQ(w->Settings().StepLength(), 24); // 12 hold + 12 fade
    EXPECT_EQ(w->Show().Cells[2][2], RGB(12, 20, 30));
    EXPECT_EQ(Child<QFileDialog>(*w, "saveShowDialog")->selectedFiles().value(0),
              PathOf("show.DMX"));
}

TEST_F(FileCommandsTest, SavingAsFseqExportsAndTheShowStaysItsDmxDocument) {
    MakeShow(2);
    const QString title = w->windowTitle();
    ASSERT_TRUE(w->Recovery().HasUnsavedChanges());
    const QStringList kinds = {"FSEQ (*.fseq)", "FSEQ komprimiert (*.fseq)"};
    for (int kind = 0; kind < kinds.size(); ++kind) {
        QTimer::singleShot(0, [this, &kinds, kind] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->nameFilters(), QStringList({"DMX (*.DMX)"}) + kinds);
            dialog->setDirectory(dir.path());
            dialog->selectNameFilter(kinds[kind]);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("show" + QString::number(kind));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QTest::mouseClick(Child<QPushButton>(*w, "saveShowButton"), Qt::LeftButton);
        const auto bytes = ReadBytes(PathOf("show" + QString::number(kind) + ".fseq"));
        ASSERT_GT(bytes.size(), 32u) << QDir(dir.path()).entryList().join(",").toStdString();
        EXPECT_EQ(bytes[20], kind); // plain, then zstd
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_TRUE(w->Recovery().HasUnsavedChanges());
    }
    // The next save is a DMX save again.
    SaveThroughButton("again");
    EXPECT_EQ(w->windowTitle(), PathOf("again.DMX"));
    EXPECT_FALSE(w->Recovery().HasUnsavedChanges());
}

TEST_F(FileCommandsTest, ACancelledDialogChangesNothingButSkipsTheNextRelease) {
    MakeShow(2);
    const QString title = w->windowTitle();
    for (QPushButton* button :
         {Child<QPushButton>(*w, "loadShowButton"), Child<QPushButton>(*w, "saveShowButton"),
          Child<QPushButton>(*w, "appendShowButton")}) {
        w->Show().IgnoreNextGridRelease = false;
        AnswerNextDialog({});
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(w->Show().IgnoreNextGridRelease);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(w->Settings().Steps(), 2);
    }
}

// Answers the question a dialog asks with Yes as soon as it comes; its text, empty if none came.
std::shared_ptr<QString> AnswerNextQuestionYes() {
    auto text = std::make_shared<QString>();
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, text, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (++*tries > 500) poll->deleteLater(); // no question came: stop looking
        if (!box || !box->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        *text = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    poll->start(10);
    return text;
}

// "Speichern" offers the file just loaded, in its own letters, whatever type is chosen again in
// the list; it asks before replacing the file, then replaces it and no other file appears.
TEST_F(FileCommandsTest, SaveOffersTheLoadedFileAsNamedAndReplacesItAfterAsking) {
    MakeShow(2);
    SaveThroughButton("show.dmx");
    AnswerNextDialog("show.dmx");
    QTest::mouseClick(Child<QPushButton>(*w, "loadShowButton"), Qt::LeftButton);
    w->Show().Cells[1][6] = RGB(200, 1, 2);

    QStringList offered;
    std::shared_ptr<QString> question;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        const auto choose = [&](int type) {
            types->setCurrentIndex(type);
            emit types->activated(type);
            offered.append(name->text());
        };
        offered.append(name->text());
        choose(0); // "DMX" once more
        choose(1); // "FSEQ"
        choose(0);
        name->setText("konzert.2026");
        choose(1);
        name->setText("show.dmx");
        choose(0);
        question = AnswerNextQuestionYes();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(Child<QPushButton>(*w, "saveShowButton"), Qt::LeftButton);
    EXPECT_EQ(offered, QStringList({"show.dmx", "show.dmx", "show.fseq", "show.DMX", "konzert.2026",
                                    "show.dmx"}));
    ASSERT_TRUE(question);
    EXPECT_TRUE(question->contains("show.dmx")) << question->toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"show.dmx"}));
    EXPECT_EQ(w->windowTitle(), PathOf("show.dmx"));
    QTemporaryDir other;
    const std::string expected = (other.path() + "/expected.dmx").toStdString();
    SaveShow(expected, w->Show().Cells, w->Settings().Values(), false);
    EXPECT_EQ(ReadBytes(PathOf("show.dmx")), ReadBytes(QString::fromStdString(expected)));
}

TEST_F(FileCommandsTest, AppendRepeatsTheFileAndKeepsModeAndLength) {
    MakeShow(3);
    SaveThroughButton("three.dmx");
    MakeShow(5);
    Child<UpDown>(*w, "stepLengthSpinner")->SetPosition(40);
    Child<QSpinBox>(*w, "appendTimesSpinner")->setValue(2);
    AnswerNextDialog("three.dmx");
    QTest::mouseClick(Child<QPushButton>(*w, "appendShowButton"), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 11);
    EXPECT_EQ(w->Settings().StepLength(), 40);
    EXPECT_EQ(w->Show().Cells[5][0], RGB(10, 20, 30));
    EXPECT_EQ(w->Show().Cells[8][0], RGB(10, 20, 30));
    EXPECT_EQ(w->Show().Cells[10][2], RGB(12, 20, 30));
    EXPECT_EQ(w->Show().Cells[4][4], RGB(14, 20, 30)); // the show before the appended steps stays

    // A repeat count whose text the user deleted counts as once, not as the last value.
    auto* times = Child<QSpinBox>(*w, "appendTimesSpinner")->findChild<QLineEdit*>();
    TypeInto(times, "");
    QTest::keyClick(times, Qt::Key_Backspace);
    AnswerNextDialog("three.dmx");
    QTest::mouseClick(Child<QPushButton>(*w, "appendShowButton"), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 14);
    EXPECT_EQ(Child<QSpinBox>(*w, "appendTimesSpinner")->value(), 1);
}

TEST_F(FileCommandsTest, TheCaptionShowsThePathExactlyAsChosen) {
    SaveThroughButton("lights [*] night.dmx");
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(w->windowHandle()->title(), PathOf("lights [*] night.dmx"));
}

TEST_F(FileCommandsTest, AMissingFileIsReportedAndChangesNothing) {
    MakeShow(4);
    const auto before = w->Show().Cells[3][3];
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    AnswerNextDialog("missing.DMX");
    QTest::mouseClick(Child<QPushButton>(*w, "loadShowButton"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "Datei nicht gefunden.");
    EXPECT_EQ(w->Settings().Steps(), 4);
    EXPECT_EQ(w->Settings().Outputs(), 20);
    EXPECT_EQ(w->Show().Cells[3][3], before);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), undoPos); // loads take no snapshot
    EXPECT_EQ(w->windowTitle(), PathOf("missing.DMX"));
}

TEST_F(FileCommandsTest, SingleColourSaveStoresTheRedByte) {
    w->Show().Cells[0][0] = 0x336699;
    Child<QCheckBox>(*w, "singleColourCheck")->setChecked(true);
    SaveThroughButton("mono.DMX");
    const auto bytes = ReadBytes(PathOf("mono.DMX"));
    ASSERT_EQ(bytes.size(), 512u);
    EXPECT_EQ(bytes[8], 0x99);
    AnswerNextDialog("mono.DMX");
    QTest::mouseClick(Child<QPushButton>(*w, "loadShowButton"), Qt::LeftButton);
    EXPECT_EQ(w->Show().Cells[0][0], 0x999999u);
}

class CommandLineTest : public WindowTest {
protected:
    void SetUp() override {}
    QTemporaryDir dir;
};

TEST_F(CommandLineTest, TheFirstArgumentIsLoadedOnceAtActivation) {
    auto cells = NewGrid();
    cells->At(1, 4) = 0x0000FF;
    const QString path = dir.path() + "/start.dmx";
    SaveShow(path.toStdString(), *cells, ShowSettings{20, 2, 30, HoldMode}, false);

    Start({path, "ignored.dmx"});
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(w->windowTitle(), path);
    EXPECT_EQ(w->Settings().Steps(), 2);
    EXPECT_EQ(w->Settings().Outputs(), 5);
    EXPECT_EQ(w->Settings().BlendMode(), HoldMode);
    EXPECT_EQ(w->Settings().StepLength(), 30);
    EXPECT_EQ(w->Show().Cells[1][4], 0x0000FFu);
    EXPECT_EQ(Child<QFileDialog>(*w, "openShowDialog")->selectedFiles().value(0), path);
    EXPECT_TRUE(
        Child<QFileDialog>(*w, "saveShowDialog")->selectedFiles().value(0).isEmpty() ||
        !Child<QFileDialog>(*w, "saveShowDialog")->selectedFiles().value(0).endsWith("start.dmx"));
}

TEST_F(CommandLineTest, AMissingFileGivesOneMessageAndTheWindowWorks) {
    Start({"no/such/show.dmx"});
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QString::fromUtf8("Ungültiger Dateiname."));
    EXPECT_EQ(w->windowTitle(), "no/such/show.dmx");
    EXPECT_EQ(w->Settings().Steps(), 1);
    SetSteps(3);
    EXPECT_EQ(w->Settings().Steps(), 3);
}

} // namespace
} // namespace velkaro
