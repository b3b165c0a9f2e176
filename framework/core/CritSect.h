// The program's lock: a recursive mutex (the owning thread may enter again), and its scope guard.
#pragma once
#include <mutex>

namespace Fw {

class CritSect {
public:
    CritSect() = default;
    CritSect(const CritSect&) = delete;
    CritSect& operator=(const CritSect&) = delete;

    void Enter() { mutex_.lock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    void Leave() { mutex_.unlock(); }

    // BasicLockable, so std::lock_guard and std::scoped_lock work too.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// Enters the section on construction and leaves it on destruction.
class ScopedCritSect {
public:
    explicit ScopedCritSect(CritSect& section) : section_(section) { section_.Enter(); }
    ~ScopedCritSect() { section_.Leave(); }
    ScopedCritSect(const ScopedCritSect&) = delete;
    ScopedCritSect& operator=(const ScopedCritSect&) = delete;

private:
    CritSect& section_;
};

} // namespace Fw
