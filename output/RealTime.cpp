#include "output/RealTime.h"

#include "output/RtkitRequest.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

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

// The threads under real-time scheduling, by kernel thread id (0: a free place), for the
// SIGXCPU handler, which may neither lock nor allocate.
std::array<std::atomic<pid_t>, 16> realTimeThreads{};
std::atomic<bool> withdrawn{false};

// A thread that overran its share lets the machine breathe: every one of ours goes back to
// normal priority. Lowering is always allowed, also to a thread that rtkit raised.
void DropToNormalPriority(int) {
    const int savedErrno = errno;
    const sched_param normal{};
    for (const auto& thread : realTimeThreads)
        if (const pid_t id = thread.load(std::memory_order_acquire); id != 0)
            ::syscall(SYS_sched_setscheduler, id, SCHED_OTHER | SCHED_RESET_ON_FORK, &normal);
    withdrawn.store(true, std::memory_order_release);
    errno = savedErrno;
}

// Without a soft limit below the hard one a runaway thread is killed without warning; where no
// limit is set at all, 200 ms of real-time CPU without a pause is far beyond any frame's work.
void KeepSoftCpuLimitBelowHard() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return;
    const rlim_t soft = limit.rlim_max == RLIM_INFINITY ? 200'000 : limit.rlim_max / 2;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= soft) return;
    limit.rlim_cur = soft;
    setrlimit(RLIMIT_RTTIME, &limit);
}

// Remembers the calling thread until it ends.
class RealTimeThread {
public:
    RealTimeThread() {
        const auto id = static_cast<pid_t>(::syscall(SYS_gettid));
        for (auto& thread : realTimeThreads) {
            pid_t free = 0;
            if (thread.compare_exchange_strong(free, id)) {
                place_ = &thread;
                return;
            }
        }
    }
    ~RealTimeThread() {
        if (place_) place_->store(0, std::memory_order_release);
    }
    RealTimeThread(const RealTimeThread&) = delete;
    RealTimeThread& operator=(const RealTimeThread&) = delete;

private:
    std::atomic<pid_t>* place_ = nullptr;
};

void WatchRealTimeCpu() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = DropToNormalPriority;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGXCPU, &action, nullptr);
    });
    thread_local RealTimeThread registered;
}

RealTimeGrant Request(int priority) {
    if (SetFifo(priority)) return RealTimeGrant::Direct;
    const int allowed = AllowedPriority();
    if (allowed > 0 && SetFifo(std::min(priority, allowed))) return RealTimeGrant::Direct;
    if (AskRtkitForRealTime(priority)) return RealTimeGrant::ThroughRtkit;
    return RealTimeGrant::None;
}

} // namespace

RealTimeGrant RequestRealTimeForThisThread(int priority) {
    priority = std::clamp(priority, sched_get_priority_min(SCHED_FIFO),
                          sched_get_priority_max(SCHED_FIFO));
    // The handler is there before the thread can overrun.
    WatchRealTimeCpu();
    const RealTimeGrant grant = Request(priority);
    if (grant != RealTimeGrant::None) KeepSoftCpuLimitBelowHard();
    return grant;
}

bool RealTimeWithdrawn() {
    return withdrawn.load(std::memory_order_acquire);
}

const char* RealTimeWithdrawnMessage() {
    return "Ein Echtzeit-Thread hat seine Rechenzeit überschritten; die Wiedergabe läuft mit "
           "normaler Priorität weiter.";
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
