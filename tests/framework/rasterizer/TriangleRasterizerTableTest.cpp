// The filler table: index layout, shared members, format blocks and the empty table before
// InitTriangleRasterizers. Also the small fixed-point and format-code helpers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "RasterTestSupport.h"
#include "framework/rasterizer/FixedPoint.h"
#include "framework/rasterizer/PixelMath.h"
#include "framework/rasterizer/PolygonRasterizer.h"
#include "framework/rasterizer/RasterFormat.h"

namespace Fw::test {
namespace {

// Draws a quad before and after filling the table; exits 0 when only the second one drew.
[[noreturn]] void DrawBeforeAndAfterInit()
{
    bool empty = TriangleRasterizerAt(4) == nullptr && TriangleRasterizerAt(16) == nullptr;
    uint32_t px[16] = {};
    const TriVertex quad[4] = {{0, 0, 0, 0, 0xFFFFFFFF}, {4, 0, 0, 0, 0xFFFFFFFF}, {0, 4, 0, 0, 0xFFFFFFFF},
                               {4, 4, 0, 0, 0xFFFFFFFF}};
    const RasterClipRect clip{0, 0, 4, 4};
    RasterizePolygon(quad, 4, nullptr, RasterColor{}, 0, clip, px, 16, 0x8888, false, true);
    for (uint32_t p : px)
        empty = empty && p == 0;
    InitTriangleRasterizers();
    RasterizePolygon(quad, 4, nullptr, RasterColor{}, 0, clip, px, 16, 0x8888, false, true);
    std::exit(empty && px[0] == 0xFFFFFFFF ? 0 : 1);
}

// Runs in a fresh process (the threadsafe death-test style re-executes the binary), so no other
// test can have filled the table yet.
TEST(TriangleRasterizerTableDeathTest, NothingIsDrawnBeforeTheTableIsFilled)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(DrawBeforeAndAfterInit(), ::testing::ExitedWithCode(0), "");
}

TEST(TriangleRasterizerTable, FormatBlocks)
{
    EXPECT_EQ(RasterFormatBlock(0x8888), 0);
    EXPECT_EQ(RasterFormatBlock(0), 0);
    EXPECT_EQ(RasterFormatBlock(0x888), 32);
    EXPECT_EQ(RasterFormatBlock(0x565), 64);
    EXPECT_EQ(RasterFormatBlock(0x555), 96);
    EXPECT_EQ(RasterFormatBlock(0x1234), 0);
}

TEST(TriangleRasterizerTable, SharedAndDistinctMembers)
{
    InitTriangleRasterizers();
    InitTriangleRasterizers(); // idempotent
    for (int block = 0; block < 128; block += 32) {
        const TriangleFiller none = TriangleRasterizerAt(block);
        for (int slot : {1, 2, 3, 8, 9, 10, 11})
            EXPECT_EQ(TriangleRasterizerAt(block + slot), none) << block + slot;
        // One member serves the slots that differ only in the blend and bilinear bits.
        for (int slot : {5, 12, 13})
            EXPECT_EQ(TriangleRasterizerAt(block + slot), TriangleRasterizerAt(block + 4)) << block + slot;
        for (int slot : {7, 14, 15})
            EXPECT_EQ(TriangleRasterizerAt(block + slot), TriangleRasterizerAt(block + 6)) << block + slot;
        EXPECT_NE(TriangleRasterizerAt(block + 4), none);
        EXPECT_NE(TriangleRasterizerAt(block + 4), TriangleRasterizerAt(block + 6));
        for (int slot = 16; slot < 32; ++slot)
            for (int other = slot + 1; other < 32; ++other)
                EXPECT_NE(TriangleRasterizerAt(block + slot), TriangleRasterizerAt(block + other));
    }
    EXPECT_EQ(TriangleRasterizerAt(128), nullptr);
    EXPECT_EQ(TriangleRasterizerAt(-1), nullptr);
}

TEST(TriangleRasterizerTable, SelectionByFlagsAndFormat)
{
    InitTriangleRasterizers();
    const RasterVertex a = RV(0, 0), b = RV(4, 0), c = RV(0, 4);
    // Untextured vertex colour, white draw colour, 5-6-5 (index 68) versus red draw colour (70).
    Canvas<uint16_t> c565(4, 4);
    SelectTriangleRasterizer(false, false, true, false, a, b, c, c565.bits(), c565.pitch(), {}, {}, 0x565, true);
    EXPECT_EQ(c565.at(0, 0), 0xFFFF);
    SelectTriangleRasterizer(false, false, true, true, a, b, c, c565.bits(), c565.pitch(), {}, {255, 255, 0, 0},
                             0x565, false);
    EXPECT_EQ(c565.at(0, 0), 0xF800);
    // Without vertex colours nothing is drawn, whatever the draw colour.
    Canvas<uint32_t> c32(4, 4);
    SelectTriangleRasterizer(false, false, false, true, a, b, c, c32.bits(), c32.pitch(), {}, {255, 255, 0, 0},
                             0x8888, false);
    EXPECT_EQ(c32.at(0, 0), 0u);
    // An unknown format code draws 32-bit pixels.
    SelectTriangleRasterizer(false, false, true, false, a, b, c, c32.bits(), c32.pitch(), {}, {}, 0x1234, false);
    EXPECT_EQ(c32.at(3, 0), 0xFFFFFFFFu);
}

TEST(FixedPoint, FloorAndSaturatingConversion)
{
    EXPECT_EQ(raster::FixedFloor(0x18000), 0x10000);
    EXPECT_EQ(raster::FixedFloor(0), 0);
    EXPECT_EQ(raster::FixedFloor(-1), -0x10000);
    EXPECT_EQ(raster::FixedFloor(-0x8000), -0x10000);
    EXPECT_EQ(raster::FixedFloor(-0x10000), -0x10000);
    EXPECT_EQ(raster::SaturatingTrunc(-0.75), 0);
    EXPECT_EQ(raster::SaturatingTrunc(1e30), INT32_MAX);
    EXPECT_EQ(raster::SaturatingTrunc(-1e30), INT32_MIN);
    EXPECT_EQ(raster::SaturatingTrunc(std::nan("")), 0);
}

TEST(FixedPoint, ReciprocalDivisionIsExactForEveryNumeratorAndDivisor)
{
    for (uint32_t q = 1; q <= 256; ++q)
        for (uint32_t n = 0; n < 65536; ++n)
            if (raster::DivSmall(n, q) != n / q)
                FAIL() << n << " / " << q << " gives " << raster::DivSmall(n, q);
}

TEST(RasterFormat, CodesForImagesAndSurfaces)
{
    EXPECT_EQ(MemoryImageRasterFormat(true, false, false), 0x888);
    EXPECT_EQ(MemoryImageRasterFormat(true, true, false), 0x8888);
    EXPECT_EQ(MemoryImageRasterFormat(true, false, true), 0x8888);
    EXPECT_EQ(MemoryImageRasterFormat(false, false, false), 0x8888);
    EXPECT_EQ(SurfaceRasterFormat(32, 0xFF0000, 0xFF00, 0xFF), 0x888);
    EXPECT_EQ(SurfaceRasterFormat(16, 0xF800, 0x07E0, 0x1F), 0x565);
    EXPECT_EQ(SurfaceRasterFormat(16, 0x7C00, 0x03E0, 0x1F), 0x555);
    EXPECT_EQ(SurfaceRasterFormat(16, 0x0F00, 0x00F0, 0x0F), std::nullopt);
    EXPECT_EQ(SurfaceRasterFormat(24, 0xFF0000, 0xFF00, 0xFF), std::nullopt);
}

} // namespace
} // namespace Fw::test
