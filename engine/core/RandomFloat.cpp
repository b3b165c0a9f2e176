// RandomFloat over the engine's 15-bit generator.
#include "engine/core/RandomFloat.h"

#include "framework/core/Rand15.h"

float RandomFloat(float min, float max)
{
    const float r = static_cast<float>(Fw::Rand() / double(Fw::kRandMax));
    return min + (max - min) * r;
}
