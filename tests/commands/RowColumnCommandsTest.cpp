#include "CommandTestWindow.h"

namespace velkaro {
namespace {

class RowColumnCommandsTest : public CommandTestWindow {
protected:
    // Row r holds the cells that started in row `from`, in every column.
    bool RowCameFrom(int r, int from) {
        for (int c = 0; c < GridCols; ++c)
            if (Cells()[r][c] != Mark(from, c)) return false;
        return true;
    }
    // Columns `first`..`last` of every step row hold what started `shift` columns to the right.
    bool ColumnsCameFrom(int first, int last, int shift) {
        for (int r = 0; r < MaxSteps; ++r)
            for (int c = first; c <= last; ++c)
                if (Cells()[r][c] != Mark(r, c + shift)) return false;
        return true;
    }
};

TEST_F(RowColumnCommandsTest, DeleteRowsMovesTheRowsBelowUpAndKeepsTheLastRows) {
    Select(4, 2, 6, 3); // the columns play no part
    ClickDeleteRows();
    EXPECT_EQ(settings.Steps, 8);
    EXPECT_FALSE(sel.SelActive);
    EXPECT_TRUE(RowCameFrom(0, 0) && RowCameFrom(1, 1));
    for (int r = 2; r < 9998; ++r) ASSERT_TRUE(RowCameFrom(r, r + 2)) << r;
    EXPECT_TRUE(RowCameFrom(9998, 10000));
    for (int r = 9999; r < GridRows; ++r) EXPECT_TRUE(RowCameFrom(r, r)) << r;
}

TEST_F(RowColumnCommandsTest, DeleteRowsCountsSelectedRowsBeyondTheShow) {
    Select(0, 8, 0, 15);
    ClickDeleteRows();
    EXPECT_EQ(settings.Steps, 2);
    EXPECT_TRUE(RowCameFrom(8, 16));

    // Removing more rows than the show has leaves one step.
    Select(0, 0, 0, 50);
    ClickDeleteRows();
    EXPECT_EQ(settings.Steps, 1);
}

TEST_F(RowColumnCommandsTest, RowSelectionReachingRowTenThousandMovesNothingYetChangesSteps) {
    const auto before = Snapshot();
    settings.Steps = 10000;
    Select(3, 9990, 3, 10000);
    ClickDeleteRows();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(settings.Steps, 9989);

    settings.Steps = 50;
    Select(3, 9990, 3, 10000);
    ClickDuplicateRows();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(settings.Steps, 61);
}

TEST_F(RowColumnCommandsTest, DuplicateRowsInsertsTheCopyAfterTheSelection) {
    settings.Steps = 3; // A B C
    Select(7, 0, 2, 1);
    ClickDuplicateRows();
    EXPECT_EQ(settings.Steps, 5);
    EXPECT_FALSE(sel.SelActive);
    const int expected[] = {0, 1, 0, 1, 2, 3}; // A B A B C, then the old row 3
    for (int r = 0; r < 6; ++r) EXPECT_TRUE(RowCameFrom(r, expected[r])) << r;
    EXPECT_TRUE(RowCameFrom(10000, 9998));
    for (int r = 10001; r < GridRows; ++r) EXPECT_TRUE(RowCameFrom(r, r)) << r;
}

TEST_F(RowColumnCommandsTest, DuplicateRowsOfTheLongestShowKeepsItsLengthAndUndoRestoresLostRows) {
    settings.Steps = 10000;
    const auto before = Snapshot();
    Select(0, 100, 0, 102);
    ClickDuplicateRows();
    EXPECT_EQ(settings.Steps, 10000);
    EXPECT_TRUE(RowCameFrom(103, 100) && RowCameFrom(105, 102) && RowCameFrom(106, 103));
    EXPECT_TRUE(RowCameFrom(10000, 9997)); // rows 9998..10000 are gone
    Undo();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(settings.Steps, 10000);
}

TEST_F(RowColumnCommandsTest, DeleteColumnsMovesTheColumnsToTheRightLeft) {
    settings.Outputs = 5; // A B C D E
    Select(1, 7, 2, 3);   // the rows play no part
    ClickDeleteColumns();
    EXPECT_EQ(settings.Outputs, 5);
    EXPECT_FALSE(sel.SelActive);
    EXPECT_TRUE(ColumnsCameFrom(0, 0, 0));
    EXPECT_TRUE(ColumnsCameFrom(1, 166, 2)); // A D E, then what lay beyond the show
    EXPECT_TRUE(ColumnsCameFrom(167, 168, 0));
    EXPECT_TRUE(RowCameFrom(10000, 10000)); // row 10000 is not a step of any show
}

TEST_F(RowColumnCommandsTest, DuplicateColumnsInsertsTheCopyAfterTheSelection) {
    settings.Outputs = 5;
    Select(1, 0, 2, 0);
    ClickDuplicateColumns();
    EXPECT_EQ(settings.Outputs, 5);
    for (int r = 0; r < MaxSteps; r += 1111) {
        const int expected[] = {0, 1, 2, 1, 2, 3, 4}; // A B C B C | D E
        for (int c = 0; c < 7; ++c) EXPECT_EQ(Cells()[r][c], Mark(r, expected[c])) << r << "," << c;
    }
    EXPECT_TRUE(ColumnsCameFrom(5, 168, -2));
    EXPECT_TRUE(RowCameFrom(10000, 10000));
}

TEST_F(RowColumnCommandsTest, ColumnSelectionReachingColumn168MovesNothing) {
    const auto before = Snapshot();
    Select(100, 0, 168, 0);
    ClickDeleteColumns();
    EXPECT_TRUE(CellsEqual(*before));
    Select(168, 0, 168, 10000);
    ClickDuplicateColumns();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_FALSE(sel.SelActive);
}

TEST_F(RowColumnCommandsTest, MirrorShowReversesOnlyTheShowAndTwiceRestoresIt) {
    settings.Outputs = 5;
    settings.Steps = 3;
    const auto before = Snapshot();
    ClickMirrorShow(false);
    EXPECT_EQ(Cells()[1][0], Mark(1, 4));
    EXPECT_EQ(Cells()[1][4], Mark(1, 0));
    EXPECT_EQ(Cells()[1][5], Mark(1, 5));
    EXPECT_EQ(Cells()[3][0], Mark(3, 0));
    ClickMirrorShow(false);
    EXPECT_TRUE(CellsEqual(*before));

    ClickMirrorShow(true);
    EXPECT_EQ(Cells()[0][4], Mark(2, 4));
    EXPECT_EQ(Cells()[2][4], Mark(0, 4));
    EXPECT_EQ(Cells()[0][5], Mark(0, 5));
    ClickMirrorShow(true);
    EXPECT_TRUE(CellsEqual(*before));

    settings.Outputs = MaxOutputs;
    settings.Steps = MaxSteps;
    ClickMirrorShow(true);
    EXPECT_EQ(Cells()[0][167], Mark(9999, 167));
    EXPECT_EQ(Cells()[10000][0], Mark(10000, 0));
}

TEST_F(RowColumnCommandsTest, MirroringOneOutputOrOneStepChangesNothing) {
    const auto before = Snapshot();
    settings.Outputs = 1;
    ClickMirrorShow(false);
    settings.Outputs = 20;
    settings.Steps = 1;
    ClickMirrorShow(true);
    EXPECT_TRUE(CellsEqual(*before));
}

} // namespace
} // namespace velkaro
