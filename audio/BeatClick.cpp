// The click on the beat: a bright tick, loud at its first sample so the ear places it exactly.
#include "audio/BeatClick.h"

#include <algorithm>
#include <cmath>

namespace velkaro {

namespace {

constexpr double ClickHz = 2000.0;
constexpr double ClickLoudness = 0.5;
// The tick dies away with this time constant; by the click's end it is far below hearing.
constexpr double DecaySeconds = 0.003;
constexpr double Pi = 3.14159265358979323846;

float ClickSample(std::int64_t sinceOnset, int rate) {
    const double seconds = double(sinceOnset) / rate;
    return float(ClickLoudness * std::cos(2 * Pi * ClickHz * seconds) *
                 std::exp(-seconds / DecaySeconds));
}

// onset: the click's first frame, counted from the buffer's first; it may lie before it.
void MixOneClick(float* samples, std::int64_t frames, int channels, int rate, std::int64_t onset) {
    const std::int64_t clickEnd = onset + BeatClickNs * rate / 1'000'000'000;
    for (std::int64_t at = std::max<std::int64_t>(onset, 0); at < std::min(clickEnd, frames);
         ++at) {
        const float tick = ClickSample(at - onset, rate);
        float* frame = samples + at * channels;
        for (int channel = 0; channel < channels; ++channel)
            frame[channel] = std::clamp(frame[channel] + tick, -1.0f, 1.0f);
    }
}

} // namespace

BeatGrid BeatGridOf(double bpm, std::int64_t firstBeatNs) {
    if (!(bpm > 0)) return {};
    return {firstBeatNs, 60e9 / bpm};
}

void MixBeatClicks(float* samples, std::size_t frames, int channels, int rate,
                   const SoundPlace& place, const BeatGrid& grid) {
    // Beats closer than a click is long are no tempo a show can have.
    if (!samples || frames == 0 || channels <= 0 || rate <= 0 || !(place.Speed > 0) ||
        !(grid.PeriodNs >= BeatClickNs))
        return;
    const double songNsPerFrame = 1e9 * place.Speed / rate;
    const double fromNs = double(place.StartNs) - double(BeatClickNs) * place.Speed;
    const double toNs = double(place.StartNs) + double(frames) * songNsPerFrame;
    const auto fromBeat =
        std::int64_t(std::ceil((fromNs - double(grid.FirstBeatNs)) / grid.PeriodNs));
    const auto toBeat = std::int64_t(std::floor((toNs - double(grid.FirstBeatNs)) / grid.PeriodNs));
    for (std::int64_t k = fromBeat; k <= toBeat; ++k) {
        const double beatNs = double(grid.FirstBeatNs) + double(k) * grid.PeriodNs;
        if (beatNs < 0) continue;
        // The first frame at or after the beat; a buffer's start known to a nanosecond only
        // must not move a click that falls on a frame.
        const double onset = (beatNs - double(place.StartNs)) / songNsPerFrame;
        MixOneClick(samples, std::int64_t(frames), channels, rate,
                    std::int64_t(std::ceil(onset - 1e-3)));
    }
}

} // namespace velkaro
