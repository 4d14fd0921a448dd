#include "playback/PlaybackTimeline.h"

#include <algorithm>

namespace velkaro {

namespace {

using Clock = PlaybackTimeline::Clock;

// A machine that slept (or a thread stopped in a debugger) would otherwise count every missed
// tick one by one; past this many the timeline starts afresh from now instead.
constexpr int MaxCatchUpTicks = 100000;
// A song that is further than this from play (a second of the show) was moved: play jumps to
// it instead of counting every tick on the way.
constexpr std::int64_t SoundJumpTicks = 10;

constexpr std::chrono::nanoseconds PlainTick = std::chrono::milliseconds(100);

// Without a tempo the interval is the preview timer's whole milliseconds, as it always was.
Clock::duration IntervalOf(int speedPercent, std::chrono::nanoseconds tick) {
    if (tick == PlainTick) return std::chrono::milliseconds(PreviewIntervalMs(speedPercent));
    return std::chrono::duration_cast<Clock::duration>(tick * 100 / speedPercent);
}

} // namespace

PlaybackTimeline::PlaybackTimeline(Time start) : interval_(IntervalOf(speed_, tick_)) {
    Reanchor(start);
}

void PlaybackTimeline::Reanchor(Time now) {
    anchor_ = now;
    ticksSinceAnchor_ = 0;
    madeAtAnchor_ = 0.0;
    gridAnchor_ = now;
    lastShown_ = now - Clock::duration(1); // the moment `now` is due at once
}

void PlaybackTimeline::ChangeInterval(Clock::duration interval, Time now) {
    if (playing_) {
        const double made = TickFractionAt(std::max(now, LastTick()));
        anchor_ = std::max(now, LastTick());
        ticksSinceAnchor_ = 0;
        madeAtAnchor_ = made;
    }
    interval_ = interval;
}

void PlaybackTimeline::SetSpeed(int percent, Time now) {
    percent = std::clamp(percent, MinPreviewSpeed, MaxPreviewSpeed);
    if (percent == speed_) return;
    ChangeInterval(IntervalOf(percent, tick_), now);
    speed_ = percent;
}

void PlaybackTimeline::SetTickLength(std::chrono::nanoseconds tick, Time now) {
    tick = std::max(tick, std::chrono::nanoseconds(std::chrono::milliseconds(1)));
    if (tick == tick_) return;
    ChangeInterval(IntervalOf(speed_, tick), now);
    tick_ = tick;
}

void PlaybackTimeline::SetPlaying(bool playing, Time now) {
    if (playing == playing_) return;
    playing_ = playing;
    waiting_ = false;
    Reanchor(now);
}

void PlaybackTimeline::SeekTo(const PlayPosition& position, Time now) {
    position_ = position;
    clock_ = PreviewClock(position.PlayStep, position.PlayTick);
    Reanchor(now);
}

PlaybackTimeline::Time PlaybackTimeline::NextTick() const {
    return playing_ && !waiting_ ? LastTick() + interval_ : Time::max();
}

PlaybackTimeline::Time PlaybackTimeline::NextFrame() const {
    const Clock::duration shownAfterGrid = lastShown_ - gridAnchor_;
    const auto gridPoints =
        shownAfterGrid < Clock::duration::zero() ? 0 : shownAfterGrid / FrameInterval + 1;
    const Time next = gridAnchor_ + FrameInterval * gridPoints;
    if (playing_ && !waiting_ && next > NextTick() - CoincidenceWindow) return NextTick();
    return next;
}

int PlaybackTimeline::AdvanceTo(Time now, const ShowSettings& settings) {
    if (!playing_ || waiting_) return 0;
    int ticks = 0;
    while (LastTick() + interval_ <= now) {
        if (ticks == MaxCatchUpTicks) {
            anchor_ = now;
            ticksSinceAnchor_ = 0;
            break;
        }
        ++ticksSinceAnchor_;
        madeAtAnchor_ = 0.0;
        clock_.Advance(settings.Steps, settings.StepLength, settings.BlendMode);
        ++position_.Ticks;
        ++ticks;
    }
    if (ticks == 0) return 0;
    position_.PlayStep = clock_.PlayStep();
    position_.PlayTick = clock_.PlayTick();
    // The frame at the tick is due now, and the grid of frames starts from it.
    gridAnchor_ = LastTick();
    lastShown_ = gridAnchor_ - Clock::duration(1);
    return ticks;
}

void PlaybackTimeline::CountTicks(int ticks, const ShowSettings& settings) {
    for (int i = 0; i < ticks; ++i)
        clock_.Advance(settings.Steps, settings.StepLength, settings.BlendMode);
    position_.Ticks += std::uint64_t(ticks);
    position_.PlayStep = clock_.PlayStep();
    position_.PlayTick = clock_.PlayTick();
}

void PlaybackTimeline::EndWaitForSound(Time now) {
    if (!waiting_) return;
    waiting_ = false;
    Reanchor(now);
}

void PlaybackTimeline::WaitForSound(Time now) {
    if (waiting_ || !playing_) return;
    waiting_ = true;
    Reanchor(now);
}

int PlaybackTimeline::FollowSound(std::chrono::nanoseconds showTime, Time now,
                                  const ShowSettings& settings) {
    if (!playing_) return 0;
    // The sound before step 0: the show waits at its start.
    if (showTime < std::chrono::nanoseconds(0)) {
        WaitForSound(now);
        return 0;
    }
    const std::int64_t length = std::max(settings.StepLength, 1);
    const std::int64_t pass = std::int64_t(std::clamp(settings.Steps, 1, MaxSteps)) * length;
    const std::int64_t heardTicks = showTime / tick_;
    const double fraction = double((showTime % tick_).count()) / double(tick_.count());
    // Ticks from play to the sound, within one pass of the show (which loops under a song).
    const std::int64_t at =
        std::int64_t(std::min(clock_.PlayStep(), int(pass / length) - 1)) * length +
        std::min<std::int64_t>(clock_.PlayTick(), length - 1);
    std::int64_t ahead = (heardTicks % pass - at) % pass;
    if (ahead > pass / 2) ahead -= pass;
    if (ahead < -pass / 2) ahead += pass;
    const bool wasWaiting = waiting_;
    waiting_ = false;
    int ticks = 0;
    if (ahead > SoundJumpTicks || ahead < -SoundJumpTicks) {
        const std::int64_t target = heardTicks % pass;
        clock_ = PreviewClock(int(target / length), int(target % length));
        position_.PlayStep = clock_.PlayStep();
        position_.PlayTick = clock_.PlayTick();
        ticks = 1;
    } else if (ahead > 0) {
        ticks = int(ahead);
        CountTicks(ticks, settings);
    } else if (ahead < 0) {
        // A little ahead of the sound (a latency setting, a sound that starts late): the tick
        // holds until the sound catches up.
        waiting_ = wasWaiting;
        WaitForSound(now);
        return 0;
    }
    anchor_ = now - std::chrono::duration_cast<Clock::duration>(interval_ * fraction);
    ticksSinceAnchor_ = 0;
    madeAtAnchor_ = 0.0;
    if (ticks > 0 || wasWaiting) {
        gridAnchor_ = LastTick();
        lastShown_ = gridAnchor_ - Clock::duration(1);
    }
    return ticks;
}

double PlaybackTimeline::TickFractionAt(Time moment) const {
    if (!playing_ || waiting_) return 0.0;
    const auto since = std::chrono::duration<double, std::milli>(moment - LastTick());
    const auto interval = std::chrono::duration<double, std::milli>(interval_);
    const double fraction = since.count() > 0 ? std::min(since / interval, 1.0) : 0.0;
    return madeAtAnchor_ + (1.0 - madeAtAnchor_) * fraction;
}

PreviewFrame PlaybackTimeline::MomentAt(Time moment, const ShowSettings& settings) const {
    return clock_.FrameAt(settings.Steps, settings.StepLength, settings.BlendMode,
                          TickFractionAt(moment));
}

} // namespace velkaro
