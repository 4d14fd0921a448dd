// Finding the beat of generated drum tracks of known tempo: kick, snare, hi-hat (some swung),
// a bass line and a noise floor, starting after a lead-in of silence.
#include "audio/BeatFinder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace velkaro {
namespace {

struct Track {
    double Bpm;
    double LeadIn; // seconds of silence before the first beat
    double Swing;  // how late the off-beat hi-hat comes, as a share of a beat
    double SnareLevel;
};

// A hit whose sound starts at `at` seconds.
template <typename Sound>
void Hit(std::vector<float>& out, double at, double seconds, Sound sound) {
    const auto from = std::size_t(std::llround(at * BeatAnalysisRate));
    const auto length = std::size_t(seconds * BeatAnalysisRate);
    for (std::size_t i = 0; i < length && from + i < out.size(); ++i)
        out[from + i] += float(sound(double(i) / BeatAnalysisRate));
}

std::vector<float> DrumTrack(const Track& track, double seconds, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<float> out(std::size_t(seconds * BeatAnalysisRate), 0.0f);
    const double beat = 60.0 / track.Bpm;
    double kickPhase = 0;
    for (int k = 0; track.LeadIn + k * beat < seconds; ++k) {
        const double at = track.LeadIn + k * beat;
        if (k % 2 == 0) {
            Hit(out, at, 0.25, [&](double t) {
                kickPhase += 2 * M_PI * (50 + 90 * std::exp(-t / 0.03)) / BeatAnalysisRate;
                return 0.8 * std::exp(-t / 0.12) * std::sin(kickPhase);
            });
        } else {
            Hit(out, at, 0.2, [&](double t) {
                return track.SnareLevel * std::exp(-t / 0.07) *
                       (0.6 * noise(random) + 0.4 * std::sin(2 * M_PI * 190 * t));
            });
        }
        // The bass holds a note through the beat, a fifth up on every other one.
        const double pitch = k % 4 == 3 ? 82.4 : 55.0;
        Hit(out, at, beat * 0.9, [&](double t) {
            return 0.25 * std::min(1.0, t / 0.02) * std::sin(2 * M_PI * pitch * t);
        });
        for (double eighth : {0.0, 0.5 + track.Swing}) {
            double last = 0;
            Hit(out, at + eighth * beat, 0.05, [&](double t) {
                const double white = noise(random);
                const double high = white - last; // a crude high pass
                last = white;
                return 0.18 * std::exp(-t / 0.015) * high;
            });
        }
    }
    for (float& sample : out) sample += float(0.01 * noise(random));
    return out;
}

TEST(BeatFinderTest, DrumTracksOfKnownTempoGiveTheirTempoAndFirstBeat) {
    const Track tracks[] = {
        {70, 0.37, 0, 0.7},           {84.5, 1.20, 1.0 / 6, 0.6}, {98, 0.05, 0, 0.8},
        {112.25, 0.61, 1.0 / 6, 0.7}, {120, 0.25, 0, 0.7},        {128, 2.31, 0, 0.5},
        {140.5, 0.44, 0.12, 0.7},     {155, 0.18, 0, 0.9},        {174, 0.92, 0, 0.7},
        {180, 0.33, 1.0 / 6, 0.6},
    };
    unsigned seed = 1;
    for (const Track& track : tracks) {
        SCOPED_TRACE(testing::Message() << track.Bpm << " BPM, swing " << track.Swing);
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
