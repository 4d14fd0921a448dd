#include "WindowFixture.h"

#include "ui/PaletteWindow.h"
#include "ui/controls/Panel.h"

#include <QLabel>
#include <QPushButton>

#include <climits>

namespace velkaro {
namespace {

constexpr TColor FrameGreen = 0x88FF88;

class MouseEditingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        SetSteps(10);
        saved = NewGrid();
    }

    // The middle of a cell on the grid paint box, also for cells outside the shown rows.
    QPoint CellPoint(int col, int row) {
        return {col * w->View().ColWidth() + w->View().ColWidth() / 2,
                (row - w->View().TopRow()) * w->View().RowHeight() + w->View().RowHeight() / 2};
    }
    void Press(Qt::MouseButton button, QPoint at) {
        QTest::mousePress(Child<PaintBox>(*w, "gridPaintBox"), button, {}, at);
    }
    void Release(Qt::MouseButton button, QPoint at) {
        QTest::mouseRelease(Child<PaintBox>(*w, "gridPaintBox"), button, {}, at);
    }
    // Press on one point, move over the grid, release on another.
    void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
        Press(button, from);
        QTest::mouseMove(Child<PaintBox>(*w, "gridPaintBox"), (from + to) / 2);
        QTest::mouseMove(Child<PaintBox>(*w, "gridPaintBox"), to);
        Release(button, to);
    }
    void DragCells(Qt::MouseButton button, int c1, int r1, int c2, int r2) {
        Drag(button, CellPoint(c1, r1), CellPoint(c2, r2));
    }
    void ClickCell(Qt::MouseButton button, int col, int row) {
        DragCells(button, col, row, col, row);
    }
    void SelectSwatch(int slot) {
        const int size = w->Palette().SwatchSize();
        QTest::mouseClick(Child<PaintBox>(*w, "swatchStrip"), Qt::LeftButton, {},
                          QPoint(slot * size + size / 2, 5));
    }
    void KeepGrid() { CopyGrid(*saved, w->Show().Cells); }
    bool GridKept() {
        return std::memcmp(saved->AllCells().data(), w->Show().Cells.AllCells().data(),
                           GridBytes) == 0;
    }
    // Every cell of the working area that is colour lies in the block, and the block is full.
    void ExpectOnlyBlock(int c1, int r1, int c2, int r2, TColor colour) {
        int outside = 0;
        for (int r = 0; r <= LastRow; ++r)
            for (int c = 0; c <= LastCol; ++c) {
                const bool inBlock = c >= c1 && c <= c2 && r >= r1 && r <= r2;
                if (inBlock)
                    EXPECT_EQ(w->Show().Cells[r][c], colour) << c << "," << r;
                else
                    outside += w->Show().Cells[r][c] != Black;
            }
        EXPECT_EQ(outside, 0);
    }

    std::unique_ptr<Grid> saved;
};

TEST_F(MouseEditingTest, ClickPaintsOneCellWithOneSnapshotAndAMiddleReleaseUndoesIt) {
    SelectSwatch(1);
    const int pos = w->Show().Memory.Undo.UndoPos();
    ClickCell(Qt::LeftButton, 2, 3);
    ExpectOnlyBlock(2, 3, 2, 3, 0x00FF00);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), (pos + 1) % UndoRing::SlotCount);
    EXPECT_EQ(PixelAt(CellPoint(2, 3).x(), CellPoint(2, 3).y()), 0x00FF00u);
    EXPECT_FALSE(w->Show().PickActive);

    // Changing the swatch later leaves the painted cell as it is.
    Child<QScrollBar>(*w, "redSlider")->setValue(200);
    EXPECT_EQ(w->Show().Cells[3][2], 0x00FF00u);

    ClickCell(Qt::MiddleButton, 7, 7);
    EXPECT_EQ(w->Show().Cells[3][2], Black);
    EXPECT_EQ(w->Show().Cells[7][7], Black);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), pos);
}

