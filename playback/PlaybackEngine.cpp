#include "playback/PlaybackEngine.h"

#include "commands/LiveFrame.h"

#include <algorithm>
#include <pthread.h>

namespace velkaro {

namespace {

using Clock = PlaybackTimeline::Clock;

// A frame noticed later than this shows the moment it goes out, not the one it was due at.
constexpr Clock::duration LateFrame = PlaybackTimeline::FrameInterval;
// Play that just passed a lowered Steps finishes its step from a row beyond it; a tick or two
// may pass between reading the position and the engine taking the copy.
constexpr int RowsPastPlay = 3;
// How often a song that does not sound yet is asked whether it does.
constexpr Clock::duration SoundPoll = std::chrono::milliseconds(2);

} // namespace

// The engine's thread: applies what the owner published, ticks, renders, sleeps.
class PlaybackEngine::Loop {
public:
    explicit Loop(PlaybackEngine& engine) : engine_(engine), timeline_(Clock::now()) {}

    void Run() {
        for (;;) {
            const std::uint32_t seen = engine_.wake_.Count();
            const Clock::time_point now = Clock::now();
            if (engine_.quit_.load(std::memory_order_acquire)) return;
            bool renderNow = TakeOrders(now);
            const ShowCopy& show = engine_.mailbox_.Current();
            const bool ticked = Advance(now, show.Settings) > 0;
            if (ticked) ReportPosition();
            if (ticked && ReachedEnd()) engine_.sending_.store(false, std::memory_order_release);
            const bool sending = engine_.sending_.load(std::memory_order_acquire);
            renderNow = renderNow || (sending && !wasSending_);
            wasSending_ = sending;
            if (sending && (renderNow || timeline_.NextFrame() <= now)) Render(show, now);
            // After the frame: the step change goes out first, the listener's post after it.
            if (ticked) engine_.NotifyTick(timeline_.Position());
            Clock::time_point wake = sending ? timeline_.NextFrame() : timeline_.NextTick();
            // A song that does not sound yet is asked again soon: its start is not known ahead.
            if (timeline_.WaitingForSound()) wake = std::min(wake, now + SoundPoll);
            engine_.wake_.SleepUntil(wake, seen);
        }
    }

private:
    // Ticks on the engine's own clock, or to where the song's sound is.
    int Advance(Clock::time_point now, const ShowSettings& settings) {
        std::optional<SoundClock::Duration> heard;
        if (!engine_.ListenToSound(heard)) {
            timeline_.EndWaitForSound(now);
            return timeline_.AdvanceTo(now, settings);
        }
        if (!timeline_.IsPlaying()) return 0;
        if (!heard) {
            timeline_.WaitForSound(now);
            return 0;
        }
        return timeline_.FollowSound(*heard, now, settings);
    }

    // Returns true when something changed that the lamps should show at once.
    bool TakeOrders(Clock::time_point now) {
        bool changed = engine_.mailbox_.PickUp();
        timeline_.SetSpeed(engine_.speed_.load(std::memory_order_acquire), now);
        timeline_.SetTickLength(
            std::chrono::nanoseconds(engine_.tickNs_.load(std::memory_order_acquire)), now);
        const bool playing = engine_.playing_.load(std::memory_order_acquire);
        // A seek caught half-written by a preempted owner is taken at the next wake: the
        // owner wakes the thread once it has written it.
        SeekOrder seek{seekApplied_, {}};
        engine_.seek_.TryLoad(seek);
        if (playing != timeline_.IsPlaying()) {
            timeline_.SetPlaying(playing, now);
            changed = true;
        }
        if (seek.Sequence != seekApplied_) {
            timeline_.SeekTo(seek.Target, now);
            seekApplied_ = seek.Sequence;
            ReportPosition();
            changed = true;
        }
        return changed;
    }

    // The end is checked before the tick's frame renders, so the lamps never glimpse the
    // moment after it.
    bool ReachedEnd() const {
        const std::uint64_t end = engine_.endTick_.load(std::memory_order_acquire);
        return end != 0 && timeline_.Position().Ticks >= end;
    }

    void ReportPosition() { engine_.position_.Store({seekApplied_, timeline_.Position()}); }

    void Render(const ShowCopy& show, Clock::time_point now) {
        Clock::time_point moment = std::min(timeline_.NextFrame(), now);
        if (now - moment > LateFrame) moment = now;
        moment = std::max(moment, timeline_.LastTick());
        ShowSettings settings = show.Settings;
        const PreviewFrame frame = timeline_.MomentAt(moment, settings);
        // All outputs a show file carries go out, so a live show and its saved file look alike.
        settings.Outputs = MaxOutputs;
        ComposeLiveFrame(*show.Cells, settings, show.MonoMode, frame, frame_);
        engine_.sink_.Send(frame_);
        engine_.framesSent_.fetch_add(1, std::memory_order_relaxed);
        timeline_.FrameShown(moment);
    }

