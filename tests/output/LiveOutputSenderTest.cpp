#include "output/LiveOutputSender.h"
#include "model/Color.h"

#include "output/OladFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using testing::DmxReceiver;
using testing::OladProcess;
using Clock = std::chrono::steady_clock;

DmxFrame Pattern(int seed) {
    DmxFrame frame{};
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = std::uint8_t(seed * 37 + i * 11);
    return frame;
}

const DmxFrame Blackout{};

bool LastIs(const DmxReceiver::Frames& frames, const DmxFrame& frame) {
    return !frames.empty() && frames.back().Data == frame;
}

// Plays the window's part: offers a new frame every 20 ms until `done` holds or time is up,
// and remembers the longest Submit.
class WindowTimer {
public:
    explicit WindowTimer(LiveOutputSender& sender) : sender_(sender) {}

    bool RunUntil(const std::function<bool()>& done, Clock::duration timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            const auto before = Clock::now();
            sender_.Submit(Pattern(++frames_ % 200));
            slowest_ = std::max(slowest_, Clock::now() - before);
            if (done()) return true;
            std::this_thread::sleep_for(20ms);
        }
        return done();
    }
    bool RunUntilStatus(LiveOutputStatus status, Clock::duration timeout) {
        return RunUntil([&] { return sender_.Status() == status; }, timeout);
    }
    DmxFrame Latest() const { return Pattern(frames_ % 200); }
    Clock::duration Slowest() const { return slowest_; }

private:
    LiveOutputSender& sender_;
    int frames_ = 0;
    Clock::duration slowest_{};
};

Clock::duration TimeToDestroy(std::unique_ptr<LiveOutputSender>& sender) {
    const auto before = Clock::now();
    sender.reset();
    return Clock::now() - before;
}

// A frame of the window's must not wait for olad: a generous ceiling that only a blocking
// call can break.
constexpr Clock::duration NeverWaits = 50ms;

TEST(LiveOutputSenderTest, FramesReachTheUniverseAndSwitchingAwayOrOffLeavesItDark) {
    OladProcess olad;
    ASSERT_TRUE(olad.Start()) << olad.Log();
    DmxReceiver lamps3(olad.Port(), 3);
    DmxReceiver lamps4(olad.Port(), 4);
    ASSERT_TRUE(lamps3.WaitRegistered());
    ASSERT_TRUE(lamps4.WaitRegistered());

    LiveOutputSender sender(olad.Port());
    EXPECT_EQ(sender.Status(), LiveOutputStatus::Off);
    sender.Submit(Pattern(99)); // while off: never sent
    sender.Start(3);
    WindowTimer window(sender);
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::Connected, 5s));
    for (int seed = 1; seed <= 5; ++seed) sender.Submit(Pattern(seed));
    ASSERT_TRUE(lamps3.WaitUntil([](const auto& f) { return LastIs(f, Pattern(5)); }));

    sender.SetUniverse(4);
    ASSERT_TRUE(lamps4.WaitUntil([](const auto& f) { return LastIs(f, Pattern(5)); }));
    ASSERT_TRUE(lamps3.WaitUntil([](const auto& f) { return LastIs(f, Blackout); }));

    // A fade handed over unblended reaches the lamps blended as the preview blends.
    const DmxFade fade{Pattern(1), Pattern(2), 0.37};
    DmxFrame blended{};
    for (std::size_t i = 0; i < blended.size(); ++i)
        blended[i] = std::uint8_t(RedOf(BlendColor(fade.From[i], fade.To[i], fade.T)));
    sender.SubmitFade(fade);
    ASSERT_TRUE(lamps4.WaitUntil([&](const auto& f) { return LastIs(f, blended); }));

    sender.Submit(Pattern(6));
    ASSERT_TRUE(lamps4.WaitUntil([](const auto& f) { return LastIs(f, Pattern(6)); }));
    sender.Stop();
    EXPECT_EQ(sender.Status(), LiveOutputStatus::Off);
    ASSERT_TRUE(lamps4.WaitUntil([](const auto& f) { return LastIs(f, Blackout); }));
    const std::size_t afterBlackout = lamps4.Received().size();
    sender.Submit(Pattern(7));
    std::this_thread::sleep_for(700ms); // longer than the sender's question interval
    EXPECT_EQ(lamps4.Received().size(), afterBlackout) << "nothing after the blackout";
    EXPECT_EQ(sender.Status(), LiveOutputStatus::Off);
    for (const auto* lamps : {&lamps3, &lamps4})
        for (const auto& frame : lamps->Received()) EXPECT_NE(frame.Data, Pattern(99));
    EXPECT_GT(sender.FramesSent(), 0u);
}

