// The click on the beat: mixed into the song's samples on the song's own sample count, and
// heard where the beats of the song are, written out by the media framework to a file.
#include "audio/BeatClick.h"
#include "audio/SongPlayer.h"
#include "audio/SoundServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace velkaro {
namespace {

using namespace std::chrono_literals;

constexpr int Rate = testing::SoundServer::Rate;

// Where each click starts: the first loud sample after a tenth of a second of quiet.
std::vector<double> OnsetSeconds(const std::vector<float>& mono, int rate) {
    std::vector<double> onsets;
    std::size_t quietSince = 0;
    for (std::size_t i = 0; i < mono.size(); ++i) {
        if (std::abs(mono[i]) < 0.05f) continue;
        if (onsets.empty() || i - quietSince > std::size_t(rate / 10))
            onsets.push_back(double(i) / rate);
        quietSince = i;
    }
    return onsets;
}

// The samples of a mono 16-bit WAV, wherever its data chunk lies.
std::vector<float> ReadMonoWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t data = bytes.find("data");
    std::vector<float> samples;
    if (data == std::string::npos || data + 8 > bytes.size()) return samples;
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | std::uint8_t(bytes[data + 4 + i]);
    const std::size_t end = std::min(bytes.size(), data + 8 + size);
    for (std::size_t at = data + 8; at + 1 < end; at += 2) {
        const auto value =
            std::int16_t(std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8));
        samples.push_back(float(value) / 32768.0f);
    }
    return samples;
}

std::vector<double> BeatsBetween(const BeatGrid& grid, double from, double to) {
    std::vector<double> beats;
    for (int k = -100; k < 100; ++k) {
        const double at = (double(grid.FirstBeatNs) + k * grid.PeriodNs) / 1e9;
        if (at >= from && at < to) beats.push_back(at);
    }
    return beats;
}

TEST(SongClickTest, ClicksFallOnTheBeatsWhateverTheBuffersAndCarryOverTheirEdges) {
    const BeatGrid grid = BeatGridOf(128, 250'000'000);
    constexpr int Channels = 2;
    constexpr std::int64_t StartNs = 3'000'000'000; // a buffer from the middle of a song
    const std::size_t frames = 5 * Rate;
    std::vector<float> whole(frames * Channels, 0.01f);
    MixBeatClicks(whole.data(), frames, Channels, Rate, {StartNs}, grid);
    for (std::size_t piece : {1u, 441u, 1024u, 4099u}) {
        std::vector<float> pieces(frames * Channels, 0.01f);
        for (std::size_t at = 0; at < frames; at += piece)
            MixBeatClicks(pieces.data() + at * Channels, std::min(piece, frames - at), Channels,
                          Rate, {StartNs + std::int64_t(at) * 1'000'000'000 / Rate}, grid);
        EXPECT_EQ(pieces, whole) << "in pieces of " << piece << " frames";
    }
    std::vector<float> left;
    for (std::size_t i = 0; i < frames; ++i) left.push_back(whole[i * Channels]);
    const std::vector<double> onsets = OnsetSeconds(left, Rate);
    const std::vector<double> beats = BeatsBetween(grid, 3.0, 8.0);
    ASSERT_EQ(onsets.size(), beats.size());
    for (std::size_t k = 0; k < beats.size(); ++k)
        EXPECT_NEAR(onsets[k] + 3.0, beats[k], 1.0 / Rate) << "beat " << k;

    // At twice the speed the beats come twice as often, each tick as long as before.
    std::vector<float> fast(frames, 0.0f);
    MixBeatClicks(fast.data(), frames, 1, Rate, {StartNs, 2.0}, grid);
    const std::vector<double> fastOnsets = OnsetSeconds(fast, Rate);
    const std::vector<double> fastBeats = BeatsBetween(grid, 3.0, 13.0);
    ASSERT_EQ(fastOnsets.size(), fastBeats.size());
    for (std::size_t k = 0; k < fastBeats.size(); ++k)
        EXPECT_NEAR(fastOnsets[k] * 2 + 3.0, fastBeats[k], 2.0 / Rate) << "fast beat " << k;
    std::vector<float> slow(frames, 0.0f);
    MixBeatClicks(slow.data(), frames, 1, Rate, {StartNs}, grid);
    const auto loud = [](float sample) { return std::abs(sample) > 1e-4f; };
    EXPECT_EQ(std::count_if(fast.begin(), fast.end(), loud) * long(beats.size()),
              std::count_if(slow.begin(), slow.end(), loud) * long(fastBeats.size()));
}

class SongClickPlayTest : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-click-XXXXXX");
        return std::string(::mkdtemp(pattern.data()));
    }();
};

// Played from the middle of a silent song into a file: every click of the song's beats after
// that point, each where its beat is, at any speed.
TEST_P(SongClickPlayTest, TheSongSoundsAClickAtEachOfItsBeats) {
    const int percent = GetParam();
    testing::WriteClickTrack(folder + "/quiet.wav", {}, 4.0);
    const std::string out = folder + "/heard.wav";
    const BeatGrid grid = BeatGridOf(128, 100'000'000);
    {
        SongPlayer song(folder + "/quiet.wav",
                        "audioconvert ! audio/x-raw,format=S16LE,channels=1 "
                        "! wavenc ! filesink location=" +
                            out,
                        SongPlayer::BeatClicks::Offered);
        song.SetBeatClick(grid);
        song.PlayFrom(1s, percent);
        for (int i = 0; i < 1000 && !song.Ended(); ++i) std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(song.Ended()) << song.PlayError();
    }
    const std::vector<double> onsets = OnsetSeconds(ReadMonoWav(out), Rate);
    const std::vector<double> beats = BeatsBetween(grid, 1.0, 4.0);
    ASSERT_EQ(onsets.size(), beats.size());
    for (std::size_t k = 0; k < beats.size(); ++k)
        EXPECT_NEAR(onsets[k] * percent / 100.0 + 1.0, beats[k], 0.001) << "beat " << k;
}

INSTANTIATE_TEST_SUITE_P(Speeds, SongClickPlayTest, ::testing::Values(100, 50, 200));

} // namespace
} // namespace velkaro
