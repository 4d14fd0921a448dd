#pragma once

#include <QRect>

#include <functional>

namespace velkaro {

struct WindowCommands;

// What a click on a panel button runs, given the parts of the window that commands reach.
using ButtonRun = std::function<void(const WindowCommands& window)>;

// One button of a side panel. Each button is declared once, in its panel's table, with all it
// needs to be built, found, explained and run; the tables list their buttons in the order the
// Tab key visits them.
struct ButtonCommand {
    const char* Name;      // object name, by which the tests and the Tab order find it
    const char* Caption;   // UTF-8
    const char* Hint = ""; // tool tip; none when left out
    const char* Group;     // object name of the group box that holds it
    QRect Geometry;        // within that group box
    ButtonRun Run;
};

} // namespace velkaro
