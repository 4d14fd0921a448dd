#include "commands/RowGenerators.h"
#include "model/UndoRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkaro {
namespace {

constexpr TColor A = 0x0000A1;
constexpr TColor B = 0x00B200;
constexpr TColor C = 0xC30000;
constexpr TColor D = 0xD4D4D4;
constexpr TColor Sentinel = 0x5A5A5A;

class RowGeneratorsTest : public ::testing::Test {
protected:
    std::unique_ptr<Grid> cells = NewGrid();
    std::unique_ptr<Grid> work = NewGrid();

    // Fills every cell with a colour of its own, so any stray write shows.
    void FillDistinct() {
        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridCols; ++c)
                cells->At(r, c) = static_cast<TColor>((r * GridCols + c) & 0xFFFFFF);
    }

    void SetRow(int row, const std::vector<TColor>& colours) {
        for (std::size_t c = 0; c < colours.size(); ++c)
            cells->At(row, static_cast<int>(c)) = colours[c];
    }

    std::vector<TColor> Row(int row, int count) const {
        return {(*cells)[row], (*cells)[row] + count};
    }
};

struct CopyCase {
    StepShift mode;
    std::vector<TColor> expected;
};

TEST_F(RowGeneratorsTest, CopyLastStepShiftsEachModeAndKeepsColumnsBeyondTheShow) {
    const std::vector<CopyCase> cases = {
        {StepShift::RotateLeft, {B, C, D, A}},  {StepShift::Unchanged, {A, B, C, D}},
        {StepShift::RotateRight, {D, A, B, C}}, {StepShift::ShiftLeft, {B, C, D, D}},
        {StepShift::ShiftRight, {A, A, B, C}},
    };
    for (const auto& testCase : cases) {
        ClearCells(*cells);
        SetRow(2, {A, B, C, D, Sentinel});
        SetRow(3, {0, 0, 0, 0, Sentinel});
        const RowCommandResult result = CopyLastStep(*cells, 4, 3, testCase.mode);
        EXPECT_EQ(Row(3, 4), testCase.expected) << static_cast<int>(testCase.mode);
        EXPECT_EQ(cells->At(3, 4), Sentinel);
        EXPECT_EQ(result.Steps, 4);
        EXPECT_TRUE(result.ScrollDownOneRow);
        EXPECT_TRUE(result.PaintGrid);
        EXPECT_FALSE(result.Outputs || result.ShownRows || result.EndSelection || result.Refused);
    }
}

TEST_F(RowGeneratorsTest, CopyLastStepWithOneOutputCopiesTheFirstCellInEveryMode) {
    for (StepShift mode : {StepShift::RotateLeft, StepShift::Unchanged, StepShift::RotateRight,
                           StepShift::ShiftLeft, StepShift::ShiftRight}) {
        SetRow(0, {A, B});
        SetRow(1, {0, Sentinel});
        CopyLastStep(*cells, 1, 1, mode);
        EXPECT_EQ(Row(1, 2), (std::vector<TColor>{A, Sentinel})) << static_cast<int>(mode);
    }
}

TEST_F(RowGeneratorsTest, CopyAtTheLongestShowWritesRowTenThousandAndKeepsTheStepCount) {
    FillDistinct();
    SetRow(MaxSteps - 1, {A, B, C});
    const TColor spare = cells->At(MaxSteps + 1, 0);
    const RowCommandResult result = CopyLastStep(*cells, 3, MaxSteps, StepShift::RotateLeft);
    EXPECT_EQ(Row(MaxSteps, 3), (std::vector<TColor>{B, C, A}));
    EXPECT_EQ(result.Steps, MaxSteps);
    EXPECT_TRUE(result.ScrollDownOneRow);
    EXPECT_EQ(cells->At(MaxSteps + 1, 0), spare);

    // Settings beyond their limits are held to them rather than reaching past the grid.
    CopyLastStep(*cells, 500, 20000, StepShift::RotateRight);
    EXPECT_EQ(cells->At(MaxSteps, 0), cells->At(MaxSteps - 1, MaxOutputs - 1));
    EXPECT_EQ(cells->At(MaxSteps + 1, 0), spare);
}

