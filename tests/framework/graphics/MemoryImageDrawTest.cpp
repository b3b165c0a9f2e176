// Software drawing on memory-image pixels: exact values of fills, lines, anti-aliased lines,
// coverage spans, blits, stretches and rotations, and that no operation touches pixels outside
// the images it was given.
#include "GraphicsFakes.h"

#include "framework/core/Matrix3.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/PixelSpans.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Fw::Color;
using Fw::MemoryImage;
using Fw::Rect;

// An image of w x h pixels all set to fill; opaque says whether its flags mark it opaque.
struct Canvas {
    MemoryImage img{nullptr};
    Canvas(int32_t w, int32_t h, uint32_t fill)
    {
        std::vector<uint32_t> px(size_t(w * h), fill);
        img.SetBits(px.data(), w, h);
    }
    uint32_t At(int32_t x, int32_t y) { return img.GetBits()[y * img.width + x]; }
    int32_t CountNot(uint32_t v)
    {
        int32_t n = 0;
        for (int32_t i = 0; i < img.width * img.height; ++i)
            n += img.GetBits()[i] != v;
        return n;
    }
    bool GuardIntact() { return img.GetBits()[img.width * img.height] == MemoryImage::kGuard; }
};

MemoryImage Source(int32_t w, int32_t h, const std::vector<uint32_t>& px)
{
    MemoryImage img(nullptr);
    img.SetBits(px.data(), w, h);
    return img;
}

TEST(MemoryImageFill, Values)
{
    struct Case { const char* what; uint32_t dest; Color color; int32_t mode; uint32_t expected; };
    const Case cases[] = {
        {"opaque writes the packed colour", 0x12345678, Color(1, 2, 3), 0, 0xFF010203},
        {"half red onto transparent", 0x00000000, Color(255, 0, 0, 128), 0, 0x80FE0000},
        {"half red onto opaque blue", 0xFF0000FF, Color(255, 0, 0, 128), 0, 0xFF7F007F},
        {"additive fills like normal", 0xFF0000FF, Color(255, 0, 0, 128), 1, 0xFF7F007F},
        {"alpha 0 leaves the pixel", 0x12345678, Color(255, 0, 0, 0), 0, 0x12345678},
    };
    for (const Case& c : cases) {
        Canvas cv(3, 3, c.dest);
        cv.img.FillRect(Rect(1, 1, 2, 1), c.color, c.mode);
        EXPECT_EQ(cv.At(1, 1), c.expected) << c.what;
        EXPECT_EQ(cv.At(2, 1), c.expected) << c.what;
        EXPECT_EQ(cv.At(0, 1), c.dest) << c.what;
        EXPECT_EQ(cv.At(1, 0), c.dest) << c.what;
    }
}

TEST(MemoryImageFill, RectanglesAreLimitedToTheImage)
{
    Canvas cv(4, 4, 0);
    cv.img.FillRect(Rect(-2, 2, 100, 100), Color(9, 9, 9), 0);
    EXPECT_EQ(cv.CountNot(0), 8);
    EXPECT_TRUE(cv.GuardIntact());
    cv.img.ClearRect(Rect(3, -5, 10, 100));
    EXPECT_EQ(cv.CountNot(0), 6);
    cv.img.FillRect(Rect(1, 1, -3, 2), Color(9, 9, 9), 0); // negative extent: nothing
    EXPECT_EQ(cv.CountNot(0), 6);
    EXPECT_TRUE(cv.GuardIntact());
}

TEST(MemoryImageLine, HorizontalVerticalAndStepper)
{
    Canvas h(8, 3, 0);
    h.img.DrawLine(2.7, 1, 5.2, 1, Color(255, 255, 255), 0);
    for (int32_t x = 0; x < 8; ++x)
        EXPECT_EQ(h.At(x, 1) != 0, x >= 2 && x <= 5) << x;

    // (0,0)-(4,2): x major, error 0, +4 straight, -4 diagonal.
    Canvas s(6, 4, 0);
    s.img.DrawLine(0, 0, 4, 2, Color(255, 255, 255), 0);
    const int expected[][2] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    EXPECT_EQ(s.CountNot(0), 5);
    for (const auto& p : expected)
        EXPECT_EQ(s.At(p[0], p[1]), 0xFFFEFEFEu) << p[0] << "," << p[1]; // white draws 254

    // Endpoint order does not matter; steep lines step in y.
    Canvas r(6, 6, 0);
    r.img.DrawLine(4, 2, 0, 0, Color(255, 255, 255), 0);
    EXPECT_EQ(r.CountNot(0), 5);
    Canvas steep(4, 6, 0);
    steep.img.DrawLine(0, 0, 2, 4, Color(255, 255, 255), 0);
    const int expectedSteep[][2] = {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}};
    EXPECT_EQ(steep.CountNot(0), 5);
    for (const auto& p : expectedSteep)
        EXPECT_NE(steep.At(p[0], p[1]), 0u) << p[0] << "," << p[1];
}

