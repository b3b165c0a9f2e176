// Surface images: where each operation draws, surface creation and read-back, nested locks and
// the source colour key, over the four surface formats.
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Renderer3D.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"
#include "support/FakeSurfaceDisplay.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Fw;
using FwTest::FakeSurfaceDisplay;
using FwTest::MemorySurfaceOf;

namespace {

class DDImageFormats : public ::testing::TestWithParam<FwTest::SurfaceFormatCase> {
protected:
    FakeSurfaceDisplay display{GetParam().format};

    // An image of w x h pixels all of one ARGB colour.
    void Fill(DDImage& img, int32_t w, int32_t h, uint32_t argb)
    {
        std::vector<uint32_t> px(size_t(w) * size_t(h), argb);
        img.SetBits(px.data(), w, h);
    }
};

std::string FormatName(const ::testing::TestParamInfo<FwTest::SurfaceFormatCase>& info)
{
    return info.param.name;
}

TEST_P(DDImageFormats, JoinsAndLeavesTheDisplaysImageSet)
{
    {
        DDImage img(&display);
        EXPECT_EQ(display.images.count(&img), 1u);
    }
    EXPECT_TRUE(display.images.empty());
}

TEST_P(DDImageFormats, PartialAlphaNeverGetsASurfaceAndDrawsOnItsBits)
{
    DDImage img(&display);
    Fill(img, 8, 4, 0x80102030);
    EXPECT_EQ(img.GetSurface(), nullptr);
    EXPECT_EQ(display.createCalls, 0);
    img.FillRect(Rect(1, 1, 2, 2), Color(0, 0, 0, 255), DRAWMODE_NORMAL);
    ASSERT_NE(img.bits, nullptr);
    EXPECT_EQ(img.bits[size_t(1 * 8 + 1)], 0xFF000000u);
    EXPECT_EQ(img.bits[0], 0x80102030u);
}

TEST_P(DDImageFormats, OpaqueFillDrawsOnTheSurfaceAndDropsTheMemoryCopy)
{
    DDImage img(&display);
    Fill(img, 6, 5, 0xFF000000);
    img.FillRect(Rect(2, 1, 3, 2), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(img.bits, nullptr);
    auto* s = MemorySurfaceOf(img);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->LockDepth(), 0);
    EXPECT_NE(s->PixelAt(2, 1), 0u);
    EXPECT_EQ(s->PixelAt(1, 1), 0u);
    EXPECT_EQ(s->PixelAt(5, 1), 0u);
    EXPECT_EQ(display.lastCaps, Platform::DDSCAPS_SYSTEMMEMORY);
}

TEST_P(DDImageFormats, FailedLockKeepsTheMemoryCopy)
{
    DDImage img(&display);
    Fill(img, 4, 4, 0xFF000000);
    auto* s = MemorySurfaceOf(img);
    ASSERT_NE(s, nullptr);
    s->MarkLost();
    img.FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    ASSERT_NE(img.bits, nullptr);
    EXPECT_EQ(img.bits[5], 0xFF000000u);
    img.DrawLine(0.5, 0.5, 3.5, 2.5, Color::White, DRAWMODE_NORMAL);
    EXPECT_NE(img.bits, nullptr);
    EXPECT_EQ(img.GetLockCount(), 0);
}

TEST_P(DDImageFormats, LockingNestsAndOnlyTheOutermostPairReachesTheSurface)
{
    DDImage img(&display);
    Fill(img, 4, 4, 0xFF000000);
    ASSERT_TRUE(img.LockSurface());
    ASSERT_TRUE(img.LockSurface());
    auto* s = MemorySurfaceOf(img);
    EXPECT_EQ(s->LockDepth(), 1);
    EXPECT_TRUE(img.UnlockSurface());
    EXPECT_EQ(s->LockDepth(), 1);
    EXPECT_EQ(img.GetLockCount(), 1);
    EXPECT_TRUE(img.UnlockSurface());
    EXPECT_EQ(s->LockDepth(), 0);
    EXPECT_FALSE(img.UnlockSurface()); // nothing outstanding
}

// Channel values representable exactly in every format survive the trip through the surface.
TEST_P(DDImageFormats, SetVideoMemoryRoundTripsThePixels)
{
    DDImage img(&display);
    const uint32_t px[4] = {0xFF000000, 0xFFF00000, 0xFF00F000, 0xFF0000F0};
    img.SetBits(px, 2, 2);
    ASSERT_NE(img.GetSurface(), nullptr);
    img.FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 255), DRAWMODE_NORMAL); // surface is now the only copy
    ASSERT_EQ(img.bits, nullptr);

    img.SetVideoMemory(false); // unchanged: nothing happens
    EXPECT_EQ(img.bits, nullptr);
    img.SetVideoMemory(true);
    ASSERT_NE(img.bits, nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(img.bits[i], px[i]) << i;
    ASSERT_NE(img.GetSurface(), nullptr);
    EXPECT_EQ(display.lastCaps, Platform::DDSCAPS_VIDEOMEMORY);
}