TEST_F(RowGeneratorsTest, ChaserOfThreeRunsLeftAndRightAcrossAllOutputs) {
    const std::vector<TColor> abc = {A, B, C};
    for (RunDirection direction : {RunDirection::Left, RunDirection::Right}) {
        FillDistinct();
        SetRow(0, abc);
        const TColor spareColumn = cells->At(1, LastCol);
        const TColor rowAfter = cells->At(3, 0);
        const RowCommandResult result = MakeChaser(*cells, 3, direction);
        // Left: row i starts at cell i; right: row i starts at cell -i.
        const std::vector<std::vector<TColor>> starts =
            direction == RunDirection::Left
                ? std::vector<std::vector<TColor>>{{A, B, C}, {B, C, A}, {C, A, B}}
                : std::vector<std::vector<TColor>>{{A, B, C}, {C, A, B}, {B, C, A}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < WorkCols; ++c)
                ASSERT_EQ(cells->At(r, c), starts[r][c % 3]) << "row " << r << " col " << c;
        EXPECT_EQ(cells->At(1, LastCol), spareColumn);
        EXPECT_EQ(cells->At(3, 0), rowAfter);
        EXPECT_EQ(result.Steps, 3);
        EXPECT_EQ(result.ShownRows, 3);
        EXPECT_FALSE(result.Outputs || result.ScrollDownOneRow || result.EndSelection);
    }
}

TEST_F(RowGeneratorsTest, ChaserOfOneFillsTheFirstStepAndAddsNoRows) {
    FillDistinct();
    const TColor first = cells->At(0, 0);
    const std::vector<TColor> secondRow = Row(1, GridCols);
    const RowCommandResult result = MakeChaser(*cells, 1, RunDirection::Left);
    for (int c = 0; c < WorkCols; ++c) ASSERT_EQ(cells->At(0, c), first);
    EXPECT_EQ(Row(1, GridCols), secondRow);
    EXPECT_EQ(result.Steps, 1);
    EXPECT_EQ(result.ShownRows, 1);
}

TEST_F(RowGeneratorsTest, ChaserOfAllOutputsKeepsTheFirstStepAndWritesTheRest) {
    FillDistinct();
    const std::vector<TColor> first = Row(0, GridCols);
    const std::vector<TColor> rowAfter = Row(MaxOutputs, GridCols);
    const RowCommandResult result = MakeChaser(*cells, MaxOutputs, RunDirection::Right);
    EXPECT_EQ(Row(0, GridCols), first);
    for (int i = 1; i < MaxOutputs; ++i)
        for (int j = 0; j < WorkCols; ++j)
            ASSERT_EQ(cells->At(i, j), first[(j - i + MaxOutputs) % MaxOutputs]);
    EXPECT_EQ(Row(MaxOutputs, GridCols), rowAfter);
    EXPECT_EQ(result.Steps, MaxOutputs);
    EXPECT_EQ(result.ShownRows, MaxOutputs);
}

TEST_F(RowGeneratorsTest, AverageRoundsEachChannelDown) {
    EXPECT_EQ(AverageColor(0x000001, 0x000000), 0x000000u);
    EXPECT_EQ(AverageColor(0xFFFFFF, 0x000000), 0x7F7F7Fu);
    EXPECT_EQ(AverageColor(0x030507, 0x010101), 0x020304u);
}

TEST_F(RowGeneratorsTest, StretchPutsAveragesBetweenTheCellsAndClosesTheSeam) {
    SetRow(0, {A, B, C, Sentinel, Sentinel, Sentinel, Sentinel});
    SetRow(1, {Sentinel});
    const RowCommandResult result = StretchFirstStep(*cells, *work, 3);
    EXPECT_EQ(Row(0, 7), (std::vector<TColor>{A, AverageColor(A, B), B, AverageColor(B, C), C,
                                              AverageColor(C, A), Sentinel}));
    EXPECT_EQ(cells->At(1, 0), Sentinel);
    EXPECT_EQ(result.Outputs, 6);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.PaintGrid); // the change of Outputs redraws
    EXPECT_FALSE(result.Steps);
}

TEST_F(RowGeneratorsTest, StretchAcceptsEightyThreeOutputsAndRefusesEightyFour) {
    FillDistinct();
    const std::vector<TColor> before = Row(0, GridCols);
    const RowCommandResult refused = StretchFirstStep(*cells, *work, 84);
    EXPECT_TRUE(refused.Refused);
    EXPECT_FALSE(refused.Outputs);
    EXPECT_FALSE(refused.PaintGrid);
    EXPECT_EQ(Row(0, GridCols), before);

    const RowCommandResult stretched = StretchFirstStep(*cells, *work, 83);
    EXPECT_EQ(stretched.Outputs, 166);
    EXPECT_EQ(cells->At(0, 164), before[82]);
    EXPECT_EQ(cells->At(0, 165), AverageColor(before[82], before[0]));
    EXPECT_EQ(cells->At(0, 166), before[166]);
    EXPECT_EQ(cells->At(0, 168), before[168]);
}

