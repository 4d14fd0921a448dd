#include "WindowFixture.h"

#include "ui/controls/Panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

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

} // namespace
} // namespace velkaro