TEST(MemoryImageLine, PixelRules)
{
    struct Case { const char* what; Color color; int32_t mode; uint32_t dest, expected; };
    const Case cases[] = {
        {"opaque", Color(255, 128, 0), 0, 0x00000000, 0xFFFE7F00},          // (q*255+127)>>8
        {"blend", Color(200, 100, 0, 128), 0, 0xFF204060, 0xFF745230},
        {"additive", Color(200, 100, 50, 128), 1, 0x00FF0A0A, 0xFFFF3C23}, // d + q*a/255, clamped
        {"other mode draws nothing", Color(1, 2, 3), 2, 0x11111111, 0x11111111},
    };
    for (const Case& c : cases) {
        Canvas cv(3, 3, c.dest);
        cv.img.DrawLine(0, 0, 2, 2, c.color, c.mode);
        EXPECT_EQ(cv.At(1, 1), c.expected) << c.what;
    }
}

TEST(MemoryImageLine, StaysInsideTheImage)
{
    Canvas cv(5, 5, 0);
    cv.img.DrawLine(-3, -1, 9, 7, Color(255, 255, 255), 0);
    cv.img.DrawLineAA(-3.5, -1, 9, 7.5, Color(255, 255, 255), 0);
    cv.img.DrawLine(2, -10, 2, 20, Color(255, 255, 255), 0);
    EXPECT_TRUE(cv.GuardIntact());
    EXPECT_GT(cv.CountNot(0), 0);
}

TEST(MemoryImageLineAA, Weights)
{
    // 45 degrees: every step carries, the neighbour weight is 0.
    Canvas d(6, 6, 0xFF000000);
    d.img.DrawLineAA(0, 0, 4, 4, Color(255, 0, 0), 0);
    EXPECT_EQ(d.CountNot(0xFF000000), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d.At(i, i), 0xFFFE0000u) << i;

    // (0,0)-(8,2): x major, step 65536/4; the line pixel gets 255 - e, the one below e.
    Canvas s(10, 4, 0xFF000000);
    s.img.DrawLineAA(0, 0, 8, 2, Color(255, 255, 255), 0);
    struct P { int x, y; uint32_t v; };
    const P expected[] = {
        {0, 0, 0xFFFEFEFE}, {1, 0, 0xFFBEBEBE}, {1, 1, 0xFF3F3F3F}, {2, 0, 0xFF7E7E7E}, {2, 1, 0xFF7F7F7F},
        {4, 1, 0xFFFEFEFE}, {4, 2, 0xFF000000}, {8, 2, 0xFFFEFEFE},
    };
    for (const P& p : expected)
        EXPECT_EQ(s.At(p.x, p.y), p.v) << p.x << "," << p.y;

    // Translucent colour: weight * (alpha + 1) >> 8.
    Canvas t(3, 3, 0xFF000000);
    t.img.DrawLineAA(0, 0, 2, 2, Color(255, 255, 255, 127), 0);
    EXPECT_EQ(t.At(1, 1), 0xFF7E7E7Eu); // a = 255 * 128 >> 8 = 127, w = 127

    Canvas add(3, 3, 0xFF000000);
    add.img.DrawLineAA(0, 0, 2, 2, Color(255, 255, 255), 1);
    EXPECT_EQ(add.CountNot(0xFF000000), 0);
}

TEST(MemoryImageCoverage, WeightsAndBounds)
{
    Canvas cv(4, 2, 0xFF000000);
    const uint8_t coverage[8] = {0, 255, 127, 3, 255, 255, 255, 255};
    const Fw::Span spans[] = {{0, 0, 4}, {1, -2, 20}};
    // The block covers (0, 0, 4, 1): the second span lies outside it and is not drawn.
    cv.img.FillScanLinesWithCoverage(spans, 2, Color(255, 255, 255), 0, coverage, 0, 0, 4, 1);
    EXPECT_EQ(cv.At(0, 0), 0xFF000000u); // 255 * (0 + 1) >> 8 = 0
    EXPECT_EQ(cv.At(1, 0), 0xFFFEFEFEu); // 255 * 256 >> 8 = 255
    EXPECT_EQ(cv.At(2, 0), 0xFF7E7E7Eu); // 255 * 128 >> 8 = 127
    EXPECT_EQ(cv.At(3, 0), 0xFF020202u); // a = 255 * 4 >> 8 = 3; 255 * 3 >> 8 = 2
    EXPECT_EQ(cv.At(0, 1), 0xFF000000u);
    EXPECT_TRUE(cv.GuardIntact());
}

TEST(MemoryImageBlt, NormalRules)
{
    const uint32_t O = 0xFF112233, C = 0x00FFFFFF, P = 0x80FF0000;
    struct Case {
        const char* what;
        bool destOpaque;
        uint32_t dest;
        Color color;
        std::vector<uint32_t> src;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"run-length: copy, skip, blend-opaque", true, 0xFF000080, Color::White, {O, C, P},
         {O, 0xFF000080, 0xFF7F0040}},
        {"over onto translucent destination", false, 0x00000000, Color::White, {P, C, O},
         {0x80FE0000, 0x00000000, 0xFF102132}},
        {"grey modulation", true, 0xFF000000, Color(128, 128, 128), {0xFFFF8040, C, C},
         {0xFF7E3F1F, 0xFF000000, 0xFF000000}},
        {"colour modulation", true, 0xFF000000, Color(255, 0, 0, 128), {0xFFFFFFFF, 0x80FFFFFF, C},
         {0xFF7F0000, 0xFF3F0000, 0xFF000000}},
    };
    for (const Case& c : cases) {
        for (bool palette : {false, true}) {
            Canvas cv(3, 1, c.dest);
            if (c.destOpaque)
                cv.img.SetImageMode(false, false);
            MemoryImage src = Source(3, 1, c.src);
            if (palette) {
                ASSERT_TRUE(src.Palletize());
            }
            cv.img.Blt(&src, 0, 0, Rect(0, 0, 3, 1), c.color, 0);
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(cv.At(x, 0), c.expected[size_t(x)]) << c.what << (palette ? " (palette)" : "") << " x " << x;
            EXPECT_TRUE(src.drawnFlag);
        }
    }
}