TEST_F(RowGeneratorsTest, RotateFirstStepTurnsTheShowColumnsOnly) {
    SetRow(0, {A, B, C, D, Sentinel});
    SetRow(1, {Sentinel});
    RotateFirstStep(*cells, *work, 4, RunDirection::Left);
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{B, C, D, A, Sentinel}));
    const RowCommandResult result = RotateFirstStep(*cells, *work, 4, RunDirection::Right);
    RotateFirstStep(*cells, *work, 4, RunDirection::Right);
    EXPECT_EQ(Row(0, 5), (std::vector<TColor>{D, A, B, C, Sentinel}));
    EXPECT_EQ(cells->At(1, 0), Sentinel);
    EXPECT_FALSE(result.Steps || result.Outputs || result.ShownRows || result.ScrollDownOneRow);
    EXPECT_TRUE(result.PaintGrid);
}

TEST_F(RowGeneratorsTest, BrightenLiftsBlackTowardsButNeverToWhite) {
    const int expected[] = {64,  112, 148, 175, 195, 210, 221, 229, 235,
                            240, 244, 247, 249, 250, 251, 252, 253, 253};
    TColor colour = Black;
    for (int level : expected) {
        colour = BrightenColor(colour);
        ASSERT_EQ(colour, RGB(level, level, level));
    }
    EXPECT_EQ(BrightenColor(White), White);
    EXPECT_EQ(BrightenColor(0x00FF00), 0x40FF40u);
}

TEST_F(RowGeneratorsTest, BrightenChangesOnlyTheShow) {
    ClearCells(*cells);
    cells->At(1, 2) = White;
    const RowCommandResult result = Brighten(*cells, 3, 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(cells->At(r, c), r == 1 && c == 2 ? White : 0x404040u);
    EXPECT_EQ(cells->At(0, 3), Black);
    EXPECT_EQ(cells->At(2, 0), Black);
    EXPECT_TRUE(result.PaintGrid);
    EXPECT_FALSE(result.Steps || result.Outputs);
}

TEST_F(RowGeneratorsTest, RainbowMakesASixByOneShowAndLeavesTheRestIntact) {
    FillDistinct();
    const std::vector<TColor> firstRow = Row(0, GridCols);
    const std::vector<TColor> secondRow = Row(1, GridCols);
    const RowCommandResult result = MakeRainbow(*cells);
    EXPECT_EQ(Row(0, 6),
              (std::vector<TColor>{0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF}));
    for (int c = 6; c < GridCols; ++c) ASSERT_EQ(cells->At(0, c), firstRow[c]);
    EXPECT_EQ(Row(1, GridCols), secondRow);
    EXPECT_EQ(result.Outputs, 6);
    EXPECT_EQ(result.Steps, 1);
    EXPECT_TRUE(result.EndSelection);
    EXPECT_TRUE(result.PaintGrid);
}

TEST_F(RowGeneratorsTest, ClrBlanksTheWorkingAreaKeepsOutputsAndCanBeUndone) {
    FillDistinct();
    UndoRing undo;
    const ShowSettings before{.Outputs = 7, .Steps = 40, .StepLength = 10, .BlendMode = 0};
    undo.Push(*cells, before);
    const TColor spareColumn = cells->At(5, LastCol);
    const TColor spareRow = cells->At(MaxSteps + 1, 3);

    const RowCommandResult result = ClearShow(*cells);
    EXPECT_EQ(result.Steps, 1);
    EXPECT_FALSE(result.Outputs);
    for (int r = 0; r <= MaxSteps; ++r)
        for (int c = 0; c < WorkCols; ++c) ASSERT_EQ(cells->At(r, c), Black);
    EXPECT_EQ(cells->At(5, LastCol), spareColumn);
    EXPECT_EQ(cells->At(MaxSteps + 1, 3), spareRow);

    EXPECT_EQ(undo.SlotGrid().At(MaxSteps, 100), static_cast<TColor>(MaxSteps * GridCols + 100));
    EXPECT_EQ(undo.SlotSettings(), before);
}

} // namespace
} // namespace velkaro
