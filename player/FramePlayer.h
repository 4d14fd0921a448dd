#pragma once

#include "files/FseqReader.h"
#include "output/FrameSink.h"
#include "model/SoundClock.h"
#include "playback/WakeSignal.h"
#include "player/FrameUnpacker.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace velkaro {

struct SequencePlayOptions {
    int SpeedPercent = 100;   // 25..400: time runs this much faster than the sequence says
    std::uint64_t Passes = 0; // 0: until Stop
    // Called on the player's thread once the passes are played or a frame could not be read.
    std::function<void()> OnFinished;
    // With a song: each frame goes out when the song's sound reaches it (Passes then count
    // nothing; the song's player ends play).
    SoundClock* Sound = nullptr;
};

// Plays an FSEQ sequence to a sink on a thread of its own, frame by frame at the sequence's
// frame time, in a loop. The thread sleeps to absolute deadlines under real-time scheduling
// where the system grants it; woken late it goes on with the frame due then rather than rushing
// through the ones it missed, and it never sends more than 50 frames a second. It reads no
// file: the frames come unpacked ahead from a thread of normal priority, and a frame that is
// not ready in time is left out rather than waited for.
class FramePlayer {
public:
    FramePlayer(FseqReader& sequence, FrameSink& sink, const SequencePlayOptions& options);
    // Stops and ends the thread.
    ~FramePlayer();
    FramePlayer(const FramePlayer&) = delete;
    FramePlayer& operator=(const FramePlayer&) = delete;

    // Any thread; no frame goes out after it returns... once the thread noticed, at once.
    void Stop();
    bool Finished() const { return finished_.load(); }
    // The frame sent last.
    std::uint32_t Frame() const { return frame_.load(std::memory_order_relaxed); }
    // The fault that ended play, if one did (the file changed under the player).
    std::optional<std::string> Failure() const;

private:
    void Run();
    bool WaitForFirstFrame();
    void Play();
    void PlayToSound();
    std::uint64_t NextMoment(std::uint64_t moment) const;

    FrameSink& sink_;
    SequencePlayOptions options_;
    std::uint64_t frameMicros_;
    std::uint64_t passMicros_;
    std::uint32_t frames_; // of one pass, at least 1

    WakeSignal wake_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::uint32_t> frame_{0};
    FrameUnpacker unpacker_;
    std::thread thread_;
};

} // namespace velkaro
