#include "fseq/FseqBytes.h"
#include "showfile/ShowFileSupport.h"

#include "files/FseqWriter.h"
#include "model/ShowError.h"
#include "model/ShowTempo.h"
#include "player/FseqExport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>

namespace velkaro {
namespace {

using testing::ReadBackFseq;
using testing::ReadBytes;
using testing::TempFolder;

constexpr int Steps = 3;
constexpr int StepLength = 5;

// Three steps with colours on outputs 1, 2 and 168, and the outputs past Outputs lit as well:
// a sequence carries all 168 as a save stores them.
std::unique_ptr<Grid> SmallShow() {
    auto cells = NewGrid();
    for (int step = 0; step < Steps; ++step) {
        cells->At(step, 0) = RGB(step * 100, 255 - step * 100, 7);
        cells->At(step, 1) = RGB(0, 0, step == 1 ? 255 : 0);
        cells->At(step, 167) = RGB(13 * step, 1, 250);
    }
    return cells;
}

// What the lamps get n × 25 ms into the show, worked out from the rules of play themselves:
// a step lasts StepLength tenths; a fade runs over the whole step, half fade half hold over
// its first half; the last step goes over into the first.
DmxFrame ExpectedFrame(const Grid& cells, int blendMode, std::uint32_t n) {
    const double ticks = n / 4.0;
    const int step = static_cast<int>(ticks / StepLength) % Steps;
    const double into = std::fmod(ticks, StepLength) / StepLength;
    double t = into;
    if (blendMode == HoldMode) t = 0;
    if (blendMode == HalfFadeHalfHoldMode) t = std::min(2 * into, 1.0);
    DmxFrame frame{};
    for (int g = 0; g < MaxOutputs; ++g) {
        const TColor from = cells.At(step, g);
        const TColor to = cells.At((step + 1) % Steps, g);
        for (int c = 0; c < 3; ++c) {
            const int shift = 8 * c;
            frame[3 * g + c] = static_cast<std::uint8_t>(
                BlendChannelValue((from >> shift) & 255, (to >> shift) & 255, t));
        }
    }
    return frame;
}

std::uint64_t MicrosNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class FseqExport : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(FseqExport, HeaderAndEveryFrameFollowTheShowAsPlayed) {
    const auto [blendMode, compress] = GetParam();
    TempFolder folder;
    const auto cells = SmallShow();
    const ShowSettings settings{2, Steps, StepLength, blendMode};
    const std::uint64_t before = MicrosNow();
    ExportFseq(folder / "show.fseq", *cells, settings, false, compress);
    const ReadBackFseq file(ReadBytes(folder / "show.fseq"));

    EXPECT_EQ(file.Major, 2);
    EXPECT_EQ(file.Minor, 0);
    EXPECT_EQ(file.DataOffset % 4, 0u);
    EXPECT_EQ(file.HeaderLength, 32u + 8u * file.Blocks);
    EXPECT_EQ(file.Channels, 512u);
    EXPECT_EQ(file.Frames, std::uint32_t(Steps * StepLength * 4));
    EXPECT_EQ(file.FrameMs, 25);
    EXPECT_EQ(file.Compression, compress ? 1 : 0);
    EXPECT_EQ(file.Sparse, 0);
    EXPECT_EQ(file.Producer, "Velkaro 1.07");
    EXPECT_GE(file.UniqueId, before);
    EXPECT_LE(file.UniqueId, MicrosNow());
    if (compress) {
        // 60 frames: a first block of 10, then one of the rest.
        ASSERT_EQ(file.Blocks, 2);
        EXPECT_EQ(file.BlockIndex[0].first, 0u);
        EXPECT_EQ(file.BlockIndex[1].first, 10u);
    } else {
        EXPECT_EQ(file.Blocks, 0);
        EXPECT_EQ(ReadBytes(folder / "show.fseq").size(), file.DataOffset + 60u * 512u);
    }
    ASSERT_EQ(file.Data.size(), std::size_t(file.Frames) * 512);
    for (std::uint32_t n = 0; n < file.Frames; ++n) {
        const DmxFrame expected = ExpectedFrame(*cells, blendMode, n);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), file.Frame(n))) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryBlendMode, FseqExport,
                         ::testing::Combine(::testing::Values(FadeMode, HoldMode,
                                                              HalfFadeHalfHoldMode),
                                            ::testing::Bool()));

TEST(FseqExportLayout, SingleColourShowsUseOneChannelPerOutput) {
    TempFolder folder;
    auto cells = NewGrid();
    cells->At(0, 4) = MonoGrey(200);
    cells->At(0, 167) = MonoGrey(9);
    ExportFseq(folder / "mono.fseq", *cells, {1, 1, 1, HoldMode}, true, false);
    const ReadBackFseq file(ReadBytes(folder / "mono.fseq"));
    ASSERT_EQ(file.Frames, 4u);
    EXPECT_EQ(file.Frame(3)[4], 200);
    EXPECT_EQ(file.Frame(3)[167], 9);
    EXPECT_EQ(std::count(file.Frame(3), file.Frame(3) + 512, 0), 510);
}

