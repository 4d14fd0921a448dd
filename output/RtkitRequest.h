#pragma once

#include <cstdint>

namespace velkaro {

// Asks RealtimeKit (org.freedesktop.RealtimeKit1 on the system bus) to put the calling thread
// under SCHED_FIFO at `priority`, lowered to the daemon's maximum. rtkit only grants this to a
// process that limits its real-time CPU time, so RLIMIT_RTTIME is set to the daemon's maximum
// first. Returns false when there is no system bus, no rtkit, or it refuses. Blocks for at most
// about a second, so call it before a loop starts, not from it.
bool AskRtkitForRealTime(int priority);

// Sets RLIMIT_RTTIME's hard limit to at most `maxMicroseconds` and the soft one below it.
bool LimitRealTimeCpu(std::int64_t maxMicroseconds);

} // namespace velkaro
