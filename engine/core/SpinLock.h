// Busy-wait lock on one 32-bit word (0 free, 1 held): no owner, no count, not re-entrant.
// Guards the game module's callbacks, the script host's level-load lock and the music player.
// Waiting yields the processor so a waiting thread cannot starve the holder on a small machine.
#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

namespace SpinLock {

inline void Acquire(std::atomic<int32_t>& word)
{
    for (;;) {
        int32_t expected = 0;
        if (word.compare_exchange_weak(expected, 1, std::memory_order_acquire))
            return;
        std::this_thread::yield();
    }
}

// Returns true when the word was held; a free word stays free.
inline bool Release(std::atomic<int32_t>& word)
{
    int32_t expected = 1;
    return word.compare_exchange_strong(expected, 0, std::memory_order_release);
}

// Holds the lock for a scope; also releases when an exception leaves it.
class Guard {
public:
    explicit Guard(std::atomic<int32_t>& word) : word_(word) { Acquire(word_); }
    ~Guard() { Release(word_); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    std::atomic<int32_t>& word_;
};

} // namespace SpinLock
