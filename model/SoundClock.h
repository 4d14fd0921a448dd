#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

namespace velkaro {

// Where the sound of a show is, for an engine that follows a song instead of its own clock.
// Implemented by the song player from the position the sound server plays; the engine only
// asks, from its own thread, and never learns what makes the sound.
class SoundClock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~SoundClock() = default;

    // How far into the show the sound is, in the show's time at 100 % speed (the engine counts
    // it in its ticks: 100 ms, or a share of a beat with a tempo), already shifted by the
    // listener's latency setting; nullopt while the sound does not run: starting, seeking,
    // paused or at its end. May be negative before step 0.
    virtual std::optional<Duration> ShowTime() = 0;
};

// One tick of the show at 100 % speed.
inline constexpr SoundClock::Duration ShowTickLength = std::chrono::milliseconds(100);

// The show's time at a step and tick: every step lasts stepLength ticks of `tick`.
inline SoundClock::Duration ShowTimeAt(int playStep, int playTick, int stepLength,
                                       SoundClock::Duration tick = ShowTickLength) {
    return tick * (std::int64_t(playStep) * std::max(stepLength, 1) + playTick);
}

} // namespace velkaro
