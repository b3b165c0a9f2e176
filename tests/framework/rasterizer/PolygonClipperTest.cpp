// Clipping of one triangle against the clip rectangle: kept pointers, intersections, counts.
#include <gtest/gtest.h>

#include "framework/rasterizer/PolygonClipper.h"

namespace Fw::raster {
namespace {

struct Clipped {
    int count;
    const TriVertex* out[kClipListCapacity];
    ClipVertexPool pool;
};

void Clip(Clipped& c, const TriVertex& a, const TriVertex& b, const TriVertex& d, float l, float r, float t,
          float bottom)
{
    const TriVertex* tri[3] = {&a, &b, &d};
    c.count = ClipPolygonToRect(tri, c.out, c.pool, l, r, t, bottom);
}

TEST(PolygonClipper, VertexOnABoundIsInsideAndKeepsItsPointer)
{
    const TriVertex a{0, 5, 0, 0, 0}, b{8, 2, 0, 0, 0}, d{6, 9, 0, 0, 0};
    Clipped c;
    Clip(c, a, b, d, 0, 10, 0, 10);
    ASSERT_EQ(c.count, 3);
    EXPECT_EQ(c.out[0], &a);
    EXPECT_EQ(c.out[1], &b);
    EXPECT_EQ(c.out[2], &d);
    EXPECT_EQ(c.out[3], nullptr);
    EXPECT_EQ(c.pool.used, 0);
}

TEST(PolygonClipper, OutsideOrDegenerateLeavesNothing)
{
    const TriVertex a{-5, 1, 0, 0, 0}, b{-1, 2, 0, 0, 0}, d{-3, 8, 0, 0, 0};
    Clipped c;
    Clip(c, a, b, d, 0, 10, 0, 10);
    EXPECT_EQ(c.count, 0);
    const TriVertex e{2, 2, 0, 0, 0};
    Clip(c, e, e, e, 0, 10, 0, 10); // still three vertices: the fillers decide it has no area
    EXPECT_EQ(c.count, 3);
    Clip(c, a, b, d, 4, 3, 0, 10); // empty rectangle
    EXPECT_EQ(c.count, 0);
}

TEST(PolygonClipper, CornerCutsAndTheSevenVertexCase)
{
    Clipped c;
    // One vertex beyond the bottom-right corner, two inside: 5 vertices.
    Clip(c, TriVertex{1, 1, 0, 0, 0}, TriVertex{14, 14, 0, 0, 0}, TriVertex{1, 8, 0, 0, 0}, 0, 10, 0, 10);
    EXPECT_EQ(c.count, 5);
    // A large triangle cut by all four bounds.
    const TriVertex a{-4, 3, 0, 0, 0}, b{7, -5, 0, 0, 0}, d{12, 16, 0, 0, 0};
    Clip(c, a, b, d, 0, 10, 0, 10);
    EXPECT_EQ(c.count, 7);
    EXPECT_LE(c.pool.used, 8);
    for (int i = 0; i < c.count; ++i) {
        EXPECT_GE(c.out[i]->x, 0.0f);
        EXPECT_LE(c.out[i]->x, 10.0f);
        EXPECT_GE(c.out[i]->y, 0.0f);
        EXPECT_LE(c.out[i]->y, 10.0f);
    }
}

TEST(PolygonClipper, IntersectionInterpolatesAndTruncatesColourBytes)
{
    const TriVertex black{-2, 0, 0.0f, 1.0f, 0xFF000000}, blue{2, 4, 1.0f, 0.0f, 0xFF0000FF};
    TriVertex mid;
    IntersectAtX(black, blue, 0, mid);
    EXPECT_EQ(mid.x, 0.0f);
    EXPECT_EQ(mid.y, 2.0f);
    EXPECT_EQ(mid.u, 0.5f);
    EXPECT_EQ(mid.v, 0.5f);
    EXPECT_EQ(mid.colour, 0xFF00007Fu); // 127.5 truncated
    IntersectAtY(black, blue, 1, mid);
    EXPECT_EQ(mid.y, 1.0f);
    EXPECT_EQ(mid.x, -1.0f);
}

TEST(PolygonClipper, FarCoordinatesStillLandOnTheBound)
{
    // With t rounded to single precision, A + (B - A) * t can miss the bound by many pixels for a
    // far outside vertex; the intersection is stored on the bound itself.
    const TriVertex far{1.0e9f, 5, 0, 0, 0}, near{5, 5, 0, 0, 0}, low{5, 9, 0, 0, 0};
    Clipped c;
    Clip(c, far, near, low, 0, 100, 0, 100);
    ASSERT_GE(c.count, 3);
    for (int i = 0; i < c.count; ++i)
        EXPECT_LE(c.out[i]->x, 100.0f);
}

} // namespace
} // namespace Fw::raster
