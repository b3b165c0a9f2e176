// Software drawing on surface images, pinned to exact pixel values: fills, lines, blits, mirrored,
// rotated and stretched blits in the four surface formats. The top byte of 32-bit pixels depends
// on the path, so 32-bit values are compared under the colour masks.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "support/FakeSurfaceDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Fw;
using FwTest::FakeSurfaceDisplay;
using FwTest::MemorySurfaceOf;

namespace {

struct Canvas {
    FakeSurfaceDisplay display;
    DDImage image{&display};
    Platform::MemorySurface* surface = nullptr;
    uint32_t colourMask;

    // w x h opaque image of one colour, drawn on its surface from the start.
    Canvas(const Platform::SurfacePixelFormat& f, int32_t w, int32_t h, uint32_t argb = 0xFF000000)
        : display(f), colourMask(f.redMask | f.greenMask | f.blueMask)
    {
        std::vector<uint32_t> px(size_t(w) * size_t(h), argb);
        image.SetBits(px.data(), w, h);
        surface = MemorySurfaceOf(image);
    }
    uint32_t At(int32_t x, int32_t y) const { return surface->PixelAt(x, y) & colourMask; }
    void Set(int32_t x, int32_t y, uint32_t v) { surface->SetPixelAt(x, y, v); }
    bool Unchanged(uint32_t v, const Rect& except) const
    {
        for (int32_t y = 0; y < surface->Height(); ++y)
            for (int32_t x = 0; x < surface->Width(); ++x) {
                const bool inside =
                    x >= except.x && y >= except.y && x < except.x + except.width && y < except.y + except.height;
                if (!inside && At(x, y) != v)
                    return false;
            }
        return true;
    }
};

// A plain memory image source.
MemoryImage Source(int32_t w, int32_t h, std::vector<uint32_t> px)
{
    MemoryImage img(nullptr);
    img.SetBits(px.data(), w, h);
    return img;
}

class SurfaceDraw : public ::testing::TestWithParam<FwTest::SurfaceFormatCase> {
protected:
    const Platform::SurfacePixelFormat& F() const { return GetParam().format; }
    uint32_t All() const { return F().redMask | F().greenMask | F().blueMask; }
    std::string Name() const { return GetParam().name; }
    // Per-format expectation, in the order of kSurfaceFormats.
    uint32_t Pick(uint32_t v565, uint32_t v555, uint32_t vX888, uint32_t vX444) const
    {
        const std::string n = Name();
        return n == "R5G6B5" ? v565 : n == "X1R5G5B5" ? v555 : n == "X8R8G8B8" ? vX888 : vX444;
    }
};

std::string FormatName(const ::testing::TestParamInfo<FwTest::SurfaceFormatCase>& info)
{
    return info.param.name;
}

TEST_P(SurfaceDraw, OpaqueWhiteFill)
{
    Canvas c(F(), 8, 6);
    c.image.FillRect(Rect(2, 1, 4, 3), Color::White, DRAWMODE_NORMAL);
    // 16-bit: ((255 + 1) * M >> 8) & M = M; 32-bit: (255 * M >> 8) & M keeps 254.
    EXPECT_EQ(c.At(2, 1), Pick(0xFFFF, 0x7FFF, 0x00FEFEFE, 0x0FFF));
    EXPECT_EQ(c.At(5, 3), c.At(2, 1));
    EXPECT_TRUE(c.Unchanged(0, Rect(2, 1, 4, 3)));
}

TEST_P(SurfaceDraw, FillWithAlphaZeroChangesNothing)
{
    Canvas c(F(), 5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            c.Set(x, y, (0x9E3779B9u * uint32_t(y * 5 + x + 1)) & c.colourMask);
    std::vector<uint32_t> before;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            before.push_back(c.At(x, y));
    c.image.FillRect(Rect(0, 0, 5, 3), Color(200, 100, 50, 0), DRAWMODE_NORMAL);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(c.At(i % 5, i / 5), before[size_t(i)]) << i;
}

TEST(SurfaceFill, HalfAlphaRedOverBlue)
{
    // 565: S = ((((255 * 128 + 128) >> 8) + 1) * 0xF800 >> 8) & 0xF800 = 0x7800;
    // blue (0x1F * 128 + 0x1F) >> 8 = 15.
    Canvas c565(Platform::kFormat565, 2, 1);
    c565.Set(0, 0, 0x001F);
    c565.image.FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0, 128), DRAWMODE_NORMAL);
    EXPECT_EQ(c565.At(0, 0), 0x780Fu);
    Canvas c888(Platform::kFormatX8R8G8B8, 2, 1);
    c888.Set(0, 0, 0x0000FF);
    c888.image.FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0, 128), DRAWMODE_NORMAL);
    EXPECT_EQ(c888.At(0, 0), 0x007F007Fu); // 32-bit: k = 127, ((127 + 1) * 0xFF0000 >> 8) & 0xFF0000
}

