// Text layout with a fixed-advance fake font: colour tags, justification, word wrapping and the
// measured height.
#include "GraphicsFakes.h"

#include <gtest/gtest.h>

namespace {

using Fw::Color;
using Fw::Graphics;
using Fw::Rect;
using FwTest::FakeFont;
using FwTest::RecordingImage;

struct TextFixture : ::testing::Test {
    RecordingImage dest{400, 400};
    FakeFont font;
    Graphics g{&dest};
    TextFixture()
    {
        g.SetFont(&font);
        g.SetColor(Color(10, 20, 30, 200));
    }
    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> out;
        for (const auto& d : font.drawn)
            out.push_back(d.text);
        return out;
    }
};

TEST_F(TextFixture, ColourTags)
{
    const int32_t w = g.WriteString(L"ab^FF0000^cd", 5, 20);
    EXPECT_EQ(w, 40);
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[0].text, L"ab");
    EXPECT_EQ(font.drawn[0].x, 5);
    EXPECT_EQ(font.drawn[0].y, 20);
    EXPECT_EQ(font.drawn[0].color, Color(10, 20, 30, 200));
    EXPECT_EQ(font.drawn[1].text, L"cd");
    EXPECT_EQ(font.drawn[1].x, 25);
    EXPECT_EQ(font.drawn[1].color, Color(255, 0, 0, 200)); // the current alpha is kept
    EXPECT_EQ(g.GetColor(), Color(255, 0, 0, 200));         // the last tag's colour stays
}

TEST_F(TextFixture, TagForms)
{
    struct Case { const char* what; std::wstring text; bool tags; std::vector<std::wstring> drawn; int32_t width; };
    const Case cases[] = {
        {"caret pair", L"a^^b", true, {L"a^b"}, 30},
        {"tags off", L"a^FF0000^b", false, {L"a^FF0000^b"}, 100},
        {"cut-off tag", L"abc^12", true, {L"abc"}, 30},
        {"lone caret at the end", L"abc^", true, {L"abc"}, 30},
        {"lower-case hex and junk digits", L"^ff0Gz1^x", true, {L"x"}, 10},
    };
    for (const Case& c : cases) {
        font.drawn.clear();
        g.colorTagsEnabled = c.tags;
        EXPECT_EQ(g.WriteString(c.text, 0, 0), c.width) << c.what;
        EXPECT_EQ(Texts(), c.drawn) << c.what;
    }
    EXPECT_EQ(g.GetColor(), Color(255, 0, 0x01, 200)); // "0G" -> 0x00, "z1" -> 0x01
}

TEST_F(TextFixture, OldColourTags)
{
    g.WriteString(L"^00FF00^a^oldclr^b^oXXXXX^c", 0, 0);
    ASSERT_EQ(font.drawn.size(), 3u);
    EXPECT_EQ(font.drawn[0].color, Color(0, 255, 0, 200));
    EXPECT_EQ(font.drawn[1].color, Color(10, 20, 30, 200)); // back to the colour at the call's start
    EXPECT_EQ(font.drawn[2].color, Color(0, 0, 0, 200));    // a malformed "oldclr" sets black

    font.drawn.clear();
    g.WriteString(L"^oldclr^x", 0, 0, -1, -1, true, 0, -1, int32_t(0xFF123456));
    EXPECT_EQ(font.drawn[0].color, Color(0x12, 0x34, 0x56, 200));
}

TEST_F(TextFixture, MeasuringLeavesColourAndDrawsNothing)
{
    EXPECT_EQ(g.WriteString(L"ab^FF0000^cdW", 0, 0, -1, -1, false), 70);
    EXPECT_TRUE(font.drawn.empty());
    EXPECT_EQ(g.GetColor(), Color(10, 20, 30, 200));
}

TEST_F(TextFixture, OffsetLengthAndJustification)
{
    EXPECT_EQ(g.WriteString(L"abcdef", 0, 0, -1, -1, true, 2, 3), 30);
    EXPECT_EQ(Texts(), std::vector<std::wstring>{L"cde"});
    EXPECT_EQ(g.WriteString(L"abc", 0, 0, -1, -1, true, 1, 100), 20);

    struct Case { int32_t justification; int32_t x; };
    const Case cases[] = {{0, 100 + 35}, {1, 100 + 71}, {-1, 100}, {7, 100}}; // (101 - 30) / 2, 101 - 30
    for (const Case& c : cases) {
        font.drawn.clear();
        g.WriteString(L"abc", 100, 0, 101, c.justification);
        ASSERT_EQ(font.drawn.size(), 1u);
        EXPECT_EQ(font.drawn[0].x, c.x) << "justification " << c.justification;
    }
}

