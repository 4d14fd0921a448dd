#pragma once

#include <cstddef>
#include <cstdint>

namespace velkaro {

// The beats a click marks in a song: one at FirstBeatNs and every PeriodNs before and after it,
// from the song's start on.
struct BeatGrid {
    std::int64_t FirstBeatNs = 0;
    double PeriodNs = 0; // 0: no beat, no click

    bool operator==(const BeatGrid&) const = default;
};

// The grid of a tempo in beats a minute whose first beat lies firstBeatNs into the song.
BeatGrid BeatGridOf(double bpm, std::int64_t firstBeatNs);

// How long one click sounds.
inline constexpr std::int64_t BeatClickNs = 20'000'000;

// Where sound to be clicked lies in its song: its first frame sounds StartNs into the song, and
// each second of it plays Speed seconds of the song.
struct SoundPlace {
    std::int64_t StartNs = 0;
    double Speed = 1.0;
};

// Adds a short tick at every beat of `grid` to `frames` frames of interleaved samples (-1..1)
// at `rate` frames a second. A tick lasts as long at any speed. Sound handed over in buffers of
// any size gets the same clicks as in one piece, a click cut by a buffer's end going on in the
// next.
void MixBeatClicks(float* samples, std::size_t frames, int channels, int rate,
                   const SoundPlace& place, const BeatGrid& grid);

} // namespace velkaro
