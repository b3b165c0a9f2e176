// Untextured fillers and the shared triangle walk: coverage rule, alpha bands, the blend of each
// destination format, modulation by the draw colour.
#include <gtest/gtest.h>

#include <cstring>

#include "RasterTestSupport.h"

namespace Fw::test {
namespace {

constexpr int k8888Vc = 4, k8888Mod = 6, k888Vc = 36, k565Vc = 68, k555Vc = 100;

std::vector<int> RowCounts(Canvas<uint32_t>& c)
{
    std::vector<int> counts;
    for (int y = 0; y < c.height; ++y) {
        int n = 0, first = -1;
        for (int x = 0; x < c.width; ++x)
            if (c.at(x, y)) {
                n += 1;
                first = first < 0 ? x : first;
            }
        EXPECT_TRUE(n == 0 || first == 0) << "row " << y << " starts at " << first;
        counts.push_back(n);
    }
    return counts;
}

TEST(TriangleWalk, CoversHalfOpenRowsAndColumns)
{
    Canvas<uint32_t> c(6, 6);
    FillWith(k8888Vc, c, RV(0, 0), RV(4, 0), RV(0, 4));
    EXPECT_EQ(RowCounts(c), (std::vector<int>{4, 3, 2, 1, 0, 0}));
    EXPECT_EQ(c.at(0, 0), 0xFFFFFFFFu);
}

TEST(TriangleWalk, VertexOrderAndWindingDoNotMatter)
{
    const RasterVertex v[3] = {RV(0, 0), RV(4, 0), RV(0, 4)};
    const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const auto& o : orders) {
        Canvas<uint32_t> c(6, 6);
        FillWith(k8888Vc, c, v[o[0]], v[o[1]], v[o[2]]);
        EXPECT_EQ(RowCounts(c), (std::vector<int>{4, 3, 2, 1, 0, 0})) << o[0] << o[1] << o[2];
    }
}

TEST(TriangleWalk, DegenerateTrianglesDrawNothing)
{
    struct Case {
        const char* what;
        RasterVertex a, b, c;
    };
    const Case cases[] = {
        {"three vertices on one row", RV(0, 2), RV(5, 2), RV(3, 2)},
        {"between two rows", RV(0, 2.25), RV(5, 2.5), RV(1, 2.75)},
        {"middle vertex on the long edge", RV(0, 0), RV(2, 2), RV(4, 4)},
        {"all in one point", RV(1, 1), RV(1, 1), RV(1, 1)},
    };
    for (const Case& k : cases) {
        Canvas<uint32_t> c(6, 6);
        FillWith(k8888Vc, c, k.a, k.b, k.c);
        for (uint32_t p : c.px)
            ASSERT_EQ(p, 0u) << k.what;
    }
}

TEST(TriangleWalk, SampleRowsFromTopInclusiveToBottomExclusive)
{
    // Top at 0.5 and bottom at 3.0: rows 1 and 2; left x at 0.25 starts at column 1.
    Canvas<uint32_t> c(8, 5);
    FillWith(k8888Vc, c, RV(0.25, 0.5), RV(6, 0.5), RV(0.25, 3.0));
    EXPECT_EQ(c.at(0, 1), 0u);
    EXPECT_EQ(c.at(1, 1), 0xFFFFFFFFu);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(c.at(x, 0), 0u);
        EXPECT_EQ(c.at(x, 3), 0u);
    }
}

TEST(TriangleWalk, FillerLeavesItsRecordsUnchanged)
{
    Canvas<uint32_t> c(6, 6);
    const RasterVertex a = RV(0, 0, 0x80FF8040), b = RV(5, 1, 0x80FF8040), d = RV(1, 5, 0x80FF8040);
    const RasterVertex a0 = a, b0 = b, d0 = d;
    FillWith(k8888Mod, c, a, b, d, {}, RasterColor{128, 10, 20, 30});
    EXPECT_EQ(std::memcmp(&a, &a0, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&b, &b0, sizeof b), 0);
    EXPECT_EQ(std::memcmp(&d, &d0, sizeof d), 0);
}

// A flat triangle whose channels are constant, so the pixel at (1, 1) sees exactly these values.
RasterVertex Flat(double x, double y, int32_t a, int32_t r, int32_t g, int32_t b)
{
    RasterVertex v = RV(x, y);
    v.a = a, v.r = r, v.g = g, v.b = b;
    return v;
}

uint32_t Untextured8888(int32_t a, int32_t r, int32_t g, int32_t b, uint32_t dst)
{
    Canvas<uint32_t> c(4, 4, dst);
    FillWith(k8888Vc, c, Flat(0, 0, a, r, g, b), Flat(4, 0, a, r, g, b), Flat(0, 4, a, r, g, b));
    return c.at(1, 1);
}