TEST(MemoryImageBlt, TransparentSourceChangesNothing)
{
    for (bool destOpaque : {false, true}) {
        Canvas cv(4, 4, 0x80123456);
        if (destOpaque)
            cv.img.SetImageMode(false, false);
        MemoryImage src = Source(4, 4, std::vector<uint32_t>(16, 0x00FFFFFF));
        cv.img.Blt(&src, 0, 0, Rect(0, 0, 4, 4), Color::White, 0);
        cv.img.Blt(&src, 0, 0, Rect(0, 0, 4, 4), Color(10, 200, 30, 99), 0);
        EXPECT_EQ(cv.CountNot(0x80123456), 0);
    }
}

TEST(MemoryImageBlt, OpaqueDestinationKeepsAlpha255)
{
    Canvas cv(3, 1, 0xFF000000);
    cv.img.SetImageMode(false, false);
    MemoryImage src = Source(3, 1, {0x01FFFFFF, 0x80FFFFFF, 0xFEFFFFFF});
    cv.img.Blt(&src, 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(cv.At(x, 0) >> 24, 255u) << x;
}

// Onto an opaque destination: opaque pixels copied, partial ones blended, clear ones skipped, in
// rows longer than a run of the run map; a source forced to opaque is still drawn by its pixels.
TEST(MemoryImageBlt, LongOpaqueRowsAroundPartialAndClearPixels)
{
    const int32_t w = 600, h = 3;
    std::vector<uint32_t> px(size_t(w * h));
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    px[size_t(w + 300)] = 0x80FF8040;
    px[size_t(w + 520)] = 0x00FFFFFF;
    px[size_t(2 * w + 255)] = 0x01000000;
    for (bool forced : {false, true}) {
        MemoryImage src = Source(w, h, px);
        if (forced)
            src.SetImageMode(false, false);
        Canvas cv(w + 4, h, 0xFF336699);
        cv.img.SetImageMode(false, false);
        cv.img.Blt(&src, 2, 0, Rect(0, 0, w, h), Color::White, 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t s = px[size_t(y * w + x)], a = s >> 24;
                const uint32_t want = a == 255 ? s : a == 0 ? 0xFF336699u : Fw::detail::BlendOpaque(0xFF336699u, s, a);
                ASSERT_EQ(cv.At(x + 2, y), want) << x << "," << y << (forced ? " forced" : "");
            }
        EXPECT_EQ(cv.At(0, 0), 0xFF336699u);
        EXPECT_EQ(cv.At(w + 2, 2), 0xFF336699u);
    }
}

// Opaque sources copy row by row: every row width around the short-row limit, at every
// alignment of the destination, writes exactly the source rectangle and nothing beside it.
TEST(MemoryImageBlt, OpaqueRowsOfEveryWidthAndAlignment)
{
    const int32_t h = 3;
    for (int32_t w = 28; w <= 72; ++w) {
        std::vector<uint32_t> px(size_t(w * h));
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = 0xFF000000u | uint32_t((i + 1) * 2654435761u >> 8);
        MemoryImage src = Source(w, h, px);
        for (int32_t x = 0; x < 5; ++x) {
            Canvas cv(w + 10, h + 2, 0xFF336699);
            cv.img.SetImageMode(false, false);
            cv.img.Blt(&src, x + 1, 1, Rect(1, 0, w - 1, h), Color::White, 0);
            for (int32_t y = 0; y < h + 2; ++y)
                for (int32_t i = 0; i < w + 10; ++i) {
                    const bool inside = y >= 1 && y <= h && i >= x + 1 && i < x + w;
                    const uint32_t want = inside ? px[size_t((y - 1) * w + (i - x))] : 0xFF336699u;
                    ASSERT_EQ(cv.At(i, y), want) << "w " << w << " x " << x << " at " << i << "," << y;
                }
        }
    }
}

TEST(MemoryImageBlt, Additive)
{
    struct Case { const char* what; uint32_t dest, src; Color color; uint32_t expected; };
    const Case cases[] = {
        {"white saturates, alpha kept", 0x80F0F0F0, 0xFF202020, Color::White, 0x80FFFFFF},
        {"coloured", 0xFF000000, 0xFFFFFFFF, Color(255, 0, 0, 128), 0xFF7F0000}, // q' = 128
        {"plain sum", 0x00010203, 0xFF102030, Color::White, 0x00112233},
    };
    for (const Case& c : cases) {
        Canvas cv(1, 1, c.dest);
        MemoryImage src = Source(1, 1, {c.src});
        cv.img.Blt(&src, 0, 0, Rect(0, 0, 1, 1), c.color, 1);
        EXPECT_EQ(cv.At(0, 0), c.expected) << c.what;
    }
    // A source with partial alpha scales the added amount by each pixel's alpha.
    Canvas cv(2, 1, 0xFF000000);
    MemoryImage src = Source(2, 1, {0x80FF0000, 0x00FFFFFF});
    ASSERT_TRUE((src.CommitBits(), src.hasAlpha));
    cv.img.Blt(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 1);
    EXPECT_EQ(cv.At(0, 0), 0xFF7F0000u);
    EXPECT_EQ(cv.At(1, 0), 0xFF000000u);
    // Without partial alpha a clear pixel still adds its colour.
    Canvas plain(1, 1, 0xFF000000);
    MemoryImage clearOnly = Source(1, 1, {0x00102030});
    plain.img.Blt(&clearOnly, 0, 0, Rect(0, 0, 1, 1), Color::White, 1);
    EXPECT_EQ(plain.At(0, 0), 0xFF102030u);
}

// A white additive blit from a source with partial alpha adds amounts the source keeps between
// draws; each way of changing the source's pixels must reach the next draw.
TEST(MemoryImageBlt, AdditiveAmountsFollowEveryChangeOfTheSource)
{
    constexpr int32_t w = 37, h = 5; // rows of 16-pixel blocks and a tail
    uint32_t seed = 77;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    std::vector<uint32_t> px(size_t(w * h));
    for (size_t i = 0; i < px.size(); ++i) {
        const size_t cls = (i / 7) % 3; // runs of seven: clear, opaque, partial
        const uint32_t a = cls == 0 ? 0 : cls == 1 ? 255 : 1 + next() % 254;
        px[i] = a << 24 | (cls == 0 && (i & 1) ? 0 : next() & 0xFFFFFF);
    }
    FwTest::FakeImageRegistry app;
    Fw::NativeDisplay display;
    display.SetPixelFormat(16, 0xF800, 0x7E0, 0x1F);
    app.display = &display;
    MemoryImage src(&app);
    src.SetBits(px.data(), w, h);
    ASSERT_TRUE((src.CommitBits(), src.hasAlpha));

    // Draws the source's rectangle (1, 1, w - 2, h - 1) onto a fresh opaque canvas and compares it
    // with the per-pixel rule over the source's current pixels.
    auto check = [&](const char* what) {
        Canvas cv(w, h, 0xFF203040);
        cv.img.Blt(&src, 0, 0, Rect(1, 1, w - 2, h - 1), Color::White, 1);
        ASSERT_NE(src.additiveAmounts, nullptr) << what;
        std::vector<uint32_t> want(size_t(w * h), 0xFF203040);
        std::vector<uint32_t> current(src.GetBits(), src.GetBits() + w * h);
        for (int32_t y = 1; y < h; ++y)
            Fw::detail::AddAlphaSpanScalar(want.data() + (y - 1) * w, current.data() + y * w + 1, w - 2);
        for (int32_t i = 0; i < w * h; ++i)
            ASSERT_EQ(cv.img.GetBits()[i], want[size_t(i)]) << what << " at " << i;
    };
    check("first draw");
    src.FillRect(Rect(3, 2, 20, 2), Color(250, 10, 90, 200), 0);
    check("drawn onto");
    src.GetBits()[w + 5] = 0x80FFFFFF;
    src.BitsChanged();
    check("bits written");
    px[size_t(w + 9)] = 0xC0123456;
    src.SetBits(px.data(), w, h);
    check("bits set");
    src.FillRect(Rect(30, 1, 3, 3), Color(0, 200, 0, 100), 0);
    ASSERT_TRUE(src.Palletize());
    check("palette form");
    src.PurgeBits(); // on a 565 display the rebuilt bits lose low colour bits
    ASSERT_EQ(src.bits, nullptr);
    check("bits rebuilt from the native pixels");
    MemoryImage other(nullptr);
    other.SetBits(px.data(), w, h);
    src.Blt(&other, 0, 0, Rect(0, 0, w, h), Color::White, 0);
    check("blitted onto");
}

TEST(MemoryImageBlt, AdditiveOntoItselfReadsWhatItWrote)
{
    // An image drawn additively onto itself, shifted, reads rows the blit has already changed,
    // as an image that changes often (which keeps no amounts) does.
    std::vector<uint32_t> px(8 * 8);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = uint32_t(40 + i * 3) << 24 | uint32_t(i * 0x030507);
    MemoryImage kept = Source(8, 8, px), volatileImg = Source(8, 8, px);
    volatileImg.SetVolatile(true);
    for (MemoryImage* img : {&kept, &volatileImg})
        img->Blt(img, 1, 1, Rect(0, 0, 7, 7), Color::White, 1);
    EXPECT_EQ(std::vector<uint32_t>(kept.GetBits(), kept.GetBits() + 64),
              std::vector<uint32_t>(volatileImg.GetBits(), volatileImg.GetBits() + 64));
    EXPECT_NE(kept.GetBits()[18], px[18]);
}

TEST(MemoryImageBlt, RectanglesOutsideEitherImageAreCut)
{
    Canvas cv(4, 4, 0);
    MemoryImage src = Source(3, 3, std::vector<uint32_t>(9, 0xFFABCDEF));
    cv.img.Blt(&src, 2, 2, Rect(-1, -1, 10, 10), Color::White, 0);
    // Source (0,0) lands on (3,3): the -1 offset moved the destination by one.
    EXPECT_EQ(cv.CountNot(0), 1);
    EXPECT_NE(cv.At(3, 3), 0u);
    cv.img.Blt(&src, -2, -2, Rect(0, 0, 3, 3), Color::White, 1);
    EXPECT_NE(cv.At(0, 0), 0u);
    EXPECT_EQ(cv.CountNot(0), 2);
    EXPECT_TRUE(cv.GuardIntact());

    FwTest::RecordingImage notMemory(3, 3);
    cv.img.Blt(&notMemory, 0, 0, Rect(0, 0, 3, 3), Color::White, 0);
    EXPECT_TRUE(notMemory.drawnFlag);
    EXPECT_EQ(cv.CountNot(0), 2);
}

TEST(MemoryImageStretch, ClipStartsAtTheRightSourceColumn)
{
    Rect r;
    Fw::DRect s;
    ASSERT_TRUE(Fw::StretchClip(Rect(0, 0, 10, 4), Rect(2, 0, 100, 100), Rect(0, 0, 5, 4), r, s));
    EXPECT_EQ(r, Rect(2, 0, 3, 4));
    EXPECT_DOUBLE_EQ(s.x, 4.0);
    EXPECT_DOUBLE_EQ(s.width, 6.0);
    ASSERT_TRUE(Fw::StretchClipMirror(Rect(0, 0, 10, 4), Rect(2, 0, 100, 100), Rect(0, 0, 5, 4), r, s));
    EXPECT_DOUBLE_EQ(s.x, 0.0); // mirrored: the clipped-off left side is the source's right side
    EXPECT_FALSE(Fw::StretchClip(Rect(0, 0, 10, 4), Rect(50, 0, 10, 10), Rect(0, 0, 5, 4), r, s));
}

TEST(MemoryImageStretch, FastTakesNearestPixels)
{
    std::vector<uint32_t> px(10);
    for (int i = 0; i < 10; ++i)
        px[size_t(i)] = 0xFF000000u | uint32_t(i * 20);
    MemoryImage src = Source(10, 1, px);
    Canvas cv(5, 1, 0);
    cv.img.StretchBlt(&src, Rect(0, 0, 5, 1), Rect(0, 0, 10, 1), Rect(2, 0, 10, 10), Color::White, 0, true);
    EXPECT_EQ(cv.At(1, 0), 0u);
    // Destination 2, 3, 4 take source 4, 6, 8 (blue 80, 120, 160), over a clear pixel: q * 255 >> 8.
    EXPECT_EQ(cv.At(2, 0), 0xFF00004Fu);
    EXPECT_EQ(cv.At(3, 0), 0xFF000077u);
    EXPECT_EQ(cv.At(4, 0), 0xFF00009Fu);

    Canvas coloured(5, 1, 0);
    coloured.img.StretchBlt(&src, Rect(0, 0, 5, 1), Rect(0, 0, 10, 1), Rect(0, 0, 5, 1), Color(1, 2, 3), 0, true);
    EXPECT_EQ(coloured.CountNot(0), 0);
}

TEST(MemoryImageStretch, SmoothValues)
{
    // Same size, opaque white onto opaque black: (255 * 255 >> 8) + (0 * 1 >> 8) = 254.
    MemoryImage white = Source(3, 3, std::vector<uint32_t>(9, 0xFFFFFFFF));
    Canvas same(3, 3, 0xFF000000);
    same.img.StretchBlt(&white, Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), Color::White, 0, false);
    EXPECT_EQ(same.At(1, 1), 0xFFFEFEFEu);
    EXPECT_EQ(same.CountNot(0xFFFEFEFE), 0);
    // Channels keep their places: (c * a >> 8) + (d * (256 - a) >> 8) over opaque black.
    MemoryImage coloured = Source(2, 1, {0xFF4080C0, 0x80FF0000});
    Canvas two(2, 1, 0xFF000000);
    two.img.StretchBlt(&coloured, Rect(0, 0, 2, 1), Rect(0, 0, 2, 1), Rect(0, 0, 2, 1), Color::White, 0, false);
    EXPECT_EQ(two.At(0, 0), 0xFF3F7FBFu);
    EXPECT_EQ(two.At(1, 0), 0xFF7F0000u);

    // Half size of a checkerboard: two white and two black pixels per cell, averaged to 127 at
    // alpha 255, then (127 * 255 >> 8) over black.
    std::vector<uint32_t> board(16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            board[size_t(y * 4 + x)] = (x + y) % 2 ? 0xFF000000 : 0xFFFFFFFF;
    MemoryImage checker = Source(4, 4, board);
    Canvas half(2, 2, 0xFF000000);
    half.img.StretchBlt(&checker, Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Color::White, 0, false);
    EXPECT_EQ(half.At(0, 0), 0xFF7E7E7Eu);
    EXPECT_EQ(half.CountNot(0xFF7E7E7E), 0);
}

TEST(MemoryImageStretch, StrongShrinkStaysOpaque)
{
    // 200 : 1 gives each pixel weight trunc(257 / 200) = 1; the cell averages them.
    MemoryImage wide = Source(200, 2, std::vector<uint32_t>(400, 0xFFFFFFFF));
    Canvas one(1, 1, 0xFF000000);
    one.img.StretchBlt(&wide, Rect(0, 0, 1, 1), Rect(0, 0, 200, 2), Rect(0, 0, 1, 1), Color::White, 0, false);
    EXPECT_EQ(one.At(0, 0), 0xFFFEFEFEu);
    // Past 257 : 1 every weight truncates to 0 and nothing is drawn.
    MemoryImage wider = Source(300, 1, std::vector<uint32_t>(300, 0xFFFFFFFF));
    one.img.StretchBlt(&wider, Rect(0, 0, 1, 1), Rect(0, 0, 300, 1), Rect(0, 0, 1, 1), Color::White, 0, false);
    EXPECT_EQ(one.At(0, 0), 0xFFFEFEFEu);
}

// Enlarging with less than one source pixel left after clipping, or from a source rectangle that
// starts left of the image: the weights stay within 0..257 and every pixel is the source's white.
TEST(MemoryImageStretch, SmoothWeightsNeverWrap)
{
    struct Case {
        const char* what;
        Rect dest, src;
        int32_t canvasWidth;
    };
    const Case cases[] = {
        {"half a source pixel left", Rect(0, 0, 10, 1), Rect(0, 0, 1, 1), 5},
        {"source starts left of the image", Rect(0, 0, 8, 1), Rect(-1, 0, 2, 1), 8},
    };
    MemoryImage white = Source(1, 1, {0xFFFFFFFF});
    for (const Case& c : cases) {
        Canvas cv(c.canvasWidth, 1, 0xFF000000);
        cv.img.StretchBlt(&white, c.dest, c.src, Rect(0, 0, c.canvasWidth, 1), Color::White, 0, false);
        for (int x = 0; x < c.canvasWidth; ++x)
            EXPECT_EQ(cv.At(x, 0), 0xFFFEFEFEu) << c.what << " at " << x;
    }
}

TEST(MemoryImageStretch, EnlargeStaysInsideSource)
{
    MemoryImage src = Source(2, 2, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF});
    Canvas big(64, 64, 0xFF000000);
    big.img.StretchBlt(&src, Rect(-10, -10, 80, 80), Rect(0, 0, 2, 2), Rect(0, 0, 64, 64), Color::White, 0, false);
    EXPECT_TRUE(big.GuardIntact());
    EXPECT_EQ(big.CountNot(0xFF000000), 64 * 64);
    // Source rectangle reaching past the source is cut to it.
    big.img.StretchBlt(&src, Rect(0, 0, 64, 64), Rect(-3, -3, 9, 9), Rect(0, 0, 64, 64), Color::White, 0, true);
    EXPECT_TRUE(big.GuardIntact());
}

