// The playback engine keeps the lamps' time in the real window: a second OLA client on a
// private olad sees what lamps patched to the universe would, while the window's thread is
// blocked, edited in, stopped, sped up and rewound.
#include "model/ChannelLayout.h"
#include "output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/PreviewPlayer.h"
#include "ui/WindowFixture.h"

#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <thread>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Frames = testing::DmxReceiver::Frames;

class LampTimingWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(olad.Start()) << olad.Log();
        StartWith(WindowOptions{{}, {}, olad.Port()});
        w->Preview().SetPlaying(false);
        // Three steps of distinct colours in every one of the 168 outputs.
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < MaxOutputs; ++c)
                w->Show().Cells[r][c] =
                    static_cast<TColor>((r * 0x3F1F07u + c * 0x010305u + 1) & 0xFFFFFF);
        w->Settings().SetOutputs(MaxOutputs);
        w->Settings().SetSteps(3);
        QTest::mouseClick(Child<QRadioButton>(*w, "holdModeButton"), Qt::LeftButton, {},
                          QPoint(5, 8));
        lamps = std::make_unique<testing::DmxReceiver>(olad.Port(), 1);
        ASSERT_TRUE(lamps->WaitRegistered());
        // The measuring chain (olad and the second client) keeps up even when other tests
        // load the machine, so what is measured is the engine's timing.
        EXPECT_TRUE(olad.MakeRealTime(8));
        EXPECT_TRUE(lamps->MakeRealTime(8));
        w->Live().SwitchOn(1);
    }

    // The universe a step of the show makes.
    DmxFrame StepFrame(int step) const {
        DmxFrame frame{};
        ChannelLayout::WriteStepChannels(w->Show().Cells[step], MaxOutputs, false, frame.data());
        return frame;
    }
    // The step a frame shows; -1 for none of the show's.
    int StepOf(const DmxFrame& frame) const {
        for (int step = 0; step < 3; ++step)
            if (StepFrame(step) == frame) return step;
        return -1;
    }
    // The step the preview bar shows now, from the colours it drew.
    int BarStep() const {
        DmxFrame frame{};
        ChannelLayout::WriteStepChannels(w->Preview().Colours().data(), MaxOutputs, false,
                                         frame.data());
        return StepOf(frame);
    }
    int LampStep() const {
        const Frames frames = lamps->Received();
        return frames.empty() ? -2 : StepOf(frames.back().Data);
    }

    // Moments at which the lamps changed, within [from, to].
    std::vector<Clock::time_point> Changes(Clock::time_point from, Clock::time_point to) const {
        std::vector<Clock::time_point> changes;
        const Frames frames = lamps->Received();
        for (std::size_t i = 1; i < frames.size(); ++i)
            if (frames[i].Data != frames[i - 1].Data && frames[i].At >= from && frames[i].At <= to)
                changes.push_back(frames[i].At);
        return changes;
    }

    // Samples moments well inside a step (the lamps changed between `intoStep` and 80 ms
    // before), with the window's events done: bar and lamps must show the same step then.
    void ExpectBarShowsTheLampsStep(Clock::duration intoStep) {
        int compared = 0;
        for (int sample = 0; sample < 40 && compared < 5; ++sample) {
            QTest::qWait(17);
            QApplication::processEvents();
            const auto now = Clock::now();
            const int bar = BarStep();
            const auto changes = Changes(now - 200ms, now);
            if (changes.empty() || now - changes.back() < intoStep || now - changes.back() > 80ms)
                continue;
            EXPECT_EQ(bar, LampStep());
            ++compared;
        }
        EXPECT_GE(compared, 3) << "moments well inside a step";
    }

    testing::OladProcess olad;
    std::unique_ptr<testing::DmxReceiver> lamps;
};