TEST(LiveOutputSenderTest, KilledOladIsReportedAndFramesResumeOnceItIsBack) {
    OladProcess olad;
    ASSERT_TRUE(olad.Start()) << olad.Log();
    auto sender = std::make_unique<LiveOutputSender>(olad.Port());
    EXPECT_EQ(sender->Port(), olad.Port());
    sender->Start(1);
    WindowTimer window(*sender);
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::Connected, 5s));

    olad.Kill(); // the sender is writing into the closed connection from here on
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::ConnectionLost, 5s));
    window.RunUntil([] { return false; }, 600ms); // retries keep failing meanwhile
    EXPECT_EQ(sender->Status(), LiveOutputStatus::ConnectionLost);

    ASSERT_TRUE(olad.Start(olad.Port())) << olad.Log();
    const auto back = Clock::now();
    DmxReceiver lamps(olad.Port(), 1);
    ASSERT_TRUE(lamps.WaitRegistered());
    ASSERT_TRUE(window.RunUntil([&] { return !lamps.Received().empty(); }, 2s));
    EXPECT_LT(lamps.Received().front().At - back, 2s);
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::Connected, 2s));
    EXPECT_LT(window.Slowest(), NeverWaits);
    EXPECT_LT(TimeToDestroy(sender), 1s);
}

TEST(LiveOutputSenderTest, StoppedOladIsReportedNeverHoldsTheCallerAndIsTakenBackWhenItGoesOn) {
    OladProcess olad;
    ASSERT_TRUE(olad.Start()) << olad.Log();
    DmxReceiver lamps(olad.Port(), 2);
    ASSERT_TRUE(lamps.WaitRegistered());
    auto sender = std::make_unique<LiveOutputSender>(olad.Port());
    sender->Start(2);
    WindowTimer window(*sender);
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::Connected, 5s));

    olad.Pause(); // SIGSTOP: the connection stays open, nobody reads or answers
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::ConnectionLost, 5s));
    olad.Resume();
    ASSERT_TRUE(window.RunUntilStatus(LiveOutputStatus::Connected, 4s));
    ASSERT_TRUE(window.RunUntil([&] { return LastIs(lamps.Received(), window.Latest()); }, 2s));

    olad.Pause();
    window.RunUntil([] { return false; }, 300ms);
    sender->Stop(); // the blackout cannot go anywhere now
    EXPECT_LT(TimeToDestroy(sender), 1s);
    auto fresh = std::make_unique<LiveOutputSender>(olad.Port());
    fresh->Start(2);
    WindowTimer second(*fresh);
    EXPECT_FALSE(second.RunUntilStatus(LiveOutputStatus::Connected, 700ms));
    EXPECT_EQ(fresh->Status(), LiveOutputStatus::NoConnection);
    EXPECT_LT(TimeToDestroy(fresh), 1s);
    EXPECT_LT(std::max(window.Slowest(), second.Slowest()), NeverWaits);
    olad.Resume();
}

TEST(LiveOutputSenderTest, WithoutOladItSaysSoAndNeverWaits) {
    testing::EnterLoopbackOnlyNetwork();
    auto sender = std::make_unique<LiveOutputSender>(testing::FreeLoopbackPort());
    sender->Start(1);
    WindowTimer window(*sender);
    EXPECT_FALSE(window.RunUntilStatus(LiveOutputStatus::Connected, 1200ms));
    EXPECT_EQ(sender->Status(), LiveOutputStatus::NoConnection);
    EXPECT_LT(window.Slowest(), NeverWaits);
    EXPECT_LT(TimeToDestroy(sender), 1s);
}

