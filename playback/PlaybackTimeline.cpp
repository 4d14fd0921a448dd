#include "playback/PlaybackTimeline.h"

#include <algorithm>

namespace velkaro {

namespace {

using Clock = PlaybackTimeline::Clock;

// A machine that slept (or a thread stopped in a debugger) would otherwise count every missed
// tick one by one; past this many the timeline starts afresh from now instead.
constexpr int MaxCatchUpTicks = 100000;

Clock::duration IntervalOf(int speedPercent) {
    return std::chrono::milliseconds(PreviewIntervalMs(speedPercent));
}

} // namespace

PlaybackTimeline::PlaybackTimeline(Time start) : interval_(IntervalOf(speed_)) {
    Reanchor(start);
}

void PlaybackTimeline::Reanchor(Time now) {
    anchor_ = now;
    ticksSinceAnchor_ = 0;
    madeAtAnchor_ = 0.0;
    gridAnchor_ = now;
    lastShown_ = now - Clock::duration(1); // the moment `now` is due at once
}

void PlaybackTimeline::SetSpeed(int percent, Time now) {
    percent = std::clamp(percent, MinPreviewSpeed, MaxPreviewSpeed);
    if (percent == speed_) return;
    if (playing_) {
        const double made = TickFractionAt(std::max(now, LastTick()));
        anchor_ = std::max(now, LastTick());
        ticksSinceAnchor_ = 0;
        madeAtAnchor_ = made;
    }
    speed_ = percent;
    interval_ = IntervalOf(percent);
}

void PlaybackTimeline::SetPlaying(bool playing, Time now) {
    if (playing == playing_) return;
    playing_ = playing;
    Reanchor(now);
}

void PlaybackTimeline::SeekTo(const PlayPosition& position, Time now) {
    position_ = position;
    clock_ = PreviewClock(position.PlayStep, position.PlayTick);
    Reanchor(now);
}

PlaybackTimeline::Time PlaybackTimeline::NextTick() const {
    return playing_ ? LastTick() + interval_ : Time::max();
}

PlaybackTimeline::Time PlaybackTimeline::NextFrame() const {
    const Clock::duration shownAfterGrid = lastShown_ - gridAnchor_;
    const auto gridPoints =
        shownAfterGrid < Clock::duration::zero() ? 0 : shownAfterGrid / FrameInterval + 1;
    const Time next = gridAnchor_ + FrameInterval * gridPoints;
    if (playing_ && next > NextTick() - CoincidenceWindow) return NextTick();
    return next;
}

int PlaybackTimeline::AdvanceTo(Time now, const ShowSettings& settings) {
    if (!playing_) return 0;
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

double PlaybackTimeline::TickFractionAt(Time moment) const {
    if (!playing_) return 0.0;
    const auto since = std::chrono::duration<double, std::milli>(moment - LastTick());
    const double fraction = PreviewTickFraction(since.count(), PreviewIntervalMs(speed_));
    return madeAtAnchor_ + (1.0 - madeAtAnchor_) * fraction;
}

PreviewFrame PlaybackTimeline::MomentAt(Time moment, const ShowSettings& settings) const {
    return clock_.FrameAt(settings.Steps, settings.StepLength, settings.BlendMode,
                          TickFractionAt(moment));
}

} // namespace velkaro
