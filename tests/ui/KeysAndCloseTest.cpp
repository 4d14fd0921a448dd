// The window's keys, each against its button, and the recovery copy written when the window
// closes with unsaved changes.
#include "WindowFixture.h"

#include "files/ShowFile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>

namespace velkaro {
namespace {

class KeysTest : public WindowTest {
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(w.get(), key, modifiers);
    }
    void PaintCell(int col, int row) {
        const int x = col * w->View().ColWidth() + 2;
        const int y = (row - w->View().TopRow()) * w->View().RowHeight() + 2;
        QTest::mouseClick(Child<PaintBox>(*w, "gridPaintBox"), Qt::LeftButton, {}, QPoint(x, y));
    }
    void SelectBlock() {
        PaintBox* grid = Child<PaintBox>(*w, "gridPaintBox");
        const QPoint from(2, 2);
        const QPoint to(2 * w->View().ColWidth() + 2, 2);
        QTest::mousePress(grid, Qt::RightButton, {}, from);
        QTest::mouseMove(grid, to);
        QTest::mouseRelease(grid, Qt::RightButton, {}, to);
        ASSERT_TRUE(w->Show().Sel.SelActive);
    }
    // Runs `answer` on the next file dialog as soon as it is open.
    static void AnswerNextDialog(std::function<void(QFileDialog*)> answer) {
        auto* poll = new QTimer;
        auto tries = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, [poll, answer, tries] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (++*tries > 500) poll->deleteLater(); // no dialog came: stop looking
            if (!dialog || !dialog->isVisible()) return;
            poll->deleteLater();
            poll->stop();
            answer(dialog);
        });
        poll->start(10);
    }
    // The object name of the dialog a key opens; the dialog is then cancelled.
    QString DialogOpenedBy(Qt::Key key) {
        QString opened;
        AnswerNextDialog([&opened](QFileDialog* dialog) {
            opened = dialog->objectName();
            dialog->reject();
        });
        Key(key, Qt::ControlModifier);
        // The offscreen platform hands the activation back to no window by itself.
        QApplication::setActiveWindow(w.get());
        return opened;
    }
};

TEST_F(KeysTest, UndoRedoAndTheFileKeysDoWhatTheirButtonsDo) {
    const TColor before = w->Show().Cells[0][0];
    PaintCell(0, 0);
    ASSERT_NE(w->Show().Cells[0][0], before);
    const UndoRing& ring = w->Show().Memory.Undo;
    const int painted = ring.UndoPos();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w->Show().Cells[0][0], before);
    EXPECT_EQ(ring.UndoPos(), (painted + 9) % 10) << "one step back, as Undo";
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(ring.UndoPos(), painted) << "one step on, as Redo";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ring.UndoPos(), (painted + 1) % 10);

    EXPECT_EQ(DialogOpenedBy(Qt::Key_O), "openShowDialog");
    EXPECT_EQ(DialogOpenedBy(Qt::Key_S), "saveShowDialog");
}

TEST_F(KeysTest, BlockKeysWorkOnlyWhileABlockIsSelected) {
    for (int c = 0; c < 3; ++c) w->Show().Cells[0][c] = RGB(1, 2, 3 + c);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(w->Show().Memory.ClipWidth, 0) << "no block, nothing copied";

    SelectBlock();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(w->Show().Memory.ClipWidth, 3);
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_NE(w->Show().Memory.Undo.UndoPos(), undoPos) << "a paste takes its snapshot";
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w->Show().Sel.SelActive);
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
}

TEST_F(KeysTest, PageKeysScrollTheGrid) {
    SetSteps(1000);
    QScrollBar* scroll = Child<QScrollBar>(*w, "gridScrollBar");
    const int page = w->Settings().ShownRows();
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(scroll->value(), 2 * page);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(scroll->value(), page);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(w->View().BottomRow(), 999) << "the last step in view";
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(scroll->value(), 0);
}

// A focused slider or scroll bar takes the page keys and Ctrl+Home / Ctrl+End for itself; with
// the focus anywhere else they scroll the grid.
TEST_F(KeysTest, AFocusedSliderMovesItselfWithThePageKeys) {
    SetSteps(1000);
    QScrollBar* scroll = Child<QScrollBar>(*w, "gridScrollBar");
    for (const char* name : {"redSlider", "previewSpeedBar"}) {
        SCOPED_TRACE(name);
        QScrollBar* slider = Child<QScrollBar>(*w, name);
        slider->setValue((slider->minimum() + slider->maximum()) / 2);
        slider->setFocus();
        const int middle = slider->value();
        QTest::keyClick(slider, Qt::Key_PageUp);
        EXPECT_NE(slider->value(), middle);
        QTest::keyClick(slider, Qt::Key_PageDown);
        EXPECT_EQ(slider->value(), middle);
        QTest::keyClick(slider, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(slider->value(), slider->maximum());
        QTest::keyClick(slider, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(slider->value(), slider->minimum());
        EXPECT_EQ(scroll->value(), 0) << "the grid stayed where it was";
    }
    QPushButton* undo = Child<QPushButton>(*w, "undoButton");
    undo->setFocus();
    QTest::keyClick(undo, Qt::Key_PageDown);
    EXPECT_EQ(scroll->value(), w->Settings().ShownRows());
    QTest::keyClick(undo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(scroll->value(), scroll->maximum());
}

TEST_F(KeysTest, AFocusedSettingsFieldKeepsItsEditingKeys) {
    SelectBlock();
    QLineEdit* length = Child<QLineEdit>(*w, "stepLengthEdit");
    TypeInto(length, "25");
    ASSERT_EQ(w->Settings().StepLength(), 25);
    const int undoPos = w->Show().Memory.Undo.UndoPos();
    QTest::keyClick(length, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), undoPos) << "the show's undo did not run";
    EXPECT_EQ(length->text(), "10") << "the field took back its typing";
    length->selectAll();
    QTest::keyClick(length, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "10");
    EXPECT_EQ(w->Show().Memory.ClipWidth, 0) << "the block was not copied";
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CloseTest : public KeysTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(state.isValid());
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        KeysTest::SetUp();
    }
    void TearDown() override {
        qunsetenv("XDG_STATE_HOME");
        KeysTest::TearDown();
    }
    QStringList Copies() const {
        return QDir(state.path() + "/velkaro").entryList({"*.dmx"}, QDir::Files);
    }
    QTemporaryDir state;
};

TEST_F(CloseTest, UnsavedChangesAreKeptAsTheShowsExactBytes) {
    w->close();
    EXPECT_TRUE(Copies().isEmpty()) << "an untouched show needs no copy";

    Start({});
    PaintCell(3, 0);
    SetSteps(4);
    const std::string expected = (state.path() + "/expected.dmx").toStdString();
    SaveShow(expected, w->Show().Cells, w->Settings().Values(), w->Settings().MonoMode());
    EXPECT_TRUE(w->close());
    const QStringList copies = Copies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(ReadBytes((state.path() + "/velkaro/" + copies[0]).toStdString()),
              ReadBytes(expected));
}

TEST_F(CloseTest, AShowSavedThroughTheDialogNeedsNoCopy) {
    PaintCell(1, 0);
    AnswerNextDialog([this](QFileDialog* dialog) {
        dialog->setDirectory(state.path());
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("saved.dmx");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(state.path() + "/saved.dmx"));
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(Copies().isEmpty());
}

TEST_F(CloseTest, AnUnwritableStateFolderStillLetsTheWindowClose) {
    // A file where the folder should be: not even root can write below it.
    QFile blocker(state.path() + "/velkaro");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PaintCell(2, 0);
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
}

} // namespace
} // namespace velkaro
