// The engine's timeline without threads: what the lamps show at a moment and when frames fall.
#include "playback/PlaybackTimeline.h"
#include "commands/LiveFrame.h"
#include "model/ChannelLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace velkaro {
namespace {

using Clock = PlaybackTimeline::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

const Clock::time_point Start = Clock::time_point(std::chrono::hours(5));

std::unique_ptr<Grid> ColourfulShow(int steps) {
    auto cells = NewGrid();
    for (int r = 0; r < steps; ++r)
        for (int c = 0; c < MaxOutputs; ++c)
            cells->At(r, c) = static_cast<TColor>((r * 0x3F1F07u + c * 0x0A0305u) & 0xFFFFFF);
    return cells;
}

// The preview's own account of `sinceStart` into play: as many ticks as have fallen, then the
// blend a fraction of the way to the next one.
PreviewFrame PreviewAt(Clock::duration sinceStart, int speed, const ShowSettings& settings) {
    const Clock::duration interval = milliseconds(PreviewIntervalMs(speed));
    PreviewClock clock;
    const auto ticks = sinceStart / interval;
    for (int i = 0; i < ticks; ++i)
        clock.Advance(settings.Steps, settings.StepLength, settings.BlendMode);
    const auto intoTick = std::chrono::duration<double, std::milli>(sinceStart - interval * ticks);
    return clock.FrameAt(settings.Steps, settings.StepLength, settings.BlendMode,
                         PreviewTickFraction(intoTick.count(), PreviewIntervalMs(speed)));
}

TEST(PlaybackTimelineTest, EveryMomentShowsOnTheLampsWhatThePreviewBlendsThen) {
    const auto cells = ColourfulShow(5);
    for (int mode : {FadeMode, HoldMode, HalfFadeHalfHoldMode}) {
        for (int speed : {25, 100, 400}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " speed " << speed);
            const ShowSettings settings{MaxOutputs, 5, 3, mode};
            PlaybackTimeline timeline(Start);
            timeline.SetSpeed(speed, Start);
            for (auto since = Clock::duration::zero(); since < milliseconds(6000);
                 since += microseconds(6997)) {
                timeline.AdvanceTo(Start + since, settings);
                const PreviewFrame expected = PreviewAt(since, speed, settings);
                const PreviewFrame shown = timeline.MomentAt(Start + since, settings);
                ASSERT_EQ(shown.From, expected.From);
                ASSERT_EQ(shown.To, expected.To);
                DmxFrame lamps{};
                ComposeLiveFrame(*cells, settings, false, shown, lamps);
                PreviewColours bar{};
                ComputePreviewColours(*cells, MaxOutputs, expected, bar);
                for (int g = 0; g < MaxOutputs; ++g) {
                    const std::uint8_t* rgb = lamps.data() + ChannelLayout::RedChannel(g);
                    const TColor colour = bar[static_cast<std::size_t>(g)];
                    ASSERT_EQ(rgb[0], RedOf(colour)) << "output " << g;
                    ASSERT_EQ(rgb[1], GreenOf(colour)) << "output " << g;
                    ASSERT_EQ(rgb[2], BlueOf(colour)) << "output " << g;
                }
            }
        }
    }
}

TEST(PlaybackTimelineTest, TicksKeepTheirPlaceForAnHourHoweverLateTheyAreNoticed) {
    const ShowSettings settings{20, 7, 1, HoldMode};
    PlaybackTimeline timeline(Start);
    Clock::time_point now = Start;
    unsigned lateness = 1;
    while (now < Start + std::chrono::hours(1)) {
        lateness = lateness * 1103515245u + 12345u;
        now += microseconds(3000 + (lateness >> 8) % 40000); // wakes 3..43 ms apart
        timeline.AdvanceTo(now, settings);
    }
    timeline.AdvanceTo(Start + std::chrono::hours(1), settings);
    EXPECT_EQ(timeline.Position().Ticks, 36000u);
    EXPECT_EQ(timeline.LastTick(), Start + std::chrono::hours(1));
    EXPECT_EQ(timeline.Position().PlayStep, 36000 % 7);
}

