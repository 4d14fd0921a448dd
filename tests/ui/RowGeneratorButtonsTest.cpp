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
        w->UDNX->SetPosition(outputs);
        w->udlz->SetPosition(steps);
    }
    void SetRow(int row, const std::vector<TColor>& colours) {
        for (std::size_t c = 0; c < colours.size(); ++c)
            w->Cells[row][static_cast<int>(c)] = colours[c];
    }
    std::vector<TColor> Row(int row, int count) {
        return std::vector<TColor>(w->Cells[row], w->Cells[row] + count);
    }
    // Clicks a button as the user does and checks that it took exactly one undo snapshot.
    void Click(QPushButton* button) {
        ASSERT_TRUE(button->isVisible());
        const int before = w->Memory.Undo.UndoPos();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(w->Memory.Undo.UndoPos(), (before + 1) % UndoRing::SlotCount);
    }
    // The grid's cell (column, row) as drawn, read inside its border.
    TColor GridCell(int column, int row) {
        return PixelAt(column * w->ColWidth + w->ColWidth / 2,
                       (row - w->TopRow) * w->RowHeight + w->RowHeight / 2);
    }
};

struct CopyCase {
    QPushButton* TFVelkaro::*button;
    std::vector<TColor> expected;
};

TEST_F(RowGeneratorButtonsTest, EachCopyButtonAppendsTheLastStepAndScrollsOneRow) {
    const std::vector<CopyCase> cases = {
        {&TFVelkaro::Button3, {B, C, D, A}},  {&TFVelkaro::Button13, {A, B, C, D}},
        {&TFVelkaro::Button4, {D, A, B, C}},  {&TFVelkaro::Button38, {B, C, D, D}},
        {&TFVelkaro::Button37, {A, A, B, C}},
    };
    for (const CopyCase& copy : cases) {
        SetShow(4, 100);
        SetRow(99, {A, B, C, D});
        SetRow(100, {0, 0, 0, 0, Mark});
        // At the bottom of a long show the new last step scrolls into view.
        w->sbyoffs->setValue(w->sbyoffs->maximum());
        ASSERT_EQ(w->sbyoffs->value(), 32);
        Click(w.get()->*copy.button);
        EXPECT_EQ(Row(100, 5), (std::vector<TColor>{copy.expected[0], copy.expected[1],
                                                    copy.expected[2], copy.expected[3], Mark}));
        EXPECT_EQ(w->Steps(), 101);
        EXPECT_EQ(w->Outputs(), 4);
        EXPECT_EQ(w->sbyoffs->value(), 33);
        EXPECT_EQ(w->TopRow, 33);
        EXPECT_EQ(GridCell(3, 100), copy.expected[3]);
        // Undo brings back the shorter show.
        QTest::mouseClick(w->Button15, Qt::LeftButton);
        EXPECT_EQ(w->Steps(), 100);
        EXPECT_EQ(Row(100, 4), (std::vector<TColor>{0, 0, 0, 0}));
    }
}

TEST_F(RowGeneratorButtonsTest, ACopyAtTheLongestShowWritesTheSpareRowAndKeepsTheScrollRange) {
    SetShow(2, MaxSteps);
    SetRow(MaxSteps - 1, {A, B});
    w->sbyoffs->setValue(w->sbyoffs->maximum());
    const int bottom = w->sbyoffs->value();
    Click(w->Button4);
    EXPECT_EQ(Row(MaxSteps, 2), (std::vector<TColor>{B, A}));
    EXPECT_EQ(w->Steps(), MaxSteps);
    EXPECT_EQ(w->sbyoffs->value(), bottom);
}

TEST_F(RowGeneratorButtonsTest, ChaserButtonsFillNStepsAndShowThemAll) {
    for (bool left : {true, false}) {
        SetShow(3, 40);
        SetRow(0, {A, B, C});
        Click(left ? w->Button9 : w->Button10);
        EXPECT_EQ(Row(0, 6), (std::vector<TColor>{A, B, C, A, B, C}));
        if (left) {
            EXPECT_EQ(Row(1, 4), (std::vector<TColor>{B, C, A, B}));
            EXPECT_EQ(Row(2, 4), (std::vector<TColor>{C, A, B, C}));
        } else {
            EXPECT_EQ(Row(1, 4), (std::vector<TColor>{C, A, B, C}));
            EXPECT_EQ(Row(2, 4), (std::vector<TColor>{B, C, A, B}));
        }
        EXPECT_EQ(w->Cells[2][167], w->Cells[2][167 % 3]);
        EXPECT_EQ(w->Steps(), 3);
        EXPECT_EQ(w->ShownRows(), 3);
        EXPECT_EQ(w->Outputs(), 3);
        EXPECT_EQ(w->RowHeight, 687 / 3);
        EXPECT_EQ(GridCell(0, 2), w->Cells[2][0]);
        EXPECT_EQ(GridCell(2, 1), w->Cells[1][2]);
    }
}

