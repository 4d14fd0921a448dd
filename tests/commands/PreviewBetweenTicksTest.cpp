#include "commands/LiveFrame.h"
#include "commands/PreviewClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkaro {
namespace {

constexpr int FrameMs = 20; // live output's frame period

struct LiveSample {
    int Ms;          // moment of the frame since sampling began
    bool TickBefore; // the preview ticked since the previous frame
    int Red;         // red channel of output 1
};

// Lets the preview timer tick every PreviewIntervalMs(speed) and live output take a frame
// every 20 ms in between, for `ms` milliseconds after the clock reached step 1.
std::vector<LiveSample> PlayLive(const Grid& cells, const ShowSettings& show, int speed, int ms) {
    PreviewClock clock;
    while (clock.PlayStep() != 1) clock.Advance(show.Steps, show.StepLength, show.BlendMode);
    const int interval = PreviewIntervalMs(speed);
    int lastTick = 0;
    std::vector<LiveSample> samples;
    for (int now = 0; now < ms; now += FrameMs) {
        bool ticked = false;
        while (lastTick + interval <= now) {
            lastTick += interval;
            clock.Advance(show.Steps, show.StepLength, show.BlendMode);
            ticked = true;
        }
        const double fraction = PreviewTickFraction(now - lastTick, interval);
        DmxFrame dmx;
        ComposeLiveFrame(cells, show, false,
                         clock.FrameAt(show.Steps, show.StepLength, show.BlendMode, fraction), dmx);
        samples.push_back({now, ticked, dmx[0]});
    }
    return samples;
}

TEST(PreviewBetweenTicksTest, AFadeReachesTheLampsInAStepPerFrameAtEverySpeed) {
    auto cells = NewGrid();
    cells->At(2, 0) = RGB(250, 0, 0); // step 1 is black and fades to this over one step
    const ShowSettings show{1, 3, 10, FadeMode};
    for (int speed : {MinPreviewSpeed, 50, 100, 130, MaxPreviewSpeed}) {
        const int stepMs = 10 * PreviewIntervalMs(speed);
        const auto samples = PlayLive(*cells, show, speed, stepMs);
        ASSERT_EQ(samples.front().Red, 0) << speed;
        for (std::size_t i = 1; i < samples.size(); ++i)
            ASSERT_GT(samples[i].Red, samples[i - 1].Red) << "speed " << speed << ", " << i;
        ASSERT_LT(samples.back().Red, 250) << speed;
    }
    // A one-second fade at real time: 50 frames, each a fiftieth further.
    const auto samples = PlayLive(*cells, show, 100, 1000);
    ASSERT_EQ(samples.size(), 50u);
    for (std::size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(samples[i].Red, int(5 * i));
}

TEST(PreviewBetweenTicksTest, HoldAndHalfHoldStepsChangeOnlyWithTheTick) {
    auto cells = NewGrid();
    for (int row = 0; row < 10; ++row) cells->At(row, 0) = RGB(20 * row + 10, 0, 0);
    for (int speed : {MinPreviewSpeed, 100, 160, MaxPreviewSpeed}) {
        const auto hold = PlayLive(*cells, {1, 10, 1, HoldMode}, speed, 2000);
        for (std::size_t i = 1; i < hold.size(); ++i)
            ASSERT_EQ(hold[i].Red != hold[i - 1].Red, hold[i].TickBefore)
                << "speed " << speed << " at " << hold[i].Ms << " ms";
    }
    // 100 ms steps at real time: a change every fifth frame, on the 100 ms marks.
    const auto chase = PlayLive(*cells, {1, 10, 1, HoldMode}, 100, 1000);
    for (const LiveSample& s : chase) EXPECT_EQ(s.TickBefore, s.Ms % 100 == 0 && s.Ms > 0);

    // Half fade, half hold: the second half of the step holds the next step's colour until
    // the tick that moves on, which shows that very colour again.
    cells->At(1, 0) = Black;
    cells->At(2, 0) = RGB(250, 0, 0);
    const auto half = PlayLive(*cells, {1, 10, 10, HalfFadeHalfHoldMode}, 100, 1000);
    for (const LiveSample& s : half)
        EXPECT_EQ(s.Red, s.Ms >= 500 ? 250 : s.Ms / 2) << s.Ms << " ms";
}

TEST(PreviewBetweenTicksTest, FrameAtRepeatsTheTickAndChangesNothing) {
    for (int mode : {FadeMode, HoldMode, HalfFadeHalfHoldMode}) {
        PreviewClock clock;
        for (int tick = 0; tick < 25; ++tick) {
            const PreviewFrame ticked = clock.Advance(4, 7, mode);
            const PreviewFrame again = clock.FrameAt(4, 7, mode, 0.0);
            ASSERT_EQ(again.From, ticked.From);
            ASSERT_EQ(again.To, ticked.To);
            ASSERT_EQ(again.T, ticked.T);
            const PreviewFrame late = clock.FrameAt(4, 7, mode, 5.0); // held at one tick
            ASSERT_EQ(late.From, ticked.From) << "only a tick moves the step";
            ASSERT_EQ(late.T, PreviewBlendFactorAt(clock.PlayTick() + 1.0, 7, mode));
        }
        EXPECT_EQ(clock.PlayStep(), 3);
        EXPECT_EQ(clock.PlayTick(), 4);
    }
    PreviewClock clock;
    for (int tick = 0; tick < 25; ++tick) clock.Advance(9, 10, FadeMode);
    ASSERT_EQ(clock.PlayStep(), 2);
    ASSERT_EQ(clock.PlayTick(), 5);
    // Steps lowered below the playing step, step length below the tick: the step still ends
    // from its own row, at the full colour of the row play continues with.
    const PreviewFrame shrunk = clock.FrameAt(1, 3, FadeMode, 0.5);
    EXPECT_EQ(shrunk.From, 2);
    EXPECT_EQ(shrunk.To, 0);
    EXPECT_EQ(shrunk.T, 1.0);
    EXPECT_EQ(clock.FrameAt(9, 10, FadeMode, -1.0).T, 0.5);

    EXPECT_EQ(PreviewTickFraction(-3, 100), 0.0);
    EXPECT_EQ(PreviewTickFraction(40, 100), 0.4);
    EXPECT_EQ(PreviewTickFraction(250, 100), 1.0);
    EXPECT_EQ(PreviewTickFraction(5, 0), 1.0);
}

} // namespace
} // namespace velkaro
