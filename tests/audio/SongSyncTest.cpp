// The engine following a song's sound: a click track through a private sound server's null
// sink, its monitor recorded, and the lamps recorded by a second OLA client on a private olad.
#include "audio/SongPlayer.h"
#include "audio/SoundServer.h"
#include "output/LiveOutputSender.h"
#include "output/OladFixture.h"
#include "playback/PlaybackEngine.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int Steps = 8;
constexpr int StepLength = 5; // half a second
constexpr double SongStart = 0.3;
// A step change and the click it belongs to may lie this far apart: many times what a busy
// machine adds, far less than the half second between clicks.
constexpr auto Bound = 60ms;

std::uint8_t RedOfStep(int step) {
    return static_cast<std::uint8_t>(10 + 30 * step);
}

// The lamps' changes of step, with the step each change went to; the black of a sender that
// starts is none of the show's steps.
std::vector<std::pair<Clock::time_point, int>>
StepChanges(const testing::DmxReceiver::Frames& frames) {
    std::vector<std::pair<Clock::time_point, int>> changes;
    int shown = -1;
    for (const auto& frame : frames) {
        if (frame.Data[0] == 0) continue;
        const int step = (frame.Data[0] - 10) / 30;
        if (shown >= 0 && step != shown) changes.emplace_back(frame.At, step);
        shown = step;
    }
    return changes;
}

class SongSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(olad.Start()) << olad.Log();
        ASSERT_TRUE(sound.Start()) << sound.Log();
        for (int step = 0; step < Steps; ++step) cells->At(step, 0) = RGB(RedOfStep(step), 0, 0);
        // A click at every step change of one pass and at the return to step 0.
        for (int k = 1; k <= Steps; ++k) clicks.push_back(SongStart + 0.5 * k);
        testing::WriteClickTrack(folder + "/clicks.wav", clicks, SongStart + 0.5 * Steps + 0.3);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Plays the song at `songPercent` with the engine at 100 % and checks every click against
    // its step change on the lamps.
    void PlayAndCompare(int songPercent) {
        testing::SinkRecorder heard(sound);
        testing::DmxReceiver lamps(olad.Port(), 1);
        ASSERT_TRUE(lamps.WaitRegistered());
        // The measuring chain keeps up when other tests load the machine.
        olad.MakeRealTime(8);
        lamps.MakeRealTime(8);
        for (int i = 0; i < 200 && !heard.Hearing(); ++i) std::this_thread::sleep_for(10ms);
        LiveOutputSender sender(olad.Port());
        sender.Start(1);
        PlaybackEngine engine(sender);
        SongPlayer song(folder + "/clicks.wav", sound.SinkDescription());
        song.SetShowPlacement(std::chrono::milliseconds(int(SongStart * 1000)), {});
        engine.PublishShow(*cells, ShowSettings{1, Steps, StepLength, HoldMode}, false);
        engine.SetSoundClock(&song);
        engine.SetSending(true);
        song.PlayFrom({}, songPercent);
        for (int i = 0; i < 1000 && !song.Ended(); ++i) std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(200ms);
        engine.SetSoundClock(nullptr);

        const auto changes = StepChanges(lamps.Received());
        const auto clicked = heard.Clicks();
        ASSERT_EQ(clicked.size(), clicks.size()) << "the sink played every click once";
        ASSERT_EQ(changes.size(), clicks.size()) << "one step change for every click";
        for (std::size_t k = 0; k < changes.size(); ++k) {
            EXPECT_EQ(changes[k].second, int(k + 1) % Steps) << "change " << k;
            const auto apart = changes[k].first - clicked[k];
            EXPECT_LT(apart, Bound) << "change " << k << " came "
                                    << std::chrono::duration<double, std::milli>(apart).count()
                                    << " ms after its click";
            EXPECT_GT(apart, -Bound) << "change " << k << " came "
                                     << std::chrono::duration<double, std::milli>(-apart).count()
                                     << " ms before its click";
        }
    }

    testing::OladProcess olad;
    testing::SoundServer sound;
    std::unique_ptr<Grid> cells = NewGrid();
    std::vector<double> clicks;
    std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-song-XXXXXX");
        return std::string(::mkdtemp(pattern.data()));
    }();
};

TEST_F(SongSyncTest, EveryClickHasItsStepChangeInOrder) {
    PlayAndCompare(100);
}

// The song runs 5 % slow against the engine's own speed: the steps go with the sound, half a
// second of song apart, not half a second of the engine's clock (that would put the last
// change 180 ms early).
TEST_F(SongSyncTest, TheLampsFollowASlowSongNotAClockOfTheirOwn) {
    PlayAndCompare(95);
}

} // namespace
} // namespace velkaro
