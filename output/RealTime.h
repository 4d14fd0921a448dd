#pragma once

#include <chrono>

namespace velkaro {

// How the calling thread came to real-time scheduling, if at all.
enum class RealTimeGrant {
    Direct,       // the process may set SCHED_FIFO itself (root, CAP_SYS_NICE, RLIMIT_RTPRIO)
    ThroughRtkit, // the RealtimeKit daemon raised it on our behalf
    None,         // neither: the thread runs at normal priority
};

// Puts the calling thread under SCHED_FIFO at `priority` (kept low: lamps need punctual wakes,
// not the whole machine), lowered to what RLIMIT_RTPRIO allows; where that is refused asks
// rtkit over the system bus; otherwise leaves the thread as it is. Children forked later start
// at normal priority. Tells nothing to the user; the answer says what was granted.
RealTimeGrant RequestRealTimeForThisThread(int priority);

// A real-time thread that runs longer than RLIMIT_RTTIME's soft limit without blocking gets
// SIGXCPU, and at the hard limit it is killed, lamps frozen. Every thread this process put under
// real-time scheduling drops to normal priority at SIGXCPU instead; this tells whether that
// happened, so the program can say so once.
bool RealTimeWithdrawn();
const char* RealTimeWithdrawnMessage();

// Sleeps until the absolute moment `deadline` of std::chrono::steady_clock (CLOCK_MONOTONIC),
// resuming after signals, so a loop of these never drifts however late one wake was.
void SleepUntil(std::chrono::steady_clock::time_point deadline);

const char* RealTimeGrantName(RealTimeGrant grant);

} // namespace velkaro
