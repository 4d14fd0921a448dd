#pragma once

// Drum tracks of known tempo for the beat finder's tests and benchmark: kick, snare, hi-hat
// (some swung), a bass line and a noise floor, after a lead-in of silence.
#include "audio/BeatFinder.h"

#include <cmath>
#include <random>
#include <vector>

namespace velkaro::testing {

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

inline std::vector<float> DrumTrack(const Track& track, double seconds, unsigned seed) {
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

} // namespace velkaro::testing
