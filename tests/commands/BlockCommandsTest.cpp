#include "CommandTestWindow.h"

namespace velkaro {
namespace {

class BlockCommandsTest : public CommandTestWindow {
protected:
    // The block of cells at (col, row) .. (col + w - 1, row + h - 1) holds the cells that started
    // at (fromCol, fromRow), mirrored left-to-right and/or top-to-bottom when asked.
    bool BlockCameFrom(int col, int row, int w, int h, int fromCol, int fromRow,
                       bool mirroredColumns = false, bool mirroredRows = false) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int fromC = fromCol + (mirroredColumns ? w - 1 - i : i);
                const int fromR = fromRow + (mirroredRows ? h - 1 - j : j);
                if (Cells()[row + j][col + i] != Mark(fromR, fromC)) return false;
            }
        return true;
    }
    bool Unchanged(int col, int row, int w, int h) {
        return BlockCameFrom(col, row, w, h, col, row);
    }
    int Snapshots() { return Ring().UndoPos(); }
};

TEST_F(BlockCommandsTest, PasteBeforeAnyCopyChangesNothingButTakesASnapshot) {
    const auto before = Snapshot();
    Select(3, 4, 9, 9);
    const Selection selected = sel;
    const int pos = Snapshots();
    ClickPaste();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(sel, selected);
    EXPECT_EQ(Snapshots(), (pos + 1) % UndoRing::SlotCount);
}

TEST_F(BlockCommandsTest, PasteLandsAtTheSelectionAndTheSelectionBecomesThePastedArea) {
    Select(2, 5, 4, 6);
    const int pos = Snapshots();
    ClickCopy();
    EXPECT_EQ(Snapshots(), pos); // copying takes no snapshot
    Select(100, 20, 120, 40);
    ClickPaste();
    EXPECT_TRUE(BlockCameFrom(100, 20, 3, 2, 2, 5));
    EXPECT_TRUE(Unchanged(103, 20, 1, 2) && Unchanged(100, 22, 3, 1));
    EXPECT_EQ(sel, (Selection{true, 100, 102, 20, 21}));
}

TEST_F(BlockCommandsTest, PasteIsCutAtColumn167AndRow9999) {
    Select(10, 0, 19, 11); // 10 x 12
    ClickCopy();
    Select(165, 9995, 165, 9995);
    ClickPaste();
    EXPECT_TRUE(BlockCameFrom(165, 9995, 3, 5, 10, 0));
    EXPECT_TRUE(Unchanged(168, 9995, 1, 5) && Unchanged(165, 10000, 4, 11));
    EXPECT_EQ(sel, (Selection{true, 165, 167, 9995, 9999}));
}

TEST_F(BlockCommandsTest, MoveDownLeavesTheOldFirstRowDoubled) {
    Select(5, 3, 7, 5);
    ClickMove(0, 1);
    EXPECT_TRUE(BlockCameFrom(5, 4, 3, 3, 5, 3));
    EXPECT_TRUE(Unchanged(5, 3, 3, 1));
    EXPECT_EQ(sel, (Selection{true, 5, 7, 4, 6}));

    ClickMove(1, 0);
    EXPECT_EQ(sel, (Selection{true, 6, 8, 4, 6}));
    EXPECT_EQ(Cells()[4][6], Mark(3, 5));
}

TEST_F(BlockCommandsTest, MovesTowardsTheLeftOrTopEdgeFromTheEdgeChangeNothingButTakeASnapshot) {
    const auto before = Snapshot();
    const int pos = Snapshots();
    Select(0, 0, 4, 3);
    ClickMove(-1, 0);
    ClickMove(0, -1);
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(sel, (Selection{true, 0, 4, 0, 3}));
    EXPECT_EQ(Snapshots(), (pos + 2) % UndoRing::SlotCount);
}

TEST_F(BlockCommandsTest, RepeatedMovesRightNarrowTheBlockAtColumn167UntilItIsGone) {
    Select(160, 2, 167, 3);
    for (int press = 1; press <= 8; ++press) {
        ClickMove(1, 0);
        EXPECT_EQ(sel.SelCol1, 160 + press);
        EXPECT_EQ(sel.SelCol2 - sel.SelCol1 + 1, 8 - press) << press;
    }
    const auto gone = Snapshot();
    for (int press = 0; press < 5; ++press) ClickMove(1, 0);
    EXPECT_TRUE(CellsEqual(*gone));
    EXPECT_TRUE(Unchanged(168, 0, 1, 10));
}

TEST_F(BlockCommandsTest, TrimMakesTheBlockTheWholeShow) {
    Select(3, 10, 5, 11);
    ClickTrim();
    EXPECT_EQ(settings.Outputs, 3);
    EXPECT_EQ(settings.Steps, 2);
    EXPECT_FALSE(sel.SelActive);
    EXPECT_TRUE(BlockCameFrom(0, 0, 3, 2, 3, 10));
    EXPECT_TRUE(Unchanged(3, 0, 1, 2) && Unchanged(0, 2, 3, 1));

    // The buffer keeps the block for a later paste.
    Select(50, 50, 50, 50);
    ClickPaste();
    EXPECT_TRUE(BlockCameFrom(50, 50, 3, 2, 3, 10));
}

