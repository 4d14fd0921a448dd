#include "WindowFixture.h"

#include "commands/RowGenerators.h"
#include "ui/controls/Panel.h"

#include <QPushButton>

#include <vector>

namespace velkaro {
namespace {

constexpr TColor A = 0x0000AA;
constexpr TColor B = 0x00BB00;
constexpr TColor C = 0xCC0000;
constexpr TColor D = 0x0D0D0D;
constexpr TColor Mark = 0x123456;

class RowGeneratorButtonsTest : public WindowTest {
protected:
    void SetShow(int outputs, int steps) {
        Child<UpDown>(*w, "outputsSpinner")->SetPosition(outputs);
        Child<UpDown>(*w, "stepsSpinner")->SetPosition(steps);
    }
    void SetRow(int row, const std::vector<TColor>& colours) {
        for (std::size_t c = 0; c < colours.size(); ++c)
            w->Show().Cells[row][static_cast<int>(c)] = colours[c];
    }
    std::vector<TColor> Row(int row, int count) {
        return std::vector<TColor>(w->Show().Cells[row], w->Show().Cells[row] + count);
    }
    // Clicks a button as the user does and checks that it took exactly one undo snapshot.
    void Click(QPushButton* button) {
        ASSERT_TRUE(button->isVisible());
        const int before = w->Show().Memory.Undo.UndoPos();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), (before + 1) % UndoRing::SlotCount);
    }
    // The grid's cell (column, row) as drawn, read inside its border.
    TColor GridCell(int column, int row) {
        return PixelAt(column * w->View().ColWidth() + w->View().ColWidth() / 2,
                       (row - w->View().TopRow()) * w->View().RowHeight() +
                           w->View().RowHeight() / 2);
    }
};

struct CopyCase {
    const char* button;
    std::vector<TColor> expected;
};

TEST_F(RowGeneratorButtonsTest, EachCopyButtonAppendsTheLastStepAndScrollsOneRow) {
    const std::vector<CopyCase> cases = {
        {"copyLastStepRotatedLeftButton", {B, C, D, A}},
        {"copyLastStepButton", {A, B, C, D}},
        {"copyLastStepRotatedRightButton", {D, A, B, C}},
        {"copyLastStepShiftedLeftButton", {B, C, D, D}},
        {"copyLastStepShiftedRightButton", {A, A, B, C}},
    };
    for (const CopyCase& copy : cases) {
        SetShow(4, 100);
        SetRow(99, {A, B, C, D});
        SetRow(100, {0, 0, 0, 0, Mark});
        // At the bottom of a long show the new last step scrolls into view.
        Child<QScrollBar>(*w, "gridScrollBar")
            ->setValue(Child<QScrollBar>(*w, "gridScrollBar")->maximum());
        ASSERT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 32);
        Click(Child<QPushButton>(*w, copy.button));
        EXPECT_EQ(Row(100, 5), (std::vector<TColor>{copy.expected[0], copy.expected[1],
                                                    copy.expected[2], copy.expected[3], Mark}));
        EXPECT_EQ(w->Settings().Steps(), 101);
        EXPECT_EQ(w->Settings().Outputs(), 4);
        EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 33);
        EXPECT_EQ(w->View().TopRow(), 33);
        EXPECT_EQ(GridCell(3, 100), copy.expected[3]);
        // Undo brings back the shorter show.
        QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
        EXPECT_EQ(w->Settings().Steps(), 100);
        EXPECT_EQ(Row(100, 4), (std::vector<TColor>{0, 0, 0, 0}));
    }
}

TEST_F(RowGeneratorButtonsTest, ACopyAtTheLongestShowWritesTheSpareRowAndKeepsTheScrollRange) {
    SetShow(2, MaxSteps);
    SetRow(MaxSteps - 1, {A, B});
    Child<QScrollBar>(*w, "gridScrollBar")
        ->setValue(Child<QScrollBar>(*w, "gridScrollBar")->maximum());
    const int bottom = Child<QScrollBar>(*w, "gridScrollBar")->value();
    Click(Child<QPushButton>(*w, "copyLastStepRotatedRightButton"));
    EXPECT_EQ(Row(MaxSteps, 2), (std::vector<TColor>{B, A}));
    EXPECT_EQ(w->Settings().Steps(), MaxSteps);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), bottom);
}

TEST_F(RowGeneratorButtonsTest, ChaserButtonsFillNStepsAndShowThemAll) {
    for (bool left : {true, false}) {
        SetShow(3, 40);
        SetRow(0, {A, B, C});
        Click(left ? Child<QPushButton>(*w, "chaserLeftButton")
                   : Child<QPushButton>(*w, "chaserRightButton"));
        EXPECT_EQ(Row(0, 6), (std::vector<TColor>{A, B, C, A, B, C}));
        if (left) {
            EXPECT_EQ(Row(1, 4), (std::vector<TColor>{B, C, A, B}));
            EXPECT_EQ(Row(2, 4), (std::vector<TColor>{C, A, B, C}));
        } else {
            EXPECT_EQ(Row(1, 4), (std::vector<TColor>{C, A, B, C}));
            EXPECT_EQ(Row(2, 4), (std::vector<TColor>{B, C, A, B}));
        }
        EXPECT_EQ(w->Show().Cells[2][167], w->Show().Cells[2][167 % 3]);
        EXPECT_EQ(w->Settings().Steps(), 3);
        EXPECT_EQ(w->Settings().ShownRows(), 3);
        EXPECT_EQ(w->Settings().Outputs(), 3);
        EXPECT_EQ(w->View().RowHeight(), 687 / 3);
        EXPECT_EQ(GridCell(0, 2), w->Show().Cells[2][0]);
        EXPECT_EQ(GridCell(2, 1), w->Show().Cells[1][2]);
    }
}

