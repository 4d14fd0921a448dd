// The engine's thread, on the real-time path, allocates nothing while it plays to the lamps and
// the window's preview follows it: an allocation can take a lock or a page fault at any time.
#include "output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/ShowPublisher.h"
#include "ui/WindowFixture.h"

#include <QRadioButton>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/prctl.h>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> engineAllocations{0};

void CountIfOnTheEngine() {
    if (!counting.load(std::memory_order_relaxed)) return;
    char name[16] = {};
    ::prctl(PR_GET_NAME, name);
    if (std::strcmp(name, "velkaro-engine") == 0) engineAllocations.fetch_add(1);
}

void* Allocate(std::size_t size) {
    CountIfOnTheEngine();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    CountIfOnTheEngine();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    CountIfOnTheEngine();
    return std::malloc(size ? size : 1);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace velkaro {
namespace {

class EngineAllocationTest : public WindowTest {
protected:
    testing::OladProcess olad;
};

TEST_F(EngineAllocationTest, PlayingAFadeToTheLampsWithThePreviewFollowingAllocatesNothing) {
    ASSERT_TRUE(olad.Start()) << olad.Log();
    StartWith(WindowOptions{{}, {}, olad.Port()});
    for (int c = 0; c < MaxOutputs; ++c) w->Show().Cells[1][c] = RGB(250, 125, 60);
    w->Settings().SetOutputs(MaxOutputs);
    w->Settings().SetSteps(2);
    w->Settings().SetStepLength(1);
    testing::DmxReceiver lamps(olad.Port(), 1);
    ASSERT_TRUE(lamps.WaitRegistered());
    w->Live().SwitchOn(1);
    ASSERT_TRUE(lamps.WaitUntil([](const auto& f) { return f.size() > 10; }));

    const std::uint64_t ticksBefore = w->Publisher().Engine().Position().Ticks;
    const std::uint64_t framesBefore = w->Publisher().Engine().FramesSent();
    counting = true;
    QTest::qWait(1500); // the window's thread draws the bar at the engine's ticks meanwhile
    counting = false;
    EXPECT_GE(w->Publisher().Engine().Position().Ticks, ticksBefore + 3) << "ticks played";
    EXPECT_GE(w->Publisher().Engine().FramesSent(), framesBefore + 10) << "frames sent";
    EXPECT_EQ(engineAllocations.load(), 0) << "allocations on the engine's thread";
}

} // namespace
} // namespace velkaro
