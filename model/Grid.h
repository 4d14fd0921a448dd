#pragma once

#include "model/Color.h"

#include <array>
#include <cstddef>
#include <memory>

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
// shape, so whole grids are copied with one memcpy.
struct Grid {
    std::array<TColor, GridCells> cells;

    TColor* operator[](int row) { return cells.data() + static_cast<std::size_t>(row) * GridCols; }
    const TColor* operator[](int row) const {
        return cells.data() + static_cast<std::size_t>(row) * GridCols;
    }
    TColor& At(int row, int col) { return (*this)[row][col]; }
    TColor At(int row, int col) const { return (*this)[row][col]; }

    static bool Contains(int row, int col) {
        return row >= 0 && row < GridRows && col >= 0 && col < GridCols;
    }
};

// A grid on the heap, all black.
std::unique_ptr<Grid> NewGrid();

void CopyGrid(Grid& to, const Grid& from);

// Blanks the working area (rows 0..10000, columns 0..167); the spare cells keep their colours.
void ClearCells(Grid& cells);

} // namespace velkaro
