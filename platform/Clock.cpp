// Selection of the process's clock: the steady clock unless a test installed another.
#include "platform/Clock.h"

#include "platform/linux/SteadyClock.h"

#include <atomic>

namespace Platform {
namespace {

SteadyClock& RealClock()
{
    static SteadyClock clock;
    return clock;
}

std::atomic<Clock*> gInstalled{nullptr};

} // namespace

Clock& GetClock()
{
    Clock* c = gInstalled.load(std::memory_order_acquire);
    return c ? *c : RealClock();
}

Clock* SetClock(Clock* clock)
{
    return gInstalled.exchange(clock == &RealClock() ? nullptr : clock, std::memory_order_acq_rel);
}

} // namespace Platform