TEST_F(RowGeneratorButtonsTest, StretchDoublesTheFirstStepOrRefusesAboveEightyThree) {
    SetShow(3, 2);
    SetRow(0, {0x000002, 0x000004, 0x0000FF, Mark});
    Click(Child<QPushButton>(*w, "stretchFirstStepButton"));
    EXPECT_EQ(Row(0, 6),
              (std::vector<TColor>{0x000002, 0x000003, 0x000004, 0x000081, 0x0000FF, 0x000080}));
    EXPECT_EQ(w->Settings().Outputs(), 6);
    EXPECT_EQ(w->Settings().Steps(), 2);
    EXPECT_EQ(GridCell(5, 0), 0x000080u); // the output change redrew the grid

    SetShow(84, 2);
    const std::vector<TColor> before = Row(0, 169);
    Click(Child<QPushButton>(*w, "stretchFirstStepButton"));
    EXPECT_EQ(Row(0, 169), before);
    EXPECT_EQ(w->Settings().Outputs(), 84);
    // The refused click still occupies a slot: one Undo steps past it and changes nothing.
    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Outputs(), 84);
    EXPECT_EQ(Row(0, 169), before);
}

TEST_F(RowGeneratorButtonsTest, RotateButtonsTurnTheFirstStepOnly) {
    SetShow(4, 2);
    SetRow(0, {A, B, C, D, Mark});
    SetRow(1, {D, D});
    Click(Child<QPushButton>(*w, "rotateFirstStepLeftButton"));
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{B, C, D, A, Mark}));
    EXPECT_EQ(GridCell(0, 0), B);
    Click(Child<QPushButton>(*w, "rotateFirstStepRightButton"));
    Click(Child<QPushButton>(*w, "rotateFirstStepRightButton"));
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{D, A, B, C, Mark}));
    EXPECT_EQ(Row(1, 2), (std::vector<TColor>{D, D}));
    EXPECT_EQ(w->Settings().Steps(), 2);
    EXPECT_EQ(w->Settings().Outputs(), 4);
}

TEST_F(RowGeneratorButtonsTest, ClrBlacksOutTheWholeWorkingAreaAndCanBeUndone) {
    SetShow(5, 50);
    w->Show().Cells[0][0] = A;
    w->Show().Cells[40][100] = B;
    w->Show().Cells[MaxSteps][167] = C;
    w->Show().Cells[3][LastCol] = Mark;
    Click(Child<QPushButton>(*w, "clearShowButton"));
    EXPECT_EQ(w->Show().Cells[0][0], Black);
    EXPECT_EQ(w->Show().Cells[40][100], Black);
    EXPECT_EQ(w->Show().Cells[MaxSteps][167], Black);
    EXPECT_EQ(w->Show().Cells[3][LastCol], Mark);
    EXPECT_EQ(w->Settings().Steps(), 1);
    EXPECT_EQ(w->Settings().Outputs(), 5);
    EXPECT_EQ(GridCell(0, 0), Black);

    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 50);
    EXPECT_EQ(w->Show().Cells[0][0], A);
    EXPECT_EQ(w->Show().Cells[MaxSteps][167], C);
}

TEST_F(RowGeneratorButtonsTest, BrightenLiftsTheShowAndNothingBeyondIt) {
    SetShow(2, 2);
    SetRow(1, {White, 0x000040});
    w->Show().Cells[0][2] = Black;
    w->Show().Cells[2][0] = Black;
    Click(Child<QPushButton>(*w, "brightenButton"));
    EXPECT_EQ(Row(0, 3), (std::vector<TColor>{0x404040, 0x404040, Black}));
    EXPECT_EQ(Row(1, 2), (std::vector<TColor>{White, 0x404070}));
    EXPECT_EQ(w->Show().Cells[2][0], Black);
    EXPECT_EQ(GridCell(0, 0), 0x404040u);
}

TEST_F(RowGeneratorButtonsTest, RainbowMakesASixByOneShowAndKeepsTheRest) {
    SetShow(20, 50);
    w->Show().Cells[0][6] = Mark;
    w->Show().Cells[1][0] = Mark;
    Click(Child<QPushButton>(*w, "rainbowButton"));
    EXPECT_EQ(Row(0, 7), (std::vector<TColor>{0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000,
                                              0xFF00FF, Mark}));
    EXPECT_EQ(w->Show().Cells[1][0], Mark);
    EXPECT_EQ(w->Settings().Outputs(), 6);
    EXPECT_EQ(w->Settings().Steps(), 1);
    EXPECT_FALSE(w->Show().Sel.SelActive);
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
    EXPECT_EQ(GridCell(5, 0), 0xFF00FFu);
}

} // namespace
} // namespace velkaro
