#include "fseq/FseqBytes.h"
#include "showfile/ShowFileSupport.h"

#include "files/FseqReader.h"
#include "model/ShowError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace velkaro {
namespace {

using testing::FseqBytes;
using testing::HandMadeFseq;
using testing::MemoryFile;
using testing::TempFolder;

// Frames whose every byte tells where it came from: frame f, channel c holds f * 16 + c.
std::vector<FseqBytes> CountingFrames(int frames, int channels) {
    std::vector<FseqBytes> result;
    for (int f = 0; f < frames; ++f) {
        FseqBytes frame(channels);
        for (int c = 0; c < channels; ++c) frame[c] = static_cast<std::uint8_t>(f * 16 + c);
        result.push_back(frame);
    }
    return result;
}

// Opens the bytes and reads every frame; the message of the refusal, or "" when it played.
std::string PlayAll(const FseqBytes& bytes) {
    MemoryFile file(bytes);
    try {
        FseqReader reader("damaged.fseq", file);
        DmxFrame frame;
        for (std::uint32_t n = 0; n < reader.Frames(); ++n) reader.ReadFrame(n, frame);
    } catch (const ShowError& error) {
        return error.what();
    }
    return "";
}

HandMadeFseq SparseWithHeaders() {
    HandMadeFseq fseq;
    fseq.Frames = CountingFrames(3, 7);
    // Channels 11..13 and 510..513 (the last past the universe, which a frame is cut to).
    fseq.Sparse = {{10, 3}, {509, 4}};
    fseq.Headers = {{"mf", "song.mp3"}, {"zz", "unknown to us"}, {"sp", "elsewhere", true}};
    fseq.ExtraPadding = 8;
    return fseq;
}

DmxFrame SparseFrame(int f) {
    DmxFrame frame{};
    for (int c = 0; c < 3; ++c) frame[10 + c] = static_cast<std::uint8_t>(f * 16 + c);
    for (int c = 0; c < 3; ++c) frame[509 + c] = static_cast<std::uint8_t>(f * 16 + 3 + c);
    return frame;
}

TEST(FseqReader, PutsSparseRangesBackAndFollowsEveryVariableHeader) {
    for (const int compression : {0, 1, 2}) {
        HandMadeFseq fseq = SparseWithHeaders();
        fseq.Compression = compression;
        if (compression) fseq.BlockStarts = {0, 1};
        fseq.UnusedBlockSlots = compression ? 2 : 0;
        MemoryFile file(fseq.Build());
        FseqReader reader("hand.fseq", file);
        EXPECT_EQ(reader.Frames(), 3u);
        EXPECT_EQ(reader.FrameTimeMs(), 50);
        EXPECT_EQ(reader.Compression(), compression);
        ASSERT_EQ(reader.VariableHeaders().size(), 3u);
        EXPECT_EQ(reader.VariableHeaders()[0].Code, "mf");
        EXPECT_EQ(reader.VariableHeaders()[1].Code, "zz");
        EXPECT_EQ(reader.VariableHeaders()[2].Code, "sp");
        const auto& producer = reader.VariableHeaders()[2].Data;
        EXPECT_EQ(std::string(producer.begin(), producer.end()), std::string("elsewhere", 10));
        // In any order, as a player that is started in the middle reads them.
        for (const int f : {2, 0, 1, 1}) {
            DmxFrame frame;
            reader.ReadFrame(f, frame);
            EXPECT_EQ(frame, SparseFrame(f)) << "compression " << compression << ", frame " << f;
        }
    }
}

TEST(FseqReader, ReadsVersionOneAndCutsWideFramesToOneUniverse) {
    HandMadeFseq fseq;
    fseq.Major = 1;
    fseq.FrameMs = 25;
    fseq.Frames = CountingFrames(2, 600);
    fseq.Headers = {{"mf", "a.mp3"}};
    MemoryFile file(fseq.Build());
    FseqReader reader("old.fseq", file);
    EXPECT_EQ(reader.MajorVersion(), 1);
    EXPECT_EQ(reader.ChannelsPerFrame(), 600u);
    DmxFrame frame;
    reader.ReadFrame(1, frame);
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), fseq.Frames[1].begin()));
}

TEST(FseqReader, RefusesFilesThatContradictThemselves) {
    const auto refused = [](FseqBytes bytes, const std::string& fault) {
        const std::string message = PlayAll(bytes);
        EXPECT_EQ(message.rfind("Die FSEQ-Datei damaged.fseq kann nicht gelesen werden: ", 0), 0u)
            << message;
        EXPECT_NE(message.find(fault), std::string::npos) << message;
    };
    HandMadeFseq plain;
    plain.Frames = CountingFrames(4, 512);
    FseqBytes bytes = plain.Build();
    refused(FseqBytes(bytes.begin(), bytes.end() - 1), "über das Dateiende");
    FseqBytes moreFrames = bytes;
    testing::PutLE(moreFrames, 14, 5, 4);
    refused(moreFrames, "über das Dateiende");
    FseqBytes offsetPastEnd = bytes;
    testing::PutLE(offsetPastEnd, 4, 0xfffc, 2);
    refused(offsetPastEnd, "Beginn der Bilder");
    FseqBytes version3 = bytes;
    version3[7] = 3;
    refused(version3, "Version 3.0");
    refused(FseqBytes{'P', 'S', 'E', 'Q'}, "keine FSEQ-Datei");

    HandMadeFseq packed = plain;
    packed.Compression = 1;
    packed.BlockStarts = {0, 2};
    FseqBytes blocks = packed.Build();
    FseqBytes blockPastEnd = blocks;
    testing::PutLE(blockPastEnd, 44, 100000, 4);
    refused(blockPastEnd, "Dateiende");
    FseqBytes framesBeyondBlocks = blocks;
    testing::PutLE(framesBeyondBlocks, 40, 9, 4); // the second block starts past the last frame
    refused(framesBeyondBlocks, "Blockverzeichnis");
    FseqBytes tooFewFrames = blocks;
    testing::PutLE(tooFewFrames, 14, 6, 4); // the blocks hold only 4 frames
    refused(tooFewFrames, "hält nicht seine Bilder");
}

// Cut and scrambled files of every kind end in a refusal or in frames, never in a crash (the
// sanitizer build runs this too).
TEST(FseqReader, SurvivesTruncationsAndFlippedBytes) {
    std::vector<FseqBytes> valid;
    for (const int compression : {0, 1, 2}) {
        HandMadeFseq fseq = SparseWithHeaders();
        fseq.Compression = compression;
        if (compression) fseq.BlockStarts = {0, 2};
        valid.push_back(fseq.Build());
    }
    std::mt19937 random(20261208);
    for (const FseqBytes& bytes : valid) {
        for (std::size_t size = 0; size < bytes.size(); ++size)
            EXPECT_NE(PlayAll(FseqBytes(bytes.begin(), bytes.begin() + size)), "") << size;
        for (int trial = 0; trial < 3000; ++trial) {
            FseqBytes damaged = bytes;
            const int flips = 1 + trial % 4;
            for (int i = 0; i < flips; ++i)
                damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
            PlayAll(damaged);
        }
    }
}

TEST(FseqReader, NamesAMissingFile) {
    TempFolder folder;
    try {
        FseqReader reader(folder / "missing.fseq");
        FAIL();
    } catch (const ShowError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Die FSEQ-Datei " + (folder / "missing.fseq") +
                      " kann nicht gelesen werden: Datei nicht gefunden");
    }
}

} // namespace
} // namespace velkaro
