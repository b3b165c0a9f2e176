#include "framework/assets/SysFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/fake/FakeSystemFonts.h"

#include "support/FakeSurfaceDisplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::MemoryImage;
using Fw::Rect;
using Fw::SysFont;

TEST(SysFontPixels, DerivedFromTwoRenderings)
{
    struct Case {
        const char* what;
        uint32_t onWhite, onBlack, expected;
    };
    const Case cases[] = {
        {"fully covered: the rendering, opaque", 0x123456, 0x123456, 0xFF123456},
        {"untouched: transparent black", 0xFFFFFF, 0x000000, 0x00000000},
        {"black text at coverage 127", 0x808080, 0x000000, 0x7F000000},
        {"white text at coverage 127", 0xFFFFFF, 0x7F7F7F, 0x7FFFFFFF},
        {"red text at coverage 51", 0xFFCCCC, 0x330000, 0x33FF0000},
        {"smallest channel alpha wins", 0xFF8080, 0x800000, 0x7FFF0000},
        {"a zero denominator: transparent", 0xFF8080, 0x008080, 0x00000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fw::DeriveTextPixel(c.onWhite, c.onBlack), c.expected) << c.what;
}

uint32_t Pixel(MemoryImage& image, int x, int y)
{
    return image.GetBits()[y * image.GetWidth() + x];
}

class SysFontFake : public ::testing::Test {
protected:
    static std::unique_ptr<MemoryImage> Target(int w, int h)
    {
        auto image = std::make_unique<MemoryImage>(nullptr);
        image->Create(w, h);
        image->GetBits();
        return image;
    }
    Platform::FakeSystemFonts fakeFonts;
    Platform::ScopedSystemFonts scoped{fakeFonts};
};

TEST_F(SysFontFake, RequestAndMetrics)
{
    SysFont font("Sans", 12, true, false, true);
    ASSERT_EQ(fakeFonts.Requests().size(), 1u);
    EXPECT_EQ(fakeFonts.Requests()[0], (Platform::SystemFontRequest{"Sans", 16, true, false, true}));
    EXPECT_EQ(font.GetHeight(), 16);
    EXPECT_EQ(font.GetAscent(), 12);
    EXPECT_EQ(font.GetDescent(), 4);
    EXPECT_EQ(font.GetLineSpacing(), 16);
    EXPECT_EQ(font.StringWidth(L"abc"), 27);
    EXPECT_EQ(font.CharWidthKern(L'b', L'a'), font.CharWidth(L'b')); // no kerning
    EXPECT_EQ(SysFont("Serif", 9, 0, false, true, false).request.pixelHeight, 12);
}

TEST_F(SysFontFake, RendersTextColourWithCoverageAsAlpha)
{
    SysFont font("Sans", 12, false, false, false); // advance 8, glyph columns 1..6, rows 4..11
    auto cell = font.RenderText(L"ab", Color(200, 40, 10, 7));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetWidth(), 16);
    EXPECT_EQ(cell->GetHeight(), 16);
    EXPECT_EQ(Pixel(*cell, 1, 11), 0xFFC8280Au);     // full coverage: the colour, opaque (its alpha unused)
    EXPECT_EQ(Pixel(*cell, 9, 4), 0xFFC8280Au);
    EXPECT_EQ(Pixel(*cell, 6, 11) >> 24, 128u);      // the half-covered column: alpha = coverage
    EXPECT_EQ(Pixel(*cell, 0, 11), 0u);              // untouched pixels stay 0
    EXPECT_EQ(Pixel(*cell, 1, 3), 0u);
    EXPECT_EQ(Pixel(*cell, 1, 12), 0u);
    EXPECT_NEAR(int(Color(Pixel(*cell, 6, 11)).red), 200, 2);
    EXPECT_EQ(font.RenderText(L"", Color::White), nullptr);

    // Drawn with the cell's top-left at (x, y - ascent), through the context's translation.
    auto target = Target(40, 30);
    Fw::Graphics g(target.get());
    g.Translate(3, 2);
    font.DrawString(&g, 5, 20, L"ab", Color(200, 40, 10, 255), Rect());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inCell = x >= 8 && x < 24 && y >= 10 && y < 26;
            const uint32_t expected = inCell ? Pixel(*cell, x - 8, y - 10) : 0u;
            ASSERT_EQ(Pixel(*target, x, y) >> 24, expected >> 24) << x << "," << y;
        }
}