TEST_P(DDImageFormats, ReadBackIsOpaqueWithTheLowBitsClear)
{
    DDImage img(&display);
    Fill(img, 3, 2, 0xFFFFFFFF);
    img.FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    ASSERT_EQ(img.bits, nullptr);
    const uint32_t* px = img.GetBits();
    ASSERT_NE(px, nullptr);
    const uint32_t expected = std::string(GetParam().name) == "R5G6B5"     ? 0xFFF8FCF8u
                              : std::string(GetParam().name) == "X1R5G5B5" ? 0xFFF8F8F8u
                              : std::string(GetParam().name) == "X8R8G8B8" ? 0xFFFFFFFFu
                                                                           : 0xFFF0F0F0u;
    EXPECT_EQ(px[4], expected);
    EXPECT_EQ(px[6], MemoryImage::kGuard);
}

TEST_P(DDImageFormats, NoReadBackSurfaceGivesNoBitsAndTakesNoSoftwareFill)
{
    DDImage img(&display);
    Platform::MemorySurface* s = display.MakeSurface(4, 4);
    img.SetSurface(s);
    s->Release();
    EXPECT_EQ(img.width, 4);
    img.SetImageMode(false, false);
    img.noReadBack = true;
    img.FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(s->PixelAt(1, 1), 0u);
    EXPECT_EQ(img.GetBits(), nullptr);
    EXPECT_EQ(s->RefCount(), 1u);
    s->AddRef();
    img.BitsChanged(); // drops even an adopted surface
    EXPECT_EQ(s->RefCount(), 1u);
    s->Release();
}

TEST_P(DDImageFormats, HorizontalLineBecomesARectangleFill)
{
    DDImage img(&display);
    Fill(img, 16, 8, 0xFF000000);
    img.DrawLine(10.7, 5.9, 3.2, 5.9, Color::White, DRAWMODE_NORMAL);
    auto* s = MemorySurfaceOf(img);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(s->PixelAt(x, y) != 0, y == 5 && x >= 3 && x <= 10) << x << "," << y;
    // Vertical: the same with the axes swapped.
    img.DrawLine(1.0, 6.5, 1.0, 2.2, Color::White, DRAWMODE_NORMAL);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(s->PixelAt(1, y) != 0, (y >= 2 && y <= 6) || y == 5) << y;
}

