#include "WindowFixture.h"

#include "ui/controls/Panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace velkaro {
namespace {

// The preview bar with the timer stopped and the counters at their start, so each test
// decides exactly which ticks run.
class PreviewPlayerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        w->Timer1->stop();
        w->PlayClock = PreviewClock{};
    }

    TColor BarPixel(int x, int y) { return w->pbp->canvas().Pixel(x, y); }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i) w->Timer1Timer();
    }
    int BarWidth() { return w->pbp->width() / w->Outputs(); }
    // The colour of output i's bar, read in its middle.
    TColor Bar(int i) { return BarPixel(i * BarWidth() + BarWidth() / 2, 11); }

    // Every bar is BarWidth pixels wide and covers rows 5..H-6; four black rows above and
    // below, black right of the last bar; rows 4 and H-5 keep the panel beneath the bar.
    void ExpectBarsOf(const std::function<TColor(int)>& colourOf) {
        const int width = w->pbp->width();
        const int height = w->pbp->height();
        const int barWidth = BarWidth();
        const TColor beneath = Canvas::FromRgb(w->Panel10->palette().color(QPalette::Window).rgb());
        ASSERT_NE(beneath, Black);
        for (int i = 0; i < w->Outputs(); ++i) {
            for (int x : {barWidth * i, barWidth * i + barWidth - 1}) {
                ASSERT_EQ(BarPixel(x, 5), colourOf(i)) << x;
                ASSERT_EQ(BarPixel(x, height - 6), colourOf(i)) << x;
                for (int y : {0, 3, height - 4, height - 1})
                    ASSERT_EQ(BarPixel(x, y), Black) << x << "," << y;
                ASSERT_EQ(BarPixel(x, 4), beneath) << x;
                ASSERT_EQ(BarPixel(x, height - 5), beneath) << x;
            }
        }
        for (int x = w->Outputs() * barWidth; x < width; ++x)
            for (int y = 0; y < height; ++y) ASSERT_EQ(BarPixel(x, y), Black) << x << "," << y;
    }
};

TColor OutputColour(int i) {
    return RGB(10 * (i % 20) + 5, 255 - 10 * (i % 20), 3 * (i % 20));
}

TEST_F(PreviewPlayerTest, ATickDrawsOneBarPerOutputBetweenBlackBands) {
    ASSERT_EQ(w->pbp->height(), 23);
    for (int i = 0; i < 20; ++i) w->Cells[0][i] = OutputColour(i);
    Tick();
    ExpectBarsOf(OutputColour);
}

TEST_F(PreviewPlayerTest, AllOutputsLeaveABlackStripRightOfTheBars) {
    w->UDNX->SetPosition(168);
    for (int i = 0; i < 168; ++i) w->Cells[0][i] = OutputColour(i);
    ASSERT_NE(w->pbp->width() % 168, 0);
    Tick();
    ExpectBarsOf(OutputColour);
}

TEST_F(PreviewPlayerTest, TheBarFollowsTheBlendModeAndTheEditsOfTheShow) {
    w->udlz->SetPosition(2);
    w->Cells[0][0] = RGB(0, 0, 0);
    w->Cells[1][0] = RGB(200, 100, 0);
    Tick(9); // the last tick of the first step: 90 % of the way
    EXPECT_EQ(Bar(0), RGB(180, 90, 0));

    w->RGMItems->button(HoldMode)->setChecked(true);
    Tick();                        // step 1, tick 0
    w->Cells[1][0] = RGB(7, 8, 9); // an edit shows on the next tick
    Tick(3);
    EXPECT_EQ(Bar(0), RGB(7, 8, 9));

    w->RGMItems->button(HalfFadeHalfHoldMode)->setChecked(true);
    Tick(2); // tick 5 of step 1 already shows step 0, the next step after the wrap
    EXPECT_EQ(Bar(0), Black);
}

