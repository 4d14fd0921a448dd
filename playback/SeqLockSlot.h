#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace velkaro {

// A small value handed from one writing thread to readers without a lock: the writer never
// waits, and a reader that raced a write reads again. For values of a few words (a position, a
// command) where a torn read must never be seen.
template <typename T> class SeqLockSlot {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr std::size_t Words = (sizeof(T) + 7) / 8;

public:
    explicit SeqLockSlot(const T& value = T{}) { Store(value); }

    // Only ever from one thread at a time.
    void Store(const T& value) {
        std::array<std::uint64_t, Words> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed); // odd: a write is under way
        std::atomic_thread_fence(std::memory_order_release);
        for (std::size_t i = 0; i < Words; ++i)
            words_[i].store(words[i], std::memory_order_relaxed);
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    T Load() const {
        std::array<std::uint64_t, Words> words{};
        for (;;) {
            const std::uint32_t before = sequence_.load(std::memory_order_acquire);
            for (std::size_t i = 0; i < Words; ++i)
                words[i] = words_[i].load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if ((before & 1u) == 0 && sequence_.load(std::memory_order_relaxed) == before) break;
        }
        T value{};
        std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
        return value;
    }

private:
    std::atomic<std::uint32_t> sequence_{0};
    std::array<std::atomic<std::uint64_t>, Words> words_{};
};

} // namespace velkaro
