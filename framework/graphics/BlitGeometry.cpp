// Stretch clip, rotated bounding box and rotated span set-up (16.16 fixed point).
#include "framework/graphics/BlitGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Fw {

DRect DRect::Intersection(const DRect& o) const
{
    const double left = std::max(x, o.x);
    const double right = std::min(x + width, o.x + o.width);
    const double top = std::max(y, o.y);
    const double bottom = std::min(y + height, o.y + o.height);
    if (right - left < 0 || bottom - top < 0)
        return DRect();
    return DRect{left, top, right - left, bottom - top};
}

namespace {

bool StretchClipImpl(const Rect& s, const Rect& clip, const Rect& d, Rect& r, DRect& out, bool mirror)
{
    if (d.width <= 0 || d.height <= 0)
        return false;
    r = d.Intersection(clip);
    const double sx = double(s.width) / d.width;
    const double sy = double(s.height) / d.height;
    out.x = mirror ? double(d.x - r.x - r.width + d.width) * sx + s.x : double(r.x - d.x) * sx + s.x;
    out.y = double(r.y - d.y) * sy + s.y;
    out.width = s.width + sx * (r.width - d.width);
    out.height = s.height + sy * (r.height - d.height);
    return out.width > 0 && out.height > 0 && r.width > 0 && r.height > 0;
}

} // namespace

bool StretchClip(const Rect& src, const Rect& clip, const Rect& dest, Rect& clippedDest, DRect& clippedSrc)
{
    return StretchClipImpl(src, clip, dest, clippedDest, clippedSrc, false);
}

bool StretchClipMirror(const Rect& src, const Rect& clip, const Rect& dest, Rect& clippedDest, DRect& clippedSrc)
{
    return StretchClipImpl(src, clip, dest, clippedDest, clippedSrc, true);
}

bool RotatedBounds(float x, float y, const Rect& s, const Rect& clip, double angle, float cx, float cy,
                   DRect& bounds)
{
    const double c = std::cos(angle), sn = std::sin(angle);
    double minX = 1e7, minY = 1e7, maxX = -1e7, maxY = -1e7;
    const double corners[4][2] = {{0, 0}, {double(s.width), 0}, {double(s.width), double(s.height)},
                                  {0, double(s.height)}};
    for (const auto& p : corners) {
        const double u = p[0] - cx, v = p[1] - cy;
        const double X = float(double(x) + cx + u * c + v * sn);
        const double Y = float(double(y) + cy + v * c - u * sn);
        minX = std::min(minX, X);
        maxX = std::max(maxX, X);
        minY = std::min(minY, Y);
        maxY = std::max(maxY, Y);
    }
    bounds = DRect{minX, minY, maxX - minX, maxY - minY}.Intersection(
        DRect{double(clip.x), double(clip.y), double(clip.width), double(clip.height)});
    return bounds.width > 0 && bounds.height > 0;
}

RotatedSpans::RotatedSpans(float x_, float y_, const Rect& srcRect, double angle, float cx_, float cy_,
                           const DRect& bounds, SpanBounds rule_)
    : cosA(std::cos(angle)), sinA(std::sin(angle)), cx(cx_), cy(cy_), x(x_), y(y_),
      x0(int32_t(bounds.x)), y0(int32_t(bounds.y)), last(int32_t(bounds.width - 1)),
      du(int32_t(cosA * 65536.0)), dv(int32_t(sinA * 65536.0)), srcW(srcRect.width), srcH(srcRect.height),
      boundsHeight(bounds.height), rule(rule_)
{
    a = float(double(x0) - cx - x);
    if (rule == SpanBounds::ExactTaps) {
        // The box starts at a fraction: count its columns and rows from the truncated start, up
        // to the last pixel that starts inside it.
        last = int32_t(std::ceil(bounds.x + bounds.width)) - 1 - x0;
        boundsHeight = bounds.y + bounds.height - double(y0);
    }
}

