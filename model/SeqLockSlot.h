#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

namespace velkaro {

// A small value handed from one writing thread to readers without a lock: the writer never
// waits, and a reader that raced a write reads again. For values of a few words (a position, a
// command) where a torn read must never be seen.
//
// A real-time reader must never wait for a writer of lower priority: on one core that writer
// cannot run while the reader spins, so such a reader asks with TryLoad and acts on the value
// next time. Ordering rests on acquire and release on the words themselves, no fences, so that
// ThreadSanitizer follows it.
template <typename T> class SeqLockSlot {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr std::size_t Words = (sizeof(T) + 7) / 8;

public:
    // Reads that may meet a write under way before TryLoad gives up: a write of a few words
    // takes far less than one read on another core, so only a writer held up in the middle
    // outlasts them.
    static constexpr int Attempts = 8;

    explicit SeqLockSlot(const T& value = T{}) { Store(value); }

    // Only ever from one thread at a time.
    void Store(const T& value) {
        std::array<std::uint64_t, Words> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed); // odd: a write is under way
        // Release: a reader that sees a new word also sees the odd sequence before it.
        for (std::size_t i = 0; i < Words; ++i)
            words_[i].store(words[i], std::memory_order_release);
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    // Never waits: false when every attempt met a write under way.
    bool TryLoad(T& value) const {
        std::array<std::uint64_t, Words> words{};
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            const std::uint32_t before = sequence_.load(std::memory_order_acquire);
            if ((before & 1u) != 0) continue;
            // Acquire: the sequence read after them cannot move before them.
            for (std::size_t i = 0; i < Words; ++i)
                words[i] = words_[i].load(std::memory_order_acquire);
            if (sequence_.load(std::memory_order_relaxed) != before) continue;
            std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
            return true;
        }
        return false;
    }

    // For readers the writer cannot be starved by: retries, giving up the core between rounds.
    T Load() const {
        T value{};
        while (!TryLoad(value)) std::this_thread::yield();
        return value;
    }

protected:
    // Protected so that a test can stand in for a writer caught between its two stores.
    std::atomic<std::uint32_t> sequence_{0};
    std::array<std::atomic<std::uint64_t>, Words> words_{};
};

} // namespace velkaro
