#include "commands/RowGenerators.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velkaro {

namespace {

// The settings controls hold these ranges; holding them here as well keeps every index inside
// the grid whatever a caller passes.
int ClampOutputs(int outputs) {
    return std::clamp(outputs, 1, MaxOutputs);
}
int ClampSteps(int steps) {
    return std::clamp(steps, 1, MaxSteps);
}

void CopyRow(TColor* to, const TColor* from) {
    std::memcpy(to, from, RowBytes);
}

void CopyShifted(TColor* to, const TColor* from, int n, StepShift mode) {
    switch (mode) {
    case StepShift::RotateLeft:
        for (int c = 0; c < n; ++c) to[c] = from[(c + 1) % n];
        break;
    case StepShift::Unchanged:
        std::copy_n(from, n, to);
        break;
    case StepShift::RotateRight:
        for (int c = 0; c < n; ++c) to[c] = from[(c + n - 1) % n];
        break;
    case StepShift::ShiftLeft:
        std::copy_n(from + 1, n - 1, to);
        to[n - 1] = from[n - 1];
        break;
    case StepShift::ShiftRight:
        to[0] = from[0];
        std::copy_n(from, n - 1, to + 1);
        break;
    }
}

int Wrap(int value, int n) {
    return ((value % n) + n) % n;
}

} // namespace

TColor AverageColor(TColor a, TColor b) {
    return RGB((RedOf(a) + RedOf(b)) / 2, (GreenOf(a) + GreenOf(b)) / 2,
               (BlueOf(a) + BlueOf(b)) / 2);
}

TColor BrightenColor(TColor c) {
    return RGB(RedOf(c) * 3 / 4 + 64, GreenOf(c) * 3 / 4 + 64, BlueOf(c) * 3 / 4 + 64);
}

RowCommandResult CopyLastStep(Grid& cells, int outputs, int steps, StepShift mode) {
    const int n = ClampOutputs(outputs);
    const int s = ClampSteps(steps);
    CopyShifted(cells[s], cells[s - 1], n, mode);
    RowCommandResult result;
    result.Steps = std::min(s + 1, MaxSteps);
    result.ScrollDownOneRow = true;
    return result;
}

RowCommandResult MakeChaser(Grid& cells, int outputs, RunDirection direction) {
    const int n = ClampOutputs(outputs);
    TColor* first = cells[0];
    // Row 0 repeats its first n cells across all outputs, so a later rise of Outputs shows the
    // chaser repeated along the longer chain. Reading c mod n < n never meets a written cell.
    for (int c = n; c < WorkCols; ++c) first[c] = first[c % n];
    const int perStep = direction == RunDirection::Left ? 1 : -1;
    for (int i = 1; i < n; ++i) {
        TColor* row = cells[i];
        const int offset = Wrap(perStep * i, n);
        for (int j = 0; j < WorkCols; ++j) row[j] = first[(j + offset) % n];
    }
    RowCommandResult result;
    result.Steps = n;
    result.ShownRows = n;
    return result;
}

RowCommandResult StretchFirstStep(Grid& cells, Grid& workGrid, int outputs) {
    RowCommandResult result;
    if (outputs > MaxStretchOutputs) {
        result.Refused = true;
        result.PaintGrid = false;
        return result;
    }
    const int n = ClampOutputs(outputs);
    TColor* scratch = workGrid[0];
    CopyRow(scratch, cells[0]);
    // The seam repeats the first cell, so the last in-between cell joins the end of the row to
    // its start and the stretched row still runs round smoothly as a chaser.
    scratch[n] = scratch[0];
    TColor* first = cells[0];
    for (int j = 0; j < n; ++j) {
        first[2 * j] = scratch[j];
        first[2 * j + 1] = AverageColor(scratch[j], scratch[j + 1]);
    }
    result.Outputs = 2 * n;
    // The change of Outputs redraws the grid by itself.
    result.PaintGrid = false;
    return result;
}

RowCommandResult RotateFirstStep(Grid& cells, Grid& workGrid, int outputs, RunDirection direction) {
    const int n = ClampOutputs(outputs);
    TColor* before = workGrid[0];
    CopyRow(before, cells[0]);
    const int shift = direction == RunDirection::Left ? 1 : n - 1;
    TColor* first = cells[0];
    for (int c = 0; c < n; ++c) first[c] = before[(c + shift) % n];
    return {};
}

RowCommandResult ClearShow(Grid& cells) {
    ClearCells(cells);
    RowCommandResult result;
    result.Steps = 1;
    return result;
}

RowCommandResult Brighten(Grid& cells, int outputs, int steps) {
    const int n = ClampOutputs(outputs);
    const int s = ClampSteps(steps);
    for (int r = 0; r < s; ++r) {
        TColor* row = cells[r];
        for (int c = 0; c < n; ++c) row[c] = BrightenColor(row[c]);
    }
    return {};
}

RowCommandResult MakeRainbow(Grid& cells) {
    static constexpr std::array<TColor, 6> Rainbow = {0x0000FF, 0x00FFFF, 0x00FF00,
                                                      0xFFFF00, 0xFF0000, 0xFF00FF};
    std::copy(Rainbow.begin(), Rainbow.end(), cells[0]);
    RowCommandResult result;
    result.Outputs = static_cast<int>(Rainbow.size());
    result.Steps = 1;
    result.EndSelection = true;
    return result;
}

} // namespace velkaro