// Walks the frame deadlines as the engine does for `span`; returns when each frame fell.
std::vector<Clock::time_point> FramesOver(PlaybackTimeline& timeline, Clock::duration span,
                                          const ShowSettings& settings) {
    std::vector<Clock::time_point> frames;
    const Clock::time_point end = timeline.LastTick() + span;
    for (Clock::time_point due = timeline.NextFrame(); due < end; due = timeline.NextFrame()) {
        timeline.AdvanceTo(due, settings);
        frames.push_back(due);
        timeline.FrameShown(due);
    }
    return frames;
}

TEST(PlaybackTimelineTest, FramesFallEvery20MsAndAtEveryTickButNeverTwiceAtOnce) {
    const ShowSettings settings{20, 3, 2, FadeMode};
    for (int speed : {25, 30, 100, 250, 400}) {
        SCOPED_TRACE(speed);
        PlaybackTimeline timeline(Start);
        timeline.SetSpeed(speed, Start);
        const std::vector<Clock::time_point> frames =
            FramesOver(timeline, milliseconds(2000), settings);
        const Clock::duration interval = milliseconds(PreviewIntervalMs(speed));
        for (std::size_t i = 1; i < frames.size(); ++i) {
            EXPECT_LE(frames[i] - frames[i - 1], milliseconds(20));
            EXPECT_GE(frames[i] - frames[i - 1], milliseconds(1));
        }
        for (Clock::time_point tick = Start; tick < Start + milliseconds(2000); tick += interval)
            EXPECT_NE(std::find(frames.begin(), frames.end(), tick), frames.end());
        if (speed == 100 || speed == 250) {
            EXPECT_EQ(frames.size(), 100u) << "50 a second";
        }
    }
}

TEST(PlaybackTimelineTest, SpeedStopAndResumeContinueWithoutAJump) {
    const ShowSettings settings{20, 4, 10, FadeMode};
    PlaybackTimeline timeline(Start);
    Clock::time_point now = Start + milliseconds(1250); // 12 ticks and a half
    timeline.AdvanceTo(now, settings);
    const PreviewFrame before = timeline.MomentAt(now, settings);
    timeline.SetSpeed(400, now);
    EXPECT_DOUBLE_EQ(timeline.MomentAt(now, settings).T, before.T) << "a fade does not jump";
    EXPECT_EQ(timeline.NextTick(), now + milliseconds(25)) << "the countdown starts afresh";

    // Stopping holds the moment of the last tick, as the bar shows it, for any length of time.
    now = timeline.NextTick() + milliseconds(5);
    timeline.AdvanceTo(now, settings);
    const PlayPosition held = timeline.Position();
    EXPECT_EQ(held.Ticks, 13u);
    timeline.SetPlaying(false, now);
    EXPECT_EQ(timeline.NextTick(), Clock::time_point::max());
    EXPECT_EQ(timeline.NextFrame(), now) << "the held moment shows at once";
    now += std::chrono::seconds(30);
    EXPECT_EQ(timeline.AdvanceTo(now, settings), 0);
    EXPECT_DOUBLE_EQ(timeline.MomentAt(now, settings).T, 0.3);

    // Resuming gives the next tick a whole interval.
    timeline.SetPlaying(true, now);
    EXPECT_EQ(timeline.NextTick(), now + milliseconds(25));
    EXPECT_EQ(timeline.Position(), held);

    // A seek (rewind) shows step 0 at once and holds it a whole tick.
    timeline.SeekTo(PlayPosition{}, now);
    EXPECT_EQ(timeline.NextFrame(), now);
    EXPECT_EQ(timeline.AdvanceTo(now + milliseconds(24), settings), 0);
    EXPECT_EQ(timeline.AdvanceTo(now + milliseconds(25), settings), 1);
    EXPECT_EQ(timeline.Position(), (PlayPosition{0, 1, 1}));
}

