#include "audio/SongWaveform.h"

#include "audio/SongDecoding.h"
#include "audio/SongPlayer.h"

#include <algorithm>

namespace velkaro {

namespace {

// How often the window hears of new peaks: every few seconds of song.
constexpr std::size_t BucketsPerReport = 300;

} // namespace

// Folds the decoded samples into buckets of 10 ms.
class SongWaveform::Folder {
public:
    explicit Folder(SongWaveform& waveform) : waveform_(waveform) {}

    void Run(const std::string& path) {
        DecodeSong(
            path, "audio/x-raw,format=F32LE,layout=interleaved",
            [this](const DecodedPiece& piece) { return Fold(piece); },
            [this] { return !waveform_.stop_.load(std::memory_order_relaxed); });
        if (filled_ > 0) waveform_.Append(current_);
    }

private:
    bool Fold(const DecodedPiece& piece) {
        if (samplesPerBucket_ == 0)
            samplesPerBucket_ =
                std::max<std::size_t>(1, std::size_t(std::max(piece.Rate, 100) / 100) *
                                             std::size_t(std::max(piece.Channels, 1)));
        for (std::size_t i = 0; i < piece.Count; ++i) {
            const float value = piece.Samples[i];
            if (filled_ == 0) current_ = {value, value};
            current_.Low = std::min(current_.Low, value);
            current_.High = std::max(current_.High, value);
            if (++filled_ == samplesPerBucket_ && !Flush()) return false;
        }
        return true;
    }

    bool Flush() {
        filled_ = 0;
        if (!waveform_.Append(current_)) return false;
        if (waveform_.Buckets() % BucketsPerReport == 0 && waveform_.decoded_) waveform_.decoded_();
        return true;
    }

    SongWaveform& waveform_;
    std::size_t samplesPerBucket_ = 0;
    std::size_t filled_ = 0;
    SongPeaks current_;
};

SongWaveform::SongWaveform(const std::string& path, std::function<void()> decoded)
    : decoded_(std::move(decoded)) {
    StartMediaFramework();
    thread_ = std::thread([this, path] {
        Folder(*this).Run(path);
        finished_.store(true, std::memory_order_release);
        if (decoded_) decoded_();
    });
}

SongWaveform::~SongWaveform() {
    stop_.store(true);
    thread_.join();
}

bool SongWaveform::Append(const SongPeaks& peaks) {
    const std::size_t index = buckets_.load(std::memory_order_relaxed);
    const std::size_t block = index / BlockBuckets;
    if (block >= MaxBlocks) return false;
    if (!blocks_[block]) blocks_[block] = std::make_unique<Block>();
    (*blocks_[block])[index % BlockBuckets] = peaks;
    buckets_.store(index + 1, std::memory_order_release);
    return true;
}

bool SongWaveform::PeaksBetween(Duration from, Duration to, SongPeaks& peaks) const {
    const std::size_t ready = Buckets();
    if (to <= from || to <= Duration(0)) return false;
    const auto first = std::size_t(std::max<std::int64_t>(from / BucketLength, 0));
    const auto end = std::min(ready, std::size_t((to + BucketLength - Duration(1)) / BucketLength));
    if (first >= end) return false;
    peaks = (*blocks_[first / BlockBuckets])[first % BlockBuckets];
    for (std::size_t i = first + 1; i < end; ++i) {
        const SongPeaks& bucket = (*blocks_[i / BlockBuckets])[i % BlockBuckets];
        peaks.Low = std::min(peaks.Low, bucket.Low);
        peaks.High = std::max(peaks.High, bucket.High);
    }
    return true;
}

} // namespace velkaro
