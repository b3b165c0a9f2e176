// Drawing context: translation, clipping, the line clipper, image placement and state stack,
// checked on an image that records the calls it receives.
#include "GraphicsFakes.h"

#include "framework/core/Matrix3.h"

#include <gtest/gtest.h>

namespace {

using Fw::Color;
using Fw::Graphics;
using Fw::Rect;
using FwTest::RecordingImage;

TEST(Graphics, NewContextState)
{
    RecordingImage dest(40, 30);
    Graphics g(&dest);
    EXPECT_EQ(g.destImage, &dest);
    EXPECT_EQ(g.clipRect, Rect(0, 0, 40, 30));
    EXPECT_EQ(g.color, Color::Black);
    EXPECT_TRUE(g.colorTagsEnabled);
    EXPECT_FALSE(g.is3D);

    Graphics none(nullptr);
    EXPECT_EQ(none.destImage, &Graphics::NullImage);
    EXPECT_EQ(none.clipRect, Rect(0, 0, 0, 0));
}

TEST(Graphics, TranslationTruncatesTowardZero)
{
    struct Case { float transX; int32_t expectedX; };
    const Case cases[] = {{10.7f, 10}, {-0.5f, 0}, {-1.5f, -1}, {0.999f, 0}};
    for (const Case& c : cases) {
        RecordingImage dest(100, 100);
        Graphics g(&dest);
        g.SetColor(Color(255, 0, 0));
        g.transX = c.transX;
        g.FillRect(0, 0, 5, 5);
        ASSERT_EQ(dest.calls.size(), 1u);
        // The fill is clipped to the destination, so a start left of 0 shows as a narrower rect.
        const Rect expected = Rect(c.expectedX, 0, 5, 5).Intersection(Rect(0, 0, 100, 100));
        EXPECT_EQ(dest.calls[0].rect, expected) << "transX " << c.transX;
    }
}

TEST(Graphics, FillRectSkipsTransparentColourAndPassesEmptyClips)
{
    RecordingImage dest(20, 20);
    Graphics g(&dest);
    g.SetColor(Color(0, 0, 0, 0));
    g.FillRect(0, 0, 5, 5);
    EXPECT_TRUE(dest.calls.empty());

    g.SetColor(Color(1, 2, 3));
    g.ClipRect(50, 50, 5, 5); // outside: the clip collapses to all zero
    EXPECT_EQ(g.clipRect, Rect(0, 0, 0, 0));
    g.FillRect(0, 0, 5, 5);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].rect, Rect(0, 0, 0, 0));
}

TEST(Graphics, SetClipRectStaysInsideDestinationAndClipRectOnlyShrinks)
{
    RecordingImage dest(50, 40);
    Graphics g(&dest);
    g.Translate(10, 5);
    g.SetClipRect(-20, -20, 100, 100);
    EXPECT_EQ(g.clipRect, Rect(0, 0, 50, 40));
    g.ClipRect(0, 0, 10, 10);
    EXPECT_EQ(g.clipRect, Rect(10, 5, 10, 10));
    g.ClipRect(-100, -100, 1000, 1000);
    EXPECT_EQ(g.clipRect, Rect(10, 5, 10, 10));
}

TEST(Graphics, DrawRectInsideClipIsOneOutline)
{
    RecordingImage dest(50, 50);
    Graphics g(&dest);
    g.Translate(2, 3);
    g.DrawRect(0, 0, 10, 10);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "DrawRect");
    EXPECT_EQ(dest.calls[0].rect, Rect(2, 3, 10, 10));
}

TEST(Graphics, DrawRectCrossingClipIsFourClippedFills)
{
    RecordingImage dest(50, 50);
    Graphics g(&dest);
    g.SetClipRect(0, 0, 8, 50); // cuts the right side off
    g.DrawRect(2, 2, 10, 10);
    ASSERT_EQ(dest.calls.size(), 4u);
    const Rect expected[] = {Rect(2, 2, 6, 1), Rect(2, 12, 6, 1), Rect(2, 3, 1, 9), Rect(0, 0, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dest.calls[size_t(i)].op, "FillRect");
        EXPECT_EQ(dest.calls[size_t(i)].rect, expected[i]) << "side " << i;
    }
}