TEST_P(SurfaceDraw, AdditiveFillAndBlitSaturate)
{
    Canvas c(F(), 4, 2, 0xFFF0F0F0);
    c.image.FillRect(Rect(0, 0, 2, 1), Color::White, DRAWMODE_ADDITIVE);
    EXPECT_EQ(c.At(0, 0), All()); // 31 / 63 / 255 (15 on 4-bit channels), not wrapped
    MemoryImage white = Source(2, 1, {0xFFFFFFFF, 0xFF808080});
    c.image.Blt(&white, 2, 1, Rect(0, 0, 2, 1), Color::White, DRAWMODE_ADDITIVE);
    EXPECT_EQ(c.At(2, 1), All());
    EXPECT_EQ(c.At(3, 1), All());
    EXPECT_EQ(c.At(1, 1), c.At(0, 1)); // untouched neighbours keep the background
}

TEST(SurfaceBlt, AdditiveSourceDrawnOnItsSurfaceAddsItsNewPixels)
{
    // A surface image taken as partially transparent adds colour times alpha; drawing on its
    // surface afterwards must reach the next additive draw from it.
    Canvas src(Platform::kFormatX8R8G8B8, 4, 1, 0xFF402010);
    auto drawOntoMemory = [&] {
        src.image.SetImageMode(false, true);
        MemoryImage dest(nullptr);
        const std::vector<uint32_t> black(4, 0xFF000000);
        dest.SetBits(black.data(), 4, 1);
        dest.Blt(&src.image, 0, 0, Rect(0, 0, 4, 1), Color::White, DRAWMODE_ADDITIVE);
        src.image.SetImageMode(false, false);
        return std::vector<uint32_t>(dest.GetBits(), dest.GetBits() + 4);
    };
    EXPECT_EQ(drawOntoMemory(), std::vector<uint32_t>(4, 0xFF3F1F0F)); // channel * 255 >> 8
    src.image.FillRect(Rect(0, 0, 2, 1), Color::White, DRAWMODE_NORMAL);
    const uint32_t c = src.At(0, 0) & 0xFF; // grey, as the surface fill left it
    ASSERT_GT(c, 0x40u);
    const uint32_t added = 0xFF000000 | (c * 255 >> 8) * 0x010101;
    EXPECT_EQ(drawOntoMemory(), (std::vector<uint32_t>{added, added, 0xFF3F1F0F, 0xFF3F1F0F}));
}

TEST(SurfaceFill, AdditiveHalfWhiteOnBlack565)
{
    // (255 * 128) / 255 = 128, scaled to 16 / 32 / 16.
    Canvas c(Platform::kFormat565, 1, 1);
    c.image.FillRect(Rect(0, 0, 1, 1), Color(255, 255, 255, 128), DRAWMODE_ADDITIVE);
    EXPECT_EQ(c.At(0, 0), 0x8410u);
}

