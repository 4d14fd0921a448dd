#include "commands/PreviewClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkaro {
namespace {

// Steps the clock until it has just moved to a new step, so a whole step can be watched.
void RunToNextStep(PreviewClock& clock, int steps, int length, int mode) {
    const int start = clock.PlayStep();
    while (clock.PlayStep() == start) clock.Advance(steps, length, mode);
}

std::vector<double> FactorsOfOneStep(int length, int mode) {
    PreviewClock clock;
    RunToNextStep(clock, 5, length, mode);
    std::vector<double> factors = {PreviewBlendFactor(clock.PlayTick(), length, mode)};
    for (int tick = 1; tick < length; ++tick) factors.push_back(clock.Advance(5, length, mode).T);
    return factors;
}

TEST(PreviewClockTest, FadeRunsTheWholeStepAndReachesNineTenthsOnTheLastTick) {
    const std::vector<double> factors = FactorsOfOneStep(10, FadeMode);
    ASSERT_EQ(factors.size(), 10u);
    for (int tick = 0; tick < 10; ++tick) EXPECT_DOUBLE_EQ(factors[tick], tick / 10.0);
    EXPECT_DOUBLE_EQ(factors.back(), 0.9);
}

TEST(PreviewClockTest, HalfFadeHalfHoldFadesInTheFirstHalfAndHoldsTheNextStep) {
    const std::vector<double> factors = FactorsOfOneStep(10, HalfFadeHalfHoldMode);
    const std::vector<double> expected = {0, 0.2, 0.4, 0.6, 0.8, 1, 1, 1, 1, 1};
    ASSERT_EQ(factors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(factors[i], expected[i]);
}

TEST(PreviewClockTest, HoldAndUnknownModes) {
    for (double t : FactorsOfOneStep(10, HoldMode)) EXPECT_EQ(t, 0.0);
    EXPECT_DOUBLE_EQ(PreviewBlendFactor(3, 10, 7), 0.3); // any other mode fades
}

TEST(PreviewClockTest, TheFirstStepAfterStartLastsOneTickLess) {
    PreviewClock clock;
    for (int tick = 1; tick <= 9; ++tick) {
        const PreviewFrame frame = clock.Advance(4, 10, FadeMode);
        ASSERT_EQ(frame.From, 0) << tick;
        ASSERT_EQ(clock.PlayTick(), tick);
    }
    const PreviewFrame moved = clock.Advance(4, 10, FadeMode);
    EXPECT_EQ(moved.From, 1);
    EXPECT_EQ(moved.To, 2);
    EXPECT_EQ(moved.T, 0.0);
}

TEST(PreviewClockTest, StepLengthOneMovesEveryTickUnblendedAndWraps) {
    for (int mode : {FadeMode, HoldMode, HalfFadeHalfHoldMode}) {
        PreviewClock clock;
        for (int tick = 1; tick <= 7; ++tick) {
            const PreviewFrame frame = clock.Advance(3, 1, mode);
            ASSERT_EQ(frame.From, tick % 3);
            ASSERT_EQ(frame.To, (tick + 1) % 3);
            ASSERT_EQ(frame.T, 0.0);
        }
    }
}

TEST(PreviewClockTest, LoweringStepsFinishesTheOldRowThenContinuesWithinTheShow) {
    PreviewClock clock;
    while (clock.PlayStep() != 4) clock.Advance(6, 3, FadeMode);
    for (int tick = 1; tick < 3; ++tick) {
        const PreviewFrame finishing = clock.Advance(2, 3, FadeMode);
        EXPECT_EQ(finishing.From, 4);
        EXPECT_EQ(finishing.To, 1);
    }
    const PreviewFrame next = clock.Advance(2, 3, FadeMode);
    EXPECT_EQ(next.From, 1);
    EXPECT_EQ(next.To, 0);
    EXPECT_EQ(clock.PlayTick(), 0);
}

TEST(PreviewClockTest, LoweringStepLengthToTheCurrentTickMovesOnNextTick) {
    PreviewClock clock;
    RunToNextStep(clock, 5, 10, FadeMode);
    for (int i = 0; i < 6; ++i) clock.Advance(5, 10, FadeMode);
    ASSERT_EQ(clock.PlayTick(), 6);
    const PreviewFrame frame = clock.Advance(5, 4, FadeMode);
    EXPECT_EQ(frame.From, 2);
    EXPECT_EQ(clock.PlayTick(), 0);
}

class PreviewColoursTest : public ::testing::Test {
protected:
    std::unique_ptr<Grid> cells = NewGrid();
    PreviewColours colours{};
};

TEST_F(PreviewColoursTest, BarsBlendFromTheStepTowardsTheNextAndWrapToTheFirst) {
    cells->At(0, 0) = Black;
    cells->At(1, 0) = White;
    cells->At(0, 1) = 0x0000FF;
    cells->At(1, 1) = 0x00FF00;
    ShowSettings settings{.Outputs = 2, .Steps = 2, .StepLength = 2, .BlendMode = FadeMode};
    PreviewClock clock;
    EXPECT_EQ(PreviewTick(clock, *cells, settings, colours), 2); // step 0, half way to step 1
    EXPECT_EQ(colours[0], 0x808080u);
    EXPECT_EQ(colours[1], BlendColor(0x0000FF, 0x00FF00, 0.5));
    PreviewTick(clock, *cells, settings, colours); // step 1 itself
    EXPECT_EQ(colours[0], White);
    PreviewTick(clock, *cells, settings, colours); // the last step fades back towards step 0
    EXPECT_EQ(colours[0], 0x808080u);
}

TEST_F(PreviewColoursTest, HoldShowsTheStepItselfOnEveryTick) {
    for (int c = 0; c < MaxOutputs; ++c) {
        cells->At(0, c) = static_cast<TColor>(c * 0x010203);
        cells->At(1, c) = White;
    }
    ShowSettings settings{
        .Outputs = MaxOutputs, .Steps = 2, .StepLength = 5, .BlendMode = HoldMode};
    PreviewClock clock;
    for (int tick = 1; tick < 5; ++tick) {
        PreviewTick(clock, *cells, settings, colours);
        for (int c = 0; c < MaxOutputs; ++c) ASSERT_EQ(colours[c], cells->At(0, c));
    }
}

TEST_F(PreviewColoursTest, AOneStepShowIsSteadyInEveryMode) {
    cells->At(0, 0) = 0x123456;
    cells->At(1, 0) = White; // beyond the show: must never show
    for (int mode : {FadeMode, HoldMode, HalfFadeHalfHoldMode}) {
        ShowSettings settings{.Outputs = 1, .Steps = 1, .StepLength = 4, .BlendMode = mode};
        PreviewClock clock;
        for (int tick = 0; tick < 9; ++tick) {
            PreviewTick(clock, *cells, settings, colours);
            ASSERT_EQ(colours[0], 0x123456u) << mode << " " << tick;
        }
    }
}

TEST(PreviewBarLayoutTest, StartSizeWithTwentyOutputs) {
    const PreviewBarLayout layout = LayoutPreviewBar(819, 23, 20);
    EXPECT_EQ(layout.BarWidth, 40);

    // Paint the layout as the tick does: bars first, then the black areas over them.
    enum Pixel : char { Untouched = '.', BarPixel = 'B', BlackPixel = 'K' };
    std::vector<std::vector<char>> box(23, std::vector<char>(819, Untouched));
    auto paint = [&box](const PreviewRect& r, char what) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) box[y][x] = what;
    };
    for (int i = 0; i < layout.Bars; ++i) paint(layout.Bar(i), BarPixel);
    for (const PreviewRect& black : layout.BlackAreas) paint(black, BlackPixel);

    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 819; ++x) {
            char expected = Untouched;
            if (y <= 3 || y >= 19 || x >= 800)
                expected = BlackPixel;
            else if (y >= 5 && y <= 17)
                expected = BarPixel;
            ASSERT_EQ(box[y][x], expected) << "x " << x << " y " << y;
        }
    }
    EXPECT_EQ(layout.Bar(19), (PreviewRect{760, 5, 800, 18}));
}

