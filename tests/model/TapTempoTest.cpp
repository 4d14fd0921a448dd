// Tapping a tempo along with the music.
#include "model/TapTempo.h"

#include <gtest/gtest.h>

#include <random>

namespace velkaro {
namespace {

TEST(TapTempoTest, JitteredTapsGiveTheTempoAndPhaseAndAPauseStartsOver) {
    std::mt19937 random(26);
    std::uniform_real_distribution<double> jitter(-0.010, 0.010);
    TapTempo tap;
    const double firstBeat = 3.217;
    std::optional<TapTempo::Result> result;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tap.Tap(firstBeat + 0.5 * i + jitter(random)));
    double lastTap = 0;
    for (int i = 3; i < 16; ++i) {
        lastTap = firstBeat + 0.5 * i + jitter(random);
        result = tap.Tap(lastTap);
        ASSERT_TRUE(result) << "tap " << i;
        if (i >= 7) {
            EXPECT_NEAR(result->Bpm, 120.0, 0.5) << "tap " << i;
        }
    }
    EXPECT_NEAR(result->BeatSeconds, firstBeat, 0.010);

    // Two seconds without a tap: the next ones count afresh, at their own tempo.
    const double later = lastTap + TapTempo::PauseSeconds;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tap.Tap(later + 0.6 * i)) << "tap " << i;
    result = tap.Tap(later + 0.6 * 3);
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->Bpm, 100.0, 0.01);
    EXPECT_NEAR(result->BeatSeconds, later, 0.001);
}

} // namespace
} // namespace velkaro
