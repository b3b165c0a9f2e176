// Surface-image fills and lines in the surface's own format: rectangle fills (blend and additive),
// Bresenham lines, the anti-aliased line, the coverage span fill and the rasterizer on the
// surface. Per-channel forms work on any masks; the anti-aliased line blends 565 and 555 on the
// spread word and 32-bit on the 0xFF00FF / 0xFF00 groups.
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfaceLock.h"
#include "framework/graphics/detail/SurfaceSpans.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace Fw {

using namespace detail;

namespace {

struct Channel {
    uint32_t mask;
    int32_t shift;
    int32_t bits;
    const int32_t* table; // saturation table of the channel
    uint32_t value;       // colour channel 0..255
};

// Per-channel views of a colour on a surface: masks from the surface, the rest from the display.
struct Channels {
    Channel c[3];
    Channels(const SurfaceView& v, const NativeDisplay& f, const Color& col)
        : c{{v.rm, f.redShift, f.redBits, f.redAddTable.data(), uint32_t(col.red)},
            {v.gm, f.greenShift, f.greenBits, f.greenAddTable.data(), uint32_t(col.green)},
            {v.bm, f.blueShift, f.blueBits, f.blueAddTable.data(), uint32_t(col.blue)}}
    {
    }
};

// Additive source per channel: (ch * a) / 255 at the channel's precision.
struct AddRule {
    Channel c[3];
    uint32_t s[3];
    AddRule(const Channels& ch, uint32_t alpha) : c{ch.c[0], ch.c[1], ch.c[2]}
    {
        for (int k = 0; k < 3; ++k)
            s[k] = ((c[k].value * alpha) / 255) >> (8 - c[k].bits);
    }
    uint32_t operator()(uint32_t d) const
    {
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(c[k].table[s[k] + ((d & c[k].mask) >> c[k].shift)]) << c[k].shift;
        return out;
    }
};

// Normal fill with colour alpha a below 255:
//   S = sum over channels of ((((ch * a + k) >> 8) + 1) * M >> 8) & M,  k = 128 (16-bit), 127 (32-bit)
//   16-bit: d' = sum of (((d & M) * (256 - a) + M) >> 8) & M, plus S
//   32-bit: d' = sum of ((d & M) * (256 - a) >> 8) & M, plus S
template <class L, bool Bias>
struct FillBlendRule {
    L lay;
    uint32_t s;
    uint32_t ia;
    // 32 bits hold (d & M) * 256 + M for the fixed 565 and X888 masks; any other masks may
    // reach the top byte and take 64.
    using Acc = std::conditional_t<std::is_same_v<L, RuntimeLayout>, uint64_t, uint32_t>;
    uint32_t operator()(uint32_t d) const
    {
        if constexpr (std::is_same_v<L, LayoutX888> && !Bias) {
            // Red and blue in one product: each lane's product stays below 2^16, so the masked
            // group equals the two channels done apart.
            return s + ((((d & 0xFF00FFu) * ia) >> 8) & 0xFF00FFu) + ((((d & 0xFF00u) * ia) >> 8) & 0xFF00u);
        }
        uint32_t out = s;
        for (int k = 0; k < 3; ++k)
            out += uint32_t(((Acc(d & lay.m(k)) * ia) + (Bias ? lay.m(k) : 0)) >> 8) & lay.m(k);
        return out;
    }
};

// One pixel of a plain line, normal mode (same on 16 and 32 bits):
//   opaque: OR of ((ch * M + (M >> 1)) >> 8) & M
//   alpha a: S = sum of ((((ch * a + 128) >> 8) * M + (M >> 1)) >> 8) & M,
//            d' = sum of (((d & M) * (256 - a) + (M >> 1)) >> 8) & M, plus S
struct LineRule {
    uint32_t m[3];
    uint32_t s;  // the opaque pixel or S
    uint32_t ia; // 0 for an opaque colour
    uint32_t operator()(uint32_t d) const
    {
        if (ia == 0)
            return s;
        uint32_t out = s;
        for (uint32_t mask : m)
            out += uint32_t((uint64_t(d & mask) * ia + (mask >> 1)) >> 8) & mask;
        return out;
    }
};

LineRule MakeLineRule(const SurfaceView& v, const Color& c)
{
    const uint32_t m[3] = {v.rm, v.gm, v.bm};
    const uint32_t ch[3] = {uint32_t(c.red), uint32_t(c.green), uint32_t(c.blue)};
    const uint32_t a = uint32_t(c.alpha);
    LineRule r{{m[0], m[1], m[2]}, 0, 0};
    if (a >= 255) {
        for (int k = 0; k < 3; ++k)
            r.s |= uint32_t((uint64_t(ch[k]) * m[k] + (m[k] >> 1)) >> 8) & m[k];
        return r;
    }
    for (int k = 0; k < 3; ++k)
        r.s += uint32_t((uint64_t((ch[k] * a + 128) >> 8) * m[k] + (m[k] >> 1)) >> 8) & m[k];
    r.ia = 256 - a;
    return r;
}

// Visits the pixels of the Bresenham line from (x1, y1) to (x2, y2); see NormalDrawLine.
template <class Plot>
void WalkLine(double x1, double y1, double x2, double y2, Plot plot)
{
    const bool yMajor = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
    double M0 = yMajor ? y1 : x1, m0 = yMajor ? x1 : y1, M1 = yMajor ? y2 : x2, m1 = yMajor ? x2 : y2;
    if (M1 < M0) {
        std::swap(M0, M1);
        std::swap(m0, m1);
    }
    const int32_t dir = m1 < m0 ? -1 : 1;
    const double dM = std::fabs(M1 - M0), dm = std::fabs(m1 - m0);
    const int32_t inc1 = int32_t(2 * dm), inc2 = int32_t(2 * (dm - dM));
    int32_t err = int32_t((m0 - std::trunc(m0)) * inc1 + std::trunc(2 * dm - dM));
    int32_t M = int32_t(M0), m = int32_t(m0);
    const int32_t Mend = int32_t(M1);
    const int32_t mLo = std::min(int32_t(m0), int32_t(m1)), mHi = std::max(int32_t(m0), int32_t(m1));
    for (;;) {
        if (yMajor)
            plot(m, M);
        else
            plot(M, m);
        if (M + 1 > Mend)
            break;
        ++M;
        if (err < 1) {
            err += inc1;
        } else {
            m += dir;
            err += inc2;
            if (m < mLo || m > mHi)
                break;
        }
    }
}

// Anti-aliased blend of the converted colour S into d with weight t (0..255).
struct AABlend {
    uint32_t s;
    uint32_t spreadMask; // 565 / 555, or 0
    uint32_t m[3];
    int32_t bitCount;
    uint32_t operator()(uint32_t d, uint32_t t) const
    {
        if (spreadMask) {
            const uint32_t r1 = (((t >> 3) * Spread(s, spreadMask)) >> 5) & spreadMask;
            const uint32_t r2 = ((Spread(d, spreadMask) * ((256 - t) >> 3)) >> 5) & spreadMask;
            return (Fold(r1) + Fold(r2)) & 0xFFFF;
        }
        if (bitCount == 32) {
            const uint32_t rb = ((((d & 0xFF00FFu) * (256 - t)) + (s & 0xFF00FFu) * t) >> 8) & 0xFF00FFu;
            const uint32_t g = ((((d & 0xFF00u) * (256 - t)) + (s & 0xFF00u) * t) >> 8) & 0xFF00u;
            return rb | g;
        }
        uint32_t out = 0;
        for (uint32_t mask : m)
            out += uint32_t(((uint64_t(d & mask) * (256 - t)) + uint64_t(s & mask) * t) >> 8) & mask;
        return out;
    }
};

int32_t Nearest(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > double(std::numeric_limits<int32_t>::min()) && r < double(std::numeric_limits<int32_t>::max())))
        return r > 0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
    return int32_t(r);
}

} // namespace

