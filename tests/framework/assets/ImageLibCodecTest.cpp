#include "framework/assets/ImageLib.h"

#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ImageLib::Image;
using namespace TestSupport;

std::vector<uint32_t> PixelsOf(const Image& image)
{
    return {image.GetBits(), image.GetBits() + size_t(image.GetWidth()) * size_t(image.GetHeight())};
}

// Largest difference of any channel between two pixels.
int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

ImageLib::Image MakeImage(int width, int height, const std::vector<uint32_t>& pixels)
{
    Image image(width, height);
    image.Pixels() = pixels;
    return image;
}

TEST(PngCodec, WriteThenReadIsPixelExact)
{
    ScratchFolder folder;
    const std::vector<uint32_t> pixels = PatternPixels(7, 5);
    ASSERT_TRUE(ImageLib::WritePng("round.png", MakeImage(7, 5, pixels)));
    auto back = ImageLib::ReadPng("round.png");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetWidth(), 7);
    EXPECT_EQ(back->GetHeight(), 5);
    EXPECT_EQ(PixelsOf(*back), pixels);
    EXPECT_FALSE(ImageLib::WritePng("no-such-folder/x.png", MakeImage(7, 5, pixels)));
}

TEST(PngCodec, EveryLayoutBecomesEightBitArgb)
{
    struct Case {
        const char* what;
        PngFixture png;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"palette with tRNS (last entry has no alpha: opaque)",
         {3, 1, 8, 3, false, {0, 1, 2}, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {0x00, 0x80}},
         {0x00FF0000, 0x8000FF00, 0xFF0000FF}},
        {"RGB gets alpha 0xFF",
         {2, 1, 8, 2, false, {1, 2, 3, 250, 251, 252}, {}, {}},
         {0xFF010203, 0xFFFAFBFC}},
        {"grey", {2, 1, 8, 0, false, {0x00, 0x7F}, {}, {}}, {0xFF000000, 0xFF7F7F7F}},
        {"4-bit grey is scaled", {2, 1, 4, 0, false, {0xF8}, {}, {}}, {0xFFFFFFFF, 0xFF888888}},
        {"grey with alpha", {1, 1, 8, 4, false, {0x40, 0x90}, {}, {}}, {0x90404040}},
        {"16-bit RGBA keeps the high bytes",
         {1,
          2,
          16,
          6,
          false,
          {0x12, 0xFF, 0x34, 0x00, 0x56, 0x80, 0x78, 0x01, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF},
          {},
          {}},
         {0x78123456, 0xFFFF0000}},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WritePngFixture("case.png", c.png);
        auto image = ImageLib::ReadPng("case.png");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelsOf(*image), c.expected);
    }
}

