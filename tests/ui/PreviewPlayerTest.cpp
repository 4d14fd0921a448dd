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
        Child<QTimer>(*w, "previewTimer")->stop();
        w->Preview().Rewind();
    }

    TColor BarPixel(int x, int y) {
        return Child<PaintBox>(*w, "previewBar")->canvas().Pixel(x, y);
    }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i) w->Preview().Tick();
    }
    int BarWidth() { return Child<PaintBox>(*w, "previewBar")->width() / w->Settings().Outputs(); }
    // The colour of output i's bar, read in its middle.
    TColor Bar(int i) { return BarPixel(i * BarWidth() + BarWidth() / 2, 11); }

    // Every bar is BarWidth pixels wide and covers rows 5..H-6; four black rows above and
    // below, black right of the last bar; rows 4 and H-5 keep the panel beneath the bar.
    void ExpectBarsOf(const std::function<TColor(int)>& colourOf) {
        const int width = Child<PaintBox>(*w, "previewBar")->width();
        const int height = Child<PaintBox>(*w, "previewBar")->height();
        const int barWidth = BarWidth();
        const TColor beneath = Canvas::FromRgb(
            Child<Panel>(*w, "previewPanel")->palette().color(QPalette::Window).rgb());
        ASSERT_NE(beneath, Black);
        for (int i = 0; i < w->Settings().Outputs(); ++i) {
            for (int x : {barWidth * i, barWidth * i + barWidth - 1}) {
                ASSERT_EQ(BarPixel(x, 5), colourOf(i)) << x;
                ASSERT_EQ(BarPixel(x, height - 6), colourOf(i)) << x;
                for (int y : {0, 3, height - 4, height - 1})
                    ASSERT_EQ(BarPixel(x, y), Black) << x << "," << y;
                ASSERT_EQ(BarPixel(x, 4), beneath) << x;
                ASSERT_EQ(BarPixel(x, height - 5), beneath) << x;
            }
        }
        for (int x = w->Settings().Outputs() * barWidth; x < width; ++x)
            for (int y = 0; y < height; ++y) ASSERT_EQ(BarPixel(x, y), Black) << x << "," << y;
    }
};

TColor OutputColour(int i) {
    return RGB(10 * (i % 20) + 5, 255 - 10 * (i % 20), 3 * (i % 20));
}

TEST_F(PreviewPlayerTest, ATickDrawsOneBarPerOutputBetweenBlackBands) {
    ASSERT_EQ(Child<PaintBox>(*w, "previewBar")->height(), 23);
    for (int i = 0; i < 20; ++i) w->Show().Cells[0][i] = OutputColour(i);
    Tick();
    ExpectBarsOf(OutputColour);
}

TEST_F(PreviewPlayerTest, AllOutputsLeaveABlackStripRightOfTheBars) {
    Child<UpDown>(*w, "outputsSpinner")->SetPosition(168);
    for (int i = 0; i < 168; ++i) w->Show().Cells[0][i] = OutputColour(i);
    ASSERT_NE(Child<PaintBox>(*w, "previewBar")->width() % 168, 0);
    Tick();
    ExpectBarsOf(OutputColour);
}

TEST_F(PreviewPlayerTest, TheBarFollowsTheBlendModeAndTheEditsOfTheShow) {
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(2);
    w->Show().Cells[0][0] = RGB(0, 0, 0);
    w->Show().Cells[1][0] = RGB(200, 100, 0);
    Tick(9); // the last tick of the first step: 90 % of the way
    EXPECT_EQ(Bar(0), RGB(180, 90, 0));

    Child<QButtonGroup>(*w, "blendModeButtons")->button(HoldMode)->setChecked(true);
    Tick();                               // step 1, tick 0
    w->Show().Cells[1][0] = RGB(7, 8, 9); // an edit shows on the next tick
    Tick(3);
    EXPECT_EQ(Bar(0), RGB(7, 8, 9));

    Child<QButtonGroup>(*w, "blendModeButtons")->button(HalfFadeHalfHoldMode)->setChecked(true);
    Tick(2); // tick 5 of step 1 already shows step 0, the next step after the wrap
    EXPECT_EQ(Bar(0), Black);
}

TEST_F(PreviewPlayerTest, MonoModeDoesNotChangeTheBar) {
    w->Show().Cells[0][3] = RGB(64, 200, 17);
    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton);
    ASSERT_TRUE(w->Settings().MonoMode());
    Tick();
    EXPECT_EQ(Bar(3), RGB(64, 200, 17));
}

