// Textured fillers: nearest and bilinear sampling, modulation, the alpha rules and the blend of
// each destination format, with the worked values of the fillers' definitions.
#include <gtest/gtest.h>

#include <cstring>

#include "RasterTestSupport.h"

namespace Fw::test {
namespace {

// Slot offsets inside a format block.
constexpr int kCopy = 16, kCopyBil = 17, kDraw = 18, kVertex = 20, kBlend = 24, kBlendBil = 25, kBlendDraw = 26,
              kBlendDrawBil = 27;
constexpr int k8888 = 0, k888 = 32, k565 = 64, k555 = 96;

// Draws a triangle over pixel (1, 1) whose every pixel samples the texture at (u, v) texels.
template <class Pixel>
Pixel Sample(int index, const Texture& tex, double u, double v, Pixel dst, RasterColor colour = {},
             uint32_t vertex = 0xFFFFFFFF)
{
    Canvas<Pixel> c(4, 4, dst);
    FillWith(index, c, RV(0, 0, vertex, u, v), RV(4, 0, vertex, u, v), RV(0, 4, vertex, u, v), tex.view(), colour);
    return c.at(1, 1);
}

template <class Pixel>
Pixel OneTexel(int index, uint32_t texel, Pixel dst, RasterColor colour = {}, uint32_t vertex = 0xFFFFFFFF)
{
    return Sample<Pixel>(index, Texture(1, 1, texel), 0.5, 0.5, dst, colour, vertex);
}

TEST(NearestFiller, CopyWritesTheTexelOpaque)
{
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kCopy, 0x00123456, 0), 0xFF123456u); // alpha byte ignored
    EXPECT_EQ(Sample<uint32_t>(k8888 + kCopy, Texture(1, 1, 0xFFFFFFFF), 0.5, 1.5, 0x11111111), 0xFF000000u)
        << "past the last row reads transparent black";
}

TEST(NearestFiller, CoordinatesJustBelowZeroReadTransparentBlack)
{
    // u = -1/65536 would name column 65535: row 1 of a wide texture. It reads 0 instead.
    Texture tex(65536, 2, 0xFFFFFFFF);
    Canvas<uint32_t> c(4, 4, 0x11111111);
    RasterVertex a = RV(0, 0, 0xFFFFFFFF, 0, 0.5), b = RV(4, 0, 0xFFFFFFFF, 0, 0.5), d = RV(0, 4, 0xFFFFFFFF, 0, 0.5);
    a.u = b.u = d.u = -1;
    FillWith(k8888 + kCopy, c, a, b, d, tex.view());
    EXPECT_EQ(c.at(1, 1), 0xFF000000u);
}

TEST(NearestFiller, BlendedSlotAlphaRules)
{
    struct Case {
        uint32_t texel, dst, expected;
    } cases[] = {
        {0x08FFFFFF, 0x12345678, 0x12345678}, // alpha 8: untouched
        {0x09FF0000, 0xFF000000, 0xFF080000}, // 9 blends
        {0xEFFF0000, 0xFF000000, 0xFFEE0000}, // 239 blends
        {0xF0123456, 0x00000000, 0xFF123456}, // 240 copies, alpha 255
        {0x80FF0000, 0xFF000000, 0xFF7F0000}, // (255,127,0,0)
        {0x80FF0000, 0x00000000, 0x7FFE0000}, // over transparent: (127,254,0,0)
        {0xC80000FF, 0x80FFFFFF, 0xE31F1FFE}, // (227,31,31,254)
    };
    for (const Case& k : cases)
        EXPECT_EQ(OneTexel<uint32_t>(k8888 + kBlend, k.texel, k.dst), k.expected) << std::hex << k.texel;
}

TEST(NearestFiller, DrawColourThresholds)
{
    // a = (draw alpha * 255) >> 8; colour (255 * 255) >> 8 = 254 on white.
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kDraw, 0x00FFFFFF, 0xFF000000, {255, 255, 255, 255}), 0xFFFEFEFEu);
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kDraw, 0x00FFFFFF, 0xFF000000, {241, 255, 255, 255}), 0xFFFEFEFEu);
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kDraw, 0x00FFFFFF, 0xFF000000, {240, 255, 255, 255}), 0xFFEDEDEDu);
    // Blended slot: texel alpha 255 under factor 240 gives a = 239 and a blend.
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kBlendDraw, 0xFFFFFFFF, 0xFF000000, {240, 255, 255, 255}), 0xFFEDEDEDu);
    // Texel alpha 8 is skipped whatever the colour.
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kBlendDraw, 0x08FFFFFF, 0x01020304, {255, 9, 9, 9}), 0x01020304u);
}

TEST(NearestFiller, ZeroCoverageBlendKeepsThePixel)
{
    // Draw alpha 0 over a transparent pixel: nothing to add and no quotient; the pixel stays.
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kDraw, 0xFFFFFFFF, 0x00123456, {0, 255, 255, 255}), 0x00123456u);
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kVertex, 0xFFFFFFFF, 0x00123456, {}, 0x00FFFFFF), 0x00123456u);
}

