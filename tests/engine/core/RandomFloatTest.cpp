// RandomFloat: ends of the range and its source generator.
#include "engine/core/RandomFloat.h"
#include "framework/core/Rand15.h"

#include <gtest/gtest.h>

TEST(RandomFloat, StaysInItsRangeAndFollowsTheEngineGenerator)
{
    EXPECT_EQ(RandomFloat(2.0f, 2.0f), 2.0f);
    for (int i = 0; i < 2000; ++i) {
        const float r = RandomFloat(0.0f, 1.0f);
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
    }
    // Seed 1: the generator's first numbers are 41 and 18467.
    Fw::SeedRand(1);
    EXPECT_EQ(RandomFloat(0.0f, 32767.0f), 41.0f);
    EXPECT_FLOAT_EQ(RandomFloat(-1.0f, 1.0f), -1.0f + 2.0f * (18467.0f / 32767.0f));
}
