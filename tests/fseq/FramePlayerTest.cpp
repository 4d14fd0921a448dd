// The player of FSEQ sequences keeps the lamps' thread free of files: frames come unpacked
// ahead from a thread of normal priority, and a fault there ends play with a message.
#include "fseq/FseqBytes.h"
#include "showfile/ShowFileSupport.h"

#include "files/FseqReader.h"
#include "player/FramePlayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using testing::FseqBytes;
using testing::HandMadeFseq;

pid_t ThreadId() {
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

// Serves the file from memory, notes which threads read it, and once told runs out of memory
// at the first read from an offset on.
class WatchedFile : public testing::MemoryFile {
public:
    using MemoryFile::MemoryFile;
    void FailFrom(std::size_t offset) { failFrom_ = offset; }
    ssize_t ReadAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override {
        {
            std::lock_guard lock(mutex_);
            readers_.insert(ThreadId());
        }
        if (std::size_t(offset) >= failFrom_) throw std::bad_alloc();
        return MemoryFile::ReadAt(fd, buffer, count, offset);
    }
    std::set<pid_t> Readers() const {
        std::lock_guard lock(mutex_);
        return readers_;
    }

private:
    std::atomic<std::size_t> failFrom_{SIZE_MAX};
    mutable std::mutex mutex_;
    std::set<pid_t> readers_;
};

class RecordingSink : public FrameSink {
public:
    void Send(const DmxFrame& frame) override {
        std::lock_guard lock(mutex_);
        senders_.insert(ThreadId());
        frames_.push_back(frame);
    }
    std::vector<DmxFrame> Frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::set<pid_t> Senders() const {
        std::lock_guard lock(mutex_);
        return senders_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<DmxFrame> frames_;
    std::set<pid_t> senders_;
};

// Twelve frames of 40 ms in two zstd blocks; frame f lights channel f with f + 1.
HandMadeFseq TwoBlocks() {
    HandMadeFseq fseq;
    fseq.FrameMs = 40;
    fseq.Compression = 1;
    fseq.BlockStarts = {0, 6};
    fseq.Sparse = {{0, 12}};
    for (int f = 0; f < 12; ++f) {
        FseqBytes frame(12, 0);
        frame[std::size_t(f)] = std::uint8_t(f + 1);
        fseq.Frames.push_back(frame);
    }
    return fseq;
}

int FrameNumber(const DmxFrame& frame) {
    for (int c = 0; c < 12; ++c)
        if (frame[std::size_t(c)] == c + 1) return c;
    return -1;
}

// Plays one pass and returns once the player has finished.
void PlayOnce(WatchedFile& file, std::size_t failFrom, RecordingSink& sink,
              std::optional<std::string>& failure) {
    FseqReader sequence("two.fseq", file);
    file.FailFrom(failFrom);
    SequencePlayOptions options;
    options.Passes = 1;
    FramePlayer player(sequence, sink, options);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!player.Finished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(player.Finished());
    failure = player.Failure();
}

TEST(FramePlayer, UnpacksOffTheSendingThreadAndEndsWithAMessageWhenReadingFails) {
    const HandMadeFseq fseq = TwoBlocks();
    const FseqBytes bytes = fseq.Build();
    const std::size_t secondBlock = bytes.size() - fseq.Blocks().back().size();

    // Every frame in order, none twice; the file is never read where the frames are sent.
    {
        WatchedFile file(bytes);
        RecordingSink sink;
        std::optional<std::string> failure;
        PlayOnce(file, SIZE_MAX, sink, failure);
        EXPECT_EQ(failure, std::nullopt);
        const std::vector<DmxFrame> frames = sink.Frames();
        ASSERT_FALSE(frames.empty());
        for (std::size_t i = 1; i < frames.size(); ++i)
            EXPECT_LT(FrameNumber(frames[i - 1]), FrameNumber(frames[i])) << "frame " << i;
        EXPECT_EQ(FrameNumber(frames.front()), 0);
        ASSERT_EQ(sink.Senders().size(), 1u);
        for (const pid_t reader : file.Readers())
            EXPECT_NE(reader, *sink.Senders().begin()) << "a file read on the sending thread";
    }
    // Memory running out while the second block is unpacked: the first block's frames went
    // out, then play ends with a German message instead of ending the program.
    {
        WatchedFile file(bytes);
        RecordingSink sink;
        std::optional<std::string> failure;
        PlayOnce(file, secondBlock, sink, failure);
        EXPECT_EQ(failure, "Zu wenig Arbeitsspeicher");
        const std::vector<DmxFrame> frames = sink.Frames();
        ASSERT_FALSE(frames.empty());
        EXPECT_LE(FrameNumber(frames.back()), 5);
    }
}

} // namespace
} // namespace velkaro
