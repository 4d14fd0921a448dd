// The slot that hands small values to the engine's thread without a lock.
#include "model/SeqLockSlot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace velkaro {
namespace {

struct Pair {
    std::uint64_t First = 0;
    std::uint64_t Second = 0;
};

// Stands in for a writer preempted between its two sequence stores, as a writer of normal
// priority is on one core while a real-time reader runs.
class CaughtWriterSlot : public SeqLockSlot<Pair> {
public:
    void BeginWrite() { sequence_.fetch_add(1); }
    void EndWrite() { sequence_.fetch_add(1); }
};

TEST(SeqLockSlotTest, AReaderNeverWaitsForAWriterCaughtHalfwayAndNeverSeesATornValue) {
    CaughtWriterSlot slot;
    slot.Store({1, 1});
    slot.BeginWrite();
    Pair seen{7, 7};
    EXPECT_FALSE(slot.TryLoad(seen)) << "gives up instead of spinning";
    EXPECT_EQ(seen.First, 7u) << "and leaves what the reader had";
    slot.EndWrite();
    ASSERT_TRUE(slot.TryLoad(seen));
    EXPECT_EQ(seen.First, 1u);

    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (std::uint64_t i = 2; i < 200'000; ++i) slot.Store({i, i});
        done = true;
    });
    int torn = 0;
    std::uint64_t last = 0;
    while (!done) {
        if (!slot.TryLoad(seen)) continue;
        torn += seen.First != seen.Second || seen.First < last;
        last = seen.First;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(slot.Load().First, 199'999u);
}

} // namespace
} // namespace velkaro
