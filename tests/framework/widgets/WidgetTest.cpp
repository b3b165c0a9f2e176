#include "framework/widgets/Widget.h"

#include "framework/graphics/Font.h"
#include "framework/widgets/WidgetManager.h"
#include "support/RecordingWidget.h"

#include <gtest/gtest.h>

namespace {

using Fw::Color;
using Fw::Graphics;
using Fw::Point;
using Fw::Rect;
using Fw::Widget;
using Fw::WidgetManager;
using FwTest::EventLog;
using FwTest::RecordingWidget;

TEST(WidgetClickCodes, DecodeIntoButtonAndClickCount)
{
    struct Case {
        int clickCode;
        const char* down;
        const char* up;
    };
    const Case cases[] = {
        {1, "w:MouseDown 3,4 b0 c1", "w:MouseUp 3,4 b0 c1"},
        {2, "w:MouseDown 3,4 b0 c2", "w:MouseUp 3,4 b0 c2"},
        {-1, "w:MouseDown 3,4 b1 c1", "w:MouseUp 3,4 b1 c1"},
        {-2, "w:MouseDown 3,4 b1 c2", "w:MouseUp 3,4 b1 c2"},
        {3, "w:MouseDown 3,4 b2 c1", "w:MouseUp 3,4 b2 c1"},
    };
    for (const Case& c : cases) {
        EventLog log;
        RecordingWidget w("w", &log);
        w.MouseDownByClickCode(3, 4, c.clickCode);
        w.MouseUpByClickCode(3, 4, c.clickCode);
        EXPECT_EQ(log, (EventLog{c.down, "w:MouseUpAny 3,4", c.up})) << "click code " << c.clickCode;
    }
}

TEST(WidgetColors, TableGrowsWithBlackAndOutOfRangeReadsBlack)
{
    RecordingWidget w("w", nullptr);
    w.SetColor(5, Color(1, 2, 3, 4));
    ASSERT_EQ(w.colors.size(), 6u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.colors[size_t(i)], Color::Black) << i;
    EXPECT_EQ(w.GetColor(5), Color(1, 2, 3, 4));

    const int rgb[3][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    w.SetColorsRGB(rgb, 3);
    ASSERT_EQ(w.colors.size(), 3u) << "the table is replaced";
    EXPECT_EQ(w.GetColor(2), Color(70, 80, 90, 255));
    EXPECT_EQ(w.GetColor(7), Color::Black);
    EXPECT_EQ(w.GetColor(-1), Color::Black);
    EXPECT_EQ(w.GetColorOr(7, Color::White), Color::White);
    EXPECT_EQ(w.GetColorOr(1, Color::White), Color(40, 50, 60));

    const int rgba[1][4] = {{1, 2, 3, 0}};
    w.SetColorsRGBA(rgba, 1);
    EXPECT_EQ(w.GetColor(0), Color(1, 2, 3, 0));
}

TEST(WidgetGeometry, ContainsAndInsetRectUseTheParentsCoordinates)
{
    RecordingWidget w("w", nullptr, 10, 20, 30, 40);
    EXPECT_TRUE(w.Contains(10, 20));
    EXPECT_TRUE(w.Contains(39, 59));
    EXPECT_FALSE(w.Contains(40, 59));
    EXPECT_FALSE(w.Contains(39, 60));
    w.mouseInsets = Fw::Insets(1, 2, 3, 4);
    EXPECT_EQ(w.GetInsetRect(), Rect(11, 22, 26, 34));
}

TEST(WidgetDigits, CountDigits)
{
    RecordingWidget w("w", nullptr);
    const std::pair<int, int> cases[] = {{0, 1}, {9, 1}, {10, 2}, {305, 3}, {2147483647, 10}, {-5, 1}};
    for (auto [n, digits] : cases)
        EXPECT_EQ(w.CountDigits(n), digits) << n;
}

// Destination image that records the blits it receives.
class BlitRecorder : public Fw::Image {
public:
    BlitRecorder()
    {
        width = 200;
        height = 100;
    }
    void Blt(Fw::Image*, int32_t bx, int32_t by, const Rect& src, const Color&, int32_t) override
    {
        blits.push_back({Point(bx, by), src});
    }
    struct Blit {
        Point at;
        Rect src;
    };
    std::vector<Blit> blits;
};

TEST(WidgetDigits, DrawNumberFromStripPicksOneCellPerDigit)
{
    Fw::Image strip;
    strip.width = 100; // ten cells of 10
    strip.height = 12;
    struct Case {
        int n;
        std::vector<int> digits;
    };
    const Case cases[] = {{0, {0}}, {305, {3, 0, 5}}, {-42, {4, 2}}};
    for (const Case& c : cases) {
        BlitRecorder dest;
        Graphics g(&dest);
        RecordingWidget w("w", nullptr);
        w.DrawNumberFromStrip(&g, c.n, 20, 30, &strip, 2);
        ASSERT_EQ(dest.blits.size(), c.digits.size()) << c.n;
        for (size_t i = 0; i < c.digits.size(); ++i) {
            EXPECT_EQ(dest.blits[i].at, Point(20 + int32_t(i) * 12, 30)) << c.n << " digit " << i;
            EXPECT_EQ(dest.blits[i].src, Rect(c.digits[i] * 10, 0, 10, 12)) << c.n << " digit " << i;
        }
    }
}

// Every character 10 pixels wide; records what it draws.
class FixedFont : public Fw::Font {
public:
    FixedFont()
    {
        ascent = 8;
        height = 12;
    }
    int32_t StringWidth(const std::wstring& s) override { return int32_t(s.size()) * 10; }
    void DrawString(Graphics*, int32_t dx, int32_t dy, const std::wstring& s, const Color& c,
                    const Rect&) override
    {
        drawn.push_back({Point(dx, dy), s, c});
    }
    Font* Duplicate() override { return new FixedFont(*this); }
    struct Text {
        Point at;
        std::wstring s;
        Color color;
    };
    std::vector<Text> drawn;
};

TEST(WidgetText, CenteredLinesAndTheirShadow)
{
    FixedFont font;
    Graphics g;
    g.SetFont(&font);
    RecordingWidget w("w", nullptr, 0, 0, 101, 20);

    EXPECT_EQ(w.DrawCenteredLine(&g, 15, L"abc"), Rect(35, 7, 30, 12));
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0].at, Point(35, 15));

