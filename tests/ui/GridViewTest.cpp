#include "WindowFixture.h"

#include "ui/controls/Panel.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>

namespace velkaro {
namespace {

constexpr TColor Border = 0x303030;
constexpr TColor Red = 0x0000FF;

using GridViewTest = WindowTest;

TEST_F(GridViewTest, CellGeometryAtTheStartSize) {
    w->Cells[0][0] = 0x00FF00;
    w->Cells[0][19] = 0xFF0000;
    w->PaintGrid();
    EXPECT_EQ(w->ColWidth, 46);
    EXPECT_EQ(w->RowHeight, 68);
    // Cell (0, 0): one-pixel border, then its colour; the red start line covers rows 0 and 1.
    EXPECT_EQ(PixelAt(0, 10), Border);
    EXPECT_EQ(PixelAt(45, 10), Border);
    EXPECT_EQ(PixelAt(1, 10), 0x00FF00u);
    EXPECT_EQ(PixelAt(44, 10), 0x00FF00u);
    EXPECT_EQ(PixelAt(46, 10), Border);
    EXPECT_EQ(PixelAt(19 * 46 + 1, 10), 0xFF0000u);
    // The 11 columns right of the last output are never drawn, except by the red lines.
    for (int x = 920; x < 931; ++x) {
        EXPECT_EQ(PixelAt(x, 10), Black) << x;
        EXPECT_EQ(PixelAt(x, 0), Red) << x;
    }
    EXPECT_EQ(PixelAt(919, 10), Border);
}

TEST_F(GridViewTest, StartAndEndLinesOfAOneStepShow) {
    w->PaintGrid();
    for (int x : {0, 500, 930}) {
        EXPECT_EQ(PixelAt(x, 0), Red);
        EXPECT_EQ(PixelAt(x, 1), Red);
        EXPECT_EQ(PixelAt(x, 66), Red);
        EXPECT_EQ(PixelAt(x, 67), Red);
    }
    EXPECT_EQ(PixelAt(460, 2), Border);
    EXPECT_EQ(PixelAt(500, 2), Black);
    EXPECT_EQ(PixelAt(500, 68), Black); // below the show nothing is drawn
}

TEST_F(GridViewTest, MonoModeDrawsTheRedByteAsGrey) {
    w->Cells[0][0] = RGB(64, 200, 17);
    w->cbmono->setChecked(true);
    w->PaintGrid();
    EXPECT_EQ(PixelAt(10, 10), 0x404040u);
    EXPECT_EQ(w->Cells[0][0], RGB(64, 200, 17));
}

TEST_F(GridViewTest, ScrolledViewOfALongShow) {
    SetSteps(500);
    for (int r = 0; r < 500; ++r) w->Cells[r][0] = static_cast<TColor>(r);
    w->sbyoffs->setValue(432);
    EXPECT_EQ(w->TopRow, 432);
    EXPECT_EQ(w->RowHeight, 10);
    EXPECT_EQ(PixelAt(5, 5), 432u);
    EXPECT_EQ(PixelAt(5, 67 * 10 + 5), 499u);
    EXPECT_EQ(PixelAt(5, 678), Red); // the end line at the foot of the last row
    EXPECT_EQ(PixelAt(5, 679), Red);
    EXPECT_NE(PixelAt(500, 0), Red); // the start line scrolled away
}

TEST_F(GridViewTest, MouseMoveShowsTheCellUnderThePointerAndKeepsThePressCell) {
    w->CurCol = 7;
    w->CurRow = 3;
    QTest::mouseMove(w->pb, QPoint(2 * 46 + 5, 4 * 68 + 5));
    EXPECT_EQ(w->Panel5->Caption(), "RGB-Kanal: 3    DMX(Rot): 7");
    EXPECT_EQ(w->Panel6->Caption(), "Schritt: 5");
    EXPECT_EQ(w->CurCol, 7);
    EXPECT_EQ(w->CurRow, 3);
}

TEST_F(GridViewTest, CellAtStaysInsideTheGrid) {
    w->PaintGrid();
    w->CellAt(-1000, -1000);
    EXPECT_EQ(w->CurCol, 0);
    EXPECT_EQ(w->CurRow, 0);
    w->CellAt(100000, 10000000);
    EXPECT_EQ(w->CurCol, 168);
    EXPECT_EQ(w->CurRow, 10000);
    w->UDNX->SetPosition(168);
    w->CellAt(167 * w->ColWidth, 0);
    EXPECT_EQ(w->CurCol, 167);
}

class WheelTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetSteps(500);
        w->sbyoffs->setValue(100);
    }
    void Notch(int delta) { w->HandleWheelMessage(delta); }
};

TEST_F(WheelTest, TwoNotchesCloseTogetherMoveThreeSteps) {
    Notch(-120);
    QThread::msleep(10); // without events in between, so the damping timer cannot end first
    Notch(-120);
    EXPECT_EQ(w->sbyoffs->value(), 103);
}

TEST_F(WheelTest, TwoNotchesApartMoveFourSteps) {
    Notch(120);
    QTest::qWait(50);
    Notch(120);
    EXPECT_EQ(w->sbyoffs->value(), 96);
}

TEST_F(WheelTest, NothingMovesAtTheEndsOfTheRange) {
    w->sbyoffs->setValue(0);
    QSignalSpy moves(w->sbyoffs, &QScrollBar::valueChanged);
    Notch(120);
    EXPECT_EQ(w->sbyoffs->value(), 0);
    w->sbyoffs->setValue(432);
    moves.clear();
    QTest::qWait(40);
    Notch(-120);
    EXPECT_EQ(w->sbyoffs->value(), 432);
    EXPECT_EQ(moves.count(), 0); // no move, so no redraw either
}

TEST_F(WheelTest, WheelEventsAnywhereInTheWindowScrollTheGrid) {
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->Button1, &event);
    EXPECT_EQ(w->sbyoffs->value(), 102);
}

TEST_F(WheelTest, SidewaysOrEmptyTurnsScrollNothing) {
    for (const QPoint turn : {QPoint(120, 0), QPoint(0, 0)}) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), turn, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->pb, &event);
    }
    QTest::qWait(40);
    EXPECT_EQ(w->sbyoffs->value(), 100);
}

} // namespace
} // namespace velkaro
