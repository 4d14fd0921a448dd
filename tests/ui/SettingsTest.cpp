#include "WindowFixture.h"

#include "ui/controls/Panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace velkaro {
namespace {

using SettingsTest = WindowTest;

TEST_F(SettingsTest, StartsWithTheDefaultShowAndLayout) {
    EXPECT_EQ(w->windowTitle(), "Velkaro Version 1.07");
    EXPECT_EQ(w->Settings().Values(), (ShowSettings{20, 1, 10, 0}));
    EXPECT_FALSE(w->Settings().MonoMode());
    EXPECT_EQ(w->Settings().ShownRows(), 10);
    EXPECT_EQ(Child<PaintBox>(*w, "gridPaintBox")->size(), QSize(931, 687));
    EXPECT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
    EXPECT_FALSE(Child<Panel>(*w, "selectionPanel")->isVisible());
    EXPECT_FALSE(Child<QGroupBox>(*w, "shownStepsGroup")->isVisible());
    EXPECT_TRUE(Child<Panel>(*w, "outputStatus")->Caption().isEmpty());
    EXPECT_TRUE(Child<Panel>(*w, "stepStatus")->Caption().isEmpty());
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->maximum(), 0);
    EXPECT_EQ(Child<UpDown>(*w, "stepsSpinner")->Max(), 10000);
    EXPECT_EQ(w->Show().Memory.Undo.UndoPos(), 0);
    EXPECT_TRUE(Child<QTimer>(*w, "previewTimer")->isActive());
    EXPECT_FALSE(Child<QTimer>(*w, "wheelDampingTimer")->isActive());
}

TEST_F(SettingsTest, TypedTextIsTakenOnlyWhenItIsAWholeNumberInRange) {
    TypeInto(Child<QLineEdit>(*w, "outputsEdit"), "1");
    EXPECT_EQ(w->Settings().Outputs(), 1);
    QTest::keyClicks(Child<QLineEdit>(*w, "outputsEdit"), "6");
    EXPECT_EQ(w->Settings().Outputs(), 16);
    QTest::keyClicks(Child<QLineEdit>(*w, "outputsEdit"),
                     "9"); // 169 is out of range and snaps back
    EXPECT_EQ(w->Settings().Outputs(), 16);
    EXPECT_EQ(Child<QLineEdit>(*w, "outputsEdit")->text(), "16");

    TypeInto(Child<QLineEdit>(*w, "stepLengthEdit"), "x");
    EXPECT_EQ(Child<QLineEdit>(*w, "stepLengthEdit")->text(), "10");
    EXPECT_EQ(w->Settings().StepLength(), 10);
}

TEST_F(SettingsTest, DeletingAFieldsTextRestoresIt) {
    for (QLineEdit* field : {Child<QLineEdit>(*w, "outputsEdit"), Child<QLineEdit>(*w, "stepsEdit"),
                             Child<QLineEdit>(*w, "stepLengthEdit")}) {
        const QString before = field->text();
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_EQ(field->text(), before);
    }
}

TEST_F(SettingsTest, TypingIsLimitedButTheSpinnerReachesTenThousand) {
    TypeInto(Child<QLineEdit>(*w, "stepsEdit"), "99999");
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->text(), "9999");
    EXPECT_EQ(w->Settings().Steps(), 9999);
    QTest::mouseClick(Child<UpDown>(*w, "stepsSpinner")->UpButton(), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 10000);
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->text(), "10000");
    QTest::mouseClick(Child<UpDown>(*w, "stepsSpinner")->UpButton(), Qt::LeftButton);
    EXPECT_EQ(w->Settings().Steps(), 10000);
}

TEST_F(SettingsTest, ProgramTextOutOfRangeLeavesTheSetting) {
    Child<QLineEdit>(*w, "stepsEdit")->setText("0"); // an empty file asks for zero steps
    EXPECT_EQ(w->Settings().Steps(), 1);
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->text(), "1");
    Child<QLineEdit>(*w, "outputsEdit")->setText("200");
    EXPECT_EQ(w->Settings().Outputs(), 20);
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(500);
    EXPECT_EQ(w->Settings().Outputs(), 168);
    EXPECT_EQ(Child<QLineEdit>(*w, "outputsEdit")->text(), "168");
}

