#include "model/Grid.h"
#include "model/ShowError.h"
#include "model/UndoRing.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(Grid, HasTheFixedStride) {
    EXPECT_EQ(GridBytes, 6767436u);
    auto grid = NewGrid();
    EXPECT_EQ(&grid->At(1, 0) - &grid->At(0, 0), 169);
    EXPECT_EQ(grid->At(GridRows - 1, GridCols - 1), 0u);
}

TEST(ClearCells, BlanksOnlyTheWorkingArea) {
    auto grid = NewGrid();
    for (auto& cell : grid->WritableCells()) cell = 0x123456;
    ClearCells(*grid);
    for (int r = 0; r <= 10000; ++r) {
        for (int c = 0; c < 168; ++c) ASSERT_EQ(grid->At(r, c), 0u) << r << "," << c;
        ASSERT_EQ(grid->At(r, 168), 0x123456u) << "column 168 of row " << r;
    }
    for (int r = 10001; r <= 10010; ++r)
        for (int c = 0; c < 169; ++c) ASSERT_EQ(grid->At(r, c), 0x123456u) << r << "," << c;
}

TEST(UndoRing, PushAdvancesAndKeepsTheShowBeforeTheEdit) {
    UndoRing ring;
    auto cells = NewGrid();
    ShowSettings settings;
    for (int i = 0; i < UndoRing::SlotCount; ++i) ring.Push(*cells, settings);
    EXPECT_EQ(ring.UndoPos(), 0);

    cells->At(3, 4) = 0xFF;
    settings.Steps = 7;
    ring.Push(*cells, settings);
    EXPECT_EQ(ring.UndoPos(), 1);
    EXPECT_EQ(ring.SlotGrid().At(3, 4), 0xFFu);
    EXPECT_EQ(ring.SlotSettings().Steps, 7);

    cells->At(3, 4) = 0; // the live show does not reach the snapshot
    EXPECT_EQ(ring.SlotGrid().At(3, 4), 0xFFu);

    ring.StepBack();
    ring.StepBack();
    EXPECT_EQ(ring.UndoPos(), 9);
    ring.StepForward();
    EXPECT_EQ(ring.UndoPos(), 0);
}

TEST(ShowError, FullStopRule) {
    EXPECT_EQ(WithFullStop("Datei nicht gefunden"), "Datei nicht gefunden.");
    EXPECT_EQ(WithFullStop("E/A-Fehler 5"), "E/A-Fehler 5.");
    EXPECT_EQ(WithFullStop("Unbekannte Bilddateierweiterung (.xyz)"),
              "Unbekannte Bilddateierweiterung (.xyz)");
    EXPECT_EQ(WithFullStop("schon da."), "schon da.");
    EXPECT_EQ(WithFullStop("Größe ä"), "Größe ä.");
}

} // namespace
} // namespace velkaro
