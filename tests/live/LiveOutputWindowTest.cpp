// Live output from the real window through a private olad to a second OLA client, as lamps
// patched to the universe would see it.
#include "output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/ShowFileCommands.h"
#include "ui/WindowFixture.h"

#include <QElapsedTimer>
#include <QRadioButton>

#include <fstream>
#include <iterator>

#include <netinet/in.h>
#include <sys/socket.h>

namespace velkaro {
namespace {

using Frames = testing::DmxReceiver::Frames;

class LiveOutputWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(olad.Start()) << olad.Log();
        StartWith(WindowOptions{{}, {}, olad.Port()});
        Child<QTimer>(*w, "previewTimer")->stop();
    }

    // Waits, with the window's events running, until the lamps have got what `accept` wants.
    bool WaitFor(testing::DmxReceiver& lamps, const std::function<bool(const Frames&)>& accept,
                 int timeoutMs = 5000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (accept(lamps.Received())) return true;
            QTest::qWait(10);
        }
        return false;
    }

    void SwitchLiveOutput() {
        QTest::mouseClick(Child<QCheckBox>(*w, "liveOutputCheck"), Qt::LeftButton, {},
                          QPoint(5, 8));
    }

    // Three steps of distinct colours in every one of the 168 outputs.
    void MakeHoldChase() {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < MaxOutputs; ++c)
                w->Show().Cells[r][c] =
                    static_cast<TColor>((r * 0x3F1F07u + c * 0x010305u) & 0xFFFFFF);
        w->Settings().SetSteps(3);
        w->Settings().SetStepLength(1);
        QTest::mouseClick(Child<QRadioButton>(*w, "holdModeButton"), Qt::LeftButton, {},
                          QPoint(5, 8));
        ASSERT_EQ(w->Settings().BlendMode(), HoldMode);
    }

    // Channels 1..504 of each record of the show as "Speichern" writes it.
    std::vector<DmxFrame> SavedChannels() {
        const std::string path = QDir::temp().filePath("velkaro-live-test.dmx").toStdString();
        w->Files().SaveShow(QString::fromStdString(path));
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        std::vector<DmxFrame> records;
        for (std::size_t at = 0; at + 512 <= bytes.size(); at += 512) {
            DmxFrame channels{};
            std::copy_n(bytes.begin() + static_cast<long>(at + 8), 504, channels.begin());
            records.push_back(channels);
        }
        return records;
    }

    // The frames that differ from the one before, as the lamps change.
    static std::vector<DmxFrame> Changes(const Frames& frames) {
        std::vector<DmxFrame> changes;
        for (const auto& frame : frames)
            if (changes.empty() || changes.back() != frame.Data) changes.push_back(frame.Data);
        return changes;
    }

    void ExpectStepsInOrder() {
        const std::vector<DmxFrame> records = SavedChannels();
        ASSERT_EQ(records.size(), 3u);
        testing::DmxReceiver lamps(olad.Port(), 1);
        ASSERT_TRUE(lamps.WaitRegistered());
        Child<QTimer>(*w, "previewTimer")->start();
        QTest::qWait(1000);
        std::vector<DmxFrame> changes = Changes(lamps.Received());
        ASSERT_GE(changes.size(), 8u) << "a step every 100 ms";
        const auto stepOf = [&](const DmxFrame& f) {
            return std::find(records.begin(), records.end(), f) - records.begin();
        };
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const long step = stepOf(changes[i]);
            ASSERT_LT(step, 3) << "frame " << i << " is no record of the saved show";
            if (i == 0) continue;
            EXPECT_EQ(step, (stepOf(changes[i - 1]) + 1) % 3) << "frame " << i;
        }
    }

    testing::OladProcess olad;
};