TEST(MemoryImageRotate, AngleZeroReproducesInnerPixels)
{
    std::vector<uint32_t> px(12);
    for (int i = 0; i < 12; ++i)
        px[size_t(i)] = 0xFF000000u | uint32_t(i * 20 + 10) << 16 | uint32_t(200 - i * 10);
    MemoryImage src = Source(4, 3, px);
    Canvas cv(10, 10, 0xFF000000);
    cv.img.BltRotated(&src, 3, 2, Rect(0, 0, 4, 3), Rect(0, 0, 10, 10), Color::White, 0, 0.0, 0, 0);
    // Columns x .. x+W-2 and rows y .. y+H-2 are written (the right and bottom edge pixels have
    // taps outside): coverage 255 over opaque black, channel c * 255 >> 8.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool written = x >= 3 && x <= 5 && y >= 2 && y <= 3;
            uint32_t expected = 0xFF000000;
            if (written) {
                const uint32_t s = px[size_t((y - 2) * 4 + (x - 3))];
                expected = 0xFF000000u | ((((s >> 16) & 0xFF) * 255 >> 8) << 16) | ((s & 0xFF) * 255 >> 8);
            }
            EXPECT_EQ(cv.At(x, y), expected) << x << "," << y;
        }
    EXPECT_TRUE(src.drawnFlag);
}