TEST_P(DDImageFormats, TransparentPixelsGetAFreeKeyAndNoOpaquePixelVanishes)
{
    // Transparent pixels whose colour equals an opaque pixel's: the first candidate key clashes.
    DDImage src(&display);
    const uint32_t px[6] = {0xFFFF0000, 0x00FF0000, 0xFF000000, 0xFF0000FF, 0x00FF0000, 0xFFFFFFFF};
    src.SetBits(px, 3, 2);
    ASSERT_TRUE(src.hasTrans);
    Platform::MemorySurface* s = MemorySurfaceOf(src);
    ASSERT_NE(s, nullptr);
    Platform::SurfaceDesc d;
    s->GetSurfaceDesc(d);
    ASSERT_NE(d.flags & Platform::DDSD_CKSRCBLT, 0u);
    const uint32_t key = d.srcBltKey.low;
    for (int i : {0, 2, 3, 5})
        EXPECT_NE(s->PixelAt(i % 3, i / 3), key) << i;
    EXPECT_EQ(s->PixelAt(1, 0), key);
    EXPECT_EQ(s->PixelAt(1, 1), key);

    // A keyed surface blit (opaque destination, white, normal) keeps every opaque source pixel.
    DDImage dst(&display);
    Fill(dst, 3, 2, 0xFF00FF00);
    dst.Blt(&src, 0, 0, Rect(0, 0, 3, 2), Color::White, DRAWMODE_NORMAL);
    Platform::MemorySurface* ds = MemorySurfaceOf(dst);
    const uint32_t green = ds->PixelAt(1, 0);
    EXPECT_EQ(ds->PixelAt(0, 0), s->PixelAt(0, 0));
    EXPECT_EQ(ds->PixelAt(2, 0), s->PixelAt(2, 0));
    EXPECT_EQ(ds->PixelAt(0, 1), s->PixelAt(0, 1));
    EXPECT_EQ(ds->PixelAt(2, 1), s->PixelAt(2, 1));
    EXPECT_EQ(ds->PixelAt(1, 1), green);
    EXPECT_NE(green, key);
}

TEST_P(DDImageFormats, CreationFailureLeavesNoSurface)
{
    DDImage img(&display);
    Fill(img, 4, 4, 0xFF123456);
    display.failCreate = true;
    EXPECT_EQ(img.GetSurface(), nullptr);
    EXPECT_FALSE(img.LockSurface());
    img.FillRect(Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL); // draws nowhere, keeps the bits
    ASSERT_NE(img.bits, nullptr);
    EXPECT_EQ(img.bits[0], 0xFF123456u);
}

TEST_P(DDImageFormats, ASurfaceThatCannotBeFilledIsNotKept)
{
    DDImage img(&display);
    Fill(img, 4, 4, 0xFFC0A0E0); // representable in every format
    display.createLost = true;
    EXPECT_EQ(img.GetSurface(), nullptr);
    display.createLost = false;
    auto* s = MemorySurfaceOf(img); // made again, and filled this time
    ASSERT_NE(s, nullptr);
    img.FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 255), DRAWMODE_NORMAL);
    ASSERT_EQ(img.bits, nullptr);
    EXPECT_EQ(img.GetBits()[5], 0xFFC0A0E0u);
}

INSTANTIATE_TEST_SUITE_P(Surface, DDImageFormats, ::testing::ValuesIn(FwTest::kSurfaceFormats), FormatName);

// 16-bit image using every one of the 65,536 values opaquely: no key can exist, so the image
// stays without a surface rather than turn an opaque pixel transparent.
TEST(DDImageColorKey, AllSixteenBitValuesUsedKeepsTheImageInMemory)
{
    FakeSurfaceDisplay display(Platform::kFormat565);
    DDImage img(&display);
    std::vector<uint32_t> px(256 * 257);
    for (uint32_t v = 0; v < 65536; ++v) {
        // 565 value v back to ARGB with the same top bits.
        const uint32_t r = ((v >> 11) & 0x1F) << 3, g = ((v >> 5) & 0x3F) << 2, b = (v & 0x1F) << 3;
        px[v] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    for (size_t i = 65536; i < px.size(); ++i)
        px[i] = 0x00000000;
    img.SetBits(px.data(), 256, 257);
    EXPECT_EQ(img.GetSurface(), nullptr);
    EXPECT_NE(img.bits, nullptr);
}

TEST(DDImageColorKey, SixteenBitKeyIsTheLowestFreeValueOfTheLastGroupWithOne)
{
    FakeSurfaceDisplay display(Platform::kFormat565);
    DDImage img(&display);
    // Opaque black (0x0000) and a transparent black: the candidate 0 clashes.
    const uint32_t px[2] = {0xFF000000, 0x00000000};
    img.SetBits(px, 2, 1);
    auto* s = MemorySurfaceOf(img);
    ASSERT_NE(s, nullptr);
    // Group 2047 (values 65504..65535) is the last group, all free: its lowest value.
    EXPECT_EQ(s->PixelAt(1, 0), 65504u);
    EXPECT_EQ(s->PixelAt(0, 0), 0u);
}

} // namespace

