#include "player/FrameUnpacker.h"

#include "model/ShowError.h"

#include <algorithm>
#include <new>
#include <pthread.h>

namespace velkaro {

FrameUnpacker::FrameUnpacker(FseqReader& sequence, std::uint64_t frames, WakeSignal& ready)
    : sequence_(sequence), frames_(frames), ready_(ready) {
    thread_ = std::thread([this] { Run(); });
}

FrameUnpacker::~FrameUnpacker() {
    quit_.store(true, std::memory_order_release);
    room_.Wake();
    thread_.join();
}

void FrameUnpacker::Run() {
    pthread_setname_np(pthread_self(), "velkaro-unpack");
    std::optional<std::string> failure;
    try {
        Unpack();
    } catch (const ShowError& error) {
        failure = error.what();
    } catch (const std::bad_alloc&) {
        failure = "Zu wenig Arbeitsspeicher";
    } catch (const std::exception& error) {
        failure = std::string("Die FSEQ-Datei kann nicht mehr gelesen werden: ") + error.what();
    }
    if (!failure) return;
    {
        std::lock_guard lock(failureMutex_);
        failure_ = std::move(failure);
    }
    failed_.store(true, std::memory_order_release);
    ready_.Wake();
}

void FrameUnpacker::Unpack() {
    const std::uint64_t perPass = std::max<std::uint64_t>(sequence_.Frames(), 1);
    for (std::uint64_t number = 0; frames_ == 0 || number < frames_; ++number) {
        const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
        if (!WaitForRoom(tail)) return;
        Slot& slot = slots_[tail % Depth];
        sequence_.ReadFrame(static_cast<std::uint32_t>(number % perPass), slot.Frame);
        slot.Number = number;
        tail_.store(tail + 1, std::memory_order_release);
        if (tail + 1 - head_.load(std::memory_order_acquire) == Depth / 2) ready_.Wake();
    }
    done_.store(true, std::memory_order_release);
    ready_.Wake();
}

// False when told to quit.
bool FrameUnpacker::WaitForRoom(std::uint64_t tail) {
    for (;;) {
        const std::uint32_t seen = room_.Count();
        if (quit_.load(std::memory_order_acquire)) return false;
        if (tail - head_.load(std::memory_order_acquire) < Depth) return true;
        room_.SleepUntil(WakeSignal::Clock::time_point::max(), seen);
    }
}

FrameUnpacker::Take FrameUnpacker::TakeFrame(std::uint64_t number, DmxFrame& frame) {
    const std::uint64_t head = head_.load(std::memory_order_relaxed);
    const std::uint64_t tail = tail_.load(std::memory_order_acquire);
    std::uint64_t at = head;
    while (at != tail && slots_[at % Depth].Number < number) ++at;
    Take take = Take::NotYet;
    if (at != tail) {
        frame = slots_[at % Depth].Frame;
        ++at;
        take = Take::Ready;
    } else if (failed_.load(std::memory_order_acquire)) {
        take = Take::Failed;
    }
    head_.store(at, std::memory_order_release);
    // The unpacker sleeps while the queue is full; half of it free is worth one wake.
    if (tail - head >= Depth / 2 && tail - at < Depth / 2) room_.Wake();
    return take;
}

bool FrameUnpacker::Primed() const {
    const std::uint64_t ready =
        tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_relaxed);
    return ready >= Depth / 2 || done_.load(std::memory_order_acquire) ||
           failed_.load(std::memory_order_acquire);
}

std::optional<std::string> FrameUnpacker::Failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

} // namespace velkaro
