#pragma once

#include "commands/Selection.h"
#include "model/ShowMemory.h"

#include <array>

namespace velkaro {

// The palette holds 32 shown swatches and one spare slot that a click right of the strip selects.
using SwatchSet = std::array<TColor, 33>;

// What the window's parts share about the show being edited: the grids, the palette and the
// selected block. The settings (outputs, steps, length, mode) live in their controls.
struct ShowState {
    ShowMemory Memory;
    Grid& Cells = *Memory.Cells;

    SwatchSet Palette{};
    SwatchSet ColorSwatches{}; // the first eight swatches of the colour set, kept while mono
    SwatchSet GreySwatches{};  // and of the single-colour set
    int SelectedSwatch = 0;
    // While false, moving the sliders does not write into the selected swatch.
    bool SwatchSync = false;
    // After a right click the sliders recolour the picked cell (CurCol, CurRow).
    bool PickActive = false;

    // The cell a mouse press landed on, kept until the release.
    int CurCol = 0;
    int CurRow = 0;

    Selection Sel;

    // The release of the click that closed a file dialog must not edit the grid.
    bool IgnoreNextGridRelease = false;
};

} // namespace velkaro
