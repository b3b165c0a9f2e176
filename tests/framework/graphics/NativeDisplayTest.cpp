// Pixel-format record and the conversions of memory images between ARGB and native pixels.
#include "GraphicsFakes.h"

#include <gtest/gtest.h>

namespace {

using Fw::MemoryImage;
using Fw::NativeDisplay;

NativeDisplay Format565()
{
    NativeDisplay d;
    d.SetPixelFormat(16, 0xF800, 0x07E0, 0x001F);
    return d;
}

NativeDisplay FormatX888()
{
    NativeDisplay d;
    d.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF);
    return d;
}

TEST(NativeDisplay, ShiftsBitsAndTables)
{
    struct Case { uint32_t r, g, b; int rs, rb, gs, gb, bs, bb; };
    const Case cases[] = {
        {0xF800, 0x07E0, 0x001F, 11, 5, 5, 6, 0, 5},
        {0x7C00, 0x03E0, 0x001F, 10, 5, 5, 5, 0, 5},
        {0xFF0000, 0xFF00, 0xFF, 16, 8, 8, 8, 0, 8},
        {0x1F, 0x7E0, 0xF800, 0, 5, 5, 6, 11, 5}, // BGR order
    };
    for (const Case& c : cases) {
        NativeDisplay d;
        d.SetPixelFormat(16, c.r, c.g, c.b);
        EXPECT_EQ(d.redShift, c.rs);
        EXPECT_EQ(d.redBits, c.rb);
        EXPECT_EQ(d.greenShift, c.gs);
        EXPECT_EQ(d.greenBits, c.gb);
        EXPECT_EQ(d.blueShift, c.bs);
        EXPECT_EQ(d.blueBits, c.bb);
    }
    const NativeDisplay d = Format565();
    ASSERT_EQ(d.redAddTable.size(), 63u);   // 2^(5+1) - 1
    ASSERT_EQ(d.greenAddTable.size(), 127u);
    EXPECT_EQ(d.redAddTable[30], 30);
    EXPECT_EQ(d.redAddTable[31], 31);
    EXPECT_EQ(d.redAddTable[62], 31);
    EXPECT_EQ(d.greenAddTable[126], 63);
    EXPECT_EQ(d.redConvTable[255], 0xF800u);
    EXPECT_EQ(d.redConvTable[128], 0x7800u); // 128 * 0xF800 / 255 = 0x7C7C, masked
    EXPECT_EQ(d.greenConvTable[1], 0u);  // 0x7E0 / 255 = 7, below the lowest mask bit
    EXPECT_EQ(FormatX888().greenConvTable[77], 77u << 8);
}

// The premultiplication as written out for one channel of mask M, shift s, bit count b.
uint32_t RefNativeChannel(uint32_t p, uint32_t channelMask, int channelTop, uint32_t M, int s, int b)
{
    const uint32_t m = (p >> 24) + 1;
    return ((((p & channelMask) * m) >> 8) >> (channelTop - b) << s) & M;
}

TEST(NativeDisplay, NativeDataWorkedValues)
{
    struct Case { const char* what; bool is565; uint32_t argb, native; };
    const Case cases[] = {
        {"565 half red", true, 0x80FF0000, 0x80008000},
        {"565 opaque white", true, 0xFFFFFFFF, 0xFF00FFFF},
        {"565 transparent", true, 0x00FFFFFF, 0x00000000},
        {"X888 half red", false, 0x80FF0000, 0x80800000}, // 255 * 129 >> 8 = 128
        {"X888 opaque", false, 0xFF123456, 0xFF123456},
    };
    for (const Case& c : cases) {
        NativeDisplay d = c.is565 ? Format565() : FormatX888();
        MemoryImage img(nullptr);
        img.SetBits(&c.argb, 1, 1);
        EXPECT_EQ(img.GetNativeAlphaData(&d)[0], c.native) << c.what;
    }
}

TEST(NativeDisplay, EveryArgb565ValueAgainstReference)
{
    // Every 16-bit colour pattern, spread to 8-bit channels, at several alphas: the native pixel
    // and its conversion back match the formulas written out one channel at a time.
    NativeDisplay d = Format565();
    const uint32_t alphas[] = {0, 1, 127, 128, 254, 255};
    std::vector<uint32_t> argb;
    for (uint32_t a : alphas)
        for (uint32_t v = 0; v < 65536; ++v) {
            const uint32_t r = (v >> 11) << 3, g = ((v >> 5) & 63) << 2, b = (v & 31) << 3;
            argb.push_back((a << 24) | (r << 16) | (g << 8) | b);
        }
    MemoryImage img(nullptr);
    img.SetBits(argb.data(), 65536, int32_t(std::size(alphas)));
    const uint32_t* native = img.GetNativeAlphaData(&d);
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint32_t p = argb[i];
        const uint32_t expected = RefNativeChannel(p, 0xFF0000, 24, 0xF800, 11, 5) |
                                  RefNativeChannel(p, 0xFF00, 16, 0x7E0, 5, 6) |
                                  RefNativeChannel(p, 0xFF, 8, 0x1F, 0, 5) | (p & 0xFF000000);
        ASSERT_EQ(native[i], expected) << std::hex << p;
    }

    // Back to ARGB: channel = ((((n & M) << 8) / (a + 1)) & M) << 8 >> (s + b).
    img.bits.reset(); // only the native data remain
    const uint32_t* back = img.GetBits();
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint32_t n = native[i], a = n >> 24;
        auto ch = [&](uint32_t M, int s, int b) { return ((((n & M) << 8) / (a + 1)) & M) << 8 >> (s + b); };
        const uint32_t expected = (a << 24) | (ch(0xF800, 11, 5) << 16) | (ch(0x7E0, 5, 6) << 8) | ch(0x1F, 0, 5);
        ASSERT_EQ(back[i], expected) << std::hex << n;
        if (a == 255) {
            ASSERT_EQ(back[i], argb[i]) << "opaque 565 colours survive the round trip";
        }
    }
    EXPECT_EQ(back[argb.size()], MemoryImage::kGuard);
}

TEST(NativeDisplay, NativeDataOfPaletteHas256Entries)
{
    NativeDisplay d = FormatX888();
    MemoryImage img(nullptr);
    const uint32_t px[4] = {0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0x00000000};
    img.SetBits(px, 2, 2);
    ASSERT_TRUE(img.Palletize());
    const uint32_t* native = img.GetNativeAlphaData(&d);
    EXPECT_EQ(native[0], 0xFF0000FFu);
    EXPECT_EQ(native[1], 0xFF00FF00u);
    EXPECT_EQ(native[2], 0u);
    // Run-length additive data through the indices: colour / colour / colour / black.
    const uint8_t* runs = img.GetRLAdditiveData(&d);
    EXPECT_EQ(runs[0], 2);
    EXPECT_EQ(runs[1], 1);
    EXPECT_EQ(runs[2], 1);
    EXPECT_EQ(runs[3], 1);
}

} // namespace
