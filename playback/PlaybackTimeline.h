#pragma once

#include "commands/PreviewClock.h"
#include "model/ShowSettings.h"

#include <chrono>
#include <cstdint>

namespace velkaro {

struct PlayPosition {
    int PlayStep = 0; // as PreviewClock
    int PlayTick = 0;
    std::uint64_t Ticks = 0; // ticks counted since the last rewind (or the start)

    bool operator==(const PlayPosition&) const = default;
};

// When the lamps move on and what they show at a moment: the preview's counters advanced at
// absolute deadlines, and the 20 ms grid of frames between them. Plain arithmetic on the times
// it is given, so it can be tested without threads; the engine feeds it the clock.
//
// Ticks fall at anchor + k * interval: however late one is noticed, the next keeps its place,
// so nothing drifts over hours. Frames fall at the tick and every 20 ms after it; one that
// would come within a millisecond of the next tick is left to the tick.
class PlaybackTimeline {
public:
    using Clock = std::chrono::steady_clock;
    using Time = Clock::time_point;
    static constexpr Clock::duration FrameInterval = std::chrono::milliseconds(20);
    static constexpr Clock::duration CoincidenceWindow = std::chrono::milliseconds(1);

    // Playing at 100 % from step 0 tick 0, which shows at once and lasts a whole tick.
    explicit PlaybackTimeline(Time start);

    // A new speed starts the countdown afresh, as a timer given a new interval does: the next
    // tick comes one whole new interval later. A fade goes on from the way it had made, so it
    // never jumps, and takes that interval for the rest of the way.
    void SetSpeed(int percent, Time now);
    // The length of one tick at 100 % speed: a tenth of a second, or a share of a step locked
    // to a song's beat. Changes like a new speed.
    void SetTickLength(std::chrono::nanoseconds tick, Time now);
    // Stopping holds the moment of the last tick, as the preview bar does; resuming continues
    // from it with a whole tick to go. Both show at once.
    void SetPlaying(bool playing, Time now);
    // Jumps to `position` (a rewind, a single step, a stop where the bar stopped); it shows at
    // once and the next tick is one interval later.
    void SeekTo(const PlayPosition& position, Time now);

    bool IsPlaying() const { return playing_; }
    int SpeedPercent() const { return speed_; }
    Clock::duration TickInterval() const { return interval_; }
    std::chrono::nanoseconds TickLength() const { return tick_; }
    const PlayPosition& Position() const { return position_; }

    // Time::max() while stopped.
    Time NextTick() const;
    // When the next frame is due (a tick or a grid point); in the past when one is overdue.
    Time NextFrame() const;
    // The moment the newest tick fell on (or play was last re-anchored).
    Time LastTick() const { return anchor_ + interval_ * ticksSinceAnchor_; }

    // Counts every tick due at or before `now` with the show's settings; returns how many.
    int AdvanceTo(Time now, const ShowSettings& settings);
    // What the lamps show at `moment` (not before LastTick) by the preview's blending rules.
    PreviewFrame MomentAt(Time moment, const ShowSettings& settings) const;
    // A frame showing `moment` went out; the next is due on the grid after it.
    void FrameShown(Time moment) { lastShown_ = moment; }

    // Following a song: the sound is `showTime` into the show (at 100 % speed) at `now`. Play
    // moves on tick by tick to where the sound is, waits when it is a little ahead of the
    // sound, and jumps when the two are far apart. Returns the ticks counted.
    // showTime is counted in ticks of TickLength().
    int FollowSound(std::chrono::nanoseconds showTime, Time now, const ShowSettings& settings);
    // Following a song that does not sound yet (starting, seeking, at its end): play holds the
    // moment of its last tick until the sound runs.
    void WaitForSound(Time now);
    // The song is gone: play goes on from here on its own clock.
    void EndWaitForSound(Time now);
    bool WaitingForSound() const { return waiting_; }

private:
    void Reanchor(Time now);
    void ChangeInterval(Clock::duration interval, Time now);
    void CountTicks(int ticks, const ShowSettings& settings);
    // How far play has come from the newest tick towards the next one at `moment`, 0..1.
    double TickFractionAt(Time moment) const;

    PreviewClock clock_;
    PlayPosition position_;
    bool playing_ = true;
    int speed_ = 100;
    std::chrono::nanoseconds tick_ = std::chrono::milliseconds(100);
    Clock::duration interval_;
    Time anchor_;
    std::int64_t ticksSinceAnchor_ = 0;
    // The part of the tick already made when the speed changed, until the next tick.
    double madeAtAnchor_ = 0.0;
    Time gridAnchor_;
    Time lastShown_;
    bool waiting_ = false;
};

} // namespace velkaro