TEST(SurfaceLine, BresenhamPixelsAndOpaqueColour)
{
    Canvas c(Platform::kFormatX8R8G8B8, 6, 4);
    c.image.DrawLine(0.0, 0.0, 4.0, 2.0, Color::White, DRAWMODE_NORMAL);
    const bool on[4][6] = {{1, 1, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 0}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(c.At(x, y), on[y][x] ? 0x00FEFEFEu : 0u) << x << "," << y;
}

TEST(SurfaceLine, AntiAliasedDiagonalAndAdditiveNothing)
{
    Canvas c(Platform::kFormatX8R8G8B8, 6, 6);
    c.image.DrawLineAA(0.0, 0.0, 4.0, 4.0, Color::White, DRAWMODE_NORMAL);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(c.At(x, y), x == y && x <= 4 ? 0x00FDFDFDu : 0u) << x << "," << y;
    Canvas d(Platform::kFormat565, 6, 6);
    d.image.DrawLineAA(0.5, 0.0, 4.0, 5.0, Color::White, DRAWMODE_ADDITIVE);
    EXPECT_TRUE(d.Unchanged(0, Rect()));
}

TEST(SurfaceCoverage, FullCoverageBlendsTheShortColour)
{
    Canvas c(Platform::kFormatX8R8G8B8, 4, 2);
    const uint8_t coverage[4] = {255, 0, 128, 255};
    const Span span{1, 0, 4};
    c.image.FillScanLinesWithCoverage(&span, 1, Color::White, DRAWMODE_NORMAL, coverage, 0, 1, 4, 1);
    EXPECT_EQ(c.At(0, 1), 0x00FDFDFDu); // a = 255, S = 0xFEFEFE
    EXPECT_EQ(c.At(1, 1), 0u);          // a = (1 * 255) >> 8 = 0
    EXPECT_EQ(c.At(2, 1), 0x007F7F7Fu); // a = 128: 254 * 128 >> 8
    EXPECT_EQ(c.At(0, 0), 0u);
}

TEST(SurfaceBlt, PartialAlphaAndModulatedPixels)
{
    struct Case {
        const char* what;
        Platform::SurfacePixelFormat format;
        uint32_t dst, src;
        Color colour;
        bool isVolatile;
        uint32_t expected;
        int32_t mode = DRAWMODE_NORMAL;
    };
    const Case cases[] = {
        {"565 half red over blue", Platform::kFormat565, 0x001F, 0x80FF0000, Color::White, false, 0x800F},
        {"X888 half red over blue", Platform::kFormatX8R8G8B8, 0xFF, 0x80FF0000, Color::White, false, 0x0080007F},
        {"X888 grey-modulated white", Platform::kFormatX8R8G8B8, 0, 0xFFFFFFFF, Color(128, 128, 128), false,
         0x007F7F7F},
        {"565 grey-modulated white", Platform::kFormat565, 0, 0xFFFFFFFF, Color(128, 128, 128), false, 0x7BEF},
        {"X888 volatile half red over blue", Platform::kFormatX8R8G8B8, 0xFF, 0x80FF0000, Color::White, true,
         0x007F007F},
        // Factors differing per channel: ((n & M) * f_c >> 8) & M; colour alpha 128 blends instead.
        {"X888 orange-modulated", Platform::kFormatX8R8G8B8, 0, 0xFF804020, Color(255, 128, 0), false, 0x007F2000},
        {"X888 orange-modulated half", Platform::kFormatX8R8G8B8, 0, 0xFF804020, Color(255, 128, 0, 128), false,
         0x00401000},
        {"565 orange-modulated", Platform::kFormat565, 0, 0xFFF8FCF8, Color(255, 128, 0), false, 0xF3E0},
        // Additive with modulation: T[((s & M) >> sh) * f >> 8 + d].
        {"X888 additive orange", Platform::kFormatX8R8G8B8, 0x101010, 0xFF808080, Color(255, 128, 0), false,
         0x008F5010, DRAWMODE_ADDITIVE},
        {"565 additive orange", Platform::kFormat565, 0, 0xFFFFFFFF, Color(255, 128, 0), false, 0xF3E0,
         DRAWMODE_ADDITIVE},
    };
    for (const Case& k : cases) {
        Canvas c(k.format, 2, 1);
        c.Set(1, 0, k.dst);
        MemoryImage s = Source(1, 1, {k.src});
        s.SetVolatile(k.isVolatile);
        c.image.Blt(&s, 1, 0, Rect(0, 0, 1, 1), k.colour, k.mode);
        EXPECT_EQ(c.At(1, 0), k.expected) << k.what;
        EXPECT_EQ(c.At(0, 0), 0u) << k.what;
    }
}

TEST_P(SurfaceDraw, OpaqueAndTransparentRunsAndTheMirror)
{
    Canvas c(F(), 8, 1);
    MemoryImage s = Source(4, 1, {0xFFFF0000, 0x00000000, 0xFF00FF00, 0xFF0000FF});
    c.image.Blt(&s, 0, 0, Rect(0, 0, 4, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(c.At(0, 0), F().redMask);
    EXPECT_EQ(c.At(1, 0), 0u); // transparent pixel not written
    EXPECT_EQ(c.At(2, 0), F().greenMask);
    EXPECT_EQ(c.At(3, 0), F().blueMask);
    // Mirrored at x = 4: source column 0 lands on x + w - 1 = 7.
    c.image.BltMirror(&s, 4, 0, Rect(0, 0, 4, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(c.At(7, 0), F().redMask);
    EXPECT_EQ(c.At(6, 0), 0u);
    EXPECT_EQ(c.At(5, 0), F().greenMask);
    EXPECT_EQ(c.At(4, 0), F().blueMask);
    // Draw mode 2 in the mirror draws nothing.
    Canvas d(F(), 4, 1);
    d.image.BltMirror(&s, 0, 0, Rect(0, 0, 4, 1), Color::White, 2);
    EXPECT_TRUE(d.Unchanged(0, Rect()));
}

// Opaque copies (on 16-bit surfaces from a narrowed copy kept beside the source) show every change
// of the source's pixels: written through its bits, filled, set anew, palettised and back.
TEST_P(SurfaceDraw, OpaqueCopiesShowEachChangeOfTheSource)
{
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF;
    const uint32_t r = F().redMask, g = F().greenMask, b = F().blueMask;
    Canvas same(F(), 3, 2); // as wide as the source
    Canvas wide(F(), 6, 3); // wider: the rows are apart
    MemoryImage s = Source(3, 2, {R, G, B, B, G, R});
    auto expect = [&](const std::vector<uint32_t>& want, const char* what) {
        same.image.Blt(&s, 0, 0, Rect(0, 0, 3, 2), Color::White, DRAWMODE_NORMAL);
        wide.image.Blt(&s, 2, 1, Rect(1, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
        for (int32_t k = 0; k < 6; ++k)
            EXPECT_EQ(same.At(k % 3, k / 3), want[size_t(k)]) << what << " at " << k;
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 2; ++x)
                EXPECT_EQ(wide.At(2 + x, 1 + y), want[size_t(y * 3 + 1 + x)]) << what << " at " << x << "," << y;
    };
    expect({r, g, b, b, g, r}, "first");
    s.GetBits()[0] = B;
    s.BitsChanged();
    expect({b, g, b, b, g, r}, "bits written");
    s.FillRect(Rect(1, 1, 2, 1), Color(255, 0, 0), DRAWMODE_NORMAL);
    expect({b, g, b, b, r, r}, "filled");
    const std::vector<uint32_t> fresh{G, G, R, R, B, B};
    s.SetBits(fresh.data(), 3, 2);
    expect({g, g, r, r, b, b}, "set anew");
    ASSERT_TRUE(s.Palletize());
    expect({g, g, r, r, b, b}, "palettised");
    s.GetBits()[1] = B;
    s.BitsChanged();
    expect({g, b, r, r, b, b}, "back from the palette");
}

// At angle 0 each written pixel takes its own source pixel with coverage 254 (D = 2); the left
// and right columns and the bottom row stay untouched.
TEST_P(SurfaceDraw, RotatedAtAngleZeroSkipsTheEdges)
{
    const int W = 5, H = 4, X = 2, Y = 1;
    Canvas c(F(), 10, 8);
    MemoryImage s = Source(W, H, std::vector<uint32_t>(W * H, 0xFFFFFFFF));
    c.image.BltRotated(&s, float(X), float(Y), Rect(0, 0, W, H), Rect(0, 0, 10, 8), Color::White, DRAWMODE_NORMAL,
                       0.0, 0.0f, 0.0f);
    const uint32_t v = Pick(0xFFFF, 0x7FFF, 0x00FDFDFD, 0x0FFF);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool written = x >= X + 1 && x <= X + W - 2 && y >= Y && y <= Y + H - 2;
            EXPECT_EQ(c.At(x, y), written ? v : 0u) << x << "," << y;
        }
    EXPECT_EQ(c.image.bits, nullptr);
}

TEST_P(SurfaceDraw, RotatedNarrowSourceAndClippedBoxDrawNothing)
{
    Canvas c(F(), 10, 8);
    MemoryImage s = Source(1, 4, std::vector<uint32_t>(4, 0xFFFFFFFF));
    c.image.BltRotated(&s, 2.0f, 1.0f, Rect(0, 0, 1, 4), Rect(0, 0, 10, 8), Color::White, DRAWMODE_NORMAL, 0.0,
                       0.0f, 0.0f);
    EXPECT_TRUE(c.Unchanged(0, Rect()));

    MemoryImage big = Source(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF));
    const int locks = c.surface->LockCalls();
    c.image.BltRotated(&big, 20.0f, 20.0f, Rect(0, 0, 4, 4), Rect(0, 0, 10, 8), Color::White, DRAWMODE_NORMAL, 0.5,
                       2.0f, 2.0f);
    EXPECT_EQ(c.surface->LockCalls(), locks);
    EXPECT_TRUE(c.Unchanged(0, Rect()));
}

TEST(SurfaceRotate, QuarterTurnStaysInItsBox)
{
    // W x H turned by 90 degrees about its centre covers H wide and W high around the same centre.
    const int W = 8, H = 4;
    Canvas c(Platform::kFormatX8R8G8B8, 20, 20);
    MemoryImage s = Source(W, H, std::vector<uint32_t>(W * H, 0xFFFFFFFF));
    c.image.BltRotated(&s, 6.0f, 8.0f, Rect(0, 0, W, H), Rect(0, 0, 20, 20), Color::White, DRAWMODE_NORMAL,
                       3.14159265358979 / 2, W / 2.0f, H / 2.0f);
    // centre (10, 10): box x 8..11, y 6..13
    EXPECT_TRUE(c.Unchanged(0, Rect(8, 6, 4, 8)));
    EXPECT_NE(c.At(9, 9), 0u);
}

TEST_P(SurfaceDraw, FastStretchRepeatsAndSamples)
{
    // 2 x 2 to 4 x 4: du = dv = 0x8000, each source pixel a 2 x 2 block. Also from a surface
    // image source, which goes through the surface blit.
    const std::vector<uint32_t> px = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const uint32_t want[4] = {F().redMask, F().greenMask, F().blueMask, All()};
    MemoryImage plain = Source(2, 2, px);
    FakeSurfaceDisplay disp(F()); // outlives the surface source below
    DDImage surfaceSource(&disp);
    surfaceSource.SetBits(px.data(), 2, 2);
    for (Image* src : {static_cast<Image*>(&plain), static_cast<Image*>(&surfaceSource)}) {
        Canvas c(F(), 6, 6);
        c.image.StretchBlt(src, Rect(1, 1, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 6, 6), Color::White,
                           DRAWMODE_NORMAL, true);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(c.At(1 + x, 1 + y), want[(y / 2) * 2 + x / 2]) << x << "," << y;
        EXPECT_TRUE(c.Unchanged(0, Rect(1, 1, 4, 4)));
    }
    // 10 to 3: du = trunc(10 * 65536 / 3) samples columns 0, 3 and 6.
    std::vector<uint32_t> row(10, 0xFF000000);
    row[0] = 0xFFFF0000;
    row[3] = 0xFF00FF00;
    row[6] = 0xFF0000FF;
    MemoryImage ten = Source(10, 1, row);
    Canvas c(F(), 3, 1);
    c.image.StretchBlt(&ten, Rect(0, 0, 3, 1), Rect(0, 0, 10, 1), Rect(0, 0, 3, 1), Color::White, DRAWMODE_NORMAL,
                       true);
    EXPECT_EQ(c.At(0, 0), F().redMask);
    EXPECT_EQ(c.At(1, 0), F().greenMask);
    EXPECT_EQ(c.At(2, 0), F().blueMask);
}

TEST_P(SurfaceDraw, ClippedStretchAndMirrorTakeOppositeHalves)
{
    MemoryImage s = Source(4, 1, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    Canvas a(F(), 4, 1);
    a.image.StretchBlt(&s, Rect(0, 0, 4, 1), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Color::White, DRAWMODE_NORMAL,
                       true);
    EXPECT_EQ(a.At(0, 0), F().redMask);
    EXPECT_EQ(a.At(1, 0), F().greenMask);
    EXPECT_EQ(a.At(2, 0), 0u);
    Canvas b(F(), 4, 1);
    b.image.StretchBltMirror(&s, Rect(0, 0, 4, 1), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Color::White,
                             DRAWMODE_NORMAL, false);
    EXPECT_EQ(b.At(0, 0), All());
    EXPECT_EQ(b.At(1, 0), F().blueMask);
    EXPECT_EQ(b.At(2, 0), 0u);
}

// A palettised source takes its own fetch in every loop; it must draw exactly what the same
// pixels draw as 32-bit bits.
TEST_P(SurfaceDraw, PalettisedSourcesDrawLikeTheirBits)
{
    std::vector<uint32_t> px(6 * 5);
    const uint32_t colours[5] = {0x00000000, 0xFFFF8000, 0x8020A0FF, 0xFF10E040, 0x40FFFFFF};
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = colours[(i * 7 + i / 6) % 5];
    MemoryImage direct = Source(6, 5, px);
    MemoryImage palette = Source(6, 5, px);
    ASSERT_TRUE(palette.Palletize());
    ASSERT_TRUE(palette.colorTable != nullptr);
    auto draw = [&](MemoryImage& src, Canvas& c) {
        const Rect all(0, 0, 24, 16), s(0, 0, 6, 5);
        c.image.Blt(&src, 0, 0, s, Color::White, DRAWMODE_NORMAL);
        c.image.Blt(&src, 7, 0, s, Color(200, 100, 50, 180), DRAWMODE_NORMAL);
        c.image.Blt(&src, 14, 0, s, Color::White, DRAWMODE_ADDITIVE);
        c.image.BltMirror(&src, 0, 6, s, Color::White, DRAWMODE_NORMAL);
        c.image.BltRotated(&src, 7.0f, 6.0f, s, all, Color::White, DRAWMODE_NORMAL, 0.4, 3.0f, 2.5f);
        c.image.StretchBlt(&src, Rect(14, 6, 9, 8), s, all, Color::White, DRAWMODE_NORMAL, true);
    };
    Canvas a(F(), 24, 16, 0xFF405060), b(F(), 24, 16, 0xFF405060);
    draw(direct, a);
    draw(palette, b);
    ASSERT_FALSE(a.Unchanged(a.At(6, 0), Rect())); // column 6 lies between the first blits
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(b.At(x, y), a.At(x, y)) << x << "," << y;
    EXPECT_TRUE(palette.colorTable != nullptr); // drawing left the source in palette form
}

// The smooth stretch filters into a temporary and blits it once: a half-transparent white lands
// as half white, not darkened twice by its alpha.
TEST(SurfaceStretch, SmoothStretchAppliesAlphaOnce)
{
    Canvas c(Platform::kFormatX8R8G8B8, 4, 4);
    MemoryImage s = Source(2, 2, std::vector<uint32_t>(4, 0x80FFFFFF));
    c.image.StretchBlt(&s, Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL,
                       false);
    const uint32_t v = c.At(1, 1) & 0xFF;
    EXPECT_GE(v, 0x7Cu) << std::hex << c.At(1, 1);
    EXPECT_LE(v, 0x81u) << std::hex << c.At(1, 1);
    EXPECT_EQ(c.At(1, 1), v * 0x010101u);
}

INSTANTIATE_TEST_SUITE_P(Surface, SurfaceDraw, ::testing::ValuesIn(FwTest::kSurfaceFormats), FormatName);

} // namespace

namespace {

// The smooth stretch draws straight onto X888 and 565 surfaces; it must give every bit (top byte
// included) that filtering into a transparent temporary, unpremultiplying it (ceil(c * 256 / a),
// at most 255) and blitting it gives.
void ExpectStraightMatchesTheTemporaryImage(const Platform::SurfacePixelFormat& format, uint32_t seed)
{
    const uint32_t firstSeed = seed;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int rep = 0; rep < 60; ++rep) {
        const int32_t sw = 1 + int32_t(next() % 24), sh = 1 + int32_t(next() % 24);
        std::vector<uint32_t> sp(size_t(sw) * size_t(sh));
        for (uint32_t& p : sp) {
            const uint32_t kind = next() % 4;
            p = (kind == 0 ? 0u : kind == 1 ? 0xFF000000u : (next() << 24)) | (next() & 0xFFFFFF);
        }
        MemoryImage src = Source(sw, sh, sp);
        Canvas straight(format, 40, 30, 0xFF336699), viaTemp(format, 40, 30, 0xFF336699);
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 0; x < 40; ++x) {
                const uint32_t v = next() | (next() << 24); // a used top byte too
                straight.Set(x, y, v);
                viaTemp.Set(x, y, v);
            }
        const Rect dest(int32_t(next() % 30) - 8, int32_t(next() % 20) - 6, 1 + int32_t(next() % 50),
                        1 + int32_t(next() % 40));
        const Rect from(int32_t(next() % 4), int32_t(next() % 4), 1 + int32_t(next() % sw), 1 + int32_t(next() % sh));
        const Rect clip(int32_t(next() % 6), int32_t(next() % 6), 40, 30);
        straight.image.StretchBlt(&src, dest, from, clip, Color::White, DRAWMODE_NORMAL, false);

        // The general way, by hand.
        Rect r;
        DRect sd;
        if (StretchClip(from, clip.Intersection(Rect(0, 0, 40, 30)), dest, r, sd)) {
            MemoryImage temp(nullptr);
            temp.Create(r.width, r.height);
            temp.GetBits();
            temp.MemoryImage::StretchBlt(&src, Rect(dest.x - r.x, dest.y - r.y, dest.width, dest.height), from,
                                         Rect(0, 0, r.width, r.height), Color::White, DRAWMODE_NORMAL, false);
            uint32_t* px = temp.GetBits();
            for (int32_t i = 0; i < r.width * r.height; ++i) {
                const uint32_t p = px[i], a = p >> 24;
                if (a == 0)
                    continue;
                auto ch = [&](int s) { return std::min<uint32_t>(((((p >> s) & 0xFF) << 8) + a - 1) / a, 255) << s; };
                px[i] = a << 24 | ch(16) | ch(8) | ch(0);
            }
            temp.BitsChanged();
            viaTemp.image.Blt(&temp, r.x, r.y, Rect(0, 0, r.width, r.height), Color::White, DRAWMODE_NORMAL);
        }
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 0; x < 40; ++x)
                ASSERT_EQ(straight.surface->PixelAt(x, y), viaTemp.surface->PixelAt(x, y))
                    << "seed " << firstSeed << ", rep " << rep << " at " << x << "," << y;
    }
}

TEST(SurfaceSmoothStretch, StraightOntoX888MatchesTheTemporaryImage)
{
    ExpectStraightMatchesTheTemporaryImage(Platform::kFormatX8R8G8B8, 8);
}

TEST(SurfaceSmoothStretch, StraightOnto565MatchesTheTemporaryImage)
{
    ExpectStraightMatchesTheTemporaryImage(Platform::kFormat565, 9);
}

} // namespace