TEST_F(PreviewPlayerTest, TheSpeedBarSetsIntervalAndCaption) {
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(200);
    EXPECT_EQ(Child<QTimer>(*w, "previewTimer")->interval(), 50);
    EXPECT_EQ(Child<QGroupBox>(*w, "previewSpeedGroup")->title(), "Vorschau 200%");
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(30);
    EXPECT_EQ(Child<QTimer>(*w, "previewTimer")->interval(), 333);
    EXPECT_EQ(Child<QGroupBox>(*w, "previewSpeedGroup")->title(), "Vorschau 30%");
    // The interval holds while the player is stopped, and stopping stays stopped.
    EXPECT_FALSE(Child<QTimer>(*w, "previewTimer")->isActive());
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(400);
    EXPECT_EQ(Child<QTimer>(*w, "previewTimer")->interval(), 25);
    EXPECT_FALSE(Child<QTimer>(*w, "previewTimer")->isActive());
}

TEST_F(PreviewPlayerTest, TheRunningTimerPlaysTheShow) {
    w->Show().Cells[0][0] = RGB(1, 2, 3);
    Child<QTimer>(*w, "previewTimer")->start();
    QTRY_COMPARE_WITH_TIMEOUT(Bar(0), RGB(1, 2, 3), 2000);
    EXPECT_GT(w->Preview().Clock().PlayTick(), 0);
}

TEST_F(PreviewPlayerTest, AClickStopsAndASecondClickResumesWhereItStopped) {
    Child<UpDown>(*w, "stepsSpinner")->SetPosition(1000);
    Child<UpDown>(*w, "stepLengthSpinner")->SetPosition(1);
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(400);
    Child<QTimer>(*w, "previewTimer")->start();
    QTRY_VERIFY_WITH_TIMEOUT(w->Preview().Clock().PlayStep() >= 2, 2000);

    QTest::mouseClick(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_FALSE(Child<QTimer>(*w, "previewTimer")->isActive());
    const int stoppedAt = w->Preview().Clock().PlayStep();
    const QImage picture = Child<PaintBox>(*w, "previewBar")->image().copy();
    QTest::qWait(150);
    EXPECT_EQ(w->Preview().Clock().PlayStep(), stoppedAt);
    EXPECT_EQ(Child<PaintBox>(*w, "previewBar")->image(), picture);

    QTest::mouseClick(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(Child<QTimer>(*w, "previewTimer")->isActive());
    EXPECT_EQ(w->Preview().Clock().PlayStep(), stoppedAt);
    QTRY_VERIFY_WITH_TIMEOUT(w->Preview().Clock().PlayStep() > stoppedAt, 2000);

    // A double-click as the window system delivers it: press, release, press, double-click,
    // release. It is one click.
    const QPoint at(100, 10);
    QTest::mouseClick(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, at);
    QTest::mousePress(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at,
                       Child<PaintBox>(*w, "previewBar")->mapToGlobal(at), Qt::LeftButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(Child<PaintBox>(*w, "previewBar"), &second);
    QTest::mouseRelease(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, at);
    EXPECT_FALSE(Child<QTimer>(*w, "previewTimer")->isActive());
}

// The side panels swap without the grid or the bar changing size, so a stopped bar keeps its
// picture through the start and the end of a selection.
TEST_F(PreviewPlayerTest, AStoppedBarKeepsItsPictureThroughASelection) {
    w->Show().Cells[0][0] = 0x00CC00;
    Tick(); // the fixture has stopped the player
    const QImage picture = Child<PaintBox>(*w, "previewBar")->image().copy();
    const QSize gridSize = Child<PaintBox>(*w, "gridPaintBox")->size();

    QTest::mousePress(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(Child<PaintBox>(*w, "gridPaintBox"), Qt::RightButton, {}, QPoint(100, 100));
    ASSERT_TRUE(Child<Panel>(*w, "selectionPanel")->isVisible());
    EXPECT_EQ(Child<PaintBox>(*w, "previewBar")->image(), picture);
    EXPECT_EQ(Child<PaintBox>(*w, "gridPaintBox")->size(), gridSize);

    QTest::mouseClick(Child<Panel>(*w, "endSelectionButton"), Qt::LeftButton);
    ASSERT_TRUE(Child<Panel>(*w, "commandPanel")->isVisible());
    EXPECT_EQ(Child<PaintBox>(*w, "previewBar")->image(), picture);
}

} // namespace
} // namespace velkaro
