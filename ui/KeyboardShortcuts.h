#pragma once

class QWidget;

namespace velkaro {

class GridView;
class SelectionCommands;
class SettingsControls;
class ShowFileCommands;
class UndoHistory;
struct ShowState;

// What the window's keys reach.
struct ShortcutTargets {
    ShowFileCommands& Files;
    UndoHistory& Undo;
    SelectionCommands& Selection;
    GridView& View;
    const ShowState& Show;
    const SettingsControls& Settings;
};

// The window's keys: Ctrl+O "Laden", Ctrl+S "Speichern", Ctrl+Z "Undo", Ctrl+Y and
// Ctrl+Shift+Z "Redo"; while a block is selected Ctrl+C "Kopieren", Ctrl+V "Einfügen" and
// Escape ends the selection; Page Up and Page Down scroll a page, Ctrl+Home and Ctrl+End go to
// the first and the last step. A settings field being edited keeps the keys it has a use for,
// and a focused slider or scroll bar its page keys.
void InstallKeyboardShortcuts(QWidget* window, const ShortcutTargets& targets);

} // namespace velkaro