TEST_F(SysFontFake, ShadowAndSimulatedBold)
{
    SysFont font("Sans", 12, false, false, false);
    font.shadow = true;
    font.simulateBold = true;
    // Text columns 1..6 (6 half covered), bold copy 2..7, shadow 2..7 and 3..8 one row lower.
    auto cell = font.RenderText(L"a", Color::White);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(Pixel(*cell, 1, 4), 0xFFFFFFFFu);  // text
    EXPECT_EQ(Pixel(*cell, 6, 11), 0xFFFFFFFFu); // the bold copy covers the half column fully
    EXPECT_EQ(Pixel(*cell, 7, 4), 0x80FFFFFFu);  // the bold copy's own half column, no shadow yet
    EXPECT_EQ(Pixel(*cell, 2, 12), 0xFF000000u); // shadow below the text
    EXPECT_EQ(Pixel(*cell, 1, 12), 0u);
    EXPECT_EQ(Pixel(*cell, 7, 11) >> 24, 255u);  // half white over full shadow: opaque grey
    EXPECT_NEAR(int(Color(Pixel(*cell, 7, 11)).red), 128, 2);

    std::unique_ptr<Fw::Font> copy(font.Duplicate());
    auto& plain = static_cast<SysFont&>(*copy);
    EXPECT_FALSE(plain.shadow);
    EXPECT_FALSE(plain.simulateBold);
    EXPECT_EQ(plain.GetHeight(), font.GetHeight());
    EXPECT_EQ(fakeFonts.Requests().size(), 1u); // the copy shares the opened typeface
}

TEST_F(SysFontFake, NothingIntoThePlaceholderImage)
{
    SysFont font("Sans", 12, false, false, false);
    Fw::Graphics nowhere;
    font.DrawString(&nowhere, 0, 12, L"a", Color::White, Rect()); // must not touch anything
    auto target = Target(10, 10);
    Fw::Graphics g(target.get());
    font.DrawString(&g, 0, 12, L"", Color::White, Rect());
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(target->GetBits()[i], 0u);
}

// The real typefaces (fontconfig + FreeType, DejaVu Sans from the build's packages).
TEST(SysFontFreeType, TextStaysInItsCellWithOpaqueInterior)
{
    SysFont font("DejaVu Sans", 12, false, false, false);
    ASSERT_NE(font.face, nullptr);
    EXPECT_EQ(font.request.pixelHeight, 16);
    const std::wstring text = L"H\u2588g";
    const int32_t width = font.StringWidth(text);
    ASSERT_GT(width, 0);
    const Color colour(30, 160, 220, 255);
    auto cell = font.RenderText(text, colour);
    ASSERT_NE(cell, nullptr);
    int opaque = 0, partial = 0;
    for (int py = 0; py < cell->GetHeight(); ++py)
        for (int px = 0; px < cell->GetWidth(); ++px) {
            const uint32_t p = Pixel(*cell, px, py);
            if ((p >> 24) == 255) {
                ++opaque;
                ASSERT_EQ(p, colour.ToInt()) << px << "," << py;
            } else if (p >> 24) {
                ++partial;
            }
        }
    EXPECT_GT(opaque, 50); // the full block alone covers far more
    EXPECT_GT(partial, 0); // anti-aliased edges

    auto target = std::make_unique<MemoryImage>(nullptr);
    target->Create(100, 60);
    Fw::Graphics g(target.get());
    const int32_t x = 20, y = 30;
    font.DrawString(&g, x, y, text, colour, Rect());
    const uint32_t* bits = target->GetBits();
    int inked = 0;
    for (int py = 0; py < 60; ++py)
        for (int px = 0; px < 100; ++px) {
            const bool inside = px >= x && px < x + width && py >= y - font.GetAscent() &&
                                py < y - font.GetAscent() + font.GetHeight();
            if (!inside)
                ASSERT_EQ(bits[py * 100 + px], 0u) << px << "," << py;
            else
                inked += bits[py * 100 + px] != 0;
        }
    EXPECT_GT(inked, opaque);
}