TEST(MemoryImageRotate, EdgeCases)
{
    MemoryImage thin = Source(1, 5, std::vector<uint32_t>(5, 0xFFFFFFFF));
    Canvas cv(10, 10, 0xFF000000);
    cv.img.BltRotated(&thin, 2, 2, Rect(0, 0, 1, 5), Rect(0, 0, 10, 10), Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(cv.CountNot(0xFF000000), 0);

    MemoryImage src = Source(6, 4, std::vector<uint32_t>(24, 0xFFFFFFFF));
    cv.img.BltRotated(&src, 2, 2, Rect(0, 0, 6, 4), Rect(0, 0, 1, 1), Color::White, 0, 0.7, 3, 2);
    EXPECT_EQ(cv.CountNot(0xFF000000), 0); // bounding box outside the clip

    // 90 degrees about the centre: only the rectangle 4 wide, 6 high centred on (5, 4) changes.
    Canvas r(12, 12, 0xFF000000);
    r.img.BltRotated(&src, 2, 2, Rect(0, 0, 6, 4), Rect(0, 0, 12, 12), Color::White, 0, 3.14159265358979 / 2, 3, 2);
    int changed = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (r.At(x, y) != 0xFF000000) {
                ++changed;
                EXPECT_TRUE(x >= 3 && x < 7 && y >= 1 && y < 7) << x << "," << y;
            }
    EXPECT_GT(changed, 0);
}

TEST(MemoryImageRotate, AdditiveSaturatesAndKeepsAlpha)
{
    MemoryImage src = Source(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF));
    Canvas cv(8, 8, 0x80C0C0C0);
    cv.img.BltRotated(&src, 2, 2, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 1, 0.0, 0, 0);
    EXPECT_EQ(cv.At(3, 2), 0x80FFFFFFu);
    cv.img.BltF(&src, 2.0f, 2.0f, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color(0, 0, 0, 255), 0);
    // Black over half-transparent white at coverage 255: newA = 128 + 127 = 255, w = 255,
    // channel (255 * 1 + 0 * 255) >> 8 = 0.
    EXPECT_EQ(cv.At(3, 2), 0xFF000000u);
}