TEST(Graphics, DrawRectOnMemoryImageCoversBoxOfSizePlusOne)
{
    struct Case { int32_t w, h, pixels; };
    const Case cases[] = {{10, 10, 11 * 4 - 4}, {0, 0, 1}, {3, 0, 4}};
    for (const Case& c : cases) {
        Fw::MemoryImage img(nullptr);
        img.Create(20, 20);
        Graphics g(&img);
        g.SetColor(Color(255, 255, 255));
        g.DrawRect(1, 1, c.w, c.h);
        int32_t set = 0, minX = 99, maxX = -1;
        const uint32_t* px = img.GetBits();
        for (int32_t i = 0; i < 400; ++i)
            if (px[i]) {
                ++set;
                minX = std::min(minX, i % 20);
                maxX = std::max(maxX, i % 20);
            }
        EXPECT_EQ(set, c.pixels) << c.w << "x" << c.h;
        EXPECT_EQ(minX, 1);
        EXPECT_EQ(maxX, 1 + c.w);
    }
}

TEST(Graphics, LineClipper)
{
    struct Case {
        const char* what;
        int32_t x1, y1, x2, y2;
        bool drawn;
        double ex1, ey1, ex2, ey2;
    };
    const Rect clip(0, 0, 50, 50);
    const Case cases[] = {
        {"horizontal across", -5, 3, 100, 3, true, 0, 3, 49, 3},
        {"both left", -10, 0, -1, 40, false, 0, 0, 0, 0},
        {"vertical at right edge", 50, 0, 50, 40, false, 0, 0, 0, 0},
        {"vertical at last column", 49, -5, 49, 60, true, 49, 0, 49, 49},
        {"diagonal through", -10, -10, 60, 60, true, 0, 0, 49, 49},
        {"ordered top first", 40, 5, 10, 30, true, 40, 5, 10, 30},
        {"below", 0, 50, 40, 60, false, 0, 0, 0, 0},
        {"above", 0, -20, 40, -1, false, 0, 0, 0, 0},
        {"right end cut", 10, 10, 90, 50, true, 10, 10, 49, 29.5},
    };
    for (const Case& c : cases) {
        RecordingImage dest(100, 100);
        Graphics g(&dest);
        g.clipRect = clip;
        g.DrawLine(c.x1, c.y1, c.x2, c.y2);
        ASSERT_EQ(dest.calls.size(), c.drawn ? 1u : 0u) << c.what;
        if (!c.drawn)
            continue;
        const double* l = dest.calls[0].line;
        EXPECT_DOUBLE_EQ(l[0], c.ex1) << c.what;
        EXPECT_DOUBLE_EQ(l[1], c.ey1) << c.what;
        EXPECT_DOUBLE_EQ(l[2], c.ex2) << c.what;
        EXPECT_DOUBLE_EQ(l[3], c.ey2) << c.what;
    }
}

TEST(Graphics, LineEndpointsKeepTheirFraction)
{
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.transX = 0.25f;
    g.transY = 0.5f;
    g.DrawLine(1, 2, 30, 40);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_DOUBLE_EQ(dest.calls[0].line[0], 1.25);
    EXPECT_DOUBLE_EQ(dest.calls[0].line[1], 2.5);
}