TEST_F(MouseEditingTest, ADragPaintsTheSameRectangleInEitherDirection) {
    SelectSwatch(0);
    DragCells(Qt::LeftButton, 1, 2, 4, 6);
    ExpectOnlyBlock(1, 2, 4, 6, 0x0000FF);
    EXPECT_EQ(w->Show().CurCol, 4);
    EXPECT_EQ(w->Show().CurRow, 6);
    ClearCells(w->Show().Cells);
    DragCells(Qt::LeftButton, 4, 6, 1, 2);
    ExpectOnlyBlock(1, 2, 4, 6, 0x0000FF);
    ClearCells(w->Show().Cells);
    DragCells(Qt::LeftButton, 4, 2, 1, 6);
    ExpectOnlyBlock(1, 2, 4, 6, 0x0000FF);
}

TEST_F(MouseEditingTest, PaintingBelowTheEndLengthensTheShowInOneUndoStep) {
    SelectSwatch(2);
    const QString caption = w->windowTitle();
    DragCells(Qt::LeftButton, 1, 9, 3, 9);
    EXPECT_EQ(w->Settings().Steps(), 10);
    EXPECT_EQ(w->windowTitle(), caption);

    KeepGrid();
    DragCells(Qt::LeftButton, 1, 4, 3, 12);
    EXPECT_EQ(w->Settings().Steps(), 13);
    EXPECT_EQ(w->windowTitle(), "3   12");
    for (int r = 4; r <= 12; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(w->Show().Cells[r][c], 0xFF0000u) << c << "," << r;
    EXPECT_EQ(w->Show().Cells[13][1], Black);

    QTest::mouseClick(Child<QPushButton>(*w, "undoButton"), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 10);
    EXPECT_TRUE(GridKept());
}

TEST_F(MouseEditingTest, PickingSelectsTheLowestSwatchOrPutsTheColourIntoSwatch31) {
    const TColor mix = RGB(12, 34, 56);
    w->Show().Palette[4] = mix;
    w->Show().Palette[20] = mix;
    w->Show().Cells[1][2] = mix;
    const auto palette = w->Show().Palette;
    ClickCell(Qt::RightButton, 2, 1);
    EXPECT_EQ(w->Show().SelectedSwatch, 4);
    EXPECT_EQ(w->Show().Palette, palette);
    EXPECT_EQ(Child<QScrollBar>(*w, "redSlider")->value(), 12);
    EXPECT_EQ(Child<QScrollBar>(*w, "greenSlider")->value(), 34);
    EXPECT_EQ(Child<QScrollBar>(*w, "blueSlider")->value(), 56);
    EXPECT_EQ(Child<QLabel>(*w, "greenValueLabel")->text(), "34 / 13%");
    EXPECT_TRUE(w->Show().PickActive);

    const TColor unknown = RGB(1, 2, 3);
    w->Show().Palette[32] = unknown;
    w->Show().Cells[5][6] = unknown;
    ClickCell(Qt::RightButton, 6, 5);
    EXPECT_EQ(w->Show().SelectedSwatch, 31);
    EXPECT_EQ(w->Show().Palette[31], unknown);
    EXPECT_EQ(Child<QScrollBar>(*w, "blueSlider")->value(), 3);

    // A black cell goes to swatch 7, the lowest black one, and changes no swatch.
    const auto afterUnknown = w->Show().Palette;
    ClickCell(Qt::RightButton, 0, 0);
    EXPECT_EQ(w->Show().SelectedSwatch, 7);
    EXPECT_EQ(w->Show().Palette, afterUnknown);
}

TEST_F(MouseEditingTest, RightDragSelectsABlockAndLeavesTheShowAlone) {
    w->Show().Cells[3][3] = 0x123456;
    KeepGrid();
    const int pos = w->Show().Memory.Undo.UndoPos();
    DragCells(Qt::RightButton, 5, 2, 1, 7);
    EXPECT_TRUE(w->Show().Sel.SelActive);
    EXPECT_EQ(w->Show().Sel.SelCol1, 1);
    EXPECT_EQ(w->Show().Sel.SelCol2, 5);
    EXPECT_EQ(w->Show().Sel.SelRow1, 2);
    EXPECT_EQ(w->Show().Sel.SelRow2, 7);
    EXPECT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
    EXPECT_FALSE(Child<Panel>(*w, "commandPanel")->isVisible());
    EXPECT_TRUE(GridKept());
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), pos);
    // The light green frame: left line on the block's first pixel column, right line on the
    // first pixel column past the block.
    const int midY = 4 * w->View().RowHeight() + 3;
    EXPECT_EQ(PixelAt(1 * w->View().ColWidth(), midY), FrameGreen);
    EXPECT_EQ(PixelAt(6 * w->View().ColWidth(), midY), FrameGreen);
    EXPECT_EQ(PixelAt(3 * w->View().ColWidth() + 3, 2 * w->View().RowHeight()), FrameGreen);
    EXPECT_EQ(PixelAt(3 * w->View().ColWidth() + 3, 8 * w->View().RowHeight()), FrameGreen);

    // The frame survives a repaint.
    w->View().PaintGrid();
    EXPECT_EQ(PixelAt(1 * w->View().ColWidth(), midY), FrameGreen);

    // Press and release on one cell ends the block and still picks.
    w->Show().Cells[3][3] = 0x00FFFF;
    ClickCell(Qt::RightButton, 3, 3);
    EXPECT_FALSE(w->Show().Sel.SelActive);
    EXPECT_EQ(w->Show().Sel.SelCol1, 3);
    EXPECT_EQ(w->Show().Sel.SelRow1, 3);
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
    EXPECT_FALSE(Child<Panel>(*w, "selectionPanel")->isVisible());
    EXPECT_EQ(w->Show().SelectedSwatch, 3);
}

