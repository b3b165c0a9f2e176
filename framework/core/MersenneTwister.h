// The MT19937 generator with 31-bit results (the tempered word AND 0x7FFFFFFF), its process-wide
// instance gRandom (seeded with 4357) and the two helpers around it. Not locked: main thread.
#pragma once
#include <cstdint>

namespace Fw {

class MersenneTwister {
public:
    static constexpr uint32_t kDefaultSeed = 4357;

    explicit MersenneTwister(uint32_t seed = kDefaultSeed) { SRand(seed); }
    // Seed 0 means kDefaultSeed.
    void SRand(uint32_t seed);
    // A number in [0, 2^31 - 1].
    uint32_t Next();
    // Next() / (2^31 - 1) * range, in [0, range].
    float NextFloat(float range);

private:
    static constexpr int kWords = 624;
    uint32_t state_[kWords];
    int index_ = kWords;
};

extern MersenneTwister gRandom;

// Restarts gRandom's sequence from seed.
void SeedRandom(uint32_t seed);
// gRandom.NextFloat(range).
float MTRandFloat(float range);

} // namespace Fw