// The speed bar dragged, or its arrow clicked every 200 ms at 25 %: each change starts the
// countdown afresh, as a timer given a new interval does, so no tick falls while the changes
// come faster than the interval. The fade meanwhile creeps on without a jump or a step back,
// and the tick after the last change comes one whole interval later and joins it seamlessly.
TEST(PlaybackTimelineTest, EverySpeedChangeStartsTheCountdownAfresh) {
    const ShowSettings settings{20, 4, 10, FadeMode};
    PlaybackTimeline timeline(Start);
    timeline.SetSpeed(25, Start);
    double shownBefore = timeline.MomentAt(Start, settings).T;
    Clock::time_point now = Start;
    for (int speed = 26; speed <= 35; ++speed) {
        for (int ms = 10; ms <= 200; ms += 10) {
            const Clock::time_point moment = now + milliseconds(ms);
            ASSERT_EQ(timeline.AdvanceTo(moment, settings), 0) << speed << "% at +" << ms;
            const double shown = timeline.MomentAt(moment, settings).T;
            ASSERT_GE(shown, shownBefore);
            ASSERT_LT(shown, 0.1) << "still within the first tick";
            shownBefore = shown;
        }
        now += milliseconds(200);
        timeline.SetSpeed(speed, now);
        ASSERT_DOUBLE_EQ(timeline.MomentAt(now, settings).T, shownBefore);
        ASSERT_EQ(timeline.NextTick(), now + milliseconds(PreviewIntervalMs(speed)));
    }
    const Clock::time_point tick = now + milliseconds(PreviewIntervalMs(35));
    EXPECT_EQ(timeline.AdvanceTo(tick - microseconds(1), settings), 0);
    EXPECT_NEAR(timeline.MomentAt(tick - microseconds(1), settings).T, 0.1, 1e-6);
    EXPECT_EQ(timeline.AdvanceTo(tick, settings), 1);
    EXPECT_DOUBLE_EQ(timeline.MomentAt(tick, settings).T, 0.1);
    EXPECT_NEAR(timeline.MomentAt(tick + milliseconds(PreviewIntervalMs(35) / 2), settings).T, 0.15,
                0.001)
        << "the tick after is a whole one again";
}

} // namespace
} // namespace velkaro

namespace velkaro {
namespace {

// Following a song: every tick is counted on the way to where the sound is, play never goes
// back for a sound a little behind it, jumps to a sound moved far away, blends between ticks by
// the sound's position, and waits (showing the tick's own moment) while the sound is silent.
TEST(PlaybackTimelineTest, FollowingASongCountsEveryTickNeverGoesBackAndJumpsWhenMoved) {
    const ShowSettings settings{1, 4, 10, FadeMode}; // 40 ticks a pass
    PlaybackTimeline timeline(Start);
    const auto follow = [&timeline, &settings](int heardMs, int nowMs) {
        return timeline.FollowSound(std::chrono::nanoseconds(milliseconds(heardMs)),
                                    Start + milliseconds(nowMs), settings);
    };
    const auto at = [&timeline] {
        return timeline.Position().PlayStep * 10 + timeline.Position().PlayTick;
    };

    timeline.WaitForSound(Start);
    EXPECT_EQ(timeline.NextTick(), Clock::time_point::max());
    EXPECT_EQ(timeline.MomentAt(Start + milliseconds(90), settings).T, 0.0);
    EXPECT_EQ(follow(-5, 0), 0) << "before step 0";
    EXPECT_TRUE(timeline.WaitingForSound());

    EXPECT_EQ(follow(350, 1), 3);
    EXPECT_EQ(at(), 3);
    EXPECT_FALSE(timeline.WaitingForSound());
    // Half way through tick 3 of the step's ten.
    EXPECT_NEAR(timeline.MomentAt(Start + milliseconds(1), settings).T, 0.35, 1e-6);
    EXPECT_EQ(timeline.NextTick(), Start + milliseconds(51));

    EXPECT_EQ(follow(280, 2), 0);
    EXPECT_EQ(at(), 3) << "a sound a little behind does not take play back";
    EXPECT_EQ(follow(1150, 3), 8);
    for (int ms = 2050; ms <= 3850; ms += 900) EXPECT_EQ(follow(ms, ms), 9);
    EXPECT_EQ(at(), 38);
    // Round the end of the pass into the next one, as the show loops under a long song.
    EXPECT_EQ(follow(4120, 4000), 3);
    EXPECT_EQ(at(), 1);
    EXPECT_EQ(timeline.Position().Ticks, 41u);

    // Moved far away (the song was moved): play jumps there instead of counting the way.
    follow(2500, 4001);
    EXPECT_EQ(at(), 25);
    EXPECT_EQ(timeline.Position().Ticks, 41u);

    // The song taken off: the timeline's own clock goes on from the sound's last moment.
    timeline.EndWaitForSound(Start + milliseconds(4050));
    EXPECT_EQ(timeline.AdvanceTo(Start + milliseconds(4099), settings), 0);
    EXPECT_EQ(timeline.AdvanceTo(Start + milliseconds(4101), settings), 1);
}

} // namespace
} // namespace velkaro
