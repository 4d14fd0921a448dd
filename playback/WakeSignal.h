#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace velkaro {

// Lets one thread sleep until an absolute deadline and any other thread cut that sleep short
// without taking a lock: Wake counts up and wakes the sleeper through a futex. The sleeper
// passes the count it last acted on, so a wake that came before it lay down is not lost.
class WakeSignal {
public:
    using Clock = std::chrono::steady_clock;

    std::uint32_t Count() const { return count_.load(std::memory_order_acquire); }
    // Never blocks.
    void Wake();
    // Returns at `deadline`, on a Wake after `seen` was read, or early for no reason: the
    // caller looks at the time and its inputs again. Clock::time_point::max() sleeps until woken.
    void SleepUntil(Clock::time_point deadline, std::uint32_t seen);

private:
    std::atomic<std::uint32_t> count_{0};
};

} // namespace velkaro