namespace {

int64_t FloorDiv(int64_t n, int64_t d) // d > 0
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

int64_t CeilDiv(int64_t n, int64_t d) // d > 0
{
    return -FloorDiv(-n, d);
}

// Narrows [first, last] to the steps k with 0 <= start + k * step <= hi. False when none is left.
bool LimitSteps(int64_t start, int64_t step, int64_t hi, int64_t& first, int64_t& last)
{
    if (step == 0)
        return start >= 0 && start <= hi;
    const int64_t lo = step > 0 ? CeilDiv(-start, step) : CeilDiv(start - hi, -step);
    const int64_t up = step > 0 ? FloorDiv(hi - start, step) : FloorDiv(start, -step);
    first = std::max(first, lo);
    last = std::min(last, up);
    return first <= last;
}

// The surface blit's per-row limits, with its fixed margins (see SpanBounds).
bool SurfaceLimits(int64_t uRow, int64_t vRow, int64_t du, int64_t dv, int64_t W, int64_t H, int64_t& first,
                   int64_t& lastCol)
{
    if (du < 0) {
        if (uRow < 0)
            return false;
        int64_t t = ((W << 16) - uRow - 0x27FFF) / du;
        if (t >= 0)
            first = t;
        t = (0x7FFF - uRow) / du;
        if (t < lastCol)
            lastCol = t;
    } else if (du > 0) {
        if ((uRow >> 16) >= W - 1)
            return false;
        int64_t t = (0x10000 - uRow) / du;
        if (t > 0)
            first = t;
        t = ((W << 16) - uRow - 0x17FFF) / du;
        if (t < lastCol)
            lastCol = t;
    } else if (uRow < 0 || uRow >= (W << 16) - 0x10000) {
        return false;
    }

    if (dv < 0) {
        if (vRow < 0)
            return false;
        int64_t t = ((H << 16) - vRow - 0x27FFF) / dv;
        if (t > first)
            first = t;
        t = -(vRow / dv);
        if (t < lastCol)
            lastCol = t;
    } else if (dv > 0) {
        if ((vRow >> 16) >= H - 1)
            return false;
        int64_t t = (0x10000 - vRow) / dv;
        if (t > first)
            first = t;
        t = ((H << 16) - vRow - 0x17FFF) / dv;
        if (t < lastCol)
            lastCol = t;
    } else if (vRow < 0 || vRow >= (H << 16) - 0x10000) {
        return false;
    }
    return true;
}

} // namespace

bool RotatedSpans::RowSpan(int32_t r, Span& span) const
{
    const float b = float(double(y0 + r) - cy - y);
    const long double uf = 65536.0L * ((long double)a * cosA - (long double)b * sinA + cx);
    const long double vf = 65536.0L * ((long double)a * sinA + (long double)b * cosA + cy);
    constexpr long double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    if (!(uf > lo && uf < hi && vf > lo && vf < hi))
        return false; // far outside any source (or not a number)
    const int64_t uRow = int64_t(uf), vRow = int64_t(vf);
    const int64_t W = srcW, H = srcH;
    int64_t first = 0, lastCol = last;

    const bool some = rule == SpanBounds::ExactTaps
                          // Taps at u >> 16 and one to the right: u from 0 to just below W - 1 pixels.
                          ? LimitSteps(uRow, du, ((W - 1) << 16) - 1, first, lastCol) &&
                                LimitSteps(vRow, dv, ((H - 1) << 16) - 1, first, lastCol)
                          : SurfaceLimits(uRow, vRow, du, dv, W, H, first, lastCol);
    if (!some || first > lastCol)
        return false;

    // The taps of both end columns must lie inside the source (u and v are linear along the
    // span, so the ends decide); anything else is refused rather than read out of bounds.
    const int64_t uFirst = uRow + first * du, vFirst = vRow + first * dv;
    const int64_t uLast = uRow + lastCol * du, vLast = vRow + lastCol * dv;
    auto inside = [&](int64_t u, int64_t v) {
        return u >= 0 && v >= 0 && (u >> 16) <= W - 2 && (v >> 16) <= H - 2;
    };
    if (!inside(uFirst, vFirst) || !inside(uLast, vLast))
        return false;
    span = Span{int32_t(first), int32_t(lastCol), int32_t(uFirst), int32_t(vFirst)};
    return true;
}

} // namespace Fw
