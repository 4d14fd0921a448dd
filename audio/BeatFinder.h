#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace velkaro {

// What a song's beat was found to be: its tempo and the moment of its first beat.
struct BeatProposal {
    double Bpm = 0;
    double FirstBeatSeconds = 0;
};

// Asked now and then with the share of the work done (0..1); false cancels.
using BeatProgress = std::function<bool(double done)>;

// Finds the steady beat of mono samples at `rate`: an onset strength from the rise of the
// energy in three bands, the tempo whose comb of beats gathers most of it (a tempo near 120
// preferred among octaves that fit equally well), then tempo and phase refined over the whole
// song, so the tempo comes to a few hundredths of a beat a minute. Plain arithmetic on a few
// envelopes of 200 values a second. nullopt when cancelled or when the song has no beat.
std::optional<BeatProposal> FindBeat(const std::vector<float>& samples, int rate,
                                     const BeatProgress& progress = {});

// The rate FindBeat works best at; songs are decoded to it.
inline constexpr int BeatAnalysisRate = 11025;

} // namespace velkaro
