// Triangle clipping against the clip rectangle; see PolygonClipper.h.
#include "framework/rasterizer/PolygonClipper.h"

#include <cmath>

namespace Fw::raster {
namespace {

float Lerp(float a, float b, float t)
{
    return float(double(a) + (double(b) - double(a)) * double(t));
}

uint32_t LerpColour(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const double ca = double((a >> shift) & 0xFF);
        const double cb = double((b >> shift) & 0xFF);
        out |= uint32_t(std::trunc(ca + (cb - ca) * double(t))) << shift;
    }
    return out;
}

void InterpolateRest(const TriVertex& a, const TriVertex& b, float t, TriVertex& target)
{
    target.u = Lerp(a.u, b.u, t);
    target.v = Lerp(a.v, b.v, t);
    target.colour = LerpColour(a.colour, b.colour, t);
}

// Both edge directions of one pass use the outside vertex first, so neighbouring polygons that
// share an edge get the same point.
template <class IsOutside, class Intersect>
int ClipPass(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, IsOutside isOutside,
             Intersect intersect)
{
    int n = 0;
    while (in[n])
        ++n;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const TriVertex* current = in[i];
        const TriVertex* next = in[i + 1 == n ? 0 : i + 1];
        const bool currentOut = isOutside(*current);
        const bool nextOut = isOutside(*next);
        if (!currentOut) {
            if (count + 1 >= kClipListCapacity)
                return out[0] = nullptr, 0;
            out[count++] = current;
        }
        if (currentOut != nextOut) {
            if (count + 1 >= kClipListCapacity || pool.used >= ClipVertexPool::kSize)
                return out[0] = nullptr, 0;
            TriVertex& target = pool.entries[pool.used++];
            if (currentOut)
                intersect(*current, *next, target);
            else
                intersect(*next, *current, target);
            out[count++] = &target;
        }
    }
    out[count] = nullptr;
    return count;
}

} // namespace

void IntersectAtX(const TriVertex& outside, const TriVertex& inside, float bound, TriVertex& target)
{
    const float t = float((double(bound) - outside.x) / (double(inside.x) - outside.x));
    target.x = bound;
    target.y = Lerp(outside.y, inside.y, t);
    InterpolateRest(outside, inside, t, target);
}

void IntersectAtY(const TriVertex& outside, const TriVertex& inside, float bound, TriVertex& target)
{
    const float t = float((double(bound) - outside.y) / (double(inside.y) - outside.y));
    target.x = Lerp(outside.x, inside.x, t);
    target.y = bound;
    InterpolateRest(outside, inside, t, target);
}

int ClipToLeftEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound)
{
    return ClipPass(
        in, out, pool, [bound](const TriVertex& p) { return p.x < bound; },
        [bound](const TriVertex& o, const TriVertex& i, TriVertex& t) { IntersectAtX(o, i, bound, t); });
}

int ClipToRightEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound)
{
    return ClipPass(
        in, out, pool, [bound](const TriVertex& p) { return p.x > bound; },
        [bound](const TriVertex& o, const TriVertex& i, TriVertex& t) { IntersectAtX(o, i, bound, t); });
}

int ClipToTopEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound)
{
    return ClipPass(
        in, out, pool, [bound](const TriVertex& p) { return p.y < bound; },
        [bound](const TriVertex& o, const TriVertex& i, TriVertex& t) { IntersectAtY(o, i, bound, t); });
}

int ClipToBottomEdge(const TriVertex* const* in, const TriVertex** out, ClipVertexPool& pool, float bound)
{
    return ClipPass(
        in, out, pool, [bound](const TriVertex& p) { return p.y > bound; },
        [bound](const TriVertex& o, const TriVertex& i, TriVertex& t) { IntersectAtY(o, i, bound, t); });
}

int ClipPolygonToRect(const TriVertex* const triangle[3], const TriVertex** out, ClipVertexPool& pool, float left,
                      float right, float top, float bottom)
{
    pool.used = 0;
    const TriVertex* a[kClipListCapacity] = {triangle[0], triangle[1], triangle[2], nullptr};
    const TriVertex* b[kClipListCapacity];
    if (ClipToLeftEdge(a, b, pool, left) < 3)
        return 0;
    if (ClipToRightEdge(b, a, pool, right) < 3)
        return 0;
    if (ClipToTopEdge(a, b, pool, top) < 3)
        return 0;
    const int n = ClipToBottomEdge(b, out, pool, bottom);
    return n < 3 ? 0 : n;
}

} // namespace Fw::raster
