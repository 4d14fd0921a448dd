#include "model/Grid.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace velkaro {

void* Grid::operator new(std::size_t size) {
    // Reserved, not committed: the pages read as zero and become memory when first written.
    void* grid = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (grid == MAP_FAILED) throw std::bad_alloc();
    // A huge page would commit two megabytes for the first cell written into it.
    ::madvise(grid, size, MADV_NOHUGEPAGE);
    return grid;
}

void Grid::operator delete(void* grid, std::size_t size) {
    if (grid) ::munmap(grid, size);
}

namespace {
std::atomic<std::uint64_t> gridsMade{0};
} // namespace

// Every array is left as the fresh pages hold it, which is zero.
Grid::Grid() : identity_(++gridsMade) {}

void Grid::StampRows(int first, int end) {
    first = std::max(first, 0);
    end = std::min(end, GridRows);
    if (first >= end) return;
    ++writes_;
    std::fill(rowStamps_.begin() + first, rowStamps_.begin() + end, writes_);
    std::fill(blockStamps_.begin() + first / StampBlock,
              blockStamps_.begin() + (end - 1) / StampBlock + 1, writes_);
}

std::unique_ptr<Grid> NewGrid() {
    return std::unique_ptr<Grid>(new Grid);
}

void CopyGrid(Grid& to, const Grid& from) {
    CopyGridRows(to, 0, from, 0, GridRows);
}

void CopyGridRows(Grid& to, int toRow, const Grid& from, int fromRow, int count) {
    if (count <= 0 || (&to == &from && toRow == fromRow)) return;
    // Rows of `from` at or past its mark are black: of those, only the ones `to` may still
    // hold colours in need writing, and they are blanked.
    const int copied = std::clamp(from.usedRows_ - fromRow, 0, count);
    const int end = toRow + count;
    if (copied > 0)
        std::memmove(to.CellsOfRow(toRow), from.CellsOfRow(fromRow),
                     static_cast<std::size_t>(copied) * RowBytes);
    const int blankEnd = std::min(end, to.usedRows_);
    if (toRow + copied < blankEnd)
        std::memset(to.CellsOfRow(toRow + copied), 0,
                    static_cast<std::size_t>(blankEnd - toRow - copied) * RowBytes);
    to.StampRows(toRow, std::max(toRow + copied, blankEnd));
    if (end < to.usedRows_) return; // rows past the copy still hold what they held
    to.usedRows_ = copied > 0 ? toRow + copied : std::min(to.usedRows_, toRow);
}

namespace {

bool RowIsBlack(const TColor* row, int cols) {
    return std::all_of(row, row + cols, [](TColor c) { return c == Black; });
}

} // namespace

void ClearCells(Grid& cells) {
    const int used = cells.usedRows_;
    const int cleared = std::min(used, WorkRows);
    for (int r = 0; r < cleared; ++r) std::fill_n(cells.CellsOfRow(r), WorkCols, Black);
    cells.StampRows(0, cleared);
    // The spare rows and the spare column keep their colours; the mark falls to the last row
    // that still holds one, so a cleared show is cheap to keep again.
    int mark = used;
    while (mark > cleared && RowIsBlack(cells.CellsOfRow(mark - 1), GridCols)) --mark;
    if (mark == cleared)
        while (mark > 0 && cells.CellsOfRow(mark - 1)[LastCol] == Black) --mark;
    cells.usedRows_ = mark;
}

int CopyGridRowsWrittenSince(Grid& to, const Grid& from, int rows, std::uint64_t writes) {
    rows = std::clamp(rows, 0, GridRows);
    int copied = 0;
    int runStart = -1;
    const auto endRun = [&](int end) {
        if (runStart < 0) return;
        CopyGridRows(to, runStart, from, runStart, end - runStart);
        copied += end - runStart;
        runStart = -1;
    };
    for (int block = 0; block < rows; block += Grid::StampBlock) {
        const int blockEnd = std::min(block + Grid::StampBlock, rows);
        if (!from.BlockWrittenSince(block, writes)) {
            endRun(block);
            continue;
        }
        for (int row = block; row < blockEnd; ++row) {
            if (from.RowWrittenSince(row, writes)) {
                if (runStart < 0) runStart = row;
            } else {
                endRun(row);
            }
        }
    }
    endRun(rows);
    return copied;
}

} // namespace velkaro
