#include "player/FramePlayer.h"

#include "commands/PreviewClock.h"
#include "output/RealTime.h"
#include "playback/PlaybackEngine.h"

#include <algorithm>
#include <pthread.h>

namespace velkaro {

namespace {

using Clock = std::chrono::steady_clock;

// At most 50 frames a second, as live output sends: more would only queue up before the line.
constexpr std::uint64_t FrameGapMicros = 20'000;

} // namespace

FramePlayer::FramePlayer(FseqReader& sequence, FrameSink& sink, const SequencePlayOptions& options)
    : sink_(sink), options_(options),
      frameMicros_(std::uint64_t(std::max(sequence.FrameTimeMs(), 1)) * 1000),
      passMicros_(std::max<std::uint64_t>(sequence.Frames(), 1) * frameMicros_),
      frames_(std::max<std::uint32_t>(sequence.Frames(), 1)),
      // Under a song the sequence loops until the song's player ends play.
      unpacker_(sequence, options.Sound ? 0 : options.Passes * frames_, wake_) {
    options_.SpeedPercent = std::clamp(options_.SpeedPercent, MinPreviewSpeed, MaxPreviewSpeed);
    thread_ = std::thread([this] { Run(); });
}

FramePlayer::~FramePlayer() {
    Stop();
    thread_.join();
}

void FramePlayer::Stop() {
    quit_.store(true);
    wake_.Wake();
}

std::optional<std::string> FramePlayer::Failure() const {
    return unpacker_.Failure();
}

void FramePlayer::Run() {
    pthread_setname_np(pthread_self(), "velkaro-frames");
    RequestRealTimeForThisThread(PlaybackEngine::RealTimePriority);
    if (WaitForFirstFrame()) {
        if (options_.Sound)
            PlayToSound();
        else
            Play();
    }
    finished_.store(true);
    if (options_.OnFinished) options_.OnFinished();
}

// The moment of the sequence (in microseconds from its start, over all passes) to send after
// `moment`: the next frame, or later to keep within 50 frames a second of real time, never past
// the end of the last pass.
std::uint64_t FramePlayer::NextMoment(std::uint64_t moment) const {
    const std::uint64_t gap = FrameGapMicros * std::uint64_t(options_.SpeedPercent) / 100;
    std::uint64_t next = std::max((moment / frameMicros_ + 1) * frameMicros_, moment + gap);
    if (options_.Passes != 0) next = std::min(next, options_.Passes * passMicros_);
    return next;
}

// Play begins once frames are ready ahead: false when told to stop first or reading failed.
bool FramePlayer::WaitForFirstFrame() {
    for (;;) {
        const std::uint32_t seen = wake_.Count();
        if (quit_.load()) return false;
        if (unpacker_.Primed()) return true;
        wake_.SleepUntil(Clock::time_point::max(), seen);
    }
}

void FramePlayer::Play() {
    const Clock::time_point start = Clock::now();
    const auto speed = std::uint64_t(options_.SpeedPercent);
    DmxFrame frame{};
    std::uint64_t moment = 0;
    while (options_.Passes == 0 || moment < options_.Passes * passMicros_) {
        const auto index = static_cast<std::uint32_t>(moment % passMicros_ / frameMicros_);
        const FrameUnpacker::Take take = unpacker_.TakeFrame(moment / frameMicros_, frame);
        if (take == FrameUnpacker::Take::Failed || quit_.load()) return;
        if (take == FrameUnpacker::Take::Ready) {
            sink_.Send(frame);
            frame_.store(index, std::memory_order_relaxed);
        }
        std::uint64_t next = NextMoment(moment);
        const Clock::time_point deadline = start + std::chrono::microseconds(next * 100 / speed);
        for (;;) {
            const std::uint32_t seen = wake_.Count();
            if (quit_.load()) return;
            if (Clock::now() >= deadline) break;
            wake_.SleepUntil(deadline, seen);
        }
        // Woken late (a loaded machine): go on with the frame due now.
        const auto played =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        const std::uint64_t now = std::uint64_t(played.count()) * speed / 100;
        if (now > next + FrameGapMicros) next = now;
        moment = next;
    }
}

// Sends each frame as the sound reaches it, the sequence looping under a longer song; while the
// song does not sound the lamps hold the last frame.
void FramePlayer::PlayToSound() {
    constexpr std::int64_t WaitMicros = 2'000;
    const auto speed = std::int64_t(options_.SpeedPercent);
    const auto frameMicros = std::int64_t(frameMicros_);
    DmxFrame frame{};
    std::int64_t sent = -1; // counted over all loops of the sequence
    for (;;) {
        const std::uint32_t seen = wake_.Count();
        if (quit_.load()) return;
        const std::optional<SoundClock::Duration> heard = options_.Sound->ShowTime();
        std::int64_t waitMicros = WaitMicros;
        if (heard && heard->count() >= 0) {
            const std::int64_t micros = heard->count() / 1000;
            const std::int64_t number = micros / frameMicros;
            // A sound heard a little behind the frame sent holds that frame.
            if (number > sent) {
                const FrameUnpacker::Take take = unpacker_.TakeFrame(std::uint64_t(number), frame);
                if (take == FrameUnpacker::Take::Failed) return;
                if (take == FrameUnpacker::Take::Ready) {
                    sink_.Send(frame);
                    frame_.store(std::uint32_t(number % frames_), std::memory_order_relaxed);
                    sent = number;
                }
            }
            waitMicros = std::clamp((frameMicros - micros % frameMicros) * 100 / speed,
                                    std::int64_t(500), std::int64_t(FrameGapMicros));
        }
        wake_.SleepUntil(Clock::now() + std::chrono::microseconds(waitMicros), seen);
    }
}

} // namespace velkaro