TEST(Graphics, DrawImageUnscaledClipsIntoBlit)
{
    Fw::MemoryImage img(nullptr);
    img.Create(10, 8);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.SetClipRect(5, 5, 50, 50);
    g.DrawImage(&img, 0, 2);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "Blt");
    EXPECT_EQ(dest.calls[0].rect, Rect(5, 5, 0, 0));
    EXPECT_EQ(dest.calls[0].src, Rect(5, 3, 5, 5));
    EXPECT_EQ(dest.calls[0].color, Color::White); // not colourising

    g.SetColorizeImages(true);
    g.SetColor(Color(10, 20, 30, 40));
    g.DrawImage(&img, 10, 10, Rect(2, 2, 4, 4));
    ASSERT_EQ(dest.calls.size(), 2u);
    EXPECT_EQ(dest.calls[1].rect, Rect(10, 10, 0, 0));
    EXPECT_EQ(dest.calls[1].src, Rect(2, 2, 4, 4));
    EXPECT_EQ(dest.calls[1].color, Color(10, 20, 30, 40));
}

TEST(Graphics, DrawImageSourceOutsideImage)
{
    Fw::MemoryImage img(nullptr);
    img.Create(10, 10);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.DrawImage(&img, 0, 0, Rect(8, 0, 4, 4)); // reaches past the right edge: nothing
    EXPECT_TRUE(dest.calls.empty());

    // A source starting left of the image is cut to the image and its placement kept.
    g.DrawImage(&img, 20, 20, Rect(-3, -2, 6, 6));
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].rect, Rect(23, 22, 0, 0));
    EXPECT_EQ(dest.calls[0].src, Rect(0, 0, 3, 4));
}

TEST(Graphics, ScaledDrawImageStretches)
{
    Fw::MemoryImage img(nullptr);
    img.Create(10, 10);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.scaleX = g.scaleY = 2.0f;
    g.DrawImage(&img, 3, 3, Rect(0, 0, 5, 5));
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "StretchBlt");
    EXPECT_EQ(dest.calls[0].rect, Rect(6, 6, 10, 10));
    EXPECT_EQ(dest.calls[0].src, Rect(0, 0, 5, 5));

    // With a scale origin and a fractional scale: floor of the position, ceil of the size.
    dest.calls.clear();
    g.scaleX = g.scaleY = 1.5f;
    g.scaleOrigX = 10.0f;
    g.scaleOrigY = 0.0f;
    g.SetFastStretch(true);
    g.DrawImage(&img, 3, 3); // whole image through the scaled path
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].rect, Rect(-1, 4, 15, 15)); // floor((3-10)*1.5)+10 = -1, floor(4.5) = 4
    EXPECT_TRUE(dest.calls[0].flag);
}

TEST(Graphics, StretchFormsIgnoreScaleAndPassClip)
{
    Fw::MemoryImage img(nullptr);
    img.Create(4, 4);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.scaleX = 3.0f;
    g.transX = 1.9f;
    g.DrawImage(&img, 10, 10, 20, 30);
    g.DrawImage(&img, Rect(1, 2, 3, 4), Rect(0, 1, 2, 3));
    ASSERT_EQ(dest.calls.size(), 2u);
    EXPECT_EQ(dest.calls[0].rect, Rect(11, 10, 20, 30));
    EXPECT_EQ(dest.calls[0].src, Rect(0, 0, 4, 4));
    EXPECT_EQ(dest.calls[1].rect, Rect(2, 2, 3, 4));
    EXPECT_EQ(dest.calls[1].clip, Rect(0, 0, 100, 100));
}

TEST(Graphics, DrawImageMatrixIsNotTranslated)
{
    Fw::MemoryImage img(nullptr);
    img.Create(4, 4);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.Translate(30, 30);
    g.SetLinearBlend(true);
    g.DrawImageMatrix(&img, Fw::Matrix3(), Rect(0, 0, 4, 4), 5.0f, 6.0f);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].rect, Rect(5, 6, 0, 0));
    EXPECT_TRUE(dest.calls[0].flag);
}

