// A thread of the lamps that overran its real-time share goes back to normal priority, and the
// window says so, once.
#include "output/RealTime.h"
#include "ui/WindowFixture.h"

#include <csignal>
#include <thread>

namespace velkaro {
namespace {

TEST_F(WindowTest, TheWindowSaysOnceThatTheLampsLostTheirRealTimePriority) {
    bool granted = false;
    std::thread overrunning([&granted] {
        granted = RequestRealTimeForThisThread(5) != RealTimeGrant::None;
        // What the kernel sends at the soft limit of real-time CPU.
        if (granted) pthread_kill(pthread_self(), SIGXCPU);
    });
    overrunning.join();
    if (!granted) GTEST_SKIP() << "no real-time scheduling on this machine";
    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 3000);
    EXPECT_EQ(errors.front(), QString(RealTimeWithdrawnMessage()));
    QTest::qWait(2500);
    EXPECT_EQ(errors.size(), 1) << "told once";
}

} // namespace
} // namespace velkaro
