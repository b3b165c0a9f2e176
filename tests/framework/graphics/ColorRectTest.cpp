#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <gtest/gtest.h>

namespace {

using Fw::Color;
using Fw::Rect;

TEST(Rect, Intersection)
{
    struct Case { Rect a, b, expected; };
    const Case cases[] = {
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}},   // touching: zero width at the touching edge
        {{0, 0, 10, 10}, {20, 20, 5, 5}, {0, 0, 0, 0}},   // disjoint
        {{0, 0, 10, 10}, {5, 5, 10, 10}, {5, 5, 5, 5}},
        {{-5, -5, 10, 10}, {0, 0, 3, 3}, {0, 0, 3, 3}},
    };
    for (const auto& c : cases) {
        const Rect r = c.a.Intersection(c.b);
        EXPECT_EQ(r, c.expected) << r.x << "," << r.y << "," << r.width << "," << r.height;
        EXPECT_EQ(c.b.Intersection(c.a), c.expected);
    }
}

TEST(Color, Packing)
{
    EXPECT_EQ(Color(0x00FF0000u).alpha, 0);
    EXPECT_EQ(Color(0x00FF0000u).red, 255);
    EXPECT_EQ(Color(0xFFFF0000u), Color(255, 0, 0));
    EXPECT_EQ(Color(255, 0, 0).ToInt(), 0xFFFF0000u);
    EXPECT_EQ(Color(255, 255, 255), Color::White);
    EXPECT_NE(Color(255, 255, 255, 254), Color::White);
    EXPECT_EQ(Color(), Color::Black);
}

} // namespace
