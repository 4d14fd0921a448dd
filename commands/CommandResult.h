#pragma once

#include "commands/Selection.h"

#include <optional>

namespace velkaro {

// What a command leaves for the window to apply once the cells are written. Outputs and
// Steps go through their controls (whose handlers redraw the view); a new selection is
// stored into the bounds directly; EndSelection ends it. Empty fields mean "leave as is".
struct CommandResult {
    std::optional<int> Outputs;
    std::optional<int> Steps;
    std::optional<Selection> NewSelection;
    bool EndSelection = false;
};

} // namespace velkaro
