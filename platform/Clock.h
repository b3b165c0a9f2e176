// Millisecond clock of the platform: the timing core's only source of time.
// Values are uint32_t milliseconds that wrap at 2^32; compare them by unsigned difference.
#pragma once
#include <cstdint>

namespace Platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, never 0 right after start-up; any thread.
    virtual uint32_t TimeGetTime() = 0;
    // Same time base as TimeGetTime (the two Windows counters are one here); any thread.
    virtual uint32_t GetTickCount() { return TimeGetTime(); }
    // Blocks the calling thread for about ms milliseconds (the fake advances its time instead).
    virtual void Sleep(uint32_t ms) = 0;
};

// The process's clock: the real one unless a test installed another. Never null.
Clock& GetClock();
// Installs clock for the process (tests); nullptr restores the real clock. Returns the clock that
// was installed before (nullptr for the real one). Call before starting threads that read the clock.
Clock* SetClock(Clock* clock);

} // namespace Platform
