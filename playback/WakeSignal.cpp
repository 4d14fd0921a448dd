#include "playback/WakeSignal.h"

#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velkaro {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t),
              "the futex word is the atomic itself");

std::uint32_t* FutexWord(std::atomic<std::uint32_t>& count) {
    return reinterpret_cast<std::uint32_t*>(&count);
}

} // namespace

void WakeSignal::Wake() {
    count_.fetch_add(1, std::memory_order_acq_rel);
    ::syscall(SYS_futex, FutexWord(count_), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

void WakeSignal::SleepUntil(Clock::time_point deadline, std::uint32_t seen) {
    // FUTEX_WAIT_BITSET takes an absolute time on CLOCK_MONOTONIC, the clock of steady_clock,
    // so a late wake never pushes the next one back.
    timespec at{};
    timespec* until = nullptr;
    if (deadline != Clock::time_point::max()) {
        const auto since = deadline.time_since_epoch();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
        at.tv_sec = static_cast<time_t>(seconds.count());
        at.tv_nsec = static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
        if (at.tv_sec < 0) return;
        until = &at;
    }
    ::syscall(SYS_futex, FutexWord(count_), FUTEX_WAIT_BITSET_PRIVATE, seen, until, nullptr,
              FUTEX_BITSET_MATCH_ANY);
}

} // namespace velkaro