TEST_F(MouseEditingTest, SlidersInPickModeRecolourTheReleaseCell) {
    DragCells(Qt::RightButton, 5, 2, 1, 7);
    Child<QScrollBar>(*w, "redSlider")->setValue(99);
    EXPECT_EQ(w->Show().Cells[7][1], RGB(99, 0, 0));
    EXPECT_EQ(w->Show().Cells[2][5], Black);
    EXPECT_EQ(w->Show().Palette[7], RGB(99, 0, 0));
    EXPECT_EQ(PixelAt(CellPoint(1, 7).x(), CellPoint(1, 7).y()), RGB(99, 0, 0));

    // A left or middle press ends pick mode: the sliders then change only the swatch.
    Press(Qt::MiddleButton, CellPoint(8, 8));
    EXPECT_FALSE(w->Show().PickActive);
    EXPECT_EQ(w->Show().Cells[8][8], Black);
    w->Show().IgnoreNextGridRelease = true; // keep the release from undoing
    Release(Qt::MiddleButton, CellPoint(8, 8));
    Child<QScrollBar>(*w, "redSlider")->setValue(150);
    EXPECT_EQ(w->Show().Cells[7][1], RGB(99, 0, 0));
    EXPECT_EQ(w->Show().Cells[8][8], Black);
    EXPECT_EQ(w->Show().Palette[7], RGB(150, 0, 0));
}

TEST_F(MouseEditingTest, LeftReleaseAndPanel9EndTheSelection) {
    DragCells(Qt::RightButton, 0, 0, 2, 2);
    ASSERT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
    QTest::mouseClick(Child<Panel>(*w, "endSelectionButton"), Qt::LeftButton);
    EXPECT_FALSE(w->Show().Sel.SelActive);
    EXPECT_EQ(w->Show().Sel.SelCol2, 0);
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());

    DragCells(Qt::RightButton, 0, 0, 2, 2);
    ClickCell(Qt::LeftButton, 5, 5);
    EXPECT_FALSE(w->Show().Sel.SelActive);
    EXPECT_EQ(w->Show().Sel.SelRow2, 0);
    EXPECT_FALSE(Child<Panel>(*w, "selectionPanel")->isVisible());
}

