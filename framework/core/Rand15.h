// The engine's own rand()/srand(): the classic 15-bit linear congruential generator
// (state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF), the same sequence on every
// platform, which demos rely on. One process-wide state, updated atomically; starts at seed 1.
#pragma once
#include <cstdint>

namespace Fw {

constexpr int kRandMax = 0x7FFF;

// Restarts the sequence (srand).
void SeedRand(uint32_t seed);
// The next number in [0, kRandMax] (rand). Any thread.
int Rand();

} // namespace Fw
