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
        w->PushUndo();
        w->Cells[0][0] = colour;
        SetSteps(steps);
        w->PaintGrid();
    }
    TColor Shown() const { return w->Cells[0][0]; }
};

TEST_F(UndoTest, WalkThroughTheRing) {
    constexpr TColor A = 0x0000AA, B = 0x00BB00;
    Edit(A, 2);
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 1);
    Edit(B, 3);
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 2);

    QTest::mouseClick(w->Button15, Qt::LeftButton); // Undo
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 1);
    EXPECT_EQ(Shown(), A);
    EXPECT_EQ(w->Steps(), 2);
    QTest::mouseClick(w->Button15, Qt::LeftButton);
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 0);
    EXPECT_EQ(Shown(), Black);
    EXPECT_EQ(w->Steps(), 1);
    QTest::mouseClick(w->Button16, Qt::LeftButton); // Redo shows the same snapshot again
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 1);
    EXPECT_EQ(Shown(), Black);
    QTest::mouseClick(w->Button16, Qt::LeftButton);
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 2);
    EXPECT_EQ(Shown(), A);
    QTest::mouseClick(w->Button16, Qt::LeftButton); // past the newest: the oldest, empty show
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 3);
    EXPECT_EQ(Shown(), Black);
    EXPECT_EQ(w->Steps(), 1);
}

TEST_F(UndoTest, TheEleventhUndoShowsWhatTheFirstShowed) {
    for (int i = 1; i <= 10; ++i) Edit(static_cast<TColor>(i), i);
    w->Undo();
    const TColor first = Shown();
    EXPECT_EQ(first, 9u);
    for (int i = 0; i < 9; ++i) w->Undo();
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 0);
    w->Undo();
    EXPECT_EQ(Shown(), first);
}

TEST_F(UndoTest, RestoresAllFourSettingsButNotMonoModeOrTheSelection) {
    w->PushUndo();
    w->UDNX->SetPosition(7);
    SetSteps(300);
    w->uds->SetPosition(55);
    w->RGMItems->button(HoldMode)->setChecked(true);
    w->cbmono->setChecked(true);
    w->SetSelection(true, 1, 1, 2, 2);
    QTest::mouseClick(w->Button26, Qt::LeftButton); // the selection panel's Undo
    EXPECT_EQ(w->Settings(), (ShowSettings{20, 1, 10, FadeMode}));
    EXPECT_EQ(w->ShownRows(), 10);
    EXPECT_EQ(w->sbyoffs->maximum(), 0);
    EXPECT_TRUE(w->MonoMode());
    EXPECT_TRUE(w->SelActive);
    EXPECT_TRUE(w->PSel->isVisible());
}

} // namespace
} // namespace velkaro
