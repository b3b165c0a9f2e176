// The union-of-rectangles region that level objects hit-test against.
#include "engine/boards/RectRegion.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(RectRegion, PointsInsideAnyHalfOpenRectangle)
{
    RectRegion region(0, 0, 10, 5);
    region.Add(8, 4, 4, 4); // overlaps the first
    region.Add(50, 50, 0, 9); // no area: adds nothing
    region.Add(-20, -20, 5, 5);
    const struct {
        int x, y;
        bool inside;
    } kCases[] = {
        {0, 0, true},    {9, 4, true},   {10, 0, false}, {0, 5, false}, {11, 7, true},
        {12, 7, false},  {11, 8, false}, {50, 50, false}, {-20, -20, true}, {-16, -16, true},
        {-15, -16, false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(region.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(region.Rects().size(), 3u);

    const int32_t max = std::numeric_limits<int32_t>::max();
    RectRegion edge(max - 1, 0, 100, 1);
    EXPECT_TRUE(edge.Contains(max, 0)) << "no wrap past INT32_MAX";
    EXPECT_FALSE(RectRegion().Contains(0, 0));
}

} // namespace