TEST(NearestFiller, VertexAndDrawColourCombine)
{
    // Factor = (draw * vertex 8.16) >> 24: 128 * 255.0 -> 127; texel 255 -> (255 * 127) >> 8 = 126.
    const RasterColor draw{255, 128, 255, 255};
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + 22, 0x00FFFFFF, 0, draw, 0xFFFFFFFF), 0xFF7EFDFDu);
}

TEST(BilinearFiller, WorkedSamples)
{
    const Texture white1(1, 1, 0xFFFFFFFF);
    Texture white2(2, 2, 0xFFFFFFFF);
    Texture redClear(2, 1, 0);
    redClear.texels[0] = 0xFFFF0000;
    Texture rowWrap(2, 2, 0xFF00FF00);
    rowWrap.texels[1] = 0xFFFF0000;
    rowWrap.texels[2] = 0xFF0000FF;
    struct Case {
        const char* what;
        int slot;
        const Texture* tex;
        double u, v;
        uint32_t dst;
        RasterColor colour;
        uint32_t expected;
    } cases[] = {
        {"texel centre", kBlendBil, &white1, 0.5, 0.5, 0, {}, 0xFFFDFDFD},
        {"midpoint of four texels", kBlendBil, &white2, 1.0, 1.0, 0, {}, 0xFFFBFBFB},
        {"half red over opaque black", kBlendBil, &redClear, 1.0, 0.5, 0xFF000000, {}, 0xFF7E0000},
        {"half red over transparent", kBlendBil, &redClear, 1.0, 0.5, 0x00000000, {}, 0x7EFD0000},
        {"half red copied", kCopyBil, &redClear, 1.0, 0.5, 0x00000000, {}, 0xFF7E0000},
        {"draw colour (128,255,0,0)", kBlendDrawBil, &white1, 0.5, 0.5, 0xFF000000, {128, 255, 0, 0}, 0xFF7E0000},
        {"u = width wraps to the next row", kBlendBil, &rowWrap, 2.0, 0.5, 0, {}, 0xFF7E007E},
        {"v = height fades to black", kBlendBil, &white2, 0.5, 2.0, 0xFF000000, {}, 0xFF7E7E7E},
        {"u = v = 0: a quarter of texel 0", kBlendBil, &white2, 0.0, 0.0, 0xFF000000, {}, 0xFF3E3E3E},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Sample<uint32_t>(k8888 + k.slot, *k.tex, k.u, k.v, k.dst, k.colour), k.expected) << k.what;
}

TEST(BilinearFiller, CoverageThresholdAndTransparentTextures)
{
    // At a texel centre A' = alpha - 1: 9 gives 8 (skipped), 10 gives 9 (blended).
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kBlendBil, 0x09FFFFFF, 0x01020304), 0x01020304u);
    EXPECT_NE(OneTexel<uint32_t>(k8888 + kBlendBil, 0x0AFFFFFF, 0x01020304), 0x01020304u);
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kBlendBil, 0x00FFFFFF, 0x01020304), 0x01020304u);
    EXPECT_EQ(OneTexel<uint32_t>(k8888 + kCopyBil, 0x00FFFFFF, 0x01020304), 0xFF000000u);
}

TEST(Fillers888, BlendIgnoresTheTopByte)
{
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kBlend, 0x80FF0000, 0x000000FF), 0xFF7F007Eu);
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kBlend, 0x64C0A080, 0xAB204060), 0xFF5E646Cu);
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kBlend, 0x64C0A080, 0x00204060), 0xFF5E646Cu);
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kBlend, 0x08FFFFFF, 0x00204060), 0x00204060u);
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kBlend, 0xF0123456, 0x00204060), 0xFF123456u);
    // Draw alpha 0: a = 0 still rewrites, every channel above 0 loses one step.
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kDraw, 0xFFFFFFFF, 0x00808080, {0, 255, 255, 255}), 0xFF7F7F7Fu);
    EXPECT_EQ(OneTexel<uint32_t>(k888 + kDraw, 0xFFFFFFFF, 0x00000000, {241, 255, 255, 255}), 0xFFFEFEFEu);
}

TEST(Fillers888, PlainCopiesShareThe8888Members)
{
    InitTriangleRasterizers();
    EXPECT_EQ(TriangleRasterizerAt(48), TriangleRasterizerAt(16));
    EXPECT_EQ(TriangleRasterizerAt(49), TriangleRasterizerAt(17));
    EXPECT_NE(TriangleRasterizerAt(50), TriangleRasterizerAt(18));
}

uint16_t F565(int r, int g, int b) { return uint16_t((r << 11) | (g << 5) | b); }
uint16_t F555(int r, int g, int b) { return uint16_t((r << 10) | (g << 5) | b); }