void DDImage::NormalFillRect(const Rect& rect, const Color& color)
{
    OnSurface(*this, true, [&](const SurfaceView& v) {
        const Rect r = rect.Intersection(v.Bounds());
        const uint32_t m[3] = {v.rm, v.gm, v.bm};
        const uint32_t ch[3] = {uint32_t(color.red), uint32_t(color.green), uint32_t(color.blue)};
        const uint32_t a = uint32_t(color.alpha);
        DispatchPixel(v, [&](auto* tag) {
            using P = std::remove_pointer_t<decltype(tag)>;
            const bool wide = sizeof(P) == 4;
            if (a >= 255) {
                uint32_t value = 0;
                for (int k = 0; k < 3; ++k)
                    value |= wide ? ShortChannel(ch[k], m[k]) : ExactChannel(ch[k], m[k]);
                ApplyRect<P>(v, r, [value](uint32_t) { return value; });
                return;
            }
            const uint32_t k = wide ? 127 : 128;
            uint32_t s = 0;
            for (int i = 0; i < 3; ++i)
                s += uint32_t((uint64_t(((ch[i] * a + k) >> 8) + 1) * m[i]) >> 8) & m[i];
            if (!wide)
                s &= 0xFFFF;
            // Masks fixed at compile time for 565 and X888 let the loop fold them.
            WithLayout(v, GetDisplay()->GetPixelFormat(), [&](auto lay) {
                if constexpr (std::is_same_v<decltype(lay), LayoutX888> && sizeof(P) == 4) {
                    for (int32_t y = r.y; y < r.y + r.height; ++y)
                        FillOverSpan32(v.Row<uint32_t>(y) + r.x, r.width, s, 256 - a);
                } else if (wide) {
                    ApplyRect<P>(v, r, FillBlendRule<decltype(lay), false>{lay, s, 256 - a});
                } else {
                    ApplyRect<P>(v, r, FillBlendRule<decltype(lay), true>{lay, s, 256 - a});
                }
            });
        });
    });
}

