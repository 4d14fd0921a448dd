// Steps locked to a tempo: where every step starts over a long song, on the engine's own clock
// and following a song's sound, and the blend within each step at every speed.
#include "model/ShowTempo.h"
#include "playback/PlaybackTimeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velkaro {
namespace {

using Clock = PlaybackTimeline::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

const Clock::time_point Start = Clock::time_point(std::chrono::hours(5));

TEST(TempoTimelineTest, At128BpmStepKStartsAtKBeatsForTwoThousandStepsOnEitherClock) {
    const ShowTempo tempo{128, 1};
    ASSERT_EQ(TempoStepLength(tempo), 5); // 468.75 ms shows as five tenths
    const ShowSettings settings{20, 100, TempoStepLength(tempo), HoldMode};
    const nanoseconds tick = TickLengthOf(tempo, settings.StepLength);

    PlaybackTimeline own(Start);
    own.SetTickLength(tick, Start);
    PlaybackTimeline following(Start);
    following.SetTickLength(tick, Start);
    for (std::int64_t k = 1; k <= 2000; ++k) {
        SCOPED_TRACE(testing::Message() << "step " << k);
        const nanoseconds beat = StepStart(tempo, k);
        ASSERT_NEAR(double(beat.count()), k * 468.75e6, 1.0);
        const int before = int((k - 1) % settings.Steps);
        const int after = int(k % settings.Steps);
        own.AdvanceTo(Start + beat - milliseconds(1), settings);
        ASSERT_EQ(own.Position().PlayStep, before);
        own.AdvanceTo(Start + beat + milliseconds(1), settings);
        ASSERT_EQ(own.Position().PlayStep, after);
        // The song's sound heard a millisecond either side of the beat, as the engine polls it.
        following.FollowSound(beat - milliseconds(1), Start + beat - milliseconds(1), settings);
        ASSERT_EQ(following.Position().PlayStep, before);
        following.FollowSound(beat + milliseconds(1), Start + beat + milliseconds(1), settings);
        ASSERT_EQ(following.Position().PlayStep, after);
    }
    EXPECT_EQ(own.Position().Ticks, 2000u * 5u);
    EXPECT_EQ(following.Position().Ticks, 2000u * 5u);
}

// A step at a tempo is the step at 100 ms ticks stretched in time: the blend at a moment of
// it is what the plain show blends at the same share of its step.
TEST(TempoTimelineTest, EveryBlendModeHoldsItsFractionsWithinEachStepAtEverySpeed) {
    for (const ShowTempo tempo : {ShowTempo{128, 1}, ShowTempo{93.37, 2}, ShowTempo{174, 0.25}}) {
        const int length = TempoStepLength(tempo);
        const nanoseconds tick = TickLengthOf(tempo, length);
        for (int mode : {FadeMode, HoldMode, HalfFadeHalfHoldMode}) {
            for (int speed : {25, 100, 400}) {
                SCOPED_TRACE(testing::Message()
                             << tempo.Bpm << " BPM mode " << mode << " speed " << speed);
                const ShowSettings settings{20, 7, length, mode};
                PlaybackTimeline plain(Start);
                PlaybackTimeline locked(Start);
                plain.SetSpeed(speed, Start);
                locked.SetSpeed(speed, Start);
                locked.SetTickLength(tick, Start);
                const double stretch = double(tick.count()) / 1e8;
                for (auto since = nanoseconds::zero(); since < std::chrono::seconds(20);
                     since += microseconds(4999)) {
                    const auto plainSince = nanoseconds(std::llround(since.count() / stretch));
                    locked.AdvanceTo(Start + since, settings);
                    plain.AdvanceTo(Start + plainSince, settings);
                    const PreviewFrame shown = locked.MomentAt(Start + since, settings);
                    const PreviewFrame expected = plain.MomentAt(Start + plainSince, settings);
                    ASSERT_EQ(shown.From, expected.From);
                    ASSERT_EQ(shown.To, expected.To);
                    ASSERT_NEAR(shown.T, expected.T, 1e-3);
                }
            }
        }
    }
}

TEST(TempoTimelineTest, WithoutATempoATickIsATenthAndTheIntervalTheTimersWholeMilliseconds) {
    EXPECT_EQ(TickLengthOf(ShowTempo{}, 7), milliseconds(100));
    EXPECT_EQ(TickLengthOf(ShowTempo{12, 1}, 7), milliseconds(100)); // below 40 BPM: none
    PlaybackTimeline timeline(Start);
    timeline.SetSpeed(30, Start);
    EXPECT_EQ(timeline.TickInterval(), milliseconds(333));
    timeline.SetTickLength(TickLengthOf(ShowTempo{120, 1}, 5), Start);
    EXPECT_EQ(timeline.TickInterval(), milliseconds(100) * 100 / 30);
    EXPECT_EQ(NormalisedBpm(127.996), 128.0);
    EXPECT_EQ(NormalisedBpm(1000), MaxTempoBpm);
    EXPECT_EQ(NormalisedBpm(std::nan("")), 0.0);
}

} // namespace
} // namespace velkaro