TEST(Graphics, DrawImageBoxCells)
{
    Fw::MemoryImage img(nullptr);
    img.Create(3, 3);
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.DrawImageBox(Rect(0, 0, 10, 10), &img);
    // 4 corners, 2 x 8 edge tiles top/bottom, 2 x 8 left/right, 64 centre tiles.
    ASSERT_EQ(dest.calls.size(), 4u + 16u + 16u + 64u);
    auto count = [&](Rect at, Rect src) {
        int n = 0;
        for (const auto& c : dest.calls)
            n += c.rect == at && c.src == src;
        return n;
    };
    EXPECT_EQ(count(Rect(0, 0, 0, 0), Rect(0, 0, 1, 1)), 1);
    EXPECT_EQ(count(Rect(9, 0, 0, 0), Rect(2, 0, 1, 1)), 1);
    EXPECT_EQ(count(Rect(0, 9, 0, 0), Rect(0, 2, 1, 1)), 1);
    EXPECT_EQ(count(Rect(9, 9, 0, 0), Rect(2, 2, 1, 1)), 1);
    EXPECT_EQ(count(Rect(5, 0, 0, 0), Rect(1, 0, 1, 1)), 1); // top edge tile
    EXPECT_EQ(count(Rect(0, 5, 0, 0), Rect(0, 1, 1, 1)), 1); // left edge tile
    EXPECT_EQ(count(Rect(8, 8, 0, 0), Rect(1, 1, 1, 1)), 1); // centre tile

    // A tile reaching past the inner area is clipped by the cell's own clip.
    dest.calls.clear();
    Fw::MemoryImage wide(nullptr);
    wide.Create(6, 3); // corners 2 x 1, middle 2 x 1
    g.DrawImageBox(Rect(0, 0, 9, 3), &wide);
    bool clippedTile = false;
    for (const auto& c : dest.calls)
        if (c.rect == Rect(6, 0, 0, 0) && c.src == Rect(2, 0, 1, 1))
            clippedTile = true; // the third top tile (x 6..7) keeps only x 6: inner area is 2..6
    EXPECT_TRUE(clippedTile);
}

TEST(Graphics, PushPopState)
{
    RecordingImage a(10, 10), b(20, 20);
    FwTest::FakeFont font;
    Graphics g(&a);
    g.PopState(); // empty stack: nothing changes
    EXPECT_EQ(g.destImage, &a);

    g.SetColor(Color(1, 2, 3));
    g.PushState();
    g.destImage = &b;
    g.SetFont(&font);
    g.SetColor(Color(9, 9, 9));
    g.Translate(5, 5);
    g.ClipRect(0, 0, 3, 3);
    g.SetDrawMode(Fw::DRAWMODE_ADDITIVE);
    g.PopState();
    EXPECT_EQ(g.destImage, &a);
    EXPECT_EQ(g.GetFont(), nullptr);
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3));
    EXPECT_EQ(g.transX, 0.0f);
    EXPECT_EQ(g.clipRect, Rect(0, 0, 10, 10));
    EXPECT_EQ(g.GetDrawMode(), Fw::DRAWMODE_NORMAL);

    // A copy takes the state but not the stack.
    g.PushState();
    g.SetColor(Color(7, 7, 7));
    Graphics* copy = g.Create();
    EXPECT_EQ(copy->GetColor(), Color(7, 7, 7));
    copy->PopState();
    EXPECT_EQ(copy->GetColor(), Color(7, 7, 7));
    delete copy;
}

TEST(Graphics, DrawStringHandsUntranslatedPositionToFont)
{
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.DrawString(L"x", 1, 2); // no font: nothing
    FwTest::FakeFont font;
    g.SetFont(&font);
    g.Translate(10, 10);
    g.SetColor(Color(4, 5, 6));
    g.DrawString(L"hi", 1, 2);
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0].x, 1);
    EXPECT_EQ(font.drawn[0].y, 2);
    EXPECT_EQ(font.drawn[0].color, Color(4, 5, 6));
}

} // namespace