// Onto a surface image the text's coverage goes straight to the surface; it must leave the bits
// that drawing RenderText's image leaves, in every surface format (16-bit ones draw the image),
// with colours with alpha, colourised or not, translated, and clipped at the image's edges.
TEST(SysFontFreeType, StraightToTheSurfaceAsTheRenderedImage)
{
    SysFont font("DejaVu Sans", 12, false, false, false);
    SysFont italic("DejaVu Sans", 15, false, true, true); // slanted glyphs overlap their neighbours
    ASSERT_NE(font.face, nullptr);
    ASSERT_NE(italic.face, nullptr);
    const std::wstring text = L"fj ffi Wave, gyp\u00e9 AV/\\ T.0123 !";
    struct Case {
        SysFont* font;
        Color colour;
        bool colorize;
        int32_t x, y;                 // pen and baseline, before translation
        Rect clip;                    // before translation
    };
    const Case cases[] = {
        {&font, Color(250, 230, 120), false, 4, 14, Rect(0, 0, 140, 40)},
        {&font, Color(20, 90, 200, 128), true, -9, 5, Rect(0, 0, 140, 40)},      // off the left and top
        {&font, Color(255, 255, 255, 200), true, 60, 44, Rect(0, 0, 140, 40)},   // off the right and bottom
        {&italic, Color(0, 0, 0, 255), false, 1, 20, Rect(10, 8, 90, 20)},       // a clip inside
        {&italic, Color(200, 40, 40, 77), true, -3, 30, Rect(-5, -5, 200, 200)},
        {&italic, Color(255, 255, 255, 255), true, 2, 25, Rect(0, 0, 140, 40)},
    };
    for (const FwTest::SurfaceFormatCase& format : FwTest::kSurfaceFormats) {
        for (size_t k = 0; k < std::size(cases); ++k) {
            const Case& c = cases[k];
            FwTest::FakeSurfaceDisplay display(format.format);
            std::vector<uint32_t> background(size_t(140) * 40);
            for (size_t i = 0; i < background.size(); ++i)
                background[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
            enum Way { kNothing, kStraight, kImage };
            auto draw = [&](Way way) {
                auto screen = std::make_unique<Fw::DDImage>(&display);
                screen->SetBits(background.data(), 140, 40);
                Platform::MemorySurface* surface = FwTest::MemorySurfaceOf(*screen);
                Fw::Graphics g(screen.get());
                g.Translate(3, -2);
                g.SetClipRect(c.clip.x, c.clip.y, c.clip.width, c.clip.height);
                g.SetColor(c.colour);
                g.SetColorizeImages(c.colorize);
                if (way == kStraight) {
                    c.font->DrawString(&g, c.x, c.y, text, c.colour, Rect());
                } else if (way == kImage) {
                    auto image = c.font->RenderText(text, c.colour);
                    g.DrawImage(image.get(), c.x, c.y - c.font->ascent);
                }
                return FwTest::SurfaceWords(*surface, 140, 40);
            };
            const std::vector<uint32_t> image = draw(kImage);
            ASSERT_NE(image, draw(kNothing)) << format.name << ", case " << k << ": the text drew nothing";
            ASSERT_EQ(draw(kStraight), image) << format.name << ", case " << k;
        }
    }
}

} // namespace