// Sub-pixel and turned blits of an opaque white source: how many pixels are written, and what
// each written pixel becomes.
TEST(MemoryImageRotate, SubPixelAndTurnedBlitsKeepEveryInnerSample)
{
    struct Case {
        const char* what;
        float x, y;
        double angle;
        float cx, cy;
        Rect clip;
        uint32_t fill;
        int32_t written;
        uint32_t value;
    };
    const double pi = 3.14159265358979;
    const Case cases[] = {
        // 4 x 3 at angle 0: every pixel but the right column and bottom row, coverage 255.
        {"angle 0", 3, 2, 0.0, 0, 0, Rect(0, 0, 12, 12), 0xFF000000, 3 * 2, 0xFFFEFEFE},
        // Half a turn a quarter pixel right: u falls along each row (2.25, 1.25, 0.25), and the
        // sample at u = 0.25 is kept.
        {"half turn", 3.25f, 2, pi, 2, 1.5f, Rect(0, 0, 12, 12), 0xFF000000, 3 * 2, 0xFFFEFEFE},
        // Half a pixel right, onto a clear image: four opaque taps give alpha 255.
        {"x + 0.5", 3.5f, 2, 0.0, 0, 0, Rect(0, 0, 12, 12), 0, 3 * 2, 0xFFFEFEFE},
        // The clip cuts the box at x = 6: columns 4 and 5 (u = 0.5, 1.5) are both written.
        {"clipped right", 3.5f, 2, 0.0, 0, 0, Rect(0, 0, 6, 12), 0, 2 * 2, 0xFFFEFEFE},
    };
    MemoryImage src = Source(4, 3, std::vector<uint32_t>(12, 0xFFFFFFFF));
    for (const Case& c : cases) {
        Canvas cv(12, 12, c.fill);
        cv.img.BltRotated(&src, c.x, c.y, Rect(0, 0, 4, 3), c.clip, Color::White, 0, c.angle, c.cx, c.cy);
        EXPECT_EQ(cv.CountNot(c.fill), c.written) << c.what;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                if (cv.At(x, y) != c.fill) {
                    EXPECT_EQ(cv.At(x, y), c.value) << c.what << " at " << x << "," << y;
                }
            }
        EXPECT_TRUE(cv.GuardIntact());
    }
}

