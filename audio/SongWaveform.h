#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace velkaro {

// The lowest and highest sample of a stretch of a song, over all its channels (-1..1).
struct SongPeaks {
    float Low = 0;
    float High = 0;
};

// A song's waveform for drawing: the peaks of every 10 ms, decoded on a thread of its own so
// the window never waits. The peaks show up as they are decoded, from the song's start on.
class SongWaveform {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration BucketLength = std::chrono::milliseconds(10);

    // `decoded` is called on the decoding thread now and then while peaks come in, and once at
    // the end: keep it tiny (post an event).
    explicit SongWaveform(const std::string& path, std::function<void()> decoded = {});
    // Stops the decoding.
    ~SongWaveform();
    SongWaveform(const SongWaveform&) = delete;
    SongWaveform& operator=(const SongWaveform&) = delete;

    // How much of the song has its peaks.
    Duration Decoded() const { return BucketLength * Buckets(); }
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // Merges the peaks of the song between `from` and `to` (within what is decoded); false when
    // none of that stretch is decoded (or it lies outside the song).
    bool PeaksBetween(Duration from, Duration to, SongPeaks& peaks) const;

private:
    static constexpr std::size_t BlockBuckets = 4096;
    // 24 hours of song; anything longer keeps its first day.
    static constexpr std::size_t MaxBlocks = 24 * 360000 / BlockBuckets + 1;
    using Block = std::array<SongPeaks, BlockBuckets>;
    class Folder;

    std::size_t Buckets() const { return buckets_.load(std::memory_order_acquire); }
    // The decoding thread's: appends one bucket; false when the store is full.
    bool Append(const SongPeaks& peaks);

    std::array<std::unique_ptr<Block>, MaxBlocks> blocks_{};
    std::atomic<std::size_t> buckets_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> stop_{false};
    std::function<void()> decoded_;
    std::thread thread_;
};

} // namespace velkaro
