#pragma once

namespace velkaro {

class BitmapCommands;
class GridView;
class SelectionCommands;
class SettingsControls;
class ShowEdits;
class ShowFileCommands;
class UndoHistory;
struct ShowState;

// The parts of the main window that the panels' buttons run their commands on. They are all
// created before the buttons are connected and live as long as the window.
struct WindowCommands {
    ShowState& Show;
    SettingsControls& Settings;
    GridView& View;
    UndoHistory& Undo;
    ShowFileCommands& Files;
    BitmapCommands& Bitmaps;
    ShowEdits& Edits;
    SelectionCommands& Selection;
};

} // namespace velkaro
