// Finding the beat of generated drum tracks of known tempo: kick, snare, hi-hat (some swung),
// a bass line and a noise floor, starting after a lead-in of silence.
#include "audio/BeatFinder.h"
#include "audio/DrumTrack.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

using testing::DrumTrack;
using testing::Track;

TEST(BeatFinderTest, DrumTracksOfKnownTempoGiveTheirTempoAndFirstBeat) {
    const Track tracks[] = {
        {70, 0.37, 0, 0.7},           {84.5, 1.20, 1.0 / 6, 0.6}, {98, 0.05, 0, 0.8},
        {112.25, 0.61, 1.0 / 6, 0.7}, {120, 0.25, 0, 0.7},        {128, 2.31, 0, 0.5},
        {140.5, 0.44, 0.12, 0.7},     {155, 0.18, 0, 0.9},        {174, 0.92, 0, 0.7},
        {180, 0.33, 1.0 / 6, 0.6},
    };
    unsigned seed = 1;
    for (const Track& track : tracks) {
        SCOPED_TRACE(::testing::Message() << track.Bpm << " BPM, swing " << track.Swing);
        const std::optional<BeatProposal> found =
            FindBeat(DrumTrack(track, 40.0, seed++), BeatAnalysisRate);
        ASSERT_TRUE(found);
        EXPECT_NEAR(found->Bpm, track.Bpm, 0.5);
        EXPECT_NEAR(found->FirstBeatSeconds, track.LeadIn, 0.020);
    }
}

TEST(BeatFinderTest, SilenceHasNoBeatAndACancelStopsTheSearch) {
    EXPECT_FALSE(FindBeat(std::vector<float>(BeatAnalysisRate * 20, 0.0f), BeatAnalysisRate));
    EXPECT_FALSE(FindBeat(std::vector<float>(BeatAnalysisRate / 2, 0.5f), BeatAnalysisRate));
    int asked = 0;
    const auto track = DrumTrack({120, 0.25, 0, 0.7}, 20.0, 9);
    EXPECT_FALSE(FindBeat(track, BeatAnalysisRate, [&](double) { return ++asked < 3; }));
    EXPECT_EQ(asked, 3);
}

} // namespace
} // namespace velkaro
