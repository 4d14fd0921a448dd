#pragma once

#include "model/Color.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace velkaro {

constexpr int GridRows = 10011; // steps 0..9999, row 10000 past the longest show, 10 spare rows
constexpr int GridCols = 169;   // outputs 0..167 and one spare column
constexpr int MaxSteps = 10000;
constexpr int MaxOutputs = 168;
constexpr int WorkRows = 10001; // rows 0..10000 are cleared together
constexpr int WorkCols = 168;
constexpr int LastRow = GridRows - 1;
constexpr int LastCol = GridCols - 1;

constexpr std::size_t GridCells = static_cast<std::size_t>(GridRows) * GridCols;
constexpr std::size_t GridBytes = GridCells * sizeof(TColor); // 6,767,436
constexpr std::size_t RowBytes = GridCols * sizeof(TColor);

// One full grid with the fixed row stride of 169 cells. Every grid of the program has this
// shape, so runs of whole rows are copied with one memcpy.
//
// A grid is reserved as address space of its own that reads as black until it is written, so
// a grid costs memory only for the rows a show has used. The grid keeps the mark of those rows:
// every row from UsedRows() on is black. Writing access (the non-const row access, At and
// the Writable functions) raises the mark; const access does not. Copies and snapshots move only
// the rows below the mark, so a small show is copied in microseconds and leaves the rest untouched.
// A row pointer writes its own row only; several rows at once go through WritableRows.
//
// Write access also stamps the rows it reaches with a count of the grid's writes, so whoever
// keeps a copy of the grid can bring it up to date by copying only the rows written since.
class Grid {
public:
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;
    static void operator delete(void* grid, std::size_t size);

    TColor* operator[](int row) {
        RaiseMark(row + 1);
        StampRow(row);
        return CellsOfRow(row);
    }
    const TColor* operator[](int row) const { return CellsOfRow(row); }
    TColor& At(int row, int col) { return (*this)[row][col]; }
    TColor At(int row, int col) const { return (*this)[row][col]; }

    // Rows first..first+count-1 as one run of memory, to be written.
    TColor* WritableRows(int first, int count) {
        RaiseMark(first + count);
        StampRows(first, first + count);
        return CellsOfRow(first);
    }
    // Every cell, row after row.
    std::span<const TColor, GridCells> AllCells() const { return cells_; }
    std::span<TColor, GridCells> WritableCells() {
        RaiseMark(GridRows);
        StampRows(0, GridRows);
        return cells_;
    }

    // Rows from here on are black.
    int UsedRows() const { return usedRows_; }

    // Counts write accesses; a row's stamp is the count at its latest one.
    std::uint64_t Writes() const { return writes_; }
    // Tells one grid from another, also from a later grid at the same address.
    std::uint64_t Identity() const { return identity_; }
    bool RowWrittenSince(int row, std::uint64_t writes) const {
        return blockStamps_[static_cast<std::size_t>(row) / StampBlock] > writes &&
               rowStamps_[static_cast<std::size_t>(row)] > writes;
    }
    // Whether any of the rows first..first+StampBlock-1 was written since.
    bool BlockWrittenSince(int first, std::uint64_t writes) const {
        return blockStamps_[static_cast<std::size_t>(first) / StampBlock] > writes;
    }
    static constexpr int StampBlock = 64;

    static bool Contains(int row, int col) {
        return row >= 0 && row < GridRows && col >= 0 && col < GridCols;
    }

private:
    friend std::unique_ptr<Grid> NewGrid();
    friend void CopyGridRows(Grid& to, int toRow, const Grid& from, int fromRow, int count);
    friend void ClearCells(Grid& cells);

    // The cells are left as the fresh pages hold them, which is black; value-initialising them
    // would write every page of the grid.
    Grid();
    static void* operator new(std::size_t size);

    TColor* CellsOfRow(int row) { return cells_.data() + static_cast<std::size_t>(row) * GridCols; }
    const TColor* CellsOfRow(int row) const {
        return cells_.data() + static_cast<std::size_t>(row) * GridCols;
    }
    void RaiseMark(int rows) {
        if (rows > usedRows_) usedRows_ = rows;
    }
    void StampRow(int row) {
        // A row pointer one past the last row serves as the end of a run of rows.
        if (static_cast<unsigned>(row) >= static_cast<unsigned>(GridRows)) return;
        ++writes_;
        rowStamps_[static_cast<std::size_t>(row)] = writes_;
        blockStamps_[static_cast<std::size_t>(row) / StampBlock] = writes_;
    }
    void StampRows(int first, int end);

    static constexpr std::size_t StampBlocks = (GridRows + StampBlock - 1) / StampBlock;

    // The mark comes first, on the page that holds the first rows, which every show writes.
    int usedRows_ = 0;
    std::uint64_t writes_ = 0;
    std::uint64_t identity_;
    std::array<std::uint64_t, StampBlocks> blockStamps_;
    std::array<TColor, GridCells> cells_;
    // After the cells, so that the first rows' page stays theirs; read as 0 until written.
    std::array<std::uint64_t, GridRows> rowStamps_;
};

// A grid of its own address space, all black, of which nothing is in memory yet.
std::unique_ptr<Grid> NewGrid();

// Makes every cell of `to` what it is in `from`.
void CopyGrid(Grid& to, const Grid& from);

// Makes rows toRow..toRow+count-1 of `to` what rows fromRow..fromRow+count-1 of `from` are.
// The grids may be the same one.
void CopyGridRows(Grid& to, int toRow, const Grid& from, int fromRow, int count);

// Blanks the working area (rows 0..10000, columns 0..167); the spare cells keep their colours.
void ClearCells(Grid& cells);

// Brings rows 0..rows-1 of `to`, a copy of `from` as it was at `from.Writes() == writes`, up to
// date: copies only the rows written since, in runs. Returns the number of rows copied.
int CopyGridRowsWrittenSince(Grid& to, const Grid& from, int rows, std::uint64_t writes);

} // namespace velkaro