TEST_F(LampTimingWindowTest, LampsKeepTheirStepsWhileTheWindowIsBlockedAndTheBarCatchesUp) {
    w->Settings().SetStepLength(1); // a step every 100 ms
    w->Preview().SetPlaying(true);
    QTest::qWait(500);
    Clock::time_point blockStart;
    Clock::time_point blockEnd;
    QTimer::singleShot(0, [&] {
        blockStart = Clock::now();
        std::this_thread::sleep_for(2s); // a save, a picture import, a long repaint
        blockEnd = Clock::now();
    });
    QTest::qWait(2300);
    ASSERT_GT(blockEnd - blockStart, 1900ms);

    // What holds on any machine, however busy: frames keep coming while the window is
    // blocked, each one a step of the show, and every step change arrives once, in order. How
    // punctually they come is measured in bench/live, beside a reference.
    const Frames frames = lamps->Received();
    const auto inBlock = std::count_if(frames.begin(), frames.end(), [&](const auto& f) {
        return f.At >= blockStart && f.At <= blockEnd;
    });
    EXPECT_GE(inBlock, 20) << "frames while the window is blocked";
    int previous = -1;
    int changes = 0;
    for (const auto& frame : frames) {
        const int step = StepOf(frame.Data);
        if (frame.Data == DmxFrame{}) continue; // the sender's start, before the first frame
        ASSERT_NE(step, -1) << "a frame that is no step of the show";
        if (previous != -1 && step != previous) {
            EXPECT_EQ(step, (previous + 1) % 3) << "a step change missed or out of order";
            changes += frame.At >= blockStart && frame.At <= blockEnd;
        }
        previous = step;
    }
    EXPECT_GE(changes, 10) << "step changes while the window is blocked";

    ExpectBarShowsTheLampsStep(30ms);
}

TEST_F(LampTimingWindowTest, EditsStopResumeSpeedAndRewindReachTheLampsAsTheBarShowsThem) {
    w->Settings().SetStepLength(3000); // five minutes on each step
    w->Preview().Rewind();
    w->Preview().SetPlaying(true);
    ASSERT_TRUE(lamps->WaitForFrame(StepFrame(0)));

    // A cell painted with the mouse: at most the frame under way and one in transit go out
    // without it.
    w->Show().Palette[0] = RGB(9, 99, 199);
    QTest::mouseClick(Child<PaintBox>(*w, "gridPaintBox"), Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(w->Show().Cells[0][0], RGB(9, 99, 199));
    QApplication::processEvents(); // the publish that follows the event
    const std::size_t published = lamps->Received().size();
    ASSERT_TRUE(lamps->WaitForFrame(StepFrame(0), 1s));
    const Frames frames = lamps->Received();
    const auto edited = std::find_if(frames.begin() + long(published), frames.end(),
                                     [&](const auto& f) { return f.Data == StepFrame(0); });
    EXPECT_LE(edited - (frames.begin() + long(published)), 2);

    // Stop and resume by clicking the bar: the lamps hold the bar's step and go on from it.
    w->Settings().SetStepLength(1);
    QTest::qWait(350);
    QTest::mouseClick(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, QPoint(100, 10));
    ASSERT_FALSE(w->Preview().IsPlaying());
    QTest::qWait(200);
    const int stoppedAt = w->Preview().Clock().PlayStep();
    EXPECT_EQ(LampStep(), stoppedAt);
    EXPECT_EQ(BarStep(), stoppedAt);
    EXPECT_TRUE(Changes(Clock::now() - 150ms, Clock::now()).empty()) << "stopped lamps hold";
    const auto resumed = Clock::now();
    QTest::mouseClick(Child<PaintBox>(*w, "previewBar"), Qt::LeftButton, {}, QPoint(100, 10));
    QTest::qWait(150);
    const Frames afterResume = lamps->Received();
    const auto firstChange =
        std::find_if(afterResume.begin() + 1, afterResume.end(),
                     [&](const auto& f) { return f.At >= resumed && f.Data != (&f - 1)->Data; });
    ASSERT_NE(firstChange, afterResume.end());
    EXPECT_EQ(StepOf(firstChange->Data), (stoppedAt + 1) % 3);

    // Four times the speed: a step every 25 ms on the lamps, and the bar still agrees. Twenty
    // changes are due in half a second, five at the old speed; how evenly they come is the
    // benchmark's to tell, as a stalled host would shift any one of them.
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(400);
    QTest::qWait(100);
    const auto fastFrom = Clock::now();
    QTest::qWait(500);
    const auto fast = Changes(fastFrom, Clock::now());
    EXPECT_GE(fast.size(), 12u);
    Child<QScrollBar>(*w, "previewSpeedBar")->setValue(100);
    ExpectBarShowsTheLampsStep(30ms);

    // A rewind while stopped shows step 0 on the lamps at once, where the counters stand.
    w->Preview().SetPlaying(false);
    w->Preview().Tick();
    w->Preview().Rewind();
    EXPECT_EQ(w->Preview().Clock().PlayStep(), 0);
    EXPECT_TRUE(lamps->WaitUntil([&](const Frames& f) { return StepOf(f.back().Data) == 0; }, 1s));
    w->Preview().Tick();
    EXPECT_EQ(BarStep(), 1);
    EXPECT_TRUE(lamps->WaitUntil([&](const Frames& f) { return StepOf(f.back().Data) == 1; }, 1s));
}

} // namespace
} // namespace velkaro