TEST_F(LiveOutputWindowTest, AHoldChaseReachesTheLampsStepByStepAsTheSavedFileHoldsIt) {
    MakeHoldChase();
    SwitchLiveOutput();
    ExpectStepsInOrder();

    QTest::mouseClick(Child<QCheckBox>(*w, "singleColourCheck"), Qt::LeftButton, {}, QPoint(5, 8));
    ASSERT_TRUE(w->Settings().MonoMode());
    ExpectStepsInOrder();

    // Switching off blacks the lamps out, and nothing follows.
    testing::DmxReceiver lamps(olad.Port(), 1);
    ASSERT_TRUE(lamps.WaitRegistered());
    SwitchLiveOutput();
    EXPECT_EQ(Child<QLabel>(*w, "liveStatusLabel")->text(), "Aus");
    ASSERT_TRUE(
        WaitFor(lamps, [](const Frames& f) { return !f.empty() && f.back().Data == DmxFrame{}; }));
    QTest::qWait(300);
    EXPECT_EQ(lamps.Received().back().Data, DmxFrame{});
}

TEST_F(LiveOutputWindowTest, AFadeReachesTheLampsInSmallStepsBetweenTheTicks) {
    for (int c = 0; c < MaxOutputs; ++c) w->Show().Cells[1][c] = RGB(250, 125, 60);
    w->Settings().SetSteps(2);
    w->Settings().SetStepLength(10);
    testing::DmxReceiver lamps(olad.Port(), 1);
    ASSERT_TRUE(lamps.WaitRegistered());
    SwitchLiveOutput();
    Child<QTimer>(*w, "previewTimer")->start();
    QTest::qWait(1000);
    const std::vector<DmxFrame> changes = Changes(lamps.Received());
    EXPECT_GE(changes.size(), 45u) << "distinct frames in one second";
    // Within one second of a two-step fade each channel turns round at most once, at the step.
    for (int channel : {0, 1, 2, 300, 502}) {
        int turns = 0;
        int direction = 0;
        for (std::size_t i = 1; i < changes.size(); ++i) {
            const int d = (changes[i][channel] > changes[i - 1][channel]) -
                          (changes[i][channel] < changes[i - 1][channel]);
            if (d != 0 && direction != 0 && d != direction) ++turns;
            if (d != 0) direction = d;
        }
        EXPECT_LE(turns, 1) << "channel " << channel + 1;
    }
}

TEST_F(LiveOutputWindowTest, AVanishedDaemonNeverHoldsUpTheWindowAndOutputResumesByItself) {
    SwitchLiveOutput();
    QLabel* status = Child<QLabel>(*w, "liveStatusLabel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Verbunden mit olad"; }, 5000));

    olad.Kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() != "Verbunden mit olad"; }, 5000));
    EXPECT_TRUE(Child<QCheckBox>(*w, "liveOutputCheck")->isChecked());
    QTest::mouseClick(Child<PaintBox>(*w, "gridPaintBox"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(w->Show().Cells[0][0], w->Show().Palette[0]) << "a click still paints";

    ASSERT_TRUE(olad.Start(olad.Port())) << olad.Log();
    testing::DmxReceiver lamps(olad.Port(), 1);
    ASSERT_TRUE(lamps.WaitRegistered());
    EXPECT_TRUE(WaitFor(lamps, [](const Frames& f) { return !f.empty(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "Verbunden mit olad"; }, 3000));
}

TEST_F(LiveOutputWindowTest, AListenerThatNeverReadsCostsTheWindowNothing) {
    // A daemon stand-in that takes the connection and never reads a byte.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    StartWith(WindowOptions{{}, 1, ntohs(address.sin_port)});
    Child<QTimer>(*w, "previewTimer")->stop();
    ASSERT_TRUE(w->Live().IsOn());
    w->Settings().SetOutputs(MaxOutputs);

    // Every tick hands the sender a frame.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10000; ++i) w->Preview().Tick();
    EXPECT_LT(clock.elapsed(), 10000) << "under a millisecond a frame";
    w.reset();
    ::close(listener);
}

} // namespace
} // namespace velkaro