TEST_F(PreviewPlayerTest, MonoModeDoesNotChangeTheBar) {
    w->Cells[0][3] = RGB(64, 200, 17);
    QTest::mouseClick(w->cbmono, Qt::LeftButton);
    ASSERT_TRUE(w->MonoMode());
    Tick();
    EXPECT_EQ(Bar(3), RGB(64, 200, 17));
}

TEST_F(PreviewPlayerTest, TheSpeedBarSetsIntervalAndCaption) {
    w->sbp->setValue(200);
    EXPECT_EQ(w->Timer1->interval(), 50);
    EXPECT_EQ(w->gbp->title(), "Vorschau 200%");
    w->sbp->setValue(30);
    EXPECT_EQ(w->Timer1->interval(), 333);
    EXPECT_EQ(w->gbp->title(), "Vorschau 30%");
    // The interval holds while the player is stopped, and stopping stays stopped.
    EXPECT_FALSE(w->Timer1->isActive());
    w->sbp->setValue(400);
    EXPECT_EQ(w->Timer1->interval(), 25);
    EXPECT_FALSE(w->Timer1->isActive());
}

TEST_F(PreviewPlayerTest, TheRunningTimerPlaysTheShow) {
    w->Cells[0][0] = RGB(1, 2, 3);
    w->Timer1->start();
    QTRY_COMPARE_WITH_TIMEOUT(Bar(0), RGB(1, 2, 3), 2000);
    EXPECT_GT(w->PlayClock.PlayTick(), 0);
}

TEST_F(PreviewPlayerTest, AClickStopsAndASecondClickResumesWhereItStopped) {
    w->udlz->SetPosition(1000);
    w->uds->SetPosition(1);
    w->sbp->setValue(400);
    w->Timer1->start();
    QTRY_VERIFY_WITH_TIMEOUT(w->PlayClock.PlayStep() >= 2, 2000);

    QTest::mouseClick(w->pbp, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_FALSE(w->Timer1->isActive());
    const int stoppedAt = w->PlayClock.PlayStep();
    const QImage picture = w->pbp->image().copy();
    QTest::qWait(150);
    EXPECT_EQ(w->PlayClock.PlayStep(), stoppedAt);
    EXPECT_EQ(w->pbp->image(), picture);

    QTest::mouseClick(w->pbp, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(w->PlayClock.PlayStep(), stoppedAt);
    QTRY_VERIFY_WITH_TIMEOUT(w->PlayClock.PlayStep() > stoppedAt, 2000);

    // A double-click as the window system delivers it: press, release, press, double-click,
    // release. It is one click.
    const QPoint at(100, 10);
    QTest::mouseClick(w->pbp, Qt::LeftButton, {}, at);
    QTest::mousePress(w->pbp, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, w->pbp->mapToGlobal(at), Qt::LeftButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(w->pbp, &second);
    QTest::mouseRelease(w->pbp, Qt::LeftButton, {}, at);
    EXPECT_FALSE(w->Timer1->isActive());
}

// The side panels swap without the grid or the bar changing size, so a stopped bar keeps its
// picture through the start and the end of a selection.
TEST_F(PreviewPlayerTest, AStoppedBarKeepsItsPictureThroughASelection) {
    w->Cells[0][0] = 0x00CC00;
    Tick(); // the fixture has stopped the player
    const QImage picture = w->pbp->image().copy();
    const QSize gridSize = w->pb->size();

    QTest::mousePress(w->pb, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(w->pb, Qt::RightButton, {}, QPoint(100, 100));
    ASSERT_TRUE(w->PSel->isVisible());
    EXPECT_EQ(w->pbp->image(), picture);
    EXPECT_EQ(w->pb->size(), gridSize);

    QTest::mouseClick(w->Panel9, Qt::LeftButton);
    ASSERT_TRUE(w->Panel1->isVisible());
    EXPECT_EQ(w->pbp->image(), picture);
}

} // namespace
} // namespace velkaro
