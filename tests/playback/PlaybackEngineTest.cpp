// The engine on its thread with a sink of the test's own, and the mailbox it takes the show from.
#include "playback/PlaybackEngine.h"
#include "commands/LiveFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>
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

// The three copies take turns, so a copy may be a publish or two behind when it is filled
// again: it must still come out whole, though only the rows written since it was filled are
// copied.
TEST(ShowMailboxTest, EachPublishCopiesOnlyTheRowsWrittenSinceItsCopyWasFilledAndComesOutWhole) {
    ShowMailbox mailbox;
    auto cells = NewGrid();
    for (int r = 0; r < MaxSteps; ++r) cells->At(r, r % MaxOutputs) = TColor(r + 1);
    const ShowSettings settings{MaxOutputs, MaxSteps, 10, FadeMode};
    const auto expectWhole = [&](const char* when) {
        const Grid& copy = *mailbox.Current().Cells;
        const Grid& source = *cells; // read only: reading stamps nothing
        int wrong = 0;
        for (int r = 0; r < MaxSteps; ++r)
            wrong += !std::equal(copy[r], copy[r] + GridCols, source[r]);
        EXPECT_EQ(wrong, 0) << when;
    };
    EXPECT_EQ(mailbox.Publish(*cells, MaxSteps, settings, false), MaxSteps) << "the first";
    ASSERT_TRUE(mailbox.PickUp());
    expectWhole("first");

    int copied = 0;
    for (int edit = 0; edit < 12; ++edit) {
        cells->At(100 * edit + 7, 3) = TColor(0xABC000 + edit);
        const int rows = mailbox.Publish(*cells, MaxSteps, settings, false);
        // The other two copies are filled whole once; after that only the edited rows go.
        if (edit >= 2) copied = std::max(copied, rows);
        // The engine picks up now and then, so the copies fall behind unevenly.
        if (edit % 3 != 1 && mailbox.PickUp()) expectWhole("after an edit");
    }
    EXPECT_GE(copied, 1);
    EXPECT_LE(copied, 5) << "rows copied by one publish: the few edits its copy had missed";
    mailbox.PickUp();
    expectWhole("at the end");

    // Reading, and publishing again without an edit, copies nothing.
    EXPECT_EQ(std::as_const(*cells).At(7, 3), TColor(0xABC000));
    for (int i = 0; i < 3; ++i) mailbox.Publish(*cells, MaxSteps, settings, false);
    EXPECT_EQ(mailbox.Publish(*cells, MaxSteps, settings, false), 0);
    // Another grid is copied whole.
    auto other = NewGrid();
    other->At(3, 3) = 5;
    EXPECT_EQ(mailbox.Publish(*other, 10, settings, false), 10);
    ASSERT_TRUE(mailbox.PickUp());
    EXPECT_EQ(mailbox.Current().Cells->At(3, 3), 5u);
    EXPECT_EQ(mailbox.Current().Cells->At(7, 3), 0u) << "rows the other grid never had";
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

TEST(PlaybackEngineTest, StepsLoweredBelowPlayFinishTheStepFromItsOwnRow) {
    RecordingSink lamps;
    PlaybackEngine engine(lamps);
    auto cells = NewGrid();
    for (int r = 0; r < 8; ++r) cells->At(r, 0) = static_cast<TColor>(0x20 * (r + 1));
    engine.SetPlaying(false);
    engine.PublishShow(*cells, ShowSettings{20, 8, 1, HoldMode}, false);
    for (int i = 0; i < 5; ++i) engine.StepOneTick();
    ASSERT_EQ(engine.Position().PlayStep, 5);
    engine.SetSending(true);

    // Only this publish holds the new colour of row 5, past the three steps now set.
    cells->At(5, 0) = 0xABCDEF;
    const ShowSettings lowered{20, 3, 1, HoldMode};
    engine.PublishShow(*cells, lowered, false);
    EXPECT_TRUE(lamps.WaitFor(
        [&](const auto& f) { return !f.empty() && f.back() == StepOnLamps(*cells, lowered, 5); }));
    engine.StepOneTick();
    EXPECT_EQ(engine.Position().PlayStep, 0) << "play goes on within the three steps";
    EXPECT_TRUE(lamps.WaitFor(
        [&](const auto& f) { return !f.empty() && f.back() == StepOnLamps(*cells, lowered, 0); }));
}

} // namespace
} // namespace velkaro