    PlaybackEngine& engine_;
    PlaybackTimeline timeline_;
    std::uint64_t seekApplied_ = 0;
    bool wasSending_ = false;
    DmxFrame frame_{};
};

PlaybackEngine::PlaybackEngine(FrameSink& sink) : sink_(sink) {
    thread_ = std::thread([this] { Run(); });
}

PlaybackEngine::~PlaybackEngine() {
    quit_.store(true, std::memory_order_release);
    wake_.Wake();
    thread_.join();
}

void PlaybackEngine::Run() {
    pthread_setname_np(pthread_self(), "velkaro-engine"); // for ps, top and the benchmarks
    grant_ = RequestRealTimeForThisThread(RealTimePriority);
    Loop(*this).Run();
}

int PlaybackEngine::PublishShow(const Grid& cells, const ShowSettings& settings, bool monoMode) {
    const int steps = std::clamp(settings.Steps, 1, MaxSteps);
    const int rows = std::max(steps, Position().PlayStep + RowsPastPlay);
    const int copied = mailbox_.Publish(cells, std::min(rows, GridRows), settings, monoMode);
    published_ = settings;
    // No wake: the thread takes the copy up before its next frame, at most 20 ms away, and
    // the owner is not made to give its core to the engine's thread for every edit.
    return copied;
}

void PlaybackEngine::SetPlaying(bool playing) {
    if (playing == playing_.load(std::memory_order_relaxed)) return;
    if (!playing) return StopAt(Position());
    playing_.store(true, std::memory_order_release);
    wake_.Wake();
}

void PlaybackEngine::StopAt(const PlayPosition& position) {
    // Held through a seek, so a tick the thread takes between these two stores is undone.
    playing_.store(false, std::memory_order_release);
    Seek(position);
}

void PlaybackEngine::SetSpeed(int percent) {
    speed_.store(std::clamp(percent, MinPreviewSpeed, MaxPreviewSpeed), std::memory_order_release);
    wake_.Wake();
}

void PlaybackEngine::SetTickLength(std::chrono::nanoseconds tick) {
    const std::int64_t ns = std::max<std::int64_t>(tick.count(), 1'000'000);
    if (tickNs_.exchange(ns, std::memory_order_acq_rel) != ns) wake_.Wake();
}

void PlaybackEngine::Rewind() {
    Seek(PlayPosition{});
}

void PlaybackEngine::StepOneTick() {
    const PlayPosition from = Position();
    PreviewClock clock(from.PlayStep, from.PlayTick);
    clock.Advance(published_.Steps, published_.StepLength, published_.BlendMode);
    Seek({clock.PlayStep(), clock.PlayTick(), from.Ticks + 1});
}

void PlaybackEngine::Seek(const PlayPosition& target) {
    seek_.Store({++seeks_, target});
    wake_.Wake();
}

void PlaybackEngine::SetEndTick(std::uint64_t ticks) {
    endTick_.store(ticks, std::memory_order_release);
}

void PlaybackEngine::SetSending(bool on) {
    sending_.store(on, std::memory_order_release);
    wake_.Wake();
}

PlayPosition PlaybackEngine::Position() const {
    const PositionReport report = position_.Load();
    const SeekOrder seek = seek_.Load();
    return report.SeekApplied == seek.Sequence ? report.Position : seek.Target;
}

// No lock the owner could hold while the thread waits for it: the owner swaps the listener
// and then waits, giving up its core, for a call under way to end. Sequentially consistent on
// both sides, so either the thread sees the new listener or the owner sees the call.
void PlaybackEngine::SetTickListener(TickListener* listener) {
    listener_.store(listener);
    while (notifying_.load() != 0) std::this_thread::yield();
}

// Swapped as the listener is, so the engine's thread never waits for the window to attach or
// take off a song.
void PlaybackEngine::SetSoundClock(SoundClock* clock) {
    sound_.store(clock);
    while (listening_.load() != 0) std::this_thread::yield();
    wake_.Wake();
}

bool PlaybackEngine::ListenToSound(std::optional<SoundClock::Duration>& heard) {
    listening_.fetch_add(1);
    SoundClock* sound = sound_.load();
    if (sound) heard = sound->ShowTime();
    listening_.fetch_sub(1, std::memory_order_release);
    return sound != nullptr;
}

void PlaybackEngine::NotifyTick(const PlayPosition& position) {
    notifying_.fetch_add(1);
    if (TickListener* listener = listener_.load()) listener->OnEngineTick(position);
    notifying_.fetch_sub(1, std::memory_order_release);
}

} // namespace velkaro