void DDImage::AdditiveFillRect(const Rect& rect, const Color& color)
{
    OnSurface(*this, true, [&](const SurfaceView& v) {
        const Rect r = rect.Intersection(v.Bounds());
        const AddRule rule(Channels(v, GetDisplay()->GetPixelFormat(), color), uint32_t(color.alpha));
        DispatchPixel(v, [&](auto* tag) { ApplyRect<std::remove_pointer_t<decltype(tag)>>(v, r, rule); });
    });
}

void DDImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    OnSurface(*this, true, [&](const SurfaceView& v) {
        const LineRule rule = MakeLineRule(v, color);
        WalkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
            if (x >= 0 && y >= 0 && x < v.width && y < v.height)
                v.Put(x, y, rule(v.Get(x, y)));
        });
    });
}

void DDImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    OnSurface(*this, true, [&](const SurfaceView& v) {
        const AddRule rule(Channels(v, GetDisplay()->GetPixelFormat(), color), uint32_t(color.alpha));
        WalkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
            if (x >= 0 && y >= 0 && x < v.width && y < v.height)
                v.Put(x, y, rule(v.Get(x, y)));
        });
    });
}

void DDImage::NormalDrawLineAA(double x1, double y1, double x2, double y2, const Color& color)
{
    OnSurface(*this, false, [&](const SurfaceView& v) {
        const AABlend blend{ShortChannel(uint32_t(color.red), v.rm) | ShortChannel(uint32_t(color.green), v.gm) |
                                ShortChannel(uint32_t(color.blue), v.bm),
                            v.SpreadMask(),
                            {v.rm, v.gm, v.bm},
                            v.bitCount};
        const uint32_t alpha = uint32_t(color.alpha);
        auto put = [&](int32_t x, int32_t y, uint32_t t) {
            if (alpha < 255)
                t = ((alpha + 1) * t) >> 8;
            if (x >= 0 && y >= 0 && x < v.width && y < v.height)
                v.Put(x, y, blend(v.Get(x, y), t));
        };

        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        int32_t x = int32_t(x1), y = int32_t(y1);
        const int32_t xe = int32_t(x2), ye = int32_t(y2);
        int32_t dxi = xe - x, dir = 1;
        if (dxi < 0) {
            dxi = -dxi;
            dir = -1;
        }
        const int32_t dyi = ye - y;
        const double dx = (x2 - x1) * dir, dy = y2 - y1;
        const bool yMajor = dxi < dyi;
        uint32_t acc = uint32_t(Nearest(std::fabs(x1 - std::trunc(x1)) * std::fabs(y1 - std::trunc(y1)) * 65536.0));
        put(x, y, 255 - ((acc >> 8) & 255));
        if (dxi == 0 && dyi == 0)
            return; // one pixel: no direction to step in
        const uint32_t inc = uint32_t(yMajor ? Nearest(65536.0 * dx / dy) : Nearest(65536.0 * dy / dx));
        const int32_t steps = (yMajor ? dyi : dxi) - 1;
        for (int32_t i = 0; i < steps; ++i) {
            acc += inc;
            if (acc > 0xFFFF) {
                acc &= 0xFFFF;
                if (yMajor)
                    x += dir;
                else
                    y += 1;
            }
            if (yMajor)
                y += 1;
            else
                x += dir;
            const uint32_t w = (acc >> 8) & 255;
            put(x, y, 255 - w);
            if (yMajor) {
                if (x + dir >= 0 && x + dir < v.width)
                    put(x + dir, y, w);
            } else if (y + 1 < v.height) {
                put(x, y + 1, w);
            }
        }
        put(xe, ye, 255 - ((acc >> 8) & 255));
    });
}

