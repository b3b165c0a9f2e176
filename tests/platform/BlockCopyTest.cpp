// Whole-block copies: exactly the n bytes, nothing before or after, at any length and alignment.
#include "platform/BlockCopy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(BlockCopy, CopiesExactlyTheBytes)
{
    uint32_t state = 12345;
    for (size_t n : {size_t(0), size_t(1), size_t(7), size_t(64), size_t(1000), size_t(70000)}) {
        std::vector<uint8_t> src(n), dst(n + 16, 0xA5);
        for (uint8_t& b : src) {
            state = state * 1103515245u + 12345u;
            b = uint8_t(state >> 16);
        }
        Platform::CopyBlock(dst.data() + 3, src.data(), n);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(dst[3 + i], src[i]) << "n " << n << " at " << i;
        for (size_t i : {size_t(0), size_t(1), size_t(2), n + 3, n + 15})
            ASSERT_EQ(dst[i], 0xA5) << "n " << n << " written at " << i;
    }
}
