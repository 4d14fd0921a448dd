#include "WindowFixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>

#include "ui/controls/Panel.h"

namespace velkaro {
namespace {

class UndoTest : public WindowTest {
protected:
    // An edit as every command makes one: a snapshot first, then the change.
    void Edit(TColor colour, int steps) {
        w->History().PushUndo();
        w->Show().Cells[0][0] = colour;
        SetSteps(steps);
        w->View().PaintGrid();
    }
    TColor Shown() const { return w->Show().Cells[0][0]; }
};

TEST_F(UndoTest, WalkThroughTheRing) {
    constexpr TColor A = 0x0000AA, B = 0x00BB00;
    Edit(A, 2);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 1);
    Edit(B, 3);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 2);

    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton); // Undo
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 1);
    EXPECT_EQ(Shown(), A);
    EXPECT_EQ(w->Settings().Steps(), 2);
    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 0);
    EXPECT_EQ(Shown(), Black);
    EXPECT_EQ(w->Settings().Steps(), 1);
    QTest::mouseClick(Child<QPushButton>(*w, "redoButton"),
                      Qt::LeftButton); // Redo shows the same snapshot again
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 1);
    EXPECT_EQ(Shown(), Black);
    QTest::mouseClick(Child<QPushButton>(*w, "redoButton"), Qt::LeftButton);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 2);
    EXPECT_EQ(Shown(), A);
    QTest::mouseClick(Child<QPushButton>(*w, "redoButton"),
                      Qt::LeftButton); // past the newest: the oldest, empty show
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 3);
    EXPECT_EQ(Shown(), Black);
    EXPECT_EQ(w->Settings().Steps(), 1);
}

TEST_F(UndoTest, TheEleventhUndoShowsWhatTheFirstShowed) {
    for (int i = 1; i <= 10; ++i) Edit(static_cast<TColor>(i), i);
    w->History().Undo();
    const TColor first = Shown();
    EXPECT_EQ(first, 9u);
    for (int i = 0; i < 9; ++i) w->History().Undo();
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 0);
    w->History().Undo();
    EXPECT_EQ(Shown(), first);
}

TEST_F(UndoTest, RestoresAllFourSettingsButNotMonoModeOrTheSelection) {
    w->History().PushUndo();
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(7);
    SetSteps(300);
    Child<UpDown>(*w, "stepLengthSpinner")->SetPosition(55);
    Child<QButtonGroup>(*w, "blendModeButtons")->button(HoldMode)->setChecked(true);
    Child<QCheckBox>(*w, "singleColourCheck")->setChecked(true);
    w->View().SetSelection(true, 1, 1, 2, 2);
    QTest::mouseClick(Child<QPushButton>(*w, "selectionUndoButton"),
                      Qt::LeftButton); // the selection panel's Undo
    EXPECT_EQ(w->Settings().Values(), (ShowSettings{20, 1, 10, FadeMode}));
    EXPECT_EQ(w->Settings().ShownRows(), 10);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->maximum(), 0);
    EXPECT_TRUE(w->Settings().MonoMode());
    EXPECT_TRUE(w->Show().Sel.SelActive);
    EXPECT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
}

} // namespace
} // namespace velkaro