TEST(UntexturedFiller, AlphaBands)
{
    const int32_t white = 0xFF0000;
    struct Case {
        int32_t alpha;
        uint32_t expected; // over opaque black
    } cases[] = {
        {0x80000, 0xFF000000},     // 8.0: untouched
        {0x80001, 0xFF070707},     // sa 8: (255 * 8) >> 8
        {0xF00000, 0xFFEFEFEF},    // 240.0 still blends with sa 240
        {0xF00001, 0xFFFFFFFF},    // above 240.0: opaque
        {-27 * 65536, 0xFF000000}, // rounded below zero: alpha 0, not opaque
    };
    for (const Case& k : cases)
        EXPECT_EQ(Untextured8888(k.alpha, white, white, white, 0xFF000000), k.expected) << std::hex << k.alpha;
}

TEST(UntexturedFiller, Blend8888)
{
    struct Case {
        const char* what;
        int32_t a, r, g, b;
        uint32_t dst, expected;
    } cases[] = {
        {"red over opaque black", 128 << 16, 255 << 16, 0, 0, 0xFF000000, 0xFF7F0000},
        {"red over transparent", 128 << 16, 255 << 16, 0, 0, 0x00000000, 0x7FFE0000},
        // Red keeps 16 fraction bits, green 8 and blue none: 1.5 gives 1, 1, 0.
        {"fraction per channel", 200 << 16, 0x18000, 0x18000, 0x18000, 0x00000000, 0xC7010100},
        {"negative colour reads 0", 0xFF0000, -5, -5, -5, 0x12345678, 0xFF000000},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Untextured8888(k.a, k.r, k.g, k.b, k.dst), k.expected) << k.what;
}

TEST(UntexturedFiller, OtherFormatsPackAndBlend)
{
    const RasterVertex half[3] = {RV(0, 0, 0x80FFFFFF), RV(4, 0, 0x80FFFFFF), RV(0, 4, 0x80FFFFFF)};
    const RasterVertex opaque[3] = {RV(0, 0, 0xFF7F80FF), RV(4, 0, 0xFF7F80FF), RV(0, 4, 0xFF7F80FF)};
    {
        Canvas<uint32_t> c(4, 4, 0x00000000);
        FillWith(k888Vc, c, half[0], half[1], half[2]);
        EXPECT_EQ(c.at(1, 1), 0xFF7F7F7Fu);
    }
    {
        Canvas<uint16_t> c(4, 4, 0);
        FillWith(k565Vc, c, half[0], half[1], half[2]);
        EXPECT_EQ(c.at(1, 1), (15 << 11) | (31 << 5) | 15);
        FillWith(k565Vc, c, opaque[0], opaque[1], opaque[2]);
        EXPECT_EQ(c.at(1, 1), (15 << 11) | (32 << 5) | 31);
    }
    {
        Canvas<uint16_t> c(4, 4, 0x8000);
        FillWith(k555Vc, c, half[0], half[1], half[2]);
        EXPECT_EQ(c.at(1, 1), (15 << 10) | (15 << 5) | 15); // bit 15 dropped by the scaling
        FillWith(k555Vc, c, opaque[0], opaque[1], opaque[2]);
        EXPECT_EQ(c.at(1, 1), (15 << 10) | (16 << 5) | 31);
    }
}

TEST(UntexturedFiller, ModulatedByDrawColour)
{
    // Opaque white under draw alpha 128: alpha 127.5 blends with sa 127, colour 254.0039.
    Canvas<uint32_t> c(4, 4, 0xFF000000);
    FillWith(k8888Mod, c, RV(0, 0), RV(4, 0), RV(0, 4), {}, RasterColor{128, 255, 255, 255});
    EXPECT_EQ(c.at(1, 1), 0xFF7E7E7Eu);
}

TEST(UntexturedFiller, InterpolatesAlongTheTriangle)
{
    // Alpha from 0 at x = 0 to 255 at x = 8 along each row; blue constant.
    Canvas<uint32_t> c(9, 9, 0xFF000000);
    FillWith(k888Vc, c, RV(0, 0, 0x000000FF), RV(8, 0, 0xFF0000FF), RV(0, 8, 0x000000FF));
    EXPECT_EQ(c.at(0, 0), 0xFF000000u);      // alpha 0: untouched
    EXPECT_EQ(c.at(4, 0), 0xFF00007Eu);      // alpha 127.5 -> sa 127, blue (255*127)>>8
    EXPECT_EQ(c.at(7, 0), 0xFF0000DEu);      // alpha 223.125 -> sa 223
}

} // namespace
} // namespace Fw::test