TEST(PngCodec, InterlacedFileEqualsItsSource)
{
    const int w = 13, h = 11;
    const std::vector<uint32_t> pixels = PatternPixels(w, h);
    PngFixture png{w, h, 8, 6, true, {}, {}, {}};
    for (uint32_t p : pixels)
        png.rows.insert(png.rows.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    ScratchFolder folder;
    WritePngFixture("adam7.png", png);
    auto image = ImageLib::ReadPng("adam7.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(*image), pixels);
}

TEST(JpegCodec, GreyIsOpaqueGreyAndRgbAndCmykAreClose)
{
    ScratchFolder folder;
    const int w = 8, h = 8;
    std::vector<uint8_t> grey(w * h), rgb, cmyk;
    for (int i = 0; i < w * h; ++i) {
        grey[size_t(i)] = uint8_t(100 + i);
        rgb.insert(rgb.end(), {200, 40, 90});
        // Adobe-style inverted CMYK of an orange (R 255, G 128, B 0): C 0, M 127, Y 255, K 0.
        cmyk.insert(cmyk.end(), {255, 128, 0, 255});
    }
    WriteJpegFixture("grey.jpg", w, h, 1, grey);
    WriteJpegFixture("rgb.jpg", w, h, 3, rgb);
    WriteJpegFixture("cmyk.jpg", w, h, 4, cmyk);

    auto g = ImageLib::ReadJpeg("grey.jpg");
    ASSERT_NE(g, nullptr);
    for (int i = 0; i < w * h; ++i) {
        const uint32_t p = g->GetBits()[i];
        const uint32_t v = p & 0xFF;
        EXPECT_EQ(p, 0xFF000000 | v << 16 | v << 8 | v) << i;
        EXPECT_LE(std::abs(int(v) - (100 + i)), 2) << i;
    }
    auto c = ImageLib::ReadJpeg("rgb.jpg");
    ASSERT_NE(c, nullptr);
    EXPECT_LE(ChannelDistance(c->GetBits()[0], 0xFFC8285A), 3);
    auto k = ImageLib::ReadJpeg("cmyk.jpg");
    ASSERT_NE(k, nullptr);
    EXPECT_LE(ChannelDistance(k->GetBits()[0], 0xFFFF8000), 3);
}

TEST(JpegCodec, WriterDropsAlphaAndRejectsTheUnwritable)
{
    ScratchFolder folder;
    const std::vector<uint32_t> translucent(16 * 16, 0x3380A0C0);
    ASSERT_TRUE(ImageLib::WriteJpeg("dump.jpg", MakeImage(16, 16, translucent)));
    auto back = ImageLib::ReadJpeg("dump.jpg");
    ASSERT_NE(back, nullptr);
    EXPECT_LE(ChannelDistance(back->GetBits()[0], 0xFF80A0C0), 2);
    EXPECT_FALSE(ImageLib::WriteJpeg("no-such-folder/x.jpg", MakeImage(16, 16, translucent)));
    folder.Write("empty.jpg", "");
    folder.Write("text.jpg", "this is not a jpeg at all");
    EXPECT_EQ(ImageLib::ReadJpeg("empty.jpg"), nullptr);
    EXPECT_EQ(ImageLib::ReadJpeg("text.jpg"), nullptr);
    EXPECT_EQ(ImageLib::ReadJpeg("missing.jpg"), nullptr);
}

TEST(TgaCodec, OnlyTopLeftThirtyTwoBitUncompressedIsRead)
{
    ScratchFolder folder;
    const std::vector<uint8_t> bgra = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    folder.Write("good.tga", MakeTga(2, 2, 32, 0x28, bgra));
    auto image = ImageLib::ReadTga("good.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(*image), (std::vector<uint32_t>{0x04030201, 0x08070605, 0x0C0B0A09, 0x100F0E0D}));

    folder.Write("short.tga", MakeTga(2, 2, 32, 0x28, {1, 2, 3, 4, 5, 6}));
    auto shortImage = ImageLib::ReadTga("short.tga");
    ASSERT_NE(shortImage, nullptr);
    EXPECT_EQ(PixelsOf(*shortImage), (std::vector<uint32_t>{0x04030201, 0x00000605, 0, 0}));

    const std::vector<uint8_t> headerOnly = MakeTga(2, 2, 32, 0x28, {});
    struct Rejected {
        const char* what;
        std::vector<uint8_t> bytes;
    } rejected[] = {
        {"24-bit", MakeTga(2, 2, 24, 0x20, bgra)},
        {"bottom-left origin", MakeTga(2, 2, 32, 0x08, bgra)},
        {"run-length compressed", MakeTga(2, 2, 32, 0x28, bgra, 10)},
        {"header cut short", std::vector<uint8_t>(headerOnly.begin(), headerOnly.end() - 1)},
        {"zero width", MakeTga(0, 2, 32, 0x28, bgra)},
        {"too large to allocate", MakeTga(16384, 16384, 32, 0x28, bgra)},
    };
    for (const Rejected& r : rejected) {
        folder.Write("bad.tga", r.bytes);
        EXPECT_EQ(ImageLib::ReadTga("bad.tga"), nullptr) << r.what;
    }
}

TEST(J2kCodec, LosslessFilesDecodeExactlyWithOpaqueAlpha)
{
    ScratchFolder folder;
    const int w = 9, h = 6;
    std::vector<uint8_t> rgb, grey;
    std::vector<uint32_t> expectedRgb, expectedGrey;
    for (uint32_t p : PatternPixels(w, h)) {
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        expectedRgb.push_back(0xFF000000 | (p & 0xFFFFFF));
        const uint8_t v = uint8_t(p >> 24);
        grey.push_back(v);
        expectedGrey.push_back(0xFF000000 | uint32_t(v) * 0x010101);
    }
    WriteJ2kFixture("rgb.j2k", w, h, 3, rgb, false);
    WriteJ2kFixture("rgb.jp2", w, h, 3, rgb, true);
    WriteJ2kFixture("grey.jp2", w, h, 1, grey, true);

    ImageLib::FreeJ2kCodec();
    EXPECT_EQ(ImageLib::ReadJ2k("rgb.j2k"), nullptr) << "codec switched off";
    ImageLib::LoadJ2kCodec();
    for (const char* name : {"rgb.j2k", "rgb.jp2", "grey.jp2"}) {
        auto image = ImageLib::ReadJ2k(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->GetWidth(), w);
        EXPECT_EQ(PixelsOf(*image), std::string(name) == "grey.jp2" ? expectedGrey : expectedRgb) << name;
    }
    folder.Write("junk.j2k", "\xFF\x4F\xFF\x51 and then nonsense");
    EXPECT_EQ(ImageLib::ReadJ2k("junk.j2k"), nullptr);
    EXPECT_EQ(ImageLib::ReadJ2k("missing.j2k"), nullptr);
    ImageLib::FreeJ2kCodec();
}

} // namespace
