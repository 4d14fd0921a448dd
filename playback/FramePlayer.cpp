#include "playback/FramePlayer.h"

#include <algorithm>

namespace velkaro {

namespace {

// 50 frames a second while a show fades, as live output sends, and never more for a sequence.
constexpr std::uint64_t FrameGapMicros = 20'000;

} // namespace

FramePlayer::FramePlayer(PlaySource& source, Sink sink, const PlayOptions& options)
    : source_(source), sink_(std::move(sink)), options_(options),
      passMicros_(std::max<std::uint64_t>(source.PassMicros(), 1)) {
    options_.SpeedPercent = std::clamp(options_.SpeedPercent, 1, 1000);
}

std::uint64_t FramePlayer::WallMicros(std::uint64_t showMicros) const {
    return showMicros * 100 / std::uint64_t(options_.SpeedPercent);
}

// The moment after `now` to send next: the next change of content, sooner during a fade, never
// sooner than one frame gap of wall time, never past the end of the last pass.
std::uint64_t FramePlayer::NextMoment(std::uint64_t now, std::uint64_t change) const {
    const std::uint64_t gap = FrameGapMicros * std::uint64_t(options_.SpeedPercent) / 100;
    std::uint64_t next = change;
    if (source_.Fades()) next = std::min(next, now + gap);
    next = std::max(next, now + gap);
    if (options_.Passes != 0) next = std::min(next, options_.Passes * passMicros_);
    return next;
}

void FramePlayer::Run() {
    start_ = Clock::now();
    DmxFrame frame{};
    std::uint64_t moment = 0;
    for (;;) {
        if (options_.Passes != 0 && moment >= options_.Passes * passMicros_) break;
        const std::uint64_t pass = moment / passMicros_;
        const std::uint64_t change =
            source_.Render(moment % passMicros_, frame) + pass * passMicros_;
        sink_(frame);
        std::uint64_t next = NextMoment(moment, change);
        {
            std::lock_guard lock(mutex_);
            played_ = moment;
        }
        if (!SleepUntil(start_ + std::chrono::microseconds(WallMicros(next)))) break;
        // Woken late (a loaded machine): go on with the moment it is now.
        const auto late =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start_);
        const std::uint64_t now =
            std::uint64_t(late.count()) * std::uint64_t(options_.SpeedPercent) / 100;
        if (now > next + FrameGapMicros) next = now;
        moment = next;
    }
    std::lock_guard lock(mutex_);
    played_ = moment;
    finished_ = true;
}

bool FramePlayer::SleepUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, deadline, [this] { return stop_; });
    return !stop_;
}

void FramePlayer::Stop() {
    std::lock_guard lock(mutex_);
    stop_ = true;
    wake_.notify_all();
}

bool FramePlayer::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

std::uint64_t FramePlayer::ShowMicros() const {
    std::lock_guard lock(mutex_);
    return played_;
}

} // namespace velkaro
