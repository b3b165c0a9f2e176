// The polygon front end end to end: strip order, clip bounds, flags, conversion to fixed point,
// watertight quads, and the inputs it must survive (non-finite and far coordinates).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RasterTestSupport.h"
#include "framework/rasterizer/PolygonRasterizer.h"

namespace Fw::test {
namespace {

struct Target {
    Canvas<uint32_t> canvas;
    RasterClipRect clip;
    explicit Target(int w, int h, uint32_t fill = 0xFF000000) : canvas(w, h, fill), clip{0, 0, w, h} {}

    void Draw(const std::vector<TriVertex>& v, const RasterTextureSource* tex = nullptr, RasterColor colour = {},
              bool vertexColour = true, bool bilinear = false, int32_t format = 0x8888)
    {
        InitTriangleRasterizers();
        RasterizePolygon(v.data(), int32_t(v.size()), tex, colour, 0, clip, canvas.bits(), canvas.pitch(), format,
                         bilinear, vertexColour);
    }
    int Count(uint32_t value)
    {
        int n = 0;
        for (uint32_t p : canvas.px)
            n += p == value;
        return n;
    }
};

TriVertex P(float x, float y, uint32_t colour = 0xFFFFFFFF, float u = 0, float v = 0)
{
    return {x, y, u, v, colour};
}

TEST(RasterizePolygon, StripOfThreeFourAndFiveVertices)
{
    Target t(12, 8);
    t.Draw({P(0, 0), P(2, 0), P(0, 4)});
    EXPECT_EQ(t.Count(0xFFFFFFFF), 2 + 2 + 1 + 1);
    Target quad(12, 8);
    quad.Draw({P(0, 0), P(4, 0), P(0, 4), P(4, 4)}); // (0, 1, 2) and (1, 3, 2)
    EXPECT_EQ(quad.Count(0xFFFFFFFF), 16);
    EXPECT_EQ(quad.canvas.at(6, 1), 0xFF000000u);
    Target five(12, 8);
    five.Draw({P(0, 0), P(4, 0), P(0, 4), P(4, 4), P(8, 0)}); // adds (2, 3, 4): 8 - 2y <= x < 8 - y
    EXPECT_EQ(five.canvas.at(6, 1), 0xFFFFFFFFu);
    EXPECT_EQ(five.canvas.at(7, 0), 0xFF000000u); // row 0 of that triangle is empty: 8 <= x < 8
    EXPECT_EQ(five.canvas.at(5, 3), 0xFF000000u);
    EXPECT_EQ(five.Count(0xFFFFFFFF), 16 + 4); // (6, 1), (4, 2), (5, 2), (4, 3) beside the quad
}

TEST(RasterizePolygon, AQuadCoveringTheClipFillsAllOfItAndNothingElse)
{
    // A quad beyond the clip on every side, and one whose pixel-centre-shifted corners lie exactly
    // on the destination's edges (a picture as large as the screen): the clip's last column and
    // row are drawn too, or whatever was drawn there earlier would stay.
    Target t(10, 10);
    t.clip = {2, 3, 5, 4};
    t.Draw({P(-5, -5), P(20, -5), P(-5, 20), P(20, 20)});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x <= 6 && y >= 3 && y <= 6;
            EXPECT_EQ(t.canvas.at(x, y), inside ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }
    for (int32_t format : {0x8888, 0x888}) {
        Target screen(1024, 768);
        screen.Draw({P(-0.5f, -0.5f), P(1023.5f, -0.5f), P(-0.5f, 767.5f), P(1023.5f, 767.5f)}, nullptr, {}, true,
                    false, format);
        EXPECT_EQ(screen.Count(0xFF000000u), 0) << "format " << std::hex << format;
    }
}

TEST(RasterizePolygon, HalfAlphaQuadsAreWatertight)
{
    // 50% white over black: a pixel blended once is 127, twice would be 190.
    for (int32_t format : {0x8888, 0x888}) {
        Target t(40, 30);
        t.Draw({P(3.3f, 2.6f, 0x80FFFFFF), P(30.1f, 2.6f, 0x80FFFFFF), P(3.3f, 25.2f, 0x80FFFFFF),
                P(30.1f, 25.2f, 0x80FFFFFF)},
               nullptr, {}, true, false, format);
        EXPECT_EQ(t.Count(0xFF7F7F7F), 27 * 23);
        EXPECT_EQ(t.Count(0xFF7F7F7F) + t.Count(0xFF000000), 40 * 30);

        Target r(40, 30);
        r.clip = {3, 2, 30, 22};
        const float c = std::cos(0.5f), s = std::sin(0.5f);
        std::vector<TriVertex> rotated;
        for (auto [dx, dy] : {std::pair{-14.f, -9.f}, {14.f, -9.f}, {-14.f, 9.f}, {14.f, 9.f}})
            rotated.push_back(P(20 + c * dx - s * dy, 15 + s * dx + c * dy, 0x80FFFFFF));
        r.Draw(rotated, nullptr, {}, true, false, format);
        EXPECT_GT(r.Count(0xFF7F7F7F), 300);
        EXPECT_EQ(r.Count(0xFF7F7F7F) + r.Count(0xFF000000), 40 * 30) << "no pixel blended twice";
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                if (x < 3 || x >= 33 || y < 2 || y >= 24) {
                    ASSERT_EQ(r.canvas.at(x, y), 0xFF000000u) << "outside the clip at " << x << "," << y;
                }
            }
    }
}

TEST(RasterizePolygon, TexturedQuadAtPixelCentresCopiesTheImage)
{
    Texture img(4, 3);
    for (size_t i = 0; i < img.texels.size(); ++i)
        img.texels[i] = 0xFF000000u | uint32_t(i * 0x10203);
    const RasterTextureSource src{img.texels.data(), 4, 3, false, false};
    Target t(10, 10, 0);
    const float x = 2 - 0.5f, y = 5 - 0.5f; // a blit at (2, 5) shifts by half a pixel
    t.Draw({P(x, y, 0, 0, 0), P(x + 4, y, 0, 1, 0), P(x, y + 3, 0, 0, 1), P(x + 4, y + 3, 0, 1, 1)}, &src, {}, false);
    for (int py = 0; py < 10; ++py)
        for (int px = 0; px < 10; ++px) {
            const bool inside = px >= 2 && px < 6 && py >= 5 && py < 8;
            EXPECT_EQ(t.canvas.at(px, py), inside ? img.texels[size_t((py - 5) * 4 + px - 2)] : 0u) << px << "," << py;
        }
}

TEST(RasterizePolygon, BlendFlagFollowsTheTextureAndTheFilter)
{
    const Texture clear(1, 1, 0x00FFFFFF);
    RasterTextureSource src{clear.texels.data(), 1, 1, false, false};
    const std::vector<TriVertex> quad = {P(0, 0, 0, 0.5f, 0.5f), P(4, 0, 0, 0.5f, 0.5f), P(0, 4, 0, 0.5f, 0.5f),
                                         P(4, 4, 0, 0.5f, 0.5f)};
    Target copy(5, 5);
    copy.Draw(quad, &src, {}, false); // opaque as far as the flags say: copied, alpha ignored
    EXPECT_EQ(copy.canvas.at(1, 1), 0xFFFFFFFFu);
    src.hasAlpha = true;
    Target blended(5, 5);
    blended.Draw(quad, &src, {}, false); // blended: alpha 0 is skipped
    EXPECT_EQ(blended.canvas.at(1, 1), 0xFF000000u);
    src.hasAlpha = false;
    const Texture white(1, 1, 0xFFFFFFFF);
    src.pixels = white.texels.data();
    Target bilinear(5, 5);
    bilinear.Draw(quad, &src, {}, false, true); // bilinear always blends: opaque white comes out at 253
    EXPECT_EQ(bilinear.canvas.at(1, 1), 0xFFFDFDFDu);
}

TEST(RasterizePolygon, DrawColourFlag)
{
    const std::vector<TriVertex> tri = {P(0, 0), P(4, 0), P(0, 4)};
    Target white(5, 5);
    white.Draw(tri, nullptr, RasterColor{255, 255, 255, 255});
    EXPECT_EQ(white.canvas.at(0, 0), 0xFFFFFFFFu);
    Target almost(5, 5);
    almost.Draw(tri, nullptr, RasterColor{254, 255, 255, 255}); // modulated: 255 * 255 >> 8 = 254
    EXPECT_EQ(almost.canvas.at(0, 0), 0xFFFEFEFEu);
    Target clamped(5, 5);
    clamped.Draw(tri, nullptr, RasterColor{300, 255, -20, 255}); // out-of-range channels clamp to 0..255
    EXPECT_EQ(clamped.canvas.at(0, 0), 0xFFFE00FEu);
    Target none(5, 5);
    none.Draw(tri, nullptr, {}, false); // no texture, no vertex colour: nothing
    EXPECT_EQ(none.Count(0xFF000000), 25);
}

TEST(RasterizePolygon, FixedPointConversionTruncatesTowardZero)
{
    const RasterVertex a = raster::ToRasterVertex(P(10.75f, -0.5f / 65536, 0x80C04010, 0.5f, 0.25f), true, 3, 8, true);
    EXPECT_EQ(a.x, int32_t(10.75 * 65536));
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.u, int32_t(1.5 * 65536));
    EXPECT_EQ(a.v, 2 * 65536);
    EXPECT_EQ(a.a, 0x80 << 16);
    EXPECT_EQ(a.r, 0xC0 << 16);
    EXPECT_EQ(a.g, 0x40 << 16);
    EXPECT_EQ(a.b, 0x10 << 16);
    EXPECT_EQ(raster::ToRasterVertex(P(5.0f + 0.9f / 65536, 0), false, 0, 0, false).x, 5 * 65536);
}

