// A real-time thread that overruns its CPU limit is lowered to normal priority, not killed.
#include "output/RealTime.h"
#include "output/RtkitRequest.h"

#include <gtest/gtest.h>

#include <csignal>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velkaro {
namespace {

bool SoftBelowHard() {
    rlimit limit{};
    getrlimit(RLIMIT_RTTIME, &limit);
    return limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < limit.rlim_max;
}

TEST(RealTimeLimit, AnOverrunDropsToNormalPriorityOnceWarnedAndTheHardLimitLiesBeyondTheWarning) {
    // rtkit's limit is the hard one; the warning comes at half of it.
    const pid_t child = ::fork();
    if (child == 0) {
        const bool limited = LimitRealTimeCpu(200'000);
        rlimit limit{};
        getrlimit(RLIMIT_RTTIME, &limit);
        ::_exit(limited && limit.rlim_max == 200'000 && SoftBelowHard() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "soft limit below rtkit's";

    RealTimeGrant grant = RealTimeGrant::None;
    int policyAfter = -1;
    std::thread thread([&] {
        grant = RequestRealTimeForThisThread(5);
        if (grant == RealTimeGrant::None) return;
        EXPECT_TRUE(SoftBelowHard());
        EXPECT_EQ(sched_getscheduler(0) & ~SCHED_RESET_ON_FORK, SCHED_FIFO);
        EXPECT_FALSE(RealTimeWithdrawn());
        // What the kernel sends at the soft limit; its default would end the process.
        pthread_kill(pthread_self(), SIGXCPU);
        policyAfter = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
    });
    thread.join();
    if (grant == RealTimeGrant::None) GTEST_SKIP() << "no real-time scheduling on this machine";
    EXPECT_EQ(policyAfter, SCHED_OTHER);
    EXPECT_TRUE(RealTimeWithdrawn());
    EXPECT_NE(std::string(RealTimeWithdrawnMessage()).find("normaler Priorität"),
              std::string::npos);
}

} // namespace
} // namespace velkaro