namespace {

// Records which 3-D operations were called, in order.
class RecordingRenderer : public Fw::Renderer3D {
public:
    std::vector<std::string> calls;
    Matrix3 lastMatrix;
    void FillRect(const Rect&, const Color&, int32_t) override { calls.push_back("FillRect"); }
    void DrawLine(double, double, double, double, const Color&, int32_t) override { calls.push_back("DrawLine"); }
    bool PolyFill(const Point*, int32_t, const Rect&, const Color&, int32_t, int32_t, int32_t) override
    {
        calls.push_back("PolyFill");
        return true;
    }
    void Blt(Image*, float, float, const Rect&, const Color&, int32_t, bool linear) override
    {
        calls.push_back(linear ? "Blt linear" : "Blt");
    }
    void BltTransformed(Image*, const Rect* clip, const Color&, int32_t, const Rect&, const Matrix3& m, bool linear,
                        float, float, const SecondTexture*) override
    {
        calls.push_back(std::string("BltTransformed") + (clip ? " clipped" : "") + (linear ? " linear" : ""));
        lastMatrix = m;
    }
    void DrawTrianglesTex(Image*, const TriVertexTriangle*, int32_t, const Rect&, const Color&, int32_t, float, float,
                          bool) override
    {
        calls.push_back("DrawTrianglesTex");
    }
    bool TransformStackEmpty() override { return true; }
};

TEST(DDImage3D, TheDrawSurfaceImageRoutesEverythingToTheRenderer)
{
    FakeSurfaceDisplay display(Platform::kFormatX8R8G8B8);
    RecordingRenderer renderer;
    display.renderer = &renderer;
    display.is3D = true;
    Platform::MemorySurface* drawSurface = display.MakeSurface(16, 16);
    display.drawSurface = drawSurface;
    DDImage screen(&display);
    screen.SetSurface(drawSurface);
    drawSurface->Release();
    screen.SetImageMode(false, false);
    ASSERT_TRUE(screen.Check3D());
    EXPECT_TRUE(DDImage::Check3D(&screen));
    EXPECT_FALSE(DDImage::Check3D(nullptr));
    EXPECT_FALSE(screen.LockSurface());

    MemoryImage sprite(nullptr);
    const uint32_t px[4] = {0x80FFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    sprite.SetBits(px, 2, 2);
    screen.FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    screen.DrawLineAA(0.5, 0.5, 3.5, 9.0, Color::White, DRAWMODE_NORMAL);
    screen.Blt(&sprite, 1, 1, Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
    screen.BltF(&sprite, 1.5f, 1.5f, Rect(0, 0, 2, 2), Rect(0, 0, 16, 16), Color::White, DRAWMODE_NORMAL);
    screen.BltF(&sprite, 15.5f, 1.5f, Rect(0, 0, 2, 2), Rect(0, 0, 16, 16), Color::White, DRAWMODE_NORMAL);
    screen.BltMirror(&sprite, 3, 3, Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
    EXPECT_TRUE(screen.PolyFill(nullptr, 0, Rect(), Color::White, 0, 0, 0, false));
    const std::vector<std::string> want = {"FillRect", "DrawLine", "Blt", "Blt linear", "BltTransformed clipped linear",
                                           "BltTransformed", "PolyFill"};
    EXPECT_EQ(renderer.calls, want);
    // The mirror: Translate(-w, 0), Scale(-1, 1), Translate(x, y) maps source x 0 to 3 + 2.
    const FloatPoint p = renderer.lastMatrix.TransformPoint(FloatPoint(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(p.x, 5.0f);
    EXPECT_FLOAT_EQ(p.y, 3.0f);
    EXPECT_EQ(drawSurface->LockCalls(), 0);
    EXPECT_TRUE(sprite.drawnFlag);
}

TEST(DDImage3D, CursorAreaImagesStillTakeSurfaceBlitsInThreeDMode)
{
    FakeSurfaceDisplay display(Platform::kFormat565);
    display.is3D = true;
    DDImage area(&display);
    std::vector<uint32_t> black(16, 0xFF000000);
    area.SetBits(black.data(), 4, 4);
    display.cursorAreas.insert(&area);
    MemoryImage white(nullptr);
    std::vector<uint32_t> w(4, 0xFFFFFFFF);
    white.SetBits(w.data(), 2, 2);
    area.Blt(&white, 1, 1, Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
    ASSERT_NE(MemorySurfaceOf(area), nullptr);
    EXPECT_EQ(MemorySurfaceOf(area)->PixelAt(1, 1), 0xFFFFu);
    // A fill is not a blit: in 3-D mode it draws on the memory bits.
    area.FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    ASSERT_NE(area.bits, nullptr);
    EXPECT_EQ(area.bits[0], 0xFFFFFFFFu);
}

} // namespace

namespace {

// Images that keep transparency or alpha have no alpha on their surface: coverage fills and fast
// stretches draw on their memory bits instead, so nothing turns opaque on read-back.
TEST(DDImageTransparentTargets, CoverageFillAndFastStretchDrawOnTheBits)
{
    FakeSurfaceDisplay display(Platform::kFormat565);
    DDImage img(&display);
    std::vector<uint32_t> px(16, 0x00000000);
    px[0] = 0xFF000000;
    img.SetBits(px.data(), 4, 4);
    ASSERT_TRUE(img.hasTrans);
    ASSERT_NE(img.GetSurface(), nullptr); // keyed surface
    const uint8_t coverage[4] = {255, 255, 255, 255};
    const Span span{1, 0, 4};
    img.FillScanLinesWithCoverage(&span, 1, Color::White, DRAWMODE_NORMAL, coverage, 0, 1, 4, 1);
    ASSERT_NE(img.bits, nullptr);
    EXPECT_NE(img.bits[4] >> 24, 0u); // drawn into the bits
    EXPECT_EQ(img.bits[15] >> 24, 0u); // still transparent

    MemoryImage src(nullptr);
    const uint32_t white[1] = {0xFFFFFFFF};
    src.SetBits(white, 1, 1);
    img.StretchBlt(&src, Rect(0, 2, 2, 1), Rect(0, 0, 1, 1), Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, true);
    ASSERT_NE(img.bits, nullptr);
    EXPECT_EQ(img.bits[8] >> 24, 0xFFu); // drawn (the memory blend rounds white to 0xFE)
    EXPECT_EQ(img.bits[14] >> 24, 0u);
}

} // namespace

namespace {

TEST(DDImageTransparentTargets, MirroredBlitsDrawOnTheBits)
{
    FakeSurfaceDisplay display(Platform::kFormatX8R8G8B8);
    DDImage img(&display);
    std::vector<uint32_t> px(8, 0x00000000);
    img.SetBits(px.data(), 4, 2);
    MemoryImage src(nullptr);
    const uint32_t row[2] = {0xFFFF0000, 0xFF0000FF};
    src.SetBits(row, 2, 1);
    // Opaque red and blue land as 0xFE on a transparent pixel (the memory blend's rounding).
    constexpr uint32_t kBlue = 0xFF0000FE, kRed = 0xFFFE0000;
    img.BltMirror(&src, 1, 0, Rect(0, 0, 2, 1), Color::White, DRAWMODE_NORMAL);
    ASSERT_NE(img.bits, nullptr);
    const uint32_t row0[4] = {0, kBlue, kRed, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(img.bits[i], row0[i]) << i;
    img.StretchBltMirror(&src, Rect(0, 1, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 2), Color::White, DRAWMODE_NORMAL,
                         true);
    ASSERT_NE(img.bits, nullptr);
    const uint32_t row1[4] = {kBlue, kBlue, kRed, kRed};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(img.bits[4 + i], row1[i]) << i;
}

} // namespace
