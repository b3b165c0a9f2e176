// The text lock on two threads: two fonts sharing one description draw at once into their own
// targets (the glyph record table behind every draw is process-wide, guarded by the text lock);
// each target must match the one drawn alone.
#include "framework/assets/ImageFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

std::vector<uint32_t> Draw(Fw::Font& font, const std::wstring& text, int rounds)
{
    Fw::MemoryImage target(nullptr);
    target.Create(96, 16);
    Fw::Graphics g(&target);
    for (int i = 0; i < rounds; ++i)
        font.DrawString(&g, i % 8, 12, text, Fw::Color::White, Fw::Rect());
    return std::vector<uint32_t>(target.GetBits(), target.GetBits() + 96 * 16);
}

TEST(ImageFontThreads, TwoFontsDrawAtOnceAsTheyDrawAlone)
{
    TestSupport::ScratchFolder folder;
    TestSupport::PopupCapture popups;
    TestSupport::TestImageSource images;
    std::vector<uint32_t> glyphs(32 * 12);
    for (size_t i = 0; i < glyphs.size(); ++i)
        glyphs[i] = 0xFF000000 | uint32_t(i * 2654435761u >> 8);
    images.Add("glyphs.png", 32, 12, glyphs);
    folder.Write("font.txt", TestSupport::Utf16Le(TestSupport::GlyphStripFont() + TestSupport::GlyphStripShadow()));
    Fw::ImageFont first(&images, "font.txt");
    ASSERT_TRUE(first.IsLoaded());
    auto HalfSize = [&] {
        std::unique_ptr<Fw::ImageFont> font(static_cast<Fw::ImageFont*>(first.Duplicate()));
        font->SetPointSize(12);
        return font;
    };

    constexpr int kRounds = 50;
    const std::vector<uint32_t> aloneFirst = Draw(first, L"AVBW", kRounds);
    const std::vector<uint32_t> aloneSecond = Draw(*HalfSize(), L"WBVA", kRounds);
    // A fresh copy: it scales its layers on the other thread while this one draws.
    std::unique_ptr<Fw::ImageFont> second = HalfSize();
    std::vector<uint32_t> together;
    std::thread other([&] { together = Draw(*second, L"WBVA", kRounds); });
    EXPECT_EQ(Draw(first, L"AVBW", kRounds), aloneFirst);
    other.join();
    EXPECT_EQ(together, aloneSecond);
}

} // namespace
