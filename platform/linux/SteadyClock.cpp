#include "platform/linux/SteadyClock.h"

#include <chrono>
#include <thread>

namespace Platform {

uint32_t SteadyClock::TimeGetTime()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    const auto value = static_cast<uint32_t>(static_cast<uint64_t>(ms));
    // Once every 2^32 ms the counter passes 0; report 1 then, so 0 keeps meaning "no tick yet".
    return value == 0 ? 1u : value;
}

void SteadyClock::Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace Platform