TEST(Fillers16Bit, PackAndBlend)
{
    struct Case {
        const char* what;
        int index;
        uint32_t texel;
        uint16_t dst, expected;
        RasterColor colour;
    } cases[] = {
        {"565 white", k565 + kCopy, 0xFFFFFFFF, 0, 0xFFFF, {}},
        {"565 0x00123456", k565 + kCopy, 0x00123456, 0, 0x11AA, {}},
        {"565 0x7F in each channel", k565 + kCopy, 0xFF7F7F7F, 0, F565(15, 31, 15), {}},
        {"565 alpha ignored without blend", k565 + kCopy, 0x80FFFFFF, 0, 0xFFFF, {}},
        {"565 alpha 8 skipped", k565 + kBlend, 0x08FFFFFF, 0x1234, 0x1234, {}},
        {"565 alpha 240 copies", k565 + kBlend, 0xF0FFFFFF, 0x1234, 0xFFFF, {}},
        {"565 black 128 over white", k565 + kBlend, 0x80000000, 0xFFFF, F565(14, 29, 14), {}},
        {"565 white 128 over black", k565 + kBlend, 0x80FFFFFF, 0, F565(15, 31, 15), {}},
        {"565 white 239 over white", k565 + kBlend, 0xEFFFFFFF, 0xFFFF, F565(30, 62, 30), {}},
        {"565 white 9 over black", k565 + kBlend, 0x09FFFFFF, 0, F565(1, 2, 1), {}},
        {"565 draw alpha 0 scales by 31/32", k565 + kDraw, 0xFFFFFFFF, 0xFFFF, F565(30, 61, 30), {0, 255, 255, 255}},
        {"555 white", k555 + kCopy, 0xFFFFFFFF, 0x8000, 0x7FFF, {}},
        {"555 alpha 0 copied as white", k555 + kCopy, 0x00FFFFFF, 0, 0x7FFF, {}},
        {"555 alpha 0 skipped when blending", k555 + kBlend, 0x00FFFFFF, 0x8001, 0x8001, {}},
        {"555 7 packs to 0, 8 to 1", k555 + kCopy, 0xFF070808, 0, F555(0, 1, 1), {}},
        {"555 255, 127, 128", k555 + kCopy, 0xFFFF7F80, 0, F555(31, 15, 16), {}},
        {"555 white 9 over white", k555 + kBlend, 0x09FFFFFF, 0xFFFF, F555(30, 30, 30), {}},
        {"555 white 239 over white", k555 + kBlend, 0xEFFFFFFF, 0x7FFF, F555(30, 30, 30), {}},
        {"555 white 128 over white", k555 + kBlend, 0x80FFFFFF, 0x7FFF, F555(29, 29, 29), {}},
        {"555 alpha 240 copies", k555 + kBlend, 0xF0FFFFFF, 0x8000, 0x7FFF, {}},
        {"555 draw alpha 0", k555 + kDraw, 0xFFFFFFFF, F555(31, 1, 31), F555(30, 0, 30), {0, 255, 255, 255}},
        {"555 draw alpha 128 over white", k555 + kBlendDraw, 0xFFFFFFFF, 0x7FFF, F555(30, 30, 30),
         {128, 255, 255, 255}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(OneTexel<uint16_t>(k.index, k.texel, k.dst, k.colour), k.expected) << k.what;
    EXPECT_EQ(Sample<uint16_t>(k565 + kCopy, Texture(1, 1, 0xFFFFFFFF), 0.5, 1.5, 0x1234), 0) << "outside reads 0";
}

TEST(FillerAddressing, OddPitchDropsItsRemainder)
{
    // 16-bit rows of pitch 9 bytes start 8 bytes apart; 32-bit rows of pitch 19 start 16 apart.
    std::vector<unsigned char> buf16(9 * 4 + 8, 0xAA);
    std::vector<unsigned char> buf32(19 * 4 + 8, 0xAA);
    const Texture tex(1, 1, 0xFFFFFFFF);
    InitTriangleRasterizers();
    const RasterVertex a = RV(0, 0, 0, 0.5, 0.5), b = RV(4, 0, 0, 0.5, 0.5), c = RV(0, 4, 0, 0.5, 0.5),
                       d = RV(4, 4, 0, 0.5, 0.5);
    for (int idx : {k565 + kCopy, k565 + kCopy}) {
        TriangleRasterizerAt(idx)(a, b, c, buf16.data(), 9, tex.view(), {});
        TriangleRasterizerAt(idx)(b, d, c, buf16.data(), 9, tex.view(), {});
    }
    TriangleRasterizerAt(k8888 + kCopy)(a, b, c, buf32.data(), 19, tex.view(), {});
    TriangleRasterizerAt(k8888 + kCopy)(b, d, c, buf32.data(), 19, tex.view(), {});
    for (size_t i = 0; i < buf16.size(); ++i)
        EXPECT_EQ(buf16[i], i < 32 ? 0xFF : 0xAA) << "16-bit byte " << i;
    for (size_t i = 0; i < buf32.size(); ++i)
        EXPECT_EQ(buf32[i], i < 64 ? 0xFF : 0xAA) << "32-bit byte " << i;
}

} // namespace
} // namespace Fw::test
