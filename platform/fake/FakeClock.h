// Test clock: time moves only when Sleep is called or the test advances or sets it, so timing code
// runs deterministically. Simulates the wrap at 2^32 exactly (unsigned arithmetic); never starts at 0.
// Does not block: Sleep returns at once after advancing. Thread-safe reads and advances.
#pragma once
#include "platform/Clock.h"
#include "platform/ServiceSlot.h"

#include <atomic>
#include <cstdint>

namespace Platform {

class FakeClock final : public Clock {
public:
    // start 0 is taken as 1: 0 means "no tick yet" to the timing core.
    explicit FakeClock(uint32_t start = 100000);

    uint32_t TimeGetTime() override { return now_.load(std::memory_order_acquire); }
    void Sleep(uint32_t ms) override;

    void Advance(uint32_t ms) { now_.fetch_add(ms, std::memory_order_acq_rel); }
    void Set(uint32_t now) { now_.store(now, std::memory_order_release); }
    // Total milliseconds passed to Sleep since construction (wraps like the clock).
    uint32_t SleptMs() const { return slept_.load(std::memory_order_acquire); }
    uint32_t SleepCalls() const { return sleepCalls_.load(std::memory_order_acquire); }

private:
    std::atomic<uint32_t> now_;
    std::atomic<uint32_t> slept_{0};
    std::atomic<uint32_t> sleepCalls_{0};
};

using ScopedClock = ScopedService<Clock, &SetClock>;

} // namespace Platform