TEST_F(MouseEditingTest, TheFirstReleaseAfterAFileCommandDoesNothing) {
    SelectSwatch(1);
    ClickCell(Qt::LeftButton, 0, 0);
    KeepGrid();
    const int pos = w->Show().Memory.Undo.UndoPos();
    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton, Qt::RightButton}) {
        w->Show().IgnoreNextGridRelease = true;
        DragCells(button, 4, 4, 6, 6);
        EXPECT_FALSE(w->Show().IgnoreNextGridRelease);
        EXPECT_TRUE(GridKept()) << button;
        EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), pos) << button;
        EXPECT_FALSE(w->Show().Sel.SelActive) << button;
    }
    // The release after it acts normally.
    ClickCell(Qt::MiddleButton, 4, 4);
    EXPECT_EQ(w->Show().Cells[0][0], Black);
}

// The back and forward buttons have no use on the grid: no pick, no paint, no selection, and
// the release that a file command left to be ignored is still waiting for a real button.
TEST_F(MouseEditingTest, BackAndForwardButtonsDoNothingAtAll) {
    ClickCell(Qt::RightButton, 2, 3); // pick mode on, cell (2, 3) picked
    KeepGrid();
    const int pos = w->Show().Memory.Undo.UndoPos();
    const int swatch = w->Show().SelectedSwatch;
    w->Show().IgnoreNextGridRelease = true;
    for (Qt::MouseButton button : {Qt::BackButton, Qt::ForwardButton}) {
        DragCells(button, 5, 6, 7, 8);
        ClickCell(button, 5, 6);
        EXPECT_EQ(w->Show().CurCol, 2) << button;
        EXPECT_EQ(w->Show().CurRow, 3) << button;
        EXPECT_TRUE(w->Show().PickActive) << button;
        EXPECT_TRUE(w->Show().IgnoreNextGridRelease) << button;
        EXPECT_FALSE(w->Show().Sel.SelActive) << button;
        EXPECT_EQ(w->Show().SelectedSwatch, swatch) << button;
        EXPECT_TRUE(GridKept()) << button;
        EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), pos) << button;
    }
}

TEST_F(MouseEditingTest, DragsFarBeyondEveryEdgeStayInsideTheGrid) {
    SelectSwatch(6);
    const QPoint far[] = {{-100000, 300},
                          {300, -100000},
                          {100000, 300},
                          {300, 100000},
                          {-5000000, -5000000},
                          {5000000, 5000000},
                          {INT_MIN / 2, INT_MAX / 2}};
    for (const QPoint to : far) {
        ClearCells(w->Show().Cells);
        Drag(Qt::LeftButton, CellPoint(3, 3), to);
        EXPECT_GE(w->Show().CurCol, 0);
        EXPECT_LE(w->Show().CurCol, MaxOutputs);
        EXPECT_GE(w->Show().CurRow, 0);
        EXPECT_LE(w->Show().CurRow, MaxSteps);
        EXPECT_LE(w->Settings().Steps(), MaxSteps);
        Drag(Qt::RightButton, to, CellPoint(3, 3));
        EXPECT_GE(w->Show().Sel.SelCol1, 0);
        EXPECT_GE(w->Show().Sel.SelRow1, 0);
        EXPECT_LE(w->Show().Sel.SelCol2, MaxOutputs);
        EXPECT_LE(w->Show().Sel.SelRow2, MaxSteps);
        Child<QScrollBar>(*w, "greenSlider")->setValue(to.x() & 255); // recolours the picked cell
    }
    // Beyond the left and top edges the block is held at column and row 0.
    std::fill_n(w->Show().Cells[0], GridRows * GridCols, Black);
    SetSteps(10);
    SelectSwatch(6);
    Drag(Qt::LeftButton, CellPoint(3, 3), {-100000, -100000});
    ExpectOnlyBlock(0, 0, 3, 3, w->Show().Palette[6]);
}

} // namespace
} // namespace velkaro
