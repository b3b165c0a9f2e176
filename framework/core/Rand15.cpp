#include "framework/core/Rand15.h"

#include <atomic>

namespace Fw {
namespace {
std::atomic<uint32_t> gState{1};
}

void SeedRand(uint32_t seed)
{
    gState.store(seed, std::memory_order_relaxed);
}

int Rand()
{
    uint32_t old = gState.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = old * 214013u + 2531011u;
    } while (!gState.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return int((next >> 16) & 0x7FFF);
}

} // namespace Fw
