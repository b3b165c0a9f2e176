#include "platform/SystemFonts.h"
#include "platform/linux/FreeTypeFonts.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using Platform::SystemFontRequest;

// Rows (0-based) with any coverage in a width x height buffer.
std::vector<int> InkedRows(const std::vector<uint8_t>& cover, int width, int height)
{
    std::vector<int> rows;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (cover[size_t(y * width + x)]) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST(FreeTypeFonts, WindowsMetricsAtTheEmHeight)
{
    Platform::FreeTypeFonts fonts;
    auto face = fonts.Open({"DejaVu Sans", 16, false, false, false});
    ASSERT_NE(face, nullptr);
    // DejaVu Sans: 2048 units per em, win ascent 1901, win descent 483.
    EXPECT_EQ(face->Ascent(), 15);
    EXPECT_EQ(face->Height(), 19);
    EXPECT_EQ(face->TextWidth(L""), 0);
    EXPECT_LT(face->TextWidth(L"iii"), face->TextWidth(L"WWW"));
    EXPECT_EQ(face->TextWidth(L"ab"), face->TextWidth(L"a") + face->TextWidth(L"b"));

    auto missing = fonts.Open({"No Such Family 1234", 16, false, false, false});
    ASSERT_NE(missing, nullptr); // falls back to an installed sans-serif
    EXPECT_GT(missing->TextWidth(L"abc"), 0);
}

TEST(FreeTypeFonts, CoverageStaysInTheCellAndStylesShow)
{
    Platform::FreeTypeFonts fonts;
    auto plain = fonts.Open({"DejaVu Sans", 16, false, false, false});
    auto bold = fonts.Open({"DejaVu Sans", 16, true, false, false});
    auto underlined = fonts.Open({"DejaVu Sans", 16, false, false, true});
    ASSERT_TRUE(plain && bold && underlined);
    EXPECT_GT(bold->TextWidth(L"mmmm"), plain->TextWidth(L"mmmm"));

    const std::wstring text = L"Agj";
    const int w = plain->TextWidth(text), h = plain->Height();
    std::vector<uint8_t> cover(size_t(w * h));
    plain->RenderCoverage(text, 0, 0, cover.data(), w, h);
    const auto rows = InkedRows(cover, w, h);
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), plain->Ascent());    // caps reach above the baseline
    EXPECT_GE(rows.back(), plain->Ascent());     // descenders below it

    std::vector<uint8_t> line(size_t(w * h));
    underlined->RenderCoverage(L"  ", 0, 0, line.data(), w, h); // spaces: only the underline
    const auto lineRows = InkedRows(line, w, h);
    ASSERT_FALSE(lineRows.empty());
    EXPECT_GT(lineRows.front(), plain->Ascent() - 1);
    EXPECT_EQ(line[size_t(lineRows.front() * w)], 255);

    // Drawing off the buffer's edges clips instead of writing outside it.
    std::vector<uint8_t> small(4 * 4);
    plain->RenderCoverage(text, -3, -5, small.data(), 4, 4);
}

TEST(FreeTypeFontsThreads, OneFaceMeasuredAndRenderedFromTwoThreads)
{
    Platform::FreeTypeFonts fonts;
    auto face = fonts.Open({"DejaVu Sans", 20, false, true, false});
    ASSERT_NE(face, nullptr);
    const int expected = face->TextWidth(L"threads");
    int measured = 0;
    std::thread other([&] {
        for (int i = 0; i < 50; ++i)
            measured = face->TextWidth(L"threads");
    });
    std::vector<uint8_t> cover(size_t(expected * face->Height()));
    for (int i = 0; i < 50; ++i)
        face->RenderCoverage(L"threads", 0, 0, cover.data(), expected, face->Height());
    other.join();
    EXPECT_EQ(measured, expected);
}

} // namespace

namespace {

// Fonts of one face, size and style share one face and the glyphs it keeps; a glyph drawn again
// from the face's store gives the coverage of its first drawing, at any offset and clipping.
TEST(FreeTypeFonts, FacesAreSharedAndKeptGlyphsDrawAsTheFirstTime)
{
    Platform::FreeTypeFonts fonts;
    auto a = fonts.Open({"DejaVu Sans", 13, false, true, false});
    auto b = fonts.Open({"DejaVu Sans", 13, false, true, false});
    auto other = fonts.Open({"DejaVu Sans", 14, false, true, false});
    ASSERT_TRUE(a && other);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, other);

    const std::wstring text = L"Wavy jig \u00e9";
    const int w = a->TextWidth(text), h = a->Height();
    for (int x : {0, -4, 5}) {
        std::vector<uint8_t> first(size_t(w * h)), again(size_t(w * h));
        auto fresh = Platform::FreeTypeFonts().Open({"DejaVu Sans", 15, true, false, true});
        fresh->RenderCoverage(text, x, x / 2, first.data(), w, h); // not drawn by this face before
        fresh->RenderCoverage(text, x, x / 2, again.data(), w, h);
        EXPECT_EQ(first, again) << "x " << x;
    }
}

} // namespace