    font.drawn.clear();
    const Color red(255, 0, 0), grey(9, 9, 9);
    EXPECT_EQ(w.DrawCenteredLineShadowed(&g, 15, L"abc", red, grey, Point(-2, 3)), Rect(33, 7, 32, 15));
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[0].at, Point(33, 18));
    EXPECT_EQ(font.drawn[0].color, grey);
    EXPECT_EQ(font.drawn[1].at, Point(35, 15));
    EXPECT_EQ(font.drawn[1].color, red);
}

TEST(WidgetText, JustifiedStringsHonourColourTagsAndRestoreTheSetting)
{
    FixedFont font;
    Graphics g;
    g.SetFont(&font);
    g.colorTagsEnabled = false;
    RecordingWidget w("w", nullptr);
    // "ab" then "cd" in red: the tag takes no width because tags are on for the call.
    EXPECT_EQ(w.DrawJustifiedString(&g, L"ab^FF0000^cd", 0, 10, 100, -1, true, 0, -1), 40);
    EXPECT_FALSE(g.colorTagsEnabled);
    ASSERT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(font.drawn[1].s, L"cd");
    EXPECT_EQ(font.drawn[1].color, Color(255, 0, 0));

    // Word wrapping in a 30-pixel column: "abc" and "de" on two lines of 12.
    font.drawn.clear();
    EXPECT_EQ(w.DrawWordWrapped(&g, Rect(0, 0, 30, 100), L"abc de", -1, -1), 12 + 8 + 4);
    EXPECT_EQ(font.drawn.size(), 2u);
    EXPECT_EQ(w.GetWordWrappedHeight(&g, 30, L"abc de", -1), 12 + 8 + 4);
    EXPECT_FALSE(g.colorTagsEnabled);
}

struct TabFixture : ::testing::Test {
    WidgetManager manager{nullptr};
    EventLog log;
    RecordingWidget a{"a", &log}, b{"b", &log}, c{"c", &log};
    TabFixture()
    {
        manager.AddWidget(&a);
        manager.AddWidget(&b);
        manager.AddWidget(&c);
        b.tabNext = &c;
    }
};

TEST_F(TabFixture, TabMovesForwardAndShiftTabOnlyBackward)
{
    manager.SetFocus(&b);
    manager.KeyDown(16); // Shift held, no tabPrev: stays
    manager.KeyDown(9);
    EXPECT_EQ(manager.GetFocusWidget(), &b);
    manager.KeyUp(16);
    manager.KeyDown(9);
    EXPECT_EQ(manager.GetFocusWidget(), &c);
    c.tabPrev = &a;
    manager.KeyDown(16);
    manager.KeyDown(9);
    EXPECT_EQ(manager.GetFocusWidget(), &a);
}

} // namespace
