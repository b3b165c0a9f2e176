// The real millisecond clock: std::chrono::steady_clock folded into 32 bits.
// Never returns 0 (the timing core reads 0 as "no tick yet"); Sleep blocks the calling thread.
#pragma once
#include "platform/Clock.h"

namespace Platform {

class SteadyClock final : public Clock {
public:
    uint32_t TimeGetTime() override;
    void Sleep(uint32_t ms) override;
};

} // namespace Platform
