// Selection of the process's clock: the steady clock unless a test installed another.
#include "platform/Clock.h"

#include "platform/ServiceSlot.h"
#include "platform/linux/SteadyClock.h"

namespace Platform {
namespace {

SteadyClock& RealClock()
{
    static SteadyClock clock;
    return clock;
}

ServiceSlot<Clock> gClock;

} // namespace

Clock& GetClock()
{
    return gClock.Get(RealClock());
}

Clock* SetClock(Clock* clock)
{
    return gClock.Exchange(clock, &RealClock());
}

} // namespace Platform
