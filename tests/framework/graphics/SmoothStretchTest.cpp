// The smooth stretch's faster paths give the general filter's rows bit for bit: random sources
// (clear, opaque and partial pixels), odd sizes, source rectangles reaching outside the image,
// clipped destinations (sub-pixel source areas), enlargements, shrinks and mixes of the two.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/detail/SmoothStretch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Fw::DRect;
using Fw::Rect;
using namespace Fw::detail;

struct Lcg {
    uint32_t seed;
    uint32_t operator()()
    {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    }
};

// Every row the filter delivers, in order; rows it leaves out stay empty.
std::vector<std::vector<uint32_t>> Rows(bool general, const std::vector<uint32_t>& px, int32_t sw, const Rect& s,
                                        const Rect& r, const DRect& sd)
{
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(r.height));
    auto sink = [&](int32_t j, const uint32_t* avg) { rows[size_t(j)].assign(avg, avg + r.width); };
    if (general)
        SmoothStretchRowsGeneral(px.data(), sw, s, r, sd, sink);
    else
        SmoothStretchRows(px.data(), sw, s, r, sd, sink);
    return rows;
}

TEST(SmoothStretchRows, FastPathsMatchTheGeneralFilter)
{
    Lcg next{77};
    for (int rep = 0; rep < 400; ++rep) {
        const int32_t sw = 1 + int32_t(next() % 37), sh = 1 + int32_t(next() % 29);
        std::vector<uint32_t> px(size_t(sw) * size_t(sh));
        for (uint32_t& p : px) {
            const uint32_t kind = next() % 5;
            const uint32_t a = kind == 0 ? 0u : kind == 1 ? 255u : kind == 2 ? 1 + next() % 3 : next() & 0xFF;
            p = a << 24 | (next() & 0xFFFFFF);
        }
        // Source rectangle: mostly inside, sometimes reaching past the image.
        const Rect from(int32_t(next() % 5) - 1, int32_t(next() % 5) - 1, 1 + int32_t(next() % uint32_t(sw + 2)),
                        1 + int32_t(next() % uint32_t(sh + 2)));
        // Destination: each axis enlarged (most cases), kept or shrunk.
        auto extent = [&](int32_t n) {
            const uint32_t k = next() % 6;
            return k < 4 ? n * int32_t(1 + k) + int32_t(next() % 7) : k == 4 ? n : 1 + int32_t(next() % uint32_t(n));
        };
        const Rect dest(int32_t(next() % 21) - 10, int32_t(next() % 21) - 10, extent(from.width), extent(from.height));
        const Rect clip(int32_t(next() % 9), int32_t(next() % 9), 1 + int32_t(next() % 150), 1 + int32_t(next() % 120));
        const Rect s = from.Intersection(Rect(0, 0, sw, sh));
        Rect r;
        DRect sd;
        if (s.width <= 0 || s.height <= 0 || !StretchClip(from, clip, dest, r, sd))
            continue;
        const auto want = Rows(true, px, sw, s, r, sd);
        const auto got = Rows(false, px, sw, s, r, sd);
        for (int32_t j = 0; j < r.height; ++j)
            ASSERT_EQ(got[size_t(j)], want[size_t(j)]) << "rep " << rep << " row " << j;
    }
}

// Large opaque and clear areas (whole groups of four clear cells are skipped) and the largest sums.
TEST(SmoothStretchRows, EnlargingKeepsExtremeValues)
{
    const int32_t sw = 23, sh = 7;
    std::vector<uint32_t> px(size_t(sw) * size_t(sh));
    for (int32_t i = 0; i < sw * sh; ++i)
        px[size_t(i)] = (i / 5) % 3 == 0 ? 0xFFFFFFFFu : (i / 5) % 3 == 1 ? 0x00FFFFFFu : 0x01000000u;
    const Rect s(0, 0, sw, sh);
    for (int32_t scale = 2; scale <= 5; ++scale) {
        Rect r;
        DRect sd;
        ASSERT_TRUE(StretchClip(s, Rect(0, 0, 200, 200), Rect(0, 0, sw * scale + 1, sh * scale), r, sd));
        EXPECT_EQ(Rows(false, px, sw, s, r, sd), Rows(true, px, sw, s, r, sd)) << scale;
    }
}

} // namespace
