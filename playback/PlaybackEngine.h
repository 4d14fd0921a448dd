#pragma once

#include "model/DmxFrame.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"
#include "output/FrameSink.h"
#include "output/RealTime.h"
#include "playback/PlaybackTimeline.h"
#include "model/SeqLockSlot.h"
#include "playback/ShowMailbox.h"
#include "model/SoundClock.h"
#include "playback/WakeSignal.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace velkaro {

// Told on the engine's thread after every tick, once the tick's frame went out, with the
// tick's position. It runs on the real-time path, so it must neither allocate, nor lock, nor
// wait: a store, an eventfd's write (the engine's Position would wait for a preempted owner).
class TickListener {
public:
    virtual void OnEngineTick(const PlayPosition& position) noexcept = 0;

protected:
    ~TickListener() = default;
};

// Plays the show to the lamps on a thread of its own, so they never wait for whoever owns the
// engine (the window, or the headless player). It keeps the show's timeline by the preview's
// rules and renders every frame at its own deadline: 50 a second, plus one exactly at every
// tick, from its own copy of the show, with all 168 outputs in the show file's channel layout.
//
// The owner publishes edits and commands; none of them waits for the engine's thread, and the
// thread holds no lock while it renders. An edit goes out with the next frame; commands (play,
// stop, speed, rewind, a step by hand, sending) wake the thread and show at once.
class PlaybackEngine {
public:
    static constexpr int RealTimePriority = 10;

    // Starts the thread: playing at 100 % an empty show, sending nothing.
    explicit PlaybackEngine(FrameSink& sink);
    // Ends the thread promptly.
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // The owner's calls. Copies the rows play can reach (Steps of them, or more while play is
    // still finishing a step past a lowered Steps), and of those only the ones written since
    // they were last copied: an edit of one row is a copy of one row. Returns the rows copied.
    int PublishShow(const Grid& cells, const ShowSettings& settings, bool monoMode);
    // Stopping holds the newest tick's position, resuming goes on from it.
    void SetPlaying(bool playing);
    // Stops and holds `position`, which a viewer of the play showed last: the lamps then hold
    // what it shows, even if the thread ticked on before the viewer caught up.
    void StopAt(const PlayPosition& position);
    bool IsPlaying() const { return playing_.load(std::memory_order_relaxed); }
    // 25..400 %; a tick every PreviewIntervalMs(percent).
    void SetSpeed(int percent);
    int Speed() const { return speed_.load(std::memory_order_relaxed); }
    // One tick at 100 % speed: 100 ms, or the share of a step locked to a tempo
    // (TickLengthOf). The song's clock counts in the same ticks.
    void SetTickLength(std::chrono::nanoseconds tick);
    std::chrono::nanoseconds TickLength() const {
        return std::chrono::nanoseconds(tickNs_.load(std::memory_order_relaxed));
    }
    // Back to step 0 tick 0 and Ticks 0, shown on the lamps at once for a whole tick.
    void Rewind();
    // Advances one tick by hand (meant while stopped), with the settings last published.
    void StepOneTick();
    // Renders and sends frames only while on.
    void SetSending(bool on);
    // Sending ends by itself at the tick that counts `ticks` since the last rewind, before that
    // tick's frame goes out; 0 (the start value) plays on without end.
    void SetEndTick(std::uint64_t ticks);
    bool IsSending() const { return sending_.load(std::memory_order_relaxed); }

    // The newest tick's position; after Rewind, StepOneTick or a stop, the position asked for
    // even before the thread took it up. Lock-free; safe from any thread.
    PlayPosition Position() const;

    // nullptr for none. Returns once a call under way to the listener before has returned.
    void SetTickListener(TickListener* listener);

    // With a song: the show's time comes from where its sound is, so lamps and sound keep one
    // pace; nullptr goes back to the engine's own clock. Returns once the engine's thread no
    // longer uses the clock it had, so that clock may go away then.
    void SetSoundClock(SoundClock* clock);

    // What the thread was granted; None until it asked.
    RealTimeGrant Grant() const { return grant_.load(); }
    std::uint64_t FramesSent() const { return framesSent_.load(std::memory_order_relaxed); }

private:
    struct SeekOrder {
        std::uint64_t Sequence = 0;
        PlayPosition Target;
    };
    struct PositionReport {
        std::uint64_t SeekApplied = 0;
        PlayPosition Position;
    };
    class Loop;

    void Seek(const PlayPosition& target);
    // The engine's thread: false without a clock; otherwise what the clock hears.
    bool ListenToSound(std::optional<SoundClock::Duration>& heard);
    void Run();
    void NotifyTick(const PlayPosition& position);

    FrameSink& sink_;
    ShowMailbox mailbox_;
    WakeSignal wake_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> playing_{true};
    std::atomic<bool> sending_{false};
    std::atomic<std::uint64_t> endTick_{0};
    std::atomic<int> speed_{100};
    std::atomic<std::int64_t> tickNs_{100'000'000};
    SeqLockSlot<SeekOrder> seek_;
    SeqLockSlot<PositionReport> position_;
    std::atomic<RealTimeGrant> grant_{RealTimeGrant::None};
    std::atomic<std::uint64_t> framesSent_{0};

    // The owner's: the settings last published and the count of its seek orders.
    ShowSettings published_;
    std::uint64_t seeks_ = 0;

    std::atomic<TickListener*> listener_{nullptr};
    std::atomic<int> notifying_{0}; // the thread is inside a listener's call
    std::atomic<SoundClock*> sound_{nullptr};
    std::atomic<int> listening_{0}; // the thread is asking the sound clock

    std::thread thread_;
};

} // namespace velkaro
