#include "ui/KeyboardShortcuts.h"

#include "ui/GridView.h"
#include "ui/SelectionCommands.h"
#include "ui/SettingsControls.h"
#include "ui/ShowFileCommands.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"

#include <QShortcut>
#include <QWidget>

#include <functional>

namespace velkaro {

namespace {

// A key of the whole window. Qt's edit fields claim their own editing keys before a window
// shortcut sees them, so Ctrl+Z, Ctrl+C and Ctrl+V in a focused field act on its text.
void AddKey(QWidget* window, const char* name, const QKeySequence& keys,
            std::function<void()> action) {
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setObjectName(name);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

} // namespace

// Each key keeps its own copy of the targets: the caller's may be a temporary.
void InstallKeyboardShortcuts(QWidget* window, const ShortcutTargets& t) {
    AddKey(window, "loadShowKey", QKeySequence(Qt::CTRL | Qt::Key_O),
           [t] { t.Files.LoadShowFile(); });
    AddKey(window, "saveShowKey", QKeySequence(Qt::CTRL | Qt::Key_S),
           [t] { t.Files.SaveShowFile(); });
    AddKey(window, "undoKey", QKeySequence(Qt::CTRL | Qt::Key_Z), [t] { t.Undo.Undo(); });
    AddKey(window, "redoKey", QKeySequence(Qt::CTRL | Qt::Key_Y), [t] { t.Undo.Redo(); });
    AddKey(window, "redoShiftKey", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
           [t] { t.Undo.Redo(); });

    // The block keys do what the selection panel's buttons do, and only while it is shown.
    const auto whileSelected = [t](void (*command)(const ShortcutTargets&)) {
        return [t, command] {
            if (t.Show.Sel.SelActive) command(t);
        };
    };
    AddKey(window, "copyBlockKey", QKeySequence(Qt::CTRL | Qt::Key_C),
           whileSelected([](const ShortcutTargets& s) { s.Selection.CopyBlock(); }));
    AddKey(window, "pasteBlockKey", QKeySequence(Qt::CTRL | Qt::Key_V),
           whileSelected([](const ShortcutTargets& s) { s.Selection.PasteBlock(); }));
    AddKey(window, "endSelectionKey", QKeySequence(Qt::Key_Escape),
           whileSelected([](const ShortcutTargets& s) { s.View.EndSelection(); }));

    AddKey(window, "pageUpKey", QKeySequence(Qt::Key_PageUp),
           [t] { t.View.ScrollBy(-t.Settings.ShownRows()); });
    AddKey(window, "pageDownKey", QKeySequence(Qt::Key_PageDown),
           [t] { t.View.ScrollBy(t.Settings.ShownRows()); });
    AddKey(window, "firstStepKey", QKeySequence(Qt::CTRL | Qt::Key_Home),
           [t] { t.View.ScrollTo(0); });
    // The scroll bar holds the last step at the bottom of the view.
    AddKey(window, "lastStepKey", QKeySequence(Qt::CTRL | Qt::Key_End),
           [t] { t.View.ScrollTo(t.Settings.Steps()); });
}

} // namespace velkaro
