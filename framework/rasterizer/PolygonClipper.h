// Clipping of one triangle against the clip rectangle (Sutherland-Hodgman, four passes: left,
// right, top, bottom). Lists are vertex pointers ended by a null pointer; kept vertices are the
// caller's own, intersections come from a pool the caller owns (one per call, so reentrant).
#pragma once
#include <cstdint>

#include "framework/rasterizer/TriVertex.h"

namespace Fw::raster {

// A triangle gains at most two intersections per pass, so 8 entries; the rest is headroom.
struct ClipVertexPool {
    static constexpr int kSize = 16;
    TriVertex entries[kSize];
    int used = 0;
};

// Room of one vertex list, the terminating null included. A convex polygon has at most 7.
inline constexpr int kClipListCapacity = 16;

// Fills target with the point where the edge from outside to inside meets x = bound (y = bound).
// The clipped coordinate is stored as the bound itself, so rounding can never leave an
// intersection outside the rectangle; the other fields are interpolated with the parameter t
// rounded to single precision, colour bytes truncated toward zero.
void IntersectAtX(const TriVertex& outside, const TriVertex& inside, float bound, TriVertex& target);
void IntersectAtY(const TriVertex& outside, const TriVertex& inside, float bound, TriVertex& target);

// One pass each; a vertex is outside only when the strict comparison says so (on the bound is
// inside). Returns the output count; 0 as well when the pool or the list would overflow.
int ClipToLeftEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound);
int ClipToRightEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound);
int ClipToTopEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound);
int ClipToBottomEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound);

// Clips the triangle into out (capacity kClipListCapacity). Returns 0 when fewer than 3 vertices
// survive a pass, else the count (3 to 7). Resets the pool first.
int ClipPolygonToRect(const TriVertex* const triangle[3], const TriVertex** out, ClipVertexPool& pool, float left,
                      float right, float top, float bottom);

} // namespace Fw::raster
