// Every control a user can reach is findable by a name that says what it is for, and the ones
// without visible text carry a German name for screen readers.
#include "WindowFixture.h"

#include "ui/CommandPanel.h"
#include "ui/SelectionPanel.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QPushButton>
#include <QRegularExpression>

#include <set>
#include <string>

namespace velkaro {
namespace {

using ControlNamesTest = WindowTest;

bool CanBeReached(const QWidget* widget) {
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const PaintBox*>(widget) || qobject_cast<const Panel*>(widget);
}

TEST_F(ControlNamesTest, EveryReachableControlHasAPurposefulName) {
    const QRegularExpression designerDefault(
        "^(Button|Panel|GroupBox|Label|Edit|CheckBox|RadioButton|ScrollBar|PaintBox|Timer|"
        "SpinBox|UpDown)\\d+$");
    int checked = 0;
    for (const QWidget* widget : w->findChildren<QWidget*>()) {
        // Qt's own parts of a control (a spin box's field, a spinner's arrows) go with it.
        // The file dialogs are windows of their own, made of Qt's controls.
        if (widget->window() != w.get()) continue;
        if (!CanBeReached(widget) || widget->objectName().startsWith("qt_")) continue;
        if (qobject_cast<const UpDown*>(widget->parentWidget())) continue;
        ++checked;
        EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
        EXPECT_FALSE(designerDefault.match(widget->objectName()).hasMatch())
            << widget->objectName().toStdString();
    }
    EXPECT_GT(checked, 60);
}

TEST_F(ControlNamesTest, ControlsWithoutTextCarryAGermanAccessibleName) {
    const std::pair<const char*, const char*> expected[] = {
        {"gridPaintBox", "Lichtshow-Raster"},   {"previewBar", "Vorschau"},
        {"swatchStrip", "Farbpalette"},         {"outputsSpinner", "Anzahl Ausgänge"},
        {"stepsEdit", "Anzahl Schritte"},       {"redSlider", "Rot"},
        {"gridScrollBar", "Schritte blättern"}, {"previewSpeedBar", "Vorschaugeschwindigkeit"},
    };
    for (const auto& [name, accessible] : expected)
        EXPECT_EQ(Child<QWidget>(*w, name)->accessibleName(), QString::fromUtf8(accessible))
            << name;
    for (QAbstractSlider* slider : w->findChildren<QAbstractSlider*>()) {
        if (slider->window() != w.get()) continue;
        EXPECT_FALSE(slider->accessibleName().isEmpty()) << slider->objectName().toStdString();
    }
}

// A table entry whose group box is never made, or whose name another control already has, would
// leave a button that cannot be clicked or found.
TEST_F(ControlNamesTest, EveryButtonOfAPanelTableIsBuiltIntoItsGroupUnderItsOwnName) {
    std::set<std::string> names;
    for (const auto& table : {CommandPanel::Buttons(), SelectionPanel::Buttons()}) {
        for (const ButtonCommand& command : table) {
            EXPECT_TRUE(names.insert(command.Name).second) << command.Name;
            const auto found = w->findChildren<QWidget*>(command.Name);
            ASSERT_EQ(found.size(), 1) << command.Name;
            EXPECT_TRUE(qobject_cast<QPushButton*>(found.front())) << command.Name;
            EXPECT_EQ(found.front()->parentWidget()->objectName(), command.Group) << command.Name;
        }
    }
}

} // namespace
} // namespace velkaro