TEST_F(BlockCommandsTest, TrimOfEveryColumnOrRowGivesTheLargestShow) {
    Select(0, 1, 168, 10000);
    ClickTrim();
    EXPECT_EQ(settings.Outputs, 168);
    EXPECT_EQ(settings.Steps, 10000);
    EXPECT_EQ(Cells()[9999][168], Mark(10000, 168)); // lands outside the show
    EXPECT_EQ(Cells()[0][0], Mark(1, 0));
    EXPECT_TRUE(Unchanged(0, 10000, 169, 11));
}

TEST_F(BlockCommandsTest, TrimWithoutASelectionIsRefusedBeforeTheSnapshot) {
    const auto before = Snapshot();
    const int pos = Snapshots();
    sel = Selection{false, 3, 5, 10, 11};
    ClickTrim();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(Snapshots(), pos);
    EXPECT_EQ(settings.Steps, 10);
}

TEST_F(BlockCommandsTest, MirrorBlockReversesOnlyTheBlockAndTwiceRestoresIt) {
    const auto before = Snapshot();
    Select(10, 20, 13, 24);
    ClickMirrorBlock(false);
    EXPECT_TRUE(BlockCameFrom(10, 20, 4, 5, 10, 20, true, false));
    EXPECT_TRUE(Unchanged(9, 20, 1, 5) && Unchanged(14, 20, 1, 5));
    ClickMirrorBlock(false);
    EXPECT_TRUE(CellsEqual(*before));
    ClickMirrorBlock(true);
    EXPECT_TRUE(BlockCameFrom(10, 20, 4, 5, 10, 20, false, true));
    EXPECT_TRUE(Unchanged(10, 19, 4, 1) && Unchanged(10, 25, 4, 1));
    EXPECT_EQ(sel, (Selection{true, 10, 13, 20, 24}));
}

TEST_F(BlockCommandsTest, MirrorRightPlacesTheReversedBlockBesideItWithTwoSnapshots) {
    settings.Outputs = 4; // A B C D
    settings.Steps = 3;
    const auto before = Snapshot();
    const int pos = Snapshots();
    Select(0, 0, 3, 2);
    ClickMirrorRight();
    EXPECT_TRUE(BlockCameFrom(4, 0, 4, 3, 0, 0, true, false)); // A B C D | D C B A
    EXPECT_EQ(settings.Outputs, 7);                            // column 7 holds A, past the show
    EXPECT_EQ(sel, (Selection{true, 4, 7, 0, 2}));
    EXPECT_EQ(Snapshots(), (pos + 2) % UndoRing::SlotCount);

    Undo(); // the unmirrored copy, with the settings from before
    EXPECT_EQ(settings.Outputs, 4);
    EXPECT_TRUE(BlockCameFrom(4, 0, 4, 3, 0, 0));
    Undo();
    EXPECT_TRUE(CellsEqual(*before));
}

TEST_F(BlockCommandsTest, MirrorRightThatDoesNotFitReversesTheBlocksFirstColumns) {
    settings.Outputs = 160;
    Select(100, 0, 159, 1); // 60 columns; only 8 fit beside them
    ClickMirrorRight();
    EXPECT_TRUE(BlockCameFrom(160, 0, 8, 2, 100, 0, true, false));
    EXPECT_TRUE(Unchanged(168, 0, 1, 2));
    EXPECT_EQ(settings.Outputs, 167);
    EXPECT_EQ(sel, (Selection{true, 160, 167, 0, 1}));
}

TEST_F(BlockCommandsTest, MirrorDownPlacesTheReversedStepsBelow) {
    settings.Steps = 4;
    Select(0, 0, 19, 3);
    ClickMirrorDown();
    EXPECT_EQ(settings.Steps, 7);
    EXPECT_TRUE(BlockCameFrom(0, 4, 20, 4, 0, 0, false, true)); // 0 1 2 3 | 3 2 1 0
    EXPECT_TRUE(Unchanged(20, 4, 1, 4));
    EXPECT_EQ(sel, (Selection{true, 0, 19, 4, 7}));

    // A longer show keeps its length.
    settings.Steps = 100;
    Select(0, 0, 1, 1);
    ClickMirrorDown();
    EXPECT_EQ(settings.Steps, 100);
}

TEST_F(BlockCommandsTest, CrossFadeBlendsTheRowsBetweenTheFirstAndTheLast) {
    Select(2, 0, 3, 4);
    for (int c = 2; c <= 3; ++c) {
        Cells()[0][c] = Black;
        Cells()[4][c] = RGB(255, 0, 0);
    }
    ClickFade();
    for (int c = 2; c <= 3; ++c) {
        EXPECT_EQ(Cells()[0][c], Black);
        EXPECT_EQ(Cells()[1][c], 0x000040u);
        EXPECT_EQ(Cells()[2][c], 0x000080u);
        EXPECT_EQ(Cells()[3][c], 0x0000BFu);
        EXPECT_EQ(Cells()[4][c], RGB(255, 0, 0));
    }
    EXPECT_TRUE(Unchanged(1, 1, 1, 3) && Unchanged(4, 1, 1, 3));
}

TEST_F(BlockCommandsTest, CrossFadeOverTwoRowsIsRefusedBeforeTheSnapshot) {
    const auto before = Snapshot();
    const int pos = Snapshots();
    Select(0, 7, 5, 8);
    ClickFade();
    EXPECT_TRUE(CellsEqual(*before));
    EXPECT_EQ(Snapshots(), pos);
}

} // namespace
} // namespace velkaro