TEST_F(RowGeneratorButtonsTest, StretchDoublesTheFirstStepOrRefusesAboveEightyThree) {
    SetShow(3, 2);
    SetRow(0, {0x000002, 0x000004, 0x0000FF, Mark});
    Click(w->Button11);
    EXPECT_EQ(Row(0, 6),
              (std::vector<TColor>{0x000002, 0x000003, 0x000004, 0x000081, 0x0000FF, 0x000080}));
    EXPECT_EQ(w->Outputs(), 6);
    EXPECT_EQ(w->Steps(), 2);
    EXPECT_EQ(GridCell(5, 0), 0x000080u); // the output change redrew the grid

    SetShow(84, 2);
    const std::vector<TColor> before = Row(0, 169);
    Click(w->Button11);
    EXPECT_EQ(Row(0, 169), before);
    EXPECT_EQ(w->Outputs(), 84);
    // The refused click still occupies a slot: one Undo steps past it and changes nothing.
    QTest::mouseClick(w->Button15, Qt::LeftButton);
    EXPECT_EQ(w->Outputs(), 84);
    EXPECT_EQ(Row(0, 169), before);
}

TEST_F(RowGeneratorButtonsTest, RotateButtonsTurnTheFirstStepOnly) {
    SetShow(4, 2);
    SetRow(0, {A, B, C, D, Mark});
    SetRow(1, {D, D});
    Click(w->Button19);
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{B, C, D, A, Mark}));
    EXPECT_EQ(GridCell(0, 0), B);
    Click(w->Button20);
    Click(w->Button20);
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{D, A, B, C, Mark}));
    EXPECT_EQ(Row(1, 2), (std::vector<TColor>{D, D}));
    EXPECT_EQ(w->Steps(), 2);
    EXPECT_EQ(w->Outputs(), 4);
}

TEST_F(RowGeneratorButtonsTest, ClrBlacksOutTheWholeWorkingAreaAndCanBeUndone) {
    SetShow(5, 50);
    w->Cells[0][0] = A;
    w->Cells[40][100] = B;
    w->Cells[MaxSteps][167] = C;
    w->Cells[3][LastCol] = Mark;
    Click(w->Button14);
    EXPECT_EQ(w->Cells[0][0], Black);
    EXPECT_EQ(w->Cells[40][100], Black);
    EXPECT_EQ(w->Cells[MaxSteps][167], Black);
    EXPECT_EQ(w->Cells[3][LastCol], Mark);
    EXPECT_EQ(w->Steps(), 1);
    EXPECT_EQ(w->Outputs(), 5);
    EXPECT_EQ(GridCell(0, 0), Black);

    QTest::mouseClick(w->Button15, Qt::LeftButton);
    EXPECT_EQ(w->Steps(), 50);
    EXPECT_EQ(w->Cells[0][0], A);
    EXPECT_EQ(w->Cells[MaxSteps][167], C);
}

TEST_F(RowGeneratorButtonsTest, BrightenLiftsTheShowAndNothingBeyondIt) {
    SetShow(2, 2);
    SetRow(1, {White, 0x000040});
    w->Cells[0][2] = Black;
    w->Cells[2][0] = Black;
    Click(w->Button12);
    EXPECT_EQ(Row(0, 3), (std::vector<TColor>{0x404040, 0x404040, Black}));
    EXPECT_EQ(Row(1, 2), (std::vector<TColor>{White, 0x404070}));
    EXPECT_EQ(w->Cells[2][0], Black);
    EXPECT_EQ(GridCell(0, 0), 0x404040u);
}

TEST_F(RowGeneratorButtonsTest, RainbowMakesASixByOneShowAndKeepsTheRest) {
    SetShow(20, 50);
    w->Cells[0][6] = Mark;
    w->Cells[1][0] = Mark;
    Click(w->Button35);
    EXPECT_EQ(Row(0, 7), (std::vector<TColor>{0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000,
                                              0xFF00FF, Mark}));
    EXPECT_EQ(w->Cells[1][0], Mark);
    EXPECT_EQ(w->Outputs(), 6);
    EXPECT_EQ(w->Steps(), 1);
    EXPECT_FALSE(w->SelActive);
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_EQ(GridCell(5, 0), 0xFF00FFu);
}

} // namespace
} // namespace velkaro
