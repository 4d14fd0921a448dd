#include "WindowFixture.h"
#include "ui/SelectionPanel.h"

#include "ui/controls/Panel.h"

#include <QPushButton>

#include <initializer_list>

namespace velkaro {
namespace {

// A colour telling where a cell started out, so a moved cell shows its origin.
constexpr TColor Mark(int row, int col) {
    return static_cast<TColor>((row << 8) + col + 1);
}

constexpr TColor FrameColour = 0x88FF88;

// The buttons of the whole-show mirrors and of the selection panel, clicked as a user clicks
// them on a marked show.
class BlockCommandButtonsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridCols; ++c) w->Show().Cells[r][c] = Mark(r, c);
        Child<UpDown>(*w, "outputsSpinner")->SetPosition(20);
        SetSteps(10);
        startPos = UndoPos();
    }

    // The middle of a cell in pixels of the grid; cells right of the shown outputs lie beyond
    // the paint box, where a drag still reaches them.
    QPoint CellPoint(int col, int row) const {
        return {col * w->View().ColWidth() + w->View().ColWidth() / 2,
                (row - w->View().TopRow()) * w->View().RowHeight() + w->View().RowHeight() / 2};
    }

    // A right drag from cell (col1, row1) to cell (col2, row2).
    void RightDrag(int col1, int row1, int col2, int row2) {
        QTest::mousePress(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {},
                          CellPoint(col1, row1));
        QTest::mouseMove(Child<PaintBox>(*w, "gridPaintBox"), CellPoint(col2, row2));
        QTest::mouseRelease(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {},
                            CellPoint(col2, row2));
    }

    void Select(int col1, int row1, int col2, int row2) {
        RightDrag(col1, row1, col2, row2);
        ASSERT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
    }

    void Click(QPushButton* button) {
        ASSERT_TRUE(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    int UndoPos() const { return w->Show().Memory.Undo.UndoPos(); }
    int Snapshots() const { return (UndoPos() - startPos + UndoRing::SlotCount) % 10; }

    void ExpectSelection(int col1, int row1, int col2, int row2) {
        EXPECT_TRUE(w->Show().Sel.SelActive);
        EXPECT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
        EXPECT_EQ(w->Show().Sel.SelCol1, col1);
        EXPECT_EQ(w->Show().Sel.SelRow1, row1);
        EXPECT_EQ(w->Show().Sel.SelCol2, col2);
        EXPECT_EQ(w->Show().Sel.SelRow2, row2);
    }

    void ExpectSelectionEnded() {
        EXPECT_FALSE(w->Show().Sel.SelActive);
        EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
        EXPECT_FALSE(Child<Panel>(*w, "selectionPanel")->isVisible());
        EXPECT_EQ(w->Show().Sel.SelCol1 | w->Show().Sel.SelCol2 | w->Show().Sel.SelRow1 |
                      w->Show().Sel.SelRow2,
                  0);
    }

    // Row r of the show holds, from column `col` on, the marks of `fromCols` in row `fromRow`.
    void ExpectRow(int r, int col, int fromRow, std::initializer_list<int> fromCols) {
        for (int from : fromCols) EXPECT_EQ(w->Show().Cells[r][col++], Mark(fromRow, from)) << r;
    }

    void ExpectUnmarked(int r, int c) {
        EXPECT_EQ(w->Show().Cells[r][c], Mark(r, c)) << r << "," << c;
    }

    int startPos = 0;
};

TEST_F(BlockCommandButtonsTest, WholeShowMirrorsOnTheMainPanel) {
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(4);
    SetSteps(3);
    Click(Child<QPushButton>(*w, "mirrorShowHorizontalButton"));
    ExpectRow(0, 0, 0, {3, 2, 1, 0});
    ExpectRow(2, 0, 2, {3, 2, 1, 0});
    ExpectUnmarked(0, 4);
    ExpectUnmarked(3, 0);
    Click(Child<QPushButton>(*w, "mirrorShowVerticalButton"));
    ExpectRow(0, 0, 2, {3, 2, 1, 0});
    ExpectRow(2, 0, 0, {3, 2, 1, 0});
    EXPECT_EQ(Snapshots(), 2);
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
    w->History().Undo();
    ExpectRow(0, 0, 0, {3, 2, 1, 0});
    w->History().Undo();
    ExpectUnmarked(0, 0);
    ExpectUnmarked(2, 3);
}

TEST_F(BlockCommandButtonsTest, RowCommandsChangeStepsAndEndTheSelection) {
    Select(5, 2, 1, 3);
    Click(Child<QPushButton>(
        *w, "deleteRowsButton")); // "Löschen": rows 2..3 go, the rows below move up
    ExpectRow(1, 0, 1, {0, 1});
    ExpectRow(2, 0, 4, {0, 1, 2});
    ExpectRow(7, 0, 9, {0});
    ExpectRow(9998, 0, 10000, {0});
    ExpectUnmarked(9999, 0);
    EXPECT_EQ(w->Settings().Steps(), 8);
    ExpectSelectionEnded();
    EXPECT_EQ(Snapshots(), 1);
    w->History().Undo();
    EXPECT_EQ(w->Settings().Steps(), 10);
    ExpectUnmarked(2, 0);

    Select(0, 0, 3, 1);
    Click(Child<QPushButton>(*w, "duplicateRowsButton")); // "Duplizieren": A B C gives A B A B C
    ExpectRow(0, 0, 0, {0});
    ExpectRow(2, 0, 0, {0, 1});
    ExpectRow(3, 0, 1, {0});
    ExpectRow(4, 0, 2, {0});
    EXPECT_EQ(w->Settings().Steps(), 12);
    ExpectSelectionEnded();
    EXPECT_EQ(Snapshots(), 1); // one undone, one taken
    w->History().Undo();
    EXPECT_EQ(w->Settings().Steps(), 10);
    ExpectUnmarked(2, 0);
}

TEST_F(BlockCommandButtonsTest, ColumnCommandsKeepOutputsAndEndTheSelection) {
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(5);
    Select(1, 4, 2, 6);
    Click(Child<QPushButton>(
        *w, "deleteColumnsButton")); // "Löschen": A B C D E gives A D E and what lay beyond
    ExpectRow(0, 0, 0, {0, 3, 4, 5, 6});
    ExpectRow(9999, 0, 9999, {0, 3, 4});
    ExpectUnmarked(10000, 1);
    EXPECT_EQ(w->Settings().Outputs(), 5);
    ExpectSelectionEnded();
    w->History().Undo();
    ExpectUnmarked(0, 1);

    Select(1, 0, 2, 0);
    Click(Child<QPushButton>(
        *w, "duplicateColumnsButton")); // "Duplizieren": A B C B C, then D E beyond the show
    ExpectRow(3, 0, 3, {0, 1, 2, 1, 2, 3, 4});
    EXPECT_EQ(w->Settings().Outputs(), 5);
    ExpectSelectionEnded();
    EXPECT_EQ(Snapshots(), 1);
}

TEST_F(BlockCommandButtonsTest, CopyTakesNoSnapshotAndPasteResizesTheSelection) {
    Select(2, 5, 4, 6);
    Click(Child<QPushButton>(*w, "copyBlockButton")); // "Kopieren"
    EXPECT_EQ(Snapshots(), 0);
    EXPECT_EQ(w->Show().Memory.ClipWidth, 3);
    EXPECT_EQ(w->Show().Memory.ClipHeight, 2);
    ExpectSelection(2, 5, 4, 6);

    Select(10, 7, 19, 9);
    Click(Child<QPushButton>(
        *w, "pasteBlockButton")); // "Einfügen" at the top-left corner of the new block
    ExpectRow(7, 10, 5, {2, 3, 4});
    ExpectRow(8, 10, 6, {2, 3, 4});
    ExpectUnmarked(7, 13);
    ExpectUnmarked(9, 10);
    ExpectSelection(10, 7, 12, 8);
    EXPECT_EQ(Snapshots(), 1);
    w->History().Undo();
    ExpectUnmarked(7, 10);

    Select(165, 0, 168, 3); // cut at the last output
    Click(Child<QPushButton>(*w, "pasteBlockButton"));
    ExpectRow(0, 165, 5, {2, 3, 4});
    ExpectUnmarked(0, 168);
    ExpectSelection(165, 0, 167, 1);
}

TEST_F(BlockCommandButtonsTest, PasteBeforeAnyCopyIsAnUndoableNothing) {
    Select(0, 0, 3, 3);
    Click(Child<QPushButton>(*w, "pasteBlockButton"));
    ExpectUnmarked(0, 0);
    ExpectSelection(0, 0, 3, 3);
    EXPECT_EQ(Snapshots(), 1);
}

TEST_F(BlockCommandButtonsTest, TrimMakesTheBlockTheShow) {
    SetSteps(12);
    Select(5, 11, 3, 10);
    Click(Child<QPushButton>(*w, "trimToBlockButton")); // "Trimmen"
    EXPECT_EQ(w->Settings().Outputs(), 3);
    EXPECT_EQ(w->Settings().Steps(), 2);
    ExpectRow(0, 0, 10, {3, 4, 5});
    ExpectRow(1, 0, 11, {3, 4, 5});
    ExpectUnmarked(0, 3);
    ExpectUnmarked(2, 0);
    ExpectSelectionEnded();
    EXPECT_EQ(Snapshots(), 1);
    w->History().Undo();
    EXPECT_EQ(w->Settings().Outputs(), 20);
    EXPECT_EQ(w->Settings().Steps(), 12);
    ExpectUnmarked(0, 0);

    // Without a block (a right click on one cell) "Trimmen" refuses before any snapshot.
    RightDrag(3, 3, 3, 3);
    ASSERT_FALSE(w->Show().Sel.SelActive);
    // The panel is hidden then, so its button is clicked from the code.
    Child<QPushButton>(*w, "trimToBlockButton")->click();
    EXPECT_EQ(w->Settings().Outputs(), 20);
    EXPECT_EQ(Snapshots(), 0);
}

// Blocks the move buttons pushed past the last column or row. A block left with rows but no
// columns trims to its steps and one output; the row commands count every row of a block, also
// those pushed past row 9999; a block whose first row lies past its last changes no Steps; the
// spare rows below row 10000 are never touched.
TEST_F(BlockCommandButtonsTest, BlocksPushedPastTheEdgeStillCountTheirRows) {
    QPushButton* right = Child<QPushButton>(*w, "moveBlockRightButton");
    QPushButton* down = Child<QPushButton>(*w, "moveBlockDownButton");
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(MaxOutputs);
    Select(167, 2, 167, 4);
    Click(right);
    ExpectSelection(168, 2, 167, 4);
    Click(Child<QPushButton>(*w, "trimToBlockButton"));
    EXPECT_EQ(w->Settings().Outputs(), 1);
    EXPECT_EQ(w->Settings().Steps(), 3);
    ExpectSelectionEnded();
    ExpectUnmarked(0, 0);
    EXPECT_EQ(Snapshots(), 2);

    Child<UpDown>(*w, "outputsSpinner")->SetPosition(MaxOutputs);
    SetSteps(MaxSteps);
    QScrollBar* scroll = Child<QScrollBar>(*w, "gridScrollBar");
    const auto pushPastTheLastRow = [&] {
        scroll->setValue(scroll->maximum());
        Select(167, 9995, 167, 9999);
        Click(right);
        Click(down);
        Click(down);
        ExpectSelection(168, 9997, 167, 10001);
    };
    pushPastTheLastRow();
    Click(Child<QPushButton>(*w, "deleteRowsButton"));
    EXPECT_EQ(w->Settings().Steps(), 9995) << "all five rows count";
    pushPastTheLastRow();
    SetSteps(9000);
    Click(Child<QPushButton>(*w, "duplicateRowsButton"));
    EXPECT_EQ(w->Settings().Steps(), 9005);

    SetSteps(MaxSteps);
    scroll->setValue(scroll->maximum());
    Select(5, 9999, 6, 9999);
    Click(down);
    ExpectSelection(5, 10000, 6, 9999);
    Click(Child<QPushButton>(*w, "deleteRowsButton"));
    EXPECT_EQ(w->Settings().Steps(), MaxSteps);
    for (int r = 9990; r < GridRows; ++r)
        for (int c : {0, 5, 167, 168}) ExpectUnmarked(r, c);
}

TEST_F(BlockCommandButtonsTest, InPlaceMirrorsKeepTheSelection) {
    Select(1, 2, 3, 4);
    Click(Child<QPushButton>(*w, "mirrorBlockHorizontalButton")); // "Horizontal"
    ExpectRow(2, 0, 2, {0, 3, 2, 1, 4});
    ExpectRow(1, 1, 1, {1});
    ExpectSelection(1, 2, 3, 4);
    Click(Child<QPushButton>(*w, "mirrorBlockVerticalButton")); // "Vertikal"
    ExpectRow(2, 1, 4, {3, 2, 1});
    ExpectRow(4, 1, 2, {3, 2, 1});
    ExpectUnmarked(5, 1);
    ExpectSelection(1, 2, 3, 4);
    EXPECT_EQ(Snapshots(), 2);
}

TEST_F(BlockCommandButtonsTest, MovesCarryTheBlockAndItsFrame) {
    Select(2, 3, 4, 5);
    Click(Child<QPushButton>(
        *w, "moveBlockDownButton")); // "v": rows 4..6 hold the block, row 3 keeps its old cells
    ExpectRow(3, 2, 3, {2, 3, 4});
    ExpectRow(4, 2, 3, {2, 3, 4});
    ExpectRow(6, 2, 5, {2, 3, 4});
    ExpectUnmarked(7, 2);
    ExpectSelection(2, 4, 4, 6);
    // The frame is drawn where the block now lies: its bottom line under row 6.
    EXPECT_EQ(PixelAt(3 * w->View().ColWidth(), 7 * w->View().RowHeight()), FrameColour);

    Click(Child<QPushButton>(*w, "moveBlockRightButton")); // ">"
    ExpectRow(5, 2, 4, {2, 2, 3, 4});
    ExpectSelection(3, 4, 5, 6);
    Click(Child<QPushButton>(*w, "moveBlockLeftButton")); // "<"
    ExpectRow(5, 2, 4, {2, 3, 4, 4});
    ExpectSelection(2, 4, 4, 6);
    Click(Child<QPushButton>(*w, "moveBlockUpButton")); // "^"
    ExpectRow(3, 2, 3, {2, 3, 4});
    ExpectRow(4, 2, 4, {2, 3, 4});
    ExpectSelection(2, 3, 4, 5);
    EXPECT_EQ(Snapshots(), 4);

    // Towards the edge from the edge the block lands on itself, yet a snapshot is taken.
    Select(0, 0, 1, 1);
    const TColor corner = w->Show().Cells[0][0];
    Click(Child<QPushButton>(*w, "moveBlockLeftButton"));
    Click(Child<QPushButton>(*w, "moveBlockUpButton"));
    EXPECT_EQ(w->Show().Cells[0][0], corner);
    ExpectSelection(0, 0, 1, 1);
    EXPECT_EQ(Snapshots(), 6);
}

TEST_F(BlockCommandButtonsTest, CrossFadeNeedsThreeRows) {
    for (int r = 0; r < 5; ++r) w->Show().Cells[r][0] = Black;
    w->Show().Cells[4][0] = 0x0000FF;
    Select(0, 0, 0, 4);
    Click(Child<QPushButton>(*w, "fadeBlockVerticalButton")); // "Überblenden" / "Vertikal"
    EXPECT_EQ(w->Show().Cells[1][0], 0x000040u);
    EXPECT_EQ(w->Show().Cells[2][0], 0x000080u);
    EXPECT_EQ(w->Show().Cells[3][0], 0x0000BFu);
    EXPECT_EQ(w->Show().Cells[4][0], 0x0000FFu);
    ExpectUnmarked(1, 1);
    ExpectSelection(0, 0, 0, 4);
    EXPECT_EQ(Snapshots(), 1);

    Select(2, 6, 3, 7);
    Click(Child<QPushButton>(*w, "fadeBlockVerticalButton"));
    ExpectUnmarked(6, 2);
    EXPECT_EQ(Snapshots(), 1);
}

TEST_F(BlockCommandButtonsTest, MirroredCopyRightTakesTwoSnapshots) {
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(4);
    Select(0, 0, 3, 9);
    Click(Child<QPushButton>(
        *w, "mirrorBlockRightAsCopyButton")); // "Nach Rechts Spiegeln": A B C D gives A B C D D C
                                              // B, A past the show
    ExpectRow(0, 0, 0, {0, 1, 2, 3, 3, 2, 1, 0});
    ExpectRow(9, 4, 9, {3, 2, 1, 0});
    ExpectUnmarked(0, 8);
    ExpectUnmarked(10, 4);
    EXPECT_EQ(w->Settings().Outputs(), 7);
    ExpectSelection(4, 0, 7, 9);
    EXPECT_EQ(Snapshots(), 2);

    w->History().Undo(); // the copy before its mirror, with the settings from before the command
    EXPECT_EQ(w->Settings().Outputs(), 4);
    ExpectRow(0, 0, 0, {0, 1, 2, 3, 0, 1, 2, 3});
    w->History().Undo(); // the cells from before the copy
    ExpectRow(0, 0, 0, {0, 1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(Snapshots(), 0);
}

TEST_F(BlockCommandButtonsTest, MirroredCopyDownGrowsTheSteps) {
    SetSteps(4);
    Select(0, 0, 19, 3);
    Click(Child<QPushButton>(
        *w, "mirrorBlockDownAsCopyButton")); // "Nach Unten spiegeln": 0 1 2 3 gives 0 1 2 3 3 2 1,
                                             // 0 past the show
    for (int r = 0; r < 8; ++r) {
        const int from = r < 4 ? r : 7 - r;
        EXPECT_EQ(w->Show().Cells[r][0], Mark(from, 0)) << r;
        EXPECT_EQ(w->Show().Cells[r][19], Mark(from, 19)) << r;
    }
    ExpectUnmarked(4, 20);
    ExpectUnmarked(8, 0);
    EXPECT_EQ(w->Settings().Steps(), 7);
    ExpectSelection(0, 4, 19, 7);
    EXPECT_EQ(Snapshots(), 2);

    w->History().Undo();
    EXPECT_EQ(w->Settings().Steps(), 4);
    ExpectRow(5, 0, 1, {0});
    w->History().Undo();
    ExpectUnmarked(5, 0);
}

} // namespace
} // namespace velkaro