// A sub-pixel or turned blit landing on whole pixels takes each written pixel from its own source
// pixel alone: its interior is the integer blit of the same pixels, bit for bit, on a source of
// mixed alpha (clear, barely there, partial, opaque beside one another) and a translucent
// destination, so both over-composite. Nothing outside the interior changes.
TEST(MemoryImageRotate, WholePositionsMatchBlt)
{
    struct Case {
        const char* what;
        float x, y;
        double angle;
        float cx, cy;
        Rect clip;
        uint32_t fill; // 0: a destination of mixed alpha
    };
    const Case cases[] = {
        {"BltF onto mixed alpha", 3, 2, 0.0, 0, 0, Rect(0, 0, 16, 14), 0},
        {"BltF onto clear", 3, 2, 0.0, 0, 0, Rect(0, 0, 16, 14), 0x00FFFFFF},
        {"BltF clipped", 3, 2, 0.0, 0, 0, Rect(5, 4, 4, 3), 0},
        {"BltF past the top-left", -2, -1, 0.0, 0, 0, Rect(0, 0, 16, 14), 0},
        {"angle 0 about the centre", 4, 3, 0.0, 4.5f, 3.5f, Rect(0, 0, 16, 14), 0},
    };
    const int32_t W = 9, H = 7;
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const uint32_t alphas[] = {0, 1, 2, 77, 128, 200, 254, 255, 255, 255};
    std::vector<uint32_t> px(size_t(W * H)), under(16 * 14);
    for (uint32_t& p : px)
        p = alphas[next() % 10] << 24 | (next() & 0xFFFFFF);
    for (uint32_t& p : under)
        p = alphas[next() % 10] << 24 | (next() & 0xFFFFFF);
    MemoryImage src = Source(W, H, px);
    for (const Case& c : cases) {
        Canvas got(16, 14, 0), want(16, 14, 0);
        const std::vector<uint32_t> start = c.fill ? std::vector<uint32_t>(under.size(), c.fill) : under;
        got.img.SetBits(start.data(), 16, 14);
        want.img.SetBits(start.data(), 16, 14);
        got.img.BltRotated(&src, c.x, c.y, Rect(0, 0, W, H), c.clip, Color::White, 0, c.angle, c.cx, c.cy);
        const int32_t x0 = int32_t(c.x), y0 = int32_t(c.y);
        // The reference draws the whole source; only the interior inside the clip is compared.
        Rect blt(0, 0, W, H);
        int32_t bx = x0, by = y0;
        if (bx < 0) blt.x -= bx, blt.width += bx, bx = 0;
        if (by < 0) blt.y -= by, blt.height += by, by = 0;
        want.img.Blt(&src, bx, by, blt, Color::White, 0);
        int32_t written = 0;
        for (int32_t y = 0; y < 14; ++y)
            for (int32_t x = 0; x < 16; ++x) {
                const bool inside = x >= x0 && x <= x0 + W - 2 && y >= y0 && y <= y0 + H - 2 &&
                                    x >= c.clip.x && x < c.clip.x + c.clip.width && y >= c.clip.y &&
                                    y < c.clip.y + c.clip.height;
                const uint32_t expected = inside ? want.At(x, y) : start[size_t(y * 16 + x)];
                written += inside;
                EXPECT_EQ(got.At(x, y), expected) << c.what << " at " << x << "," << y;
            }
        EXPECT_GT(written, 0) << c.what;
        EXPECT_TRUE(got.GuardIntact());
    }
}