TEST(RasterizePolygon, NegativeAlphaFromRoundingLeavesThePixel)
{
    // The interpolated alpha at (0, 2) rounds to about -27 units: it must not read as opaque.
    Target t(6, 6, 0x12345678);
    t.Draw({P(0, 2.75f, 0), P(4, 3.5f, 0xFFFFFFFF), P(0, 1, 0)});
    EXPECT_EQ(t.canvas.at(0, 2), 0x12345678u);
}

TEST(RasterizePolygon, NonFiniteCornersSkipOnlyTheirTriangle)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    Target t(8, 8);
    t.Draw({P(nan, 0), P(4, 0), P(0, 4), P(4, 4)}); // first triangle skipped, second drawn
    EXPECT_EQ(t.canvas.at(0, 0), 0xFF000000u);
    EXPECT_EQ(t.canvas.at(3, 3), 0xFFFFFFFFu);
    Target u(8, 8);
    u.Draw({P(0, 0), P(inf, 0), P(0, 4)});
    EXPECT_EQ(u.Count(0xFF000000), 64);
    // A non-finite texture coordinate is harmless: it converts to a saturated or zero coordinate.
    const Texture tex(2, 2, 0xFFFFFFFF);
    const RasterTextureSource src{tex.texels.data(), 2, 2, true, false};
    Target w(8, 8);
    w.Draw({P(0, 0, 0, nan, inf), P(4, 0, 0, -inf, 0), P(0, 4, 0, 0, 1e30f)}, &src, {}, false, true);
}

TEST(RasterizePolygon, AdditiveDrawModeIsIgnored)
{
    InitTriangleRasterizers();
    const TriVertex tri[3] = {P(0, 0, 0x80FF4020), P(6, 1, 0x80FF4020), P(1, 6, 0x80FF4020)};
    Canvas<uint32_t> normal(8, 8, 0xFF103050), additive(8, 8, 0xFF103050);
    const RasterClipRect clip{0, 0, 8, 8};
    RasterizePolygon(tri, 3, nullptr, RasterColor{}, 0, clip, normal.bits(), normal.pitch(), 0x8888, false, true);
    RasterizePolygon(tri, 3, nullptr, RasterColor{}, 1, clip, additive.bits(), additive.pitch(), 0x8888, false, true);
    EXPECT_EQ(normal.px, additive.px);
    EXPECT_NE(normal.at(1, 1), 0xFF103050u);
}

TEST(RasterizePolygon, FewerThanThreeVerticesDrawNothing)
{
    Target t(4, 4);
    t.Draw({P(0, 0), P(4, 0)});
    EXPECT_EQ(t.Count(0xFF000000), 16);
}

} // namespace
} // namespace Fw::test
