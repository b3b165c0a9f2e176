#include "platform/fake/FakeClock.h"

namespace Platform {

FakeClock::FakeClock(uint32_t start) : now_(start == 0 ? 1u : start) {}

void FakeClock::Sleep(uint32_t ms)
{
    sleepCalls_.fetch_add(1, std::memory_order_acq_rel);
    slept_.fetch_add(ms, std::memory_order_acq_rel);
    Advance(ms);
}

} // namespace Platform
