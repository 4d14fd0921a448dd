// How a grid holds its memory: only the rows below its mark can hold colours, copies move only
// those, and a grid costs memory only for what was written into it.
#include "model/Grid.h"
#include "model/ShowMemory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace velkaro {
namespace {

using AllCells = std::vector<TColor>;

AllCells WholeCopy(const Grid& grid, int rows = GridRows) {
    const auto cells = grid.AllCells().first(static_cast<std::size_t>(rows) * GridCols);
    return AllCells(cells.begin(), cells.end());
}

// Row r of a grid painted to `rows` rows, column c, in a colour telling which grid it came from.
void Paint(Grid& grid, int rows, TColor tint) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < GridCols; ++c) grid.At(r, c) = tint + static_cast<TColor>(r * 256 + c);
}

bool BlackFromTheMarkOn(const Grid& grid, int rows = GridRows) {
    const auto cells = grid.AllCells();
    return std::all_of(cells.begin() + static_cast<std::ptrdiff_t>(grid.UsedRows()) * GridCols,
                       cells.begin() + static_cast<std::ptrdiff_t>(rows) * GridCols,
                       [](TColor c) { return c == Black; });
}

// Pages of the grid's memory that are in the process, found with mincore.
std::size_t ResidentPages(const Grid& grid) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto cells = reinterpret_cast<std::uintptr_t>(grid.AllCells().data());
    const std::uintptr_t start = cells - cells % page;
    const std::size_t length = cells + GridBytes - start;
    const std::size_t pages = (length + page - 1) / page;
    std::vector<unsigned char> resident(pages);
    if (::mincore(reinterpret_cast<void*>(start), length, resident.data()) != 0) return pages;
    return static_cast<std::size_t>(std::count_if(resident.begin(), resident.end(),
                                                  [](unsigned char p) { return (p & 1) != 0; }));
}

// Every relation of the two marks to the rows copied, also the same grid overlapping itself:
// the result is a plain memmove of the rows, and the mark stays true. Nothing here reaches row
// 24, so the rows after it stay black and only the rows before it are compared.
TEST(CopyGridRows, EqualsAPlainCopyOfTheRowsWhereverTheMarksLie) {
    constexpr int Rows = 24;
    auto from = NewGrid();
    auto to = NewGrid();
    const int marks[] = {0, 3, 7, 12};
    const int starts[] = {0, 2, 5};
    for (int fromMark : marks)
        for (int toMark : marks)
            for (int fromRow : starts)
                for (int toRow : starts)
                    for (int count : {1, 4, 9}) {
                        for (bool sameGrid : {false, true}) {
                            ClearCells(*from);
                            ClearCells(*to);
                            Grid& source = sameGrid ? *to : *from;
                            Paint(source, sameGrid ? toMark : fromMark, 0x100000);
                            if (!sameGrid) Paint(*to, toMark, 0x200000);
                            AllCells expected = WholeCopy(*to, Rows);
                            const AllCells sourceCells = WholeCopy(source, Rows);
                            std::memmove(expected.data() + toRow * GridCols,
                                         sourceCells.data() + fromRow * GridCols,
                                         static_cast<std::size_t>(count) * RowBytes);

                            CopyGridRows(*to, toRow, source, fromRow, count);
                            ASSERT_EQ(WholeCopy(*to, Rows), expected)
                                << fromMark << " " << toMark << " " << fromRow << " " << toRow
                                << " " << count << " " << sameGrid;
                            ASSERT_TRUE(BlackFromTheMarkOn(*to, Rows));
                        }
                    }
}

TEST(ClearCells, LowersTheMarkToTheLastSpareCellWithAColour) {
    auto grid = NewGrid();
    Paint(*grid, 300, 0x010000);
    ClearCells(*grid);
    EXPECT_EQ(grid->UsedRows(), 300); // column 168 of row 299 keeps its colour
    for (int r = 0; r < 300; ++r) grid->At(r, LastCol) = Black;
    grid->At(120, LastCol) = White;
    ClearCells(*grid);
    EXPECT_EQ(grid->UsedRows(), 121);
    grid->At(120, LastCol) = Black;
    ClearCells(*grid);
    EXPECT_EQ(grid->UsedRows(), 0);

    grid->At(LastRow, 3) = White; // a spare row is never cleared
    ClearCells(*grid);
    EXPECT_EQ(grid->UsedRows(), GridRows);
    EXPECT_EQ(grid->At(LastRow, 3), White);
    EXPECT_TRUE(BlackFromTheMarkOn(*grid));
}

// Reserving the show's grids and filling the ring with an empty show writes no cell (only the
// first page of a grid, which holds its mark); a snapshot of a 100-step show writes the pages of
// its hundred rows and no more.
TEST(ShowMemory, TouchesOnlyTheMemoryAShowUses) {
    ShowMemory memory;
    ClearCells(*memory.Cells);
    for (int i = 0; i < UndoRing::SlotCount; ++i) memory.Undo.Push(*memory.Cells, ShowSettings{});
    EXPECT_LE(ResidentPages(*memory.Cells), 1u);
    for (int i = 0; i < UndoRing::SlotCount; ++i) {
        EXPECT_LE(ResidentPages(memory.Undo.SlotGrid()), 1u) << "slot " << i;
        memory.Undo.StepForward();
    }

    Paint(*memory.Cells, 100, 0x010000);
    memory.Undo.Push(*memory.Cells, ShowSettings{});
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    EXPECT_LE(ResidentPages(memory.Undo.SlotGrid()), 100 * RowBytes / page + 2);
    EXPECT_EQ(WholeCopy(memory.Undo.SlotGrid()), WholeCopy(*memory.Cells));
}

} // namespace
} // namespace velkaro
