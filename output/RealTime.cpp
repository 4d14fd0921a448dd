#include "output/RealTime.h"

#include "output/RtkitRequest.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sched.h>
#include <sys/resource.h>

namespace velkaro {

namespace {

bool SetFifo(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    // 0 is the calling thread. Reset on fork: a helper program started from this thread must
    // not inherit a priority it never asked for.
    return sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0;
}

// The highest priority RLIMIT_RTPRIO lets an unprivileged process take; 0 when none.
int AllowedPriority() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 99));
}

} // namespace

RealTimeGrant RequestRealTimeForThisThread(int priority) {
    priority = std::clamp(priority, sched_get_priority_min(SCHED_FIFO),
                          sched_get_priority_max(SCHED_FIFO));
    if (SetFifo(priority)) return RealTimeGrant::Direct;
    const int allowed = AllowedPriority();
    if (allowed > 0 && SetFifo(std::min(priority, allowed))) return RealTimeGrant::Direct;
    if (AskRtkitForRealTime(priority)) return RealTimeGrant::ThroughRtkit;
    return RealTimeGrant::None;
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    const auto sinceEpoch = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    timespec at{};
    at.tv_sec = static_cast<time_t>(seconds.count());
    at.tv_nsec = static_cast<long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - seconds).count());
    // An absolute wake: a signal that cuts the sleep short restarts it towards the same moment.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

const char* RealTimeGrantName(RealTimeGrant grant) {
    switch (grant) {
    case RealTimeGrant::Direct:
        return "SCHED_FIFO";
    case RealTimeGrant::ThroughRtkit:
        return "SCHED_FIFO through rtkit";
    case RealTimeGrant::None:
        break;
    }
    return "normal priority";
}

} // namespace velkaro