TEST(PreviewBarLayoutTest, ABarNarrowerThanTheOutputsIsAllBlack) {
    const PreviewBarLayout layout = LayoutPreviewBar(100, 23, 168);
    EXPECT_EQ(layout.BarWidth, 0);
    for (int i = 0; i < layout.Bars; ++i) EXPECT_TRUE(layout.Bar(i).IsEmpty());
    EXPECT_EQ(layout.BlackAreas[2], (PreviewRect{0, 0, 100, 23}));

    const PreviewBarLayout low = LayoutPreviewBar(100, 6, 2);
    EXPECT_TRUE(low.Bar(0).IsEmpty());
    EXPECT_EQ(low.BlackAreas[1], (PreviewRect{0, 2, 100, 6}));
}

TEST(PreviewSpeedTest, IntervalAndCaptionFollowTheSpeed) {
    EXPECT_EQ(PreviewIntervalMs(100), 100);
    EXPECT_EQ(PreviewIntervalMs(200), 50);
    EXPECT_EQ(PreviewIntervalMs(25), 400);
    EXPECT_EQ(PreviewIntervalMs(400), 25);
    EXPECT_EQ(PreviewIntervalMs(30), 333);
    EXPECT_EQ(PreviewSpeedCaption(200), "Vorschau 200%");
}

} // namespace
} // namespace velkaro