void DDImage::AdditiveDrawLineAA(double, double, double, double, const Color&)
{
    // Additive anti-aliased lines draw nothing.
}

void DDImage::CoverageFillOnSurface(const Span* spans, int32_t count, const Color& color, const uint8_t* coverage,
                                    int32_t coverX, int32_t coverY, int32_t coverWidth, int32_t coverHeight)
{
    {
        SurfaceLock lock(*this);
        if (!lock.Ok() || !coverage)
            return;
        const SurfaceView& v = lock.View();
        const uint32_t m[3] = {v.rm, v.gm, v.bm};
        const uint32_t s = ShortChannel(uint32_t(color.red), v.rm) | ShortChannel(uint32_t(color.green), v.gm) |
                           ShortChannel(uint32_t(color.blue), v.bm);
        const uint32_t alpha = uint32_t(color.alpha);
        for (int32_t i = 0; i < count; ++i) {
            const Span& sp = spans[i];
            // Only pixels inside both the surface and the coverage block.
            if (sp.y < 0 || sp.y >= v.height || sp.y < coverY || sp.y >= coverY + coverHeight)
                continue;
            const int32_t x0 = std::max({sp.x, 0, coverX});
            const int32_t x1 = std::min({sp.x + sp.width, v.width, coverX + coverWidth});
            const uint8_t* cov = coverage + size_t(sp.y - coverY) * size_t(coverWidth);
            for (int32_t x = x0; x < x1; ++x) {
                // a = ((coverage + 1) * colour alpha) >> 8; channel = ((d * (256 - a) + S * a) >> 8) & M
                const uint32_t a = ((uint32_t(cov[x - coverX]) + 1) * alpha) >> 8;
                const uint32_t d = v.Get(x, sp.y);
                uint32_t out = 0;
                for (uint32_t mask : m)
                    out += uint32_t((uint64_t(d & mask) * (256 - a) + uint64_t(s & mask) * a) >> 8) & mask;
                v.Put(x, sp.y, out);
            }
        }
    }
    DeleteMemoryData();
}

void DDImage::RasterOnSurface(const Rect& clip,
                              const std::function<void(void*, int32_t, int32_t, const Rect&)>& draw)
{
    {
        SurfaceLock lock(*this);
        if (!lock.Ok())
            return;
        const SurfaceView& v = lock.View();
        int32_t code = 0;
        if (v.bitCount == 32)
            code = 0x888;
        else if (v.rm == 0xF800 && v.gm == 0x7E0 && v.bm == 0x1F)
            code = 0x565;
        else if (v.rm == 0x7C00 && v.gm == 0x3E0 && v.bm == 0x1F)
            code = 0x555;
        // The rasterizer has no code for other 16-bit masks: nothing is drawn there.
        if (code)
            draw(v.bits, v.pitch, code, clip.Intersection(v.Bounds()));
    }
    DeleteMemoryData();
}

} // namespace Fw
