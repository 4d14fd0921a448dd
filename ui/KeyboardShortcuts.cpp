#include "ui/KeyboardShortcuts.h"

#include "ui/GridView.h"
#include "ui/SelectionCommands.h"
#include "ui/SettingsControls.h"
#include "ui/ShowFileCommands.h"
#include "ui/ShowState.h"
#include "ui/UndoHistory.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
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

// A focused slider or scroll bar moves itself with the page keys and Ctrl+Home / Ctrl+End, as
// on every desktop; Qt's sliders never claim a key before the window's shortcuts see it, so
// this claims them, and the grid keys stay for every other focus. It watches the whole
// application because the palette's sliders join the window only when it is docked.
class SlidersKeepTheirKeys : public QObject {
public:
    explicit SlidersKeepTheirKeys(QWidget* window) : QObject(window), window_(window) {
        qApp->installEventFilter(this);
    }
    ~SlidersKeepTheirKeys() override { qApp->removeEventFilter(this); }
    SlidersKeepTheirKeys(const SlidersKeepTheirKeys&) = delete;
    SlidersKeepTheirKeys& operator=(const SlidersKeepTheirKeys&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        auto* slider = qobject_cast<QAbstractSlider*>(watched);
        if (!slider || !window_->isAncestorOf(slider)) return false;
        if (!IsSliderKey(*static_cast<QKeyEvent*>(event))) return false;
        event->accept();
        return true;
    }

private:
    static bool IsSliderKey(const QKeyEvent& key) {
        const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
        switch (key.key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return modifiers == Qt::NoModifier;
        case Qt::Key_Home:
        case Qt::Key_End:
            return modifiers == Qt::ControlModifier;
        default:
            return false;
        }
    }

    QWidget* window_;
};

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

    new SlidersKeepTheirKeys(window);
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