// A listener that accepts connections and never reads them: the socket fills and stays full.
class DeafListener {
public:
    DeafListener() {
        testing::EnterLoopbackOnlyNetwork();
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 16);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] {
            for (int fd; (fd = ::accept(fd_, nullptr, nullptr)) >= 0;) accepted_.push_back(fd);
        });
    }
    ~DeafListener() {
        ::shutdown(fd_, SHUT_RDWR);
        acceptor_.join();
        for (int fd : accepted_) ::close(fd);
        ::close(fd_);
    }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> accepted_;
    std::thread acceptor_;
};

TEST(LiveOutputSenderTest, TenThousandFramesIntoAListenerThatNeverReadsNeverHoldTheCaller) {
    DeafListener listener;
    auto sender = std::make_unique<LiveOutputSender>(listener.Port());
    sender->Start(1);
    Clock::duration slowest{};
    const auto start = Clock::now();
    for (int i = 0; i < 10000; ++i) {
        const auto before = Clock::now();
        sender->Submit(Pattern(i));
        slowest = std::max(slowest, Clock::now() - before);
        // Now and then let the sender's thread catch up, so that it really fills the socket.
        if (i % 100 == 0) std::this_thread::sleep_for(1ms);
    }
    const auto total = Clock::now() - start;
    RecordProperty("slowest_submit_us",
                   int(std::chrono::duration_cast<std::chrono::microseconds>(slowest).count()));
    RecordProperty("total_ms",
                   int(std::chrono::duration_cast<std::chrono::milliseconds>(total).count()));
    EXPECT_LT(slowest, NeverWaits);
    EXPECT_NE(sender->Status(), LiveOutputStatus::Connected);
    EXPECT_GT(sender->FramesSent(), 0u);
    EXPECT_GT(sender->FramesDropped(), 0u);
    EXPECT_LT(TimeToDestroy(sender), 1s);
}

} // namespace
} // namespace velkaro

namespace velkaro {
namespace {

// CPU time the sender's thread has used so far, from the kernel's count for it.
std::chrono::milliseconds SenderCpuTime() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != "velkaro-sender") continue;
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        long long ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i >= 14) ticks += std::stoll(field); // utime and stime
        return std::chrono::milliseconds(ticks * 1000 / ::sysconf(_SC_CLK_TCK));
    }
    return std::chrono::milliseconds(-1);
}

TEST(LiveOutputSenderTest, ASocketFullWhenAQuestionFallsDueCostsNoCpuAndCountsAsLost) {
    OladProcess olad;
    ASSERT_TRUE(olad.Start()) << olad.Log();
    LiveOutputSender sender(olad.Port());
    sender.Start(2);
    const auto until = Clock::now() + 5s;
    while (sender.Status() != LiveOutputStatus::Connected && Clock::now() < until)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(sender.Status(), LiveOutputStatus::Connected);
    // Right after olad's first answer, well before the next question falls due, olad stops
    // reading and the frames fill the socket.
    olad.Pause();
    for (int i = 0; i < 3000; ++i) {
        sender.Submit(Pattern(i));
        if (i % 10 == 0) std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(300ms); // the question is due now, and has no room
    const auto before = SenderCpuTime();
    ASSERT_GE(before.count(), 0) << "the sender's thread";
    std::this_thread::sleep_for(1s);
    EXPECT_LT(SenderCpuTime() - before, 300ms) << "CPU used by the sender in a second";
    const auto lostBy = Clock::now() + 5s;
    while (sender.Status() != LiveOutputStatus::ConnectionLost && Clock::now() < lostBy)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(sender.Status(), LiveOutputStatus::ConnectionLost) << "olad reads nothing";
    olad.Resume();
}

} // namespace
} // namespace velkaro
