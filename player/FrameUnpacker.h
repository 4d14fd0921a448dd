#pragma once

#include "files/FseqReader.h"
#include "model/DmxFrame.h"
#include "playback/WakeSignal.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace velkaro {

// Reads a sequence's frames in order, pass after pass, on a thread of normal priority, and
// keeps the next ones ready: unpacking a compressed block (a megabyte and more, with a context
// of its own) takes far longer than a frame may, and must never run on the thread that keeps
// the lamps' time. That thread only takes ready frames: no file, no allocation, no waiting.
class FrameUnpacker {
public:
    // Frames ready ahead: more than a second of play at 400 % before a block's unpacking could
    // make one late, a quarter megabyte of memory.
    static constexpr std::size_t Depth = 512;

    // Reads `frames` frames (counted over all passes; 0: without end) and wakes `ready` once
    // it is Primed.
    FrameUnpacker(FseqReader& sequence, std::uint64_t frames, WakeSignal& ready);
    ~FrameUnpacker();
    FrameUnpacker(const FrameUnpacker&) = delete;
    FrameUnpacker& operator=(const FrameUnpacker&) = delete;

    enum class Take { Ready, NotYet, Failed };
    // The player's thread: frame `number` (over all passes) when it is ready, dropping the
    // ones before it. Numbers only go up. Failed once reading failed and every frame read
    // before was taken.
    Take TakeFrame(std::uint64_t number, DmxFrame& frame);
    // Whether play may begin: half the queue is ready, or all there is, or reading failed.
    // A lead, not a single frame, so that an unpacker that loses its core right after the
    // first frame does not leave the second one missing.
    bool Primed() const;
    std::optional<std::string> Failure() const;

private:
    struct Slot {
        std::uint64_t Number = 0;
        DmxFrame Frame{};
    };

    void Run();
    void Unpack();
    bool WaitForRoom(std::uint64_t tail);

    FseqReader& sequence_;
    const std::uint64_t frames_;
    WakeSignal& ready_;
    WakeSignal room_;
    std::array<Slot, Depth> slots_{};
    std::atomic<std::uint64_t> head_{0}; // the next slot to take; the player's
    std::atomic<std::uint64_t> tail_{0}; // the next slot to fill; the unpacker's
    std::atomic<bool> quit_{false};
    std::atomic<bool> failed_{false};
    std::atomic<bool> done_{false}; // every frame asked for was read
    mutable std::mutex failureMutex_;
    std::optional<std::string> failure_;
    std::thread thread_;
};

} // namespace velkaro
