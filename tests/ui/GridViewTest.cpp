#include "WindowFixture.h"
#include "ui/ShowPublisher.h"

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
    w->Show().Cells[0][0] = 0x00FF00;
    w->Show().Cells[0][19] = 0xFF0000;
    w->View().PaintGrid();
    EXPECT_EQ(w->View().ColWidth(), 46);
    EXPECT_EQ(w->View().RowHeight(), 68);
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
    w->View().PaintGrid();
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
    w->Show().Cells[0][0] = RGB(64, 200, 17);
    Child<QCheckBox>(*w, "singleColourCheck")->setChecked(true);
    w->View().PaintGrid();
    EXPECT_EQ(PixelAt(10, 10), 0x404040u);
    EXPECT_EQ(w->Show().Cells[0][0], RGB(64, 200, 17));
}

TEST_F(GridViewTest, ScrolledViewOfALongShow) {
    SetSteps(500);
    for (int r = 0; r < 500; ++r) w->Show().Cells[r][0] = static_cast<TColor>(r);
    Child<QScrollBar>(*w, "gridScrollBar")->setValue(432);
    EXPECT_EQ(w->View().TopRow(), 432);
    EXPECT_EQ(w->View().RowHeight(), 10);
    EXPECT_EQ(PixelAt(5, 5), 432u);
    EXPECT_EQ(PixelAt(5, 67 * 10 + 5), 499u);
    EXPECT_EQ(PixelAt(5, 678), Red); // the end line at the foot of the last row
    EXPECT_EQ(PixelAt(5, 679), Red);
    EXPECT_NE(PixelAt(500, 0), Red); // the start line scrolled away
}

// The engine gets the show only when it changed: scrolling and repainting hand it nothing.
TEST_F(GridViewTest, ScrollingPublishesNothingAndAnEditPublishesOnce) {
    SetSteps(500);
    for (int r = 0; r < 500; ++r) w->Show().Cells[r][0] = static_cast<TColor>(r);
    w->Publisher().PublishNow();
    const std::uint64_t before = w->Publisher().Publishes();
    for (int top : {100, 432, 0}) {
        Child<QScrollBar>(*w, "gridScrollBar")->setValue(top);
        QApplication::processEvents();
    }
    w->View().PaintGrid();
    QApplication::processEvents();
    EXPECT_EQ(w->Publisher().Publishes(), before);
    QTest::mouseClick(Child<PaintBox>(*w, "gridPaintBox"), Qt::LeftButton, {}, QPoint(2, 2));
    QApplication::processEvents();
    EXPECT_EQ(w->Publisher().Publishes(), before + 1);
}

TEST_F(GridViewTest, MouseMoveShowsTheCellUnderThePointerAndKeepsThePressCell) {
    w->Show().CurCol = 7;
    w->Show().CurRow = 3;
    QTest::mouseMove(Child<PaintBox>(*w, "gridPaintBox"), QPoint(2 * 46 + 5, 4 * 68 + 5));
    EXPECT_EQ(Child<Panel>(*w, "outputStatus")->Caption(), "RGB-Kanal: 3    DMX(Rot): 7");
    EXPECT_EQ(Child<Panel>(*w, "stepStatus")->Caption(), "Schritt: 5");
    EXPECT_EQ(w->Show().CurCol, 7);
    EXPECT_EQ(w->Show().CurRow, 3);
}

TEST_F(GridViewTest, CellAtStaysInsideTheGrid) {
    w->View().PaintGrid();
    w->View().CellAt(-1000, -1000);
    EXPECT_EQ(w->Show().CurCol, 0);
    EXPECT_EQ(w->Show().CurRow, 0);
    w->View().CellAt(100000, 10000000);
    EXPECT_EQ(w->Show().CurCol, 168);
    EXPECT_EQ(w->Show().CurRow, 10000);
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(168);
    w->View().CellAt(167 * w->View().ColWidth(), 0);
    EXPECT_EQ(w->Show().CurCol, 167);
}

class WheelTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetSteps(500);
        Child<QScrollBar>(*w, "gridScrollBar")->setValue(100);
    }
    void Notch(int delta) { w->View().HandleWheelMessage(delta); }
};

TEST_F(WheelTest, TwoNotchesCloseTogetherMoveThreeSteps) {
    Notch(-120);
    QThread::msleep(10); // without events in between, so the damping timer cannot end first
    Notch(-120);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 103);
}

TEST_F(WheelTest, TwoNotchesApartMoveFourSteps) {
    Notch(120);
    QTest::qWait(50);
    Notch(120);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 96);
}

TEST_F(WheelTest, NothingMovesAtTheEndsOfTheRange) {
    Child<QScrollBar>(*w, "gridScrollBar")->setValue(0);
    QSignalSpy moves(Child<QScrollBar>(*w, "gridScrollBar"), &QScrollBar::valueChanged);
    Notch(120);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 0);
    Child<QScrollBar>(*w, "gridScrollBar")->setValue(432);
    moves.clear();
    QTest::qWait(40);
    Notch(-120);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 432);
    EXPECT_EQ(moves.count(), 0); // no move, so no redraw either
}

TEST_F(WheelTest, WheelEventsAnywhereInTheWindowScrollTheGrid) {
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Child<QPushButton>(*w, "loadShowButton"), &event);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 102);
}

TEST_F(WheelTest, SidewaysOrEmptyTurnsScrollNothing) {
    for (const QPoint turn : {QPoint(120, 0), QPoint(0, 0)}) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), turn, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Child<PaintBox>(*w, "gridPaintBox"), &event);
    }
    QTest::qWait(40);
    EXPECT_EQ(Child<QScrollBar>(*w, "gridScrollBar")->value(), 100);
}

} // namespace
} // namespace velkaro
