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
    EXPECT_EQ(w->Settings(), (ShowSettings{20, 1, 10, 0}));
    EXPECT_FALSE(w->MonoMode());
    EXPECT_EQ(w->ShownRows(), 10);
    EXPECT_EQ(w->pb->size(), QSize(931, 687));
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_FALSE(w->PSel->isVisible());
    EXPECT_FALSE(w->GroupBox11->isVisible());
    EXPECT_TRUE(w->Panel5->Caption().isEmpty());
    EXPECT_TRUE(w->Panel6->Caption().isEmpty());
    EXPECT_EQ(w->sbyoffs->maximum(), 0);
    EXPECT_EQ(w->udlz->Max(), 10000);
    EXPECT_EQ(w->Memory.Undo.UndoPos(), 0);
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_FALSE(w->Twheel->isActive());
}

TEST_F(SettingsTest, TypedTextIsTakenOnlyWhenItIsAWholeNumberInRange) {
    TypeInto(w->ENX, "1");
    EXPECT_EQ(w->Outputs(), 1);
    QTest::keyClicks(w->ENX, "6");
    EXPECT_EQ(w->Outputs(), 16);
    QTest::keyClicks(w->ENX, "9"); // 169 is out of range and snaps back
    EXPECT_EQ(w->Outputs(), 16);
    EXPECT_EQ(w->ENX->text(), "16");

    TypeInto(w->ES, "x");
    EXPECT_EQ(w->ES->text(), "10");
    EXPECT_EQ(w->StepLength(), 10);
}

TEST_F(SettingsTest, DeletingAFieldsTextRestoresIt) {
    for (QLineEdit* field : {w->ENX, w->ELZ, w->ES}) {
        const QString before = field->text();
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_EQ(field->text(), before);
    }
}

TEST_F(SettingsTest, TypingIsLimitedButTheSpinnerReachesTenThousand) {
    TypeInto(w->ELZ, "99999");
    EXPECT_EQ(w->ELZ->text(), "9999");
    EXPECT_EQ(w->Steps(), 9999);
    QTest::mouseClick(w->udlz->UpButton(), Qt::LeftButton);
    EXPECT_EQ(w->Steps(), 10000);
    EXPECT_EQ(w->ELZ->text(), "10000");
    QTest::mouseClick(w->udlz->UpButton(), Qt::LeftButton);
    EXPECT_EQ(w->Steps(), 10000);
}

TEST_F(SettingsTest, ProgramTextOutOfRangeLeavesTheSetting) {
    w->ELZ->setText("0"); // an empty file asks for zero steps
    EXPECT_EQ(w->Steps(), 1);
    EXPECT_EQ(w->ELZ->text(), "1");
    w->ENX->setText("200");
    EXPECT_EQ(w->Outputs(), 20);
    w->UDNX->SetPosition(500);
    EXPECT_EQ(w->Outputs(), 168);
    EXPECT_EQ(w->ENX->text(), "168");
}

TEST_F(SettingsTest, AutomaticRowCountFollowsSteps) {
    for (int steps = 1; steps <= 9; ++steps) {
        SetSteps(steps);
        EXPECT_EQ(w->ShownRows(), 10) << steps;
    }
    SetSteps(61);
    EXPECT_EQ(w->ShownRows(), 62);
    SetSteps(62);
    EXPECT_EQ(w->ShownRows(), 68);
    SetSteps(500);
    EXPECT_EQ(w->ShownRows(), 68);
    EXPECT_EQ(w->sbyoffs->maximum(), 432);
    SetSteps(5);
    EXPECT_EQ(w->sbyoffs->maximum(), 0);
    EXPECT_EQ(w->sbyoffs->value(), 0);
}

TEST_F(SettingsTest, ControlsCarryTheirCaptionsAndHints) {
    EXPECT_EQ(w->Button39->text(), QString::fromUtf8("Anhängen"));
    EXPECT_EQ(w->Button1->toolTip(), "DMX Datei laden");
    EXPECT_EQ(w->ELZ->toolTip(),
              "Die Letzte Zeile gibt an, welches die zuletzt gezeigte Szene ist.");
    EXPECT_EQ(w->GroupBox3->title(), QString::fromUtf8("Schrittlänge (1/10 Sek)"));
    EXPECT_EQ(w->RGMItems->button(2)->text(), "50% Fade / 50% Hold");
    EXPECT_EQ(w->Panel9->Caption(), "Auswahl beenden    [X]");
    EXPECT_EQ(w->Panel8->Caption(), QString::fromUtf8(TFVelkaro::HelpText));
    EXPECT_EQ(w->Panel7->Caption(), "velkaro.example.org");
    EXPECT_EQ(w->cbmono->text(), "Einfarbig");
}

TEST_F(SettingsTest, ActivationRunsOnlyOnce) {
    w->EndSelection();
    w->SetSelection(true, 1, 1, 3, 3);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.get(), &activate);
    EXPECT_TRUE(w->SelActive); // a second activation would have ended it
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
    const auto firstField = std::find(expected.begin(), expected.end(), w->ENX);
    std::rotate(expected.begin(), firstField + 1, expected.end());
    expected.pop_back(); // the walk stops on returning to ENX

    std::vector<QWidget*> visited = TabWalk(w->ENX);
    // Of the mode items only the chosen one takes the focus.
    std::erase_if(expected, [&](QWidget* widget) {
        auto* item = qobject_cast<QAbstractButton*>(widget);
        return item && w->RGMItems->buttons().contains(item) && !item->isChecked();
    });
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), w->sbyoffs), 0);

    // With a selection, the walk goes on through the selection panel's buttons.
    QTest::mousePress(w->pb, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(w->pb, Qt::RightButton, {}, QPoint(100, 100));
    ASSERT_TRUE(w->PSel->isVisible());
    visited = TabWalk(w->ENX);
    EXPECT_NE(std::find(visited.begin(), visited.end(), w->Button40), visited.end());
    EXPECT_EQ(std::find(visited.begin(), visited.end(), w->Button15), visited.end());
}

} // namespace
} // namespace velkaro
