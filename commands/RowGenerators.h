#pragma once

#include "model/Grid.h"

#include <optional>

namespace velkaro {

// How CopyLastStep moves the cells of the last step into the new one.
enum class StepShift {
    RotateLeft,  // "<<<": column 0 comes round to the last column
    Unchanged,   // "==="
    RotateRight, // ">>>": the last column comes round to column 0
    ShiftLeft,   // "<< |": the right end cell stays and is doubled, column 0 is dropped
    ShiftRight,  // "| >>": the left end cell stays and is doubled, the last column is dropped
};

// The way a generated pattern runs from one step to the next.
enum class RunDirection { Left = -1, Right = +1 };

// What the window applies after a row generator has written the cells, in exactly this order:
//   1. Outputs   (spinner UDNX) when set
//   2. Steps     (spinner udlz) when set
//   3. ShownRows (spin edit sbny) when set
//   4. ScrollDownOneRow: position of sbyoffs := position + 1, held within its range
//   5. EndSelection when set
//   6. PaintGrid when set
// A refused command leaves everything as it was; its undo snapshot stays taken.
struct RowCommandResult {
    std::optional<int> Outputs;
    std::optional<int> Steps;
    std::optional<int> ShownRows;
    bool ScrollDownOneRow = false;
    bool EndSelection = false;
    bool PaintGrid = true;
    bool Refused = false;
};

// The largest output count "Dehnen" accepts: 83 stretches to 166.
constexpr int MaxStretchOutputs = 83;

// Appends a step: row `steps` receives row `steps` - 1, shifted as `mode` says, in columns
// 0..outputs-1. At 10000 steps the copy lands in row 10000 and Steps stays at 10000.
RowCommandResult CopyLastStep(Grid& cells, int outputs, int steps, StepShift mode);

// Turns the first step into a running light of `outputs` steps over all 168 columns.
RowCommandResult MakeChaser(Grid& cells, int outputs, RunDirection direction);

// Doubles the first step's resolution with averaged cells between the old ones. Refused above
// MaxStretchOutputs. Row 0 of `workGrid` serves as the scratch row.
RowCommandResult StretchFirstStep(Grid& cells, Grid& workGrid, int outputs);

// Rotates columns 0..outputs-1 of the first step by one. Row 0 of `workGrid` serves as the
// copy of the step read from.
RowCommandResult RotateFirstStep(Grid& cells, Grid& workGrid, int outputs, RunDirection direction);

// "Clr": blacks out the whole working area; the show shrinks to one step, Outputs stays.
RowCommandResult ClearShow(Grid& cells);

// "Aufhellen": lifts every channel of the show towards white, ch -> 3*ch/4 + 64.
RowCommandResult Brighten(Grid& cells, int outputs, int steps);

// "Regenbogen": a show of six outputs and one step holding red, yellow, green, cyan, blue,
// magenta. Cells outside that 6 x 1 show keep their colours.
RowCommandResult MakeRainbow(Grid& cells);

// The per-channel average, rounded down, used between the stretched cells.
TColor AverageColor(TColor a, TColor b);

// One use of "Aufhellen" on a single colour.
TColor BrightenColor(TColor c);

} // namespace velkaro