TEST(FseqExportLayout, At128BpmStepKBeginsWithTheFrameAtKBeats) {
    TempFolder folder;
    constexpr int TempoSteps = 64;
    auto cells = NewGrid();
    for (int step = 0; step < TempoSteps; ++step) cells->At(step, 0) = RGB(step + 1, 0, 0);
    const ShowTempo tempo{128, 1};
    const ShowSettings settings{1, TempoSteps, TempoStepLength(tempo), HoldMode};
    ExportFseq(folder / "beat.fseq", *cells, settings, false, false, {},
               TickLengthOf(tempo, settings.StepLength));
    const ReadBackFseq file(ReadBytes(folder / "beat.fseq"));
    // 64 beats of 468.75 ms are exactly 1200 frames of 25 ms.
    ASSERT_EQ(file.Frames, 1200u);
    int firstFrameOfStep = 0;
    for (std::uint32_t n = 0; n < file.Frames; ++n) {
        const int step = int(std::floor(n * 25.0 / 468.75));
        ASSERT_EQ(file.Frame(n)[0], step + 1) << "frame " << n;
        if (step == firstFrameOfStep) {
            // The first frame of step k is the first one at or after k x 468.75 ms.
            ASSERT_EQ(n, std::uint32_t(std::ceil(step * 18.75))) << "step " << step;
            ++firstFrameOfStep;
        }
    }
    EXPECT_EQ(firstFrameOfStep, TempoSteps);
}

TEST(FseqExportLayout, NamesTheSongByItsFileNameOnly) {
    TempFolder folder;
    const auto cells = SmallShow();
    const ShowSettings settings{2, Steps, StepLength, FadeMode};
    for (const bool compress : {false, true}) {
        ExportFseq(folder / "song.fseq", *cells, settings, false, compress,
                   "/home/show/Musik/Weihnachtslied Nr. 1.mp3");
        const ReadBackFseq file(ReadBytes(folder / "song.fseq"));
        EXPECT_EQ(file.MediaFile, "Weihnachtslied Nr. 1.mp3");
        EXPECT_TRUE(file.MediaFileEndsInNul);
        EXPECT_EQ(file.Producer, "Velkaro 1.07");
        EXPECT_EQ(file.DataOffset % 4, 0u);
        const DmxFrame expected = ExpectedFrame(*cells, FadeMode, 7);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.Frame(7)));
    }
    // Without a song there is no such header at all.
    ExportFseq(folder / "plain.fseq", *cells, settings, false, false);
    EXPECT_EQ(ReadBackFseq(ReadBytes(folder / "plain.fseq")).MediaFile, "");
}

TEST(FseqExportLayout, LongShowsKeepTo255BlocksOfWholeFrames) {
    TempFolder folder;
    const auto cells = SmallShow();
    // 1,000 steps of a second: 40,000 frames, more than 255 blocks of 64 KiB.
    ExportFseq(folder / "long.fseq", *cells, {168, 1000, 10, FadeMode}, false, true);
    const ReadBackFseq file(ReadBytes(folder / "long.fseq"));
    EXPECT_EQ(file.Frames, 40000u);
    EXPECT_LE(file.Blocks, 255);
    EXPECT_EQ(file.BlockIndex[1].first, 10u);
    EXPECT_EQ(file.Data.size(), 40000u * 512u);
}

// A disk that fills up after `room` bytes.
struct FillingDisk : FileSystem {
    std::size_t room;
    explicit FillingDisk(std::size_t r) : room(r) {}
    ssize_t Write(int fd, const void* buffer, std::size_t count) override {
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        count = std::min(count, room);
        room -= count;
        return FileSystem::Write(fd, buffer, count);
    }
};

TEST(FseqExportFailure, NamesTheFileAndLeavesNothingBehind) {
    TempFolder folder;
    // Noise, which no compression shrinks below the room on the disk.
    std::mt19937 random(7);
    const auto blank = [&random](std::uint32_t, DmxFrame& frame) {
        for (auto& channel : frame) channel = static_cast<std::uint8_t>(random());
    };
    testing::WriteBytes(folder / "old.fseq", {1, 2, 3});
    for (const bool compress : {false, true}) {
        FillingDisk disk(5000);
        FseqWriteOptions options;
        options.Compress = compress;
        try {
            WriteFseq(folder / "old.fseq", 400, blank, options, disk);
            ADD_FAILURE() << "a full disk went unnoticed";
        } catch (const ShowError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Die FSEQ-Datei " + (folder / "old.fseq") +
                          " konnte nicht geschrieben werden: " + "Zu wenig Speicherplatz");
        }
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"old.fseq"});
        EXPECT_EQ(ReadBytes(folder / "old.fseq"), (testing::Bytes{1, 2, 3}));
    }
    EXPECT_THROW(WriteFseq(folder / "no/such/folder.fseq", 4, blank), ShowError);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"old.fseq"});
}

} // namespace
} // namespace velkaro