TEST_F(SettingsTest, AutomaticRowCountFollowsSteps) {
    for (int steps = 1; steps <= 9; ++steps) {
        SetSteps(steps);
        EXPECT_EQ(w->Settings().ShownRows(), 10) << steps;
    }
    SetSteps(61);
    EXPECT_EQ(w->Settings().ShownRows(), 62);
    SetSteps(62);
    EXPECT_EQ(w->Settings().ShownRows(), 68);
    SetSteps(500);
    EXPECT_EQ(w->Settings().ShownRows(), 68);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->maximum(), 432);
    SetSteps(5);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->maximum(), 0);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 0);
}

TEST_F(SettingsTest, ControlsCarryTheirCaptionsAndHints) {
    EXPECT_EQ(Child<QPushButton>(*w, "appendShowButton")->text(), QString::fromUtf8("Anhängen"));
    EXPECT_EQ(Child<QPushButton>(*w, "loadShowButton")->toolTip(), "DMX Datei laden");
    EXPECT_EQ(Child<QLineEdit>(*w, "stepsEdit")->toolTip(),
              "Die Letzte Zeile gibt an, welches die zuletzt gezeigte Szene ist.");
    EXPECT_EQ(Child<QGroupBox>(*w, "stepLengthGroup")->title(),
              QString::fromUtf8("Schrittlänge (1/10 Sek)"));
    EXPECT_EQ(Child<QButtonGroup>(*w, "blendModeButtons")->button(2)->text(),
              "50% Fade / 50% Hold");
    EXPECT_EQ(Child<Panel>(*w, "endSelectionButton")->Caption(), "Auswahl beenden    [X]");
    EXPECT_EQ(Child<Panel>(*w, "mouseHelp")->Caption(), QString::fromUtf8(StatusBar::HelpText));
    EXPECT_EQ(Child<Panel>(*w, "webLink")->Caption(), "velkaro.example.org");
    EXPECT_EQ(Child<QCheckBox>(*w, "singleColourCheck")->text(), "Einfarbig");
}

TEST_F(SettingsTest, ActivationRunsOnlyOnce) {
    w->View().EndSelection();
    w->View().SetSelection(true, 1, 1, 3, 3);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.get(), &activate);
    EXPECT_TRUE(w->Show().Sel.SelActive); // a second activation would have ended it
}

// Walks the Tab key once round the window from the outputs field.
std::vector<QWidget*> TabWalk(QWidget* start) {
    std::vector<QWidget*> visited;
    start->setFocus();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == start || !now) break;
        visited.push_back(now);
    }
    return visited;
}

TEST_F(SettingsTest, TabVisitsTheListedControlsInOrderAndNothingElse) {
    std::vector<QWidget*> expected;
    for (QWidget* widget : w->TabChain())
        if (widget->isVisible()) expected.push_back(widget);
    const auto firstField =
        std::find(expected.begin(), expected.end(), Child<QLineEdit>(*w, "outputsEdit"));
    std::rotate(expected.begin(), firstField + 1, expected.end());
    expected.pop_back(); // the walk stops on returning to ENX

    std::vector<QWidget*> visited = TabWalk(Child<QLineEdit>(*w, "outputsEdit"));
    // Of the mode items only the chosen one takes the focus.
    std::erase_if(expected, [&](QWidget* widget) {
        auto* item = qobject_cast<QAbstractButton*>(widget);
        return item && Child<QButtonGroup>(*w, "blendModeButtons")->buttons().contains(item) &&
               !item->isChecked();
    });
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), Child<QScrollBar>(*w, "gridScrollBar")),
              0);

    // With a selection, the walk goes on through the selection panel's buttons.
    QTest::mousePress(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {}, QPoint(100, 100));
    ASSERT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
    visited = TabWalk(Child<QLineEdit>(*w, "outputsEdit"));
    EXPECT_NE(std::find(visited.begin(), visited.end(),
                        Child<QPushButton>(*w, "fadeBlockVerticalButton")),
              visited.end());
    EXPECT_EQ(std::find(visited.begin(), visited.end(), Child<QPushButton>(*w, "undoButton")),
              visited.end());
}

} // namespace
} // namespace velkaro
