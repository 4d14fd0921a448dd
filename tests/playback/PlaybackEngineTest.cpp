// The engine on its thread with a sink of the test's own, and the mailbox it takes the show from.
#include "playback/PlaybackEngine.h"
#include "commands/LiveFrame.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace velkaro {
namespace {

using namespace std::chrono_literals;

class RecordingSink : public FrameSink {
public:
    void Send(const DmxFrame& frame) override {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
    }
    std::vector<DmxFrame> Frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    // Waits until `accept` holds for the frames so far; false after two seconds.
    template <typename Accept> bool WaitFor(Accept accept) const {
        for (auto until = std::chrono::steady_clock::now() + 2s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(2ms))
            if (accept(Frames())) return true;
        return false;
    }

private:
    mutable std::mutex mutex_;
    std::vector<DmxFrame> frames_;
};

DmxFrame StepOnLamps(const Grid& cells, const ShowSettings& settings, int step) {
    ShowSettings all = settings;
    all.Outputs = MaxOutputs;
    DmxFrame frame{};
    ComposeLiveFrame(cells, all, false, PreviewFrame{step, step, 0.0}, frame);
    return frame;
}

TEST(ShowMailboxTest, TheEngineGetsTheNewestWholePublishAndOnlyTheRowsPlayCanReach) {
    ShowMailbox mailbox;
    auto cells = NewGrid();
    cells->At(0, 0) = 0x0000FF;
    cells->At(5, 0) = 0x00FF00;
    EXPECT_FALSE(mailbox.PickUp()) << "nothing published yet";
    EXPECT_EQ(mailbox.Current().Version, 0u);

    mailbox.Publish(*cells, 2, ShowSettings{20, 2, 10, FadeMode}, false);
    cells->At(0, 0) = 0xFF0000;
    mailbox.Publish(*cells, 6, ShowSettings{20, 6, 10, HoldMode}, true);
    ASSERT_TRUE(mailbox.PickUp());
    EXPECT_FALSE(mailbox.PickUp()) << "each publish is taken once";
    const ShowCopy& copy = mailbox.Current();
    EXPECT_EQ(copy.Version, 2u);
    EXPECT_EQ(copy.Settings, (ShowSettings{20, 6, 10, HoldMode}));
    EXPECT_TRUE(copy.MonoMode);
    EXPECT_EQ(copy.Cells->At(0, 0), 0xFF0000u);
    EXPECT_EQ(copy.Cells->At(5, 0), 0x00FF00u);

    // Many publishes while the engine renders from its copy never touch that copy.
    for (int i = 0; i < 5; ++i) mailbox.Publish(*cells, 1, ShowSettings{}, false);
    EXPECT_EQ(copy.Cells->At(5, 0), 0x00FF00u);
    ASSERT_TRUE(mailbox.PickUp());
    EXPECT_EQ(mailbox.Current().Version, 7u);
    EXPECT_EQ(mailbox.Current().Rows, 1);
}

TEST(PlaybackEngineTest, AnEditReachesTheLampsWithTheNextFrame) {
    RecordingSink lamps;
    PlaybackEngine engine(lamps);
    auto cells = NewGrid();
    const ShowSettings settings{20, 2, 3000, HoldMode}; // five minutes on step 0
    cells->At(0, 7) = 0x102030;
    engine.PublishShow(*cells, settings, false);
    engine.SetSending(true);
    ASSERT_TRUE(lamps.WaitFor(
        [&](const auto& f) { return !f.empty() && f.back() == StepOnLamps(*cells, settings, 0); }));

    cells->At(0, 7) = 0x405060;
    const std::size_t before = lamps.Frames().size();
    engine.PublishShow(*cells, settings, false);
    // One frame may have been under way with the old copy; the one after it has the edit.
    ASSERT_TRUE(lamps.WaitFor([&](const auto& f) { return f.size() >= before + 2; }));
    EXPECT_EQ(lamps.Frames()[before + 1], StepOnLamps(*cells, settings, 0));

    engine.SetSending(false);
    std::this_thread::sleep_for(30ms);
    const std::size_t afterOff = lamps.Frames().size();
    std::this_thread::sleep_for(60ms);
    EXPECT_LE(lamps.Frames().size(), afterOff + 1) << "nothing is sent while off";
}

TEST(PlaybackEngineTest, AStoppedEngineStepsByHandRewindsAndShowsEachMomentAtOnce) {
    RecordingSink lamps;
    PlaybackEngine engine(lamps);
    auto cells = NewGrid();
    for (int r = 0; r < 3; ++r) cells->At(r, 0) = static_cast<TColor>(0x50 * (r + 1));
    const ShowSettings settings{20, 3, 2, HoldMode};
    engine.PublishShow(*cells, settings, false);
    engine.SetPlaying(false);
    EXPECT_FALSE(engine.IsPlaying());
    engine.Rewind();
    EXPECT_EQ(engine.Position(), PlayPosition{}) << "at once, before the thread took it up";
    engine.SetSending(true);

    const int expectedSteps[] = {0, 0, 1, 1, 2, 2};
    for (int i = 1; i <= 5; ++i) {
        engine.StepOneTick();
        const PlayPosition at = engine.Position();
        EXPECT_EQ(at.Ticks, static_cast<std::uint64_t>(i));
        EXPECT_EQ(at.PlayStep, expectedSteps[i]);
        EXPECT_EQ(at.PlayTick, i % 2 == 0 ? 0 : 1);
        EXPECT_TRUE(lamps.WaitFor([&](const auto& f) {
            return !f.empty() && f.back() == StepOnLamps(*cells, settings, expectedSteps[i]);
        }));
    }
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(engine.Position().Ticks, 5u) << "stopped means stopped";
    EXPECT_EQ(lamps.Frames().back(), StepOnLamps(*cells, settings, 2));
    EXPECT_GE(lamps.Frames().size(), 10u) << "the held moment keeps going out";

    engine.Rewind();
    EXPECT_EQ(engine.Position(), PlayPosition{});
    engine.SetPlaying(true);
    EXPECT_TRUE(lamps.WaitFor([&](const auto&) { return engine.Position().Ticks >= 3; }));
}

} // namespace
} // namespace velkaro
