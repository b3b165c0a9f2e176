#include "framework/core/MersenneTwister.h"

namespace Fw {

// Seeded with 4357 until the application seeds it.
MersenneTwister gRandom;

void MersenneTwister::SRand(uint32_t seed)
{
    state_[0] = seed ? seed : kDefaultSeed;
    for (int i = 1; i < kWords; ++i)
        state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + uint32_t(i);
    index_ = kWords;
}

uint32_t MersenneTwister::Next()
{
    constexpr uint32_t kUpper = 0x80000000u, kLower = 0x7FFFFFFFu, kMatrix = 0x9908B0DFu;
    constexpr int kMiddle = 397;
    if (index_ >= kWords) {
        for (int i = 0; i < kWords; ++i) {
            const uint32_t y = (state_[i] & kUpper) | (state_[(i + 1) % kWords] & kLower);
            state_[i] = state_[(i + kMiddle) % kWords] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
        }
        index_ = 0;
    }
    uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y & 0x7FFFFFFFu;
}

float MersenneTwister::NextFloat(float range)
{
    return float(double(Next()) / 2147483647.0 * double(range));
}

void SeedRandom(uint32_t seed)
{
    gRandom.SRand(seed);
}

float MTRandFloat(float range)
{
    return gRandom.NextFloat(range);
}

} // namespace Fw