TEST_F(TextFixture, WordWrapping)
{
    // Advance 10: a width of 75 holds seven characters.
    const int32_t h = g.WriteWordWrapped(Rect(5, 10, 75, 200), L"one two three four");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"one two", L"three", L"four"}));
    ASSERT_EQ(font.drawn.size(), 3u);
    // Baselines: y + ascent - padding, then one line spacing each.
    EXPECT_EQ(font.drawn[0].y, 10 + 8 - 1);
    EXPECT_EQ(font.drawn[1].y, 10 + 8 - 1 + 14);
    EXPECT_EQ(font.drawn[2].y, 10 + 8 - 1 + 28);
    EXPECT_EQ(font.drawn[0].x, 5);
    EXPECT_EQ(h, 2 * 14 + 8 - 1 + 4);
}

TEST_F(TextFixture, HardBreaks)
{
    int32_t maxWidth = 0;
    g.WriteWordWrapped(Rect(0, 0, 35, 200), L"abcdefgh", -1, -1, &maxWidth);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"abc", L"def", L"gh"}));
    EXPECT_EQ(maxWidth, 30);

    // A character wider than the rectangle still makes a line of its own.
    font.drawn.clear();
    g.WriteWordWrapped(Rect(0, 0, 20, 200), L"aWb");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"a", L"W", L"b"}));
}

TEST_F(TextFixture, NewlinesAndSpaces)
{
    const int32_t h = g.WriteWordWrapped(Rect(0, 0, 300, 200), L"one\ntwo");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_EQ(h, 14 + 8 - 1 + 4);

    // Spaces after a break at a space are dropped; after a newline they stay.
    font.drawn.clear();
    g.WriteWordWrapped(Rect(0, 0, 45, 200), L"abcd   efg\n  hi");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"abcd", L"efg", L"  hi"}));

    font.drawn.clear();
    int32_t lastWidth = 0;
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 100, 200), L"", -1, -1, nullptr, -1, &lastWidth), 8 - 1 + 4);
    EXPECT_TRUE(font.drawn.empty());

    lastWidth = 0;
    g.WriteWordWrapped(Rect(0, 0, 100, 200), L"ab\n", -1, -1, nullptr, -1, &lastWidth);
    EXPECT_EQ(lastWidth, 0);
}

TEST_F(TextFixture, TagsCarryAcrossLinesAndColourIsRestored)
{
    g.WriteWordWrapped(Rect(0, 0, 35, 200), L"^FF0000^ab cd ^oldclr^ef");
    ASSERT_EQ(font.drawn.size(), 3u);
    EXPECT_EQ(font.drawn[0].text, L"ab");
    EXPECT_EQ(font.drawn[0].color, Color(255, 0, 0, 200));
    EXPECT_EQ(font.drawn[1].color, Color(255, 0, 0, 200)); // the tag of line one carries over
    EXPECT_EQ(font.drawn[2].text, L"ef");
    EXPECT_EQ(font.drawn[2].color, Color(10, 20, 30, 200));
    EXPECT_EQ(g.GetColor(), Color(10, 20, 30, 200));
}

TEST_F(TextFixture, LastWidthStartsTheFirstLine)
{
    int32_t lastWidth = 20;
    g.WriteWordWrapped(Rect(0, 0, 50, 200), L"abc def", -1, -1, nullptr, -1, &lastWidth);
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[0].x, 20);
    EXPECT_EQ(font.drawn[1].x, 0);
    EXPECT_EQ(lastWidth, 30);
}

TEST_F(TextFixture, CharacterLimit)
{
    g.WriteWordWrapped(Rect(0, 0, 35, 200), L"abcdefgh", -1, -1, nullptr, 4);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"abc", L"d"}));
}

TEST_F(TextFixture, WordWrappedHeightMatchesAndDrawsNothingVisible)
{
    const std::wstring text = L"the quick brown fox jumps over the lazy dog\nagain";
    int32_t measuredMax = 0, drawnMax = 0;
    const int32_t measured = g.GetWordWrappedHeight(90, text, -1, &measuredMax);
    for (const auto& d : font.drawn)
        EXPECT_EQ(d.dest, &Graphics::NullImage);
    EXPECT_EQ(measured, g.WriteWordWrapped(Rect(0, 0, 90, 1000), text, -1, -1, &drawnMax));
    EXPECT_EQ(measuredMax, drawnMax);
    EXPECT_EQ(g.GetWordWrappedHeight(90, text, 20), g.WriteWordWrapped(Rect(0, 0, 90, 1000), text, 20));
}

TEST_F(TextFixture, LinesOutsideTheClipBandAreSkipped)
{
    // Band: baselines 0 .. 20 + line spacing. Baselines 7 and 21 are in, 35 and 49 out; the last
    // line is written without the band test.
    g.SetClipRect(0, 0, 400, 20);
    g.WriteWordWrapped(Rect(0, 0, 35, 400), L"aa bb cc dd ee");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"aa", L"bb", L"ee"}));
}

} // namespace
