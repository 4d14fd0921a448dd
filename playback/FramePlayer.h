#pragma once

#include "model/DmxFrame.h"
#include "playback/PlaySource.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace velkaro {

struct PlayOptions {
    int SpeedPercent = 100;   // 25..400, time runs this much faster than at 100
    std::uint64_t Passes = 0; // 0: until Stop
};

// Plays a source in a loop on the calling thread, each frame at its own deadline: a sequence
// frame by frame, a show at every tick and, while it fades, 50 times a second. The thread sleeps
// to absolute deadlines; when it wakes late it goes on with the moment it woke at rather than
// rushing through the frames it missed. No frame goes out faster than 50 a second.
class FramePlayer {
public:
    using Sink = std::function<void(const DmxFrame&)>;
    using Clock = std::chrono::steady_clock;

    FramePlayer(PlaySource& source, Sink sink, const PlayOptions& options);

    // Returns after the given number of passes, or once Stop was called (from any thread).
    void Run();
    void Stop();
    bool Finished() const;

    // Time played since Run began, in the show's time.
    std::uint64_t ShowMicros() const;

private:
    std::uint64_t WallMicros(std::uint64_t showMicros) const;
    std::uint64_t NextMoment(std::uint64_t now, std::uint64_t change) const;
    bool SleepUntil(Clock::time_point deadline);

    PlaySource& source_;
    Sink sink_;
    PlayOptions options_;
    std::uint64_t passMicros_;
    Clock::time_point start_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool finished_ = false;
    std::uint64_t played_ = 0;
};

} // namespace velkaro
