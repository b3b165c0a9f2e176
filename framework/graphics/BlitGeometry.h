// Geometry shared by the software blits of memory images and surface images: the plain blit clip,
// rectangles of doubles, the stretch clip (plain and mirrored), the rotated bounding box and the
// per-row span set-up of the rotated blit.
#pragma once
#include "framework/graphics/Rect.h"

#include <algorithm>
#include <cstdint>

namespace Fw {

// One axis of a blit whose start lies before 0: start moves to 0, the other side's position moves
// along by the same amount and the extent shrinks by it. Nothing happens for a start at or past 0.
inline void CutNegativeStart(int32_t& start, int32_t& other, int32_t& extent)
{
    if (start < 0) {
        other -= start;
        extent += start;
        start = 0;
    }
}

// The part of a blit that lies inside both the source image and the destination: source columns
// i0..i0 + count - 1 of rows j0.., written from column dx0 stepping by +1, or by -1 when mirrored
// (the source rectangle's first column lands on x + width - 1).
struct BlitSpan {
    int32_t i0 = 0, j0 = 0, count = 0, rows = 0;
    int32_t dx0 = 0, dy0 = 0, step = 1;
};

// The blit of source rectangle s of a srcW x srcH image to (x, y) of a dstW x dstH destination,
// mirrored or not, cut to both; false when nothing is left. Inline: every integer blit and every
// glyph of the glyph passes clips through it.
inline bool ClipBlit(int32_t srcW, int32_t srcH, int32_t dstW, int32_t dstH, int32_t x, int32_t y,
                     const Rect& s, bool mirror, BlitSpan& out)
{
    int32_t i0 = std::max(s.x, 0), i1 = std::min(s.x + s.width, srcW);
    if (mirror) {
        // dest column of source column i: x + s.x + s.width - 1 - i
        i0 = std::max(i0, x + s.x + s.width - dstW);
        i1 = std::min(i1, x + s.x + s.width);
    } else {
        i0 = std::max(i0, s.x - x);
        i1 = std::min(i1, s.x - x + dstW);
    }
    const int32_t j0 = std::max({s.y, 0, s.y - y});
    const int32_t j1 = std::min({s.y + s.height, srcH, s.y - y + dstH});
    if (i1 <= i0 || j1 <= j0)
        return false;
    out.i0 = i0;
    out.j0 = j0;
    out.count = i1 - i0;
    out.rows = j1 - j0;
    out.dx0 = mirror ? x + s.x + s.width - 1 - i0 : x + i0 - s.x;
    out.dy0 = y + j0 - s.y;
    out.step = mirror ? -1 : 1;
    return true;
}

struct DRect {
    double x = 0, y = 0, width = 0, height = 0;
    // The integer-rectangle rule on doubles: a negative extent gives all zero.
    DRect Intersection(const DRect& o) const;
};

// Stretch clip: r = dest intersected with clip; the part of src that lands in r, as doubles.
// False when nothing is left (the source extent is not above 0 in both directions).
bool StretchClip(const Rect& src, const Rect& clip, const Rect& dest, Rect& clippedDest, DRect& clippedSrc);
// The same for a horizontally mirrored stretch: the source x runs from the right.
bool StretchClipMirror(const Rect& src, const Rect& clip, const Rect& dest, Rect& clippedDest, DRect& clippedSrc);

// Bounding box of srcRect rotated by angle about (cx, cy) and placed at (x, y) (see
// Image::BltRotated), intersected with clip. False when it has no positive width and height.
bool RotatedBounds(float x, float y, const Rect& srcRect, const Rect& clip, double angle, float cx, float cy,
                   DRect& bounds);

// How the rotated blit bounds its rows and spans.
//  - SurfaceMargins: the surface blit's fixed rules: the last column is trunc(width - 1), rows run
//    while r < height, and the per-row limits keep margins (the first sample at u = 0 or v = 0 is
//    left out, as is any sample below u = 0.5 where u falls along the row).
//  - ExactTaps: every pixel of the box, up to the last one that starts inside it, whose four taps
//    lie inside the source.
enum class SpanBounds { SurfaceMargins, ExactTaps };

// Inverse mapping of the rotated blit in 16.16 fixed point, row by row. For each destination row
// the span is the run of columns whose four bilinear taps all lie inside the source rectangle.
class RotatedSpans {
public:
    RotatedSpans(float x, float y, const Rect& srcRect, double angle, float cx, float cy, const DRect& bounds,
                 SpanBounds rule = SpanBounds::SurfaceMargins);

    int32_t firstX() const { return x0; }
    int32_t firstY() const { return y0; }
    int32_t stepU() const { return du; }
    int32_t stepV() const { return dv; }
    // Rows r = 0 .. while r < bounds height.
    bool HasRow(int32_t r) const { return double(r) < boundsHeight; }

    struct Span {
        int32_t first, last; // columns x0 + first .. x0 + last, inclusive
        int32_t u, v;        // source position at column first, relative to the source rect
    };
    // False when row r has no column whose taps stay inside.
    bool RowSpan(int32_t r, Span& span) const;

private:
    double cosA, sinA;
    float a;           // X0 - cx - x
    float cx, cy, x, y;
    int32_t x0, y0, last;
    int32_t du, dv;
    int32_t srcW, srcH;
    double boundsHeight; // rows r run while r < boundsHeight
    SpanBounds rule;
};

} // namespace Fw