// The rotated blit's wide form (quotients in double precision) gives the scalar filter's bits:
// random sources of every alpha (clear, barely there, partial, opaque, in runs and alone) turned
// and shifted by fractions, each pixel rule, onto a destination of mixed alpha.
TEST(MemoryImageRotate, WideFormMatchesTheScalarFilter)
{
    struct Case {
        float x, y;
        double angle;
        float cx, cy;
        Color colour;
        int32_t mode;
    };
    const Case cases[] = {
        {5.3f, 4.7f, 0.5236, 12, 9, Color::White, 0},    {3, 2, 0.0, 0, 0, Color::White, 0},
        {6.25f, 3.5f, 0.0, 0, 0, Color::White, 0},       {4, 5, -2.1, 10.5f, 7, Color(250, 230, 120), 0},
        {2.9f, 6.1f, 1.5708, 8, 8, Color(90, 200, 30, 140), 0}, {7, 3, 3.0, 11, 9, Color::White, 1},
        {5.5f, 5.5f, 0.9, 3, 4, Color(200, 100, 50, 180), 1},   {1.1f, 0.3f, 6.2, 0, 0, Color::White, 0},
    };
    const int32_t W = 23, H = 19, DW = 40, DH = 36;
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 4; };
    const uint32_t alphas[] = {0, 0, 1, 2, 100, 128, 254, 255, 255, 255};
    std::vector<uint32_t> px(size_t(W * H)), under(size_t(DW * DH));
    for (size_t i = 0; i < px.size();) {
        const uint32_t a = alphas[next() % 10];
        for (uint32_t run = 1 + next() % 4; run > 0 && i < px.size(); --run, ++i)
            px[i] = a << 24 | (next() & 0xFFFFFF);
    }
    for (uint32_t& p : under)
        p = alphas[next() % 10] << 24 | (next() & 0xFFFFFF);
    MemoryImage src = Source(W, H, px);
    for (const Case& c : cases) {
        std::vector<uint32_t> got[2];
        for (int wide = 0; wide < 2; ++wide) {
            Fw::detail::AllowAvx2Forms(wide != 0);
            Canvas cv(DW, DH, 0);
            cv.img.SetBits(under.data(), DW, DH);
            cv.img.BltRotated(&src, c.x, c.y, Rect(0, 0, W, H), Rect(0, 0, DW, DH), c.colour, c.mode, c.angle, c.cx,
                              c.cy);
            got[wide].assign(cv.img.GetBits(), cv.img.GetBits() + DW * DH);
        }
        Fw::detail::AllowAvx2Forms(true);
        EXPECT_NE(got[0], under) << "angle " << c.angle;
        for (int32_t i = 0; i < DW * DH; ++i)
            ASSERT_EQ(got[1][size_t(i)], got[0][size_t(i)]) << "angle " << c.angle << " at " << i % DW << "," << i / DW;
    }
}

TEST(MemoryImageRaster, MatrixAndTriangleBlitsMarkAndChange)
{
    MemoryImage tex = Source(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
    Canvas cv(8, 8, 0);
    const int32_t count = cv.img.bitsChangedCount;
    cv.img.BltMatrix(&tex, 0, 0, Fw::Matrix3(), Rect(-5, -5, 100, 100), Color::White, 0, Rect(0, 0, 2, 2), false,
                     Fw::SecondTexture());
    EXPECT_TRUE(tex.drawnFlag);
    EXPECT_EQ(cv.img.bitsChangedCount, count + 1);
    Fw::TriVertexTriangle tri[1] = {{{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}}};
    tex.drawnFlag = false;
    cv.img.BltTrianglesTex(&tex, tri, 1, Rect(0, 0, 8, 8), Color::White, 0, 1, 1, true);
    EXPECT_TRUE(tex.drawnFlag);
    EXPECT_TRUE(cv.GuardIntact());
}

TEST(MemoryImage, MirroredBlitsDrawNothing)
{
    MemoryImage src = Source(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
    Canvas cv(4, 4, 0);
    cv.img.BltMirror(&src, 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
    cv.img.StretchBltMirror(&src, Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, 0, false);
    EXPECT_EQ(cv.CountNot(0), 0);
}

} // namespace
