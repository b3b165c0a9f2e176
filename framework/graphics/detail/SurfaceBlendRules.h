// Per-pixel rules of the surface blits and stretches, on premultiplied native source words n
// (alpha a = n >> 24) and destination pixels d. A rule's opaque() serves a pixel of an opaque
// run, partial() every other; kAdditive rules run over the additive run map. Internal to
// framework/graphics.
#pragma once
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SurfacePixels.h"
#include "framework/graphics/detail/SurfaceSpans.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace Fw::detail {

// Per-pixel rules of the run-driven blend. Every rule takes the native pixel n (alpha a = n >> 24)
// and the destination d; opaque() handles a pixel of an opaque run, partial() any other.
//
// Unmodulated: opaque = n; partial 32-bit = groups of d * (256 - a) >> 8, plus n;
// partial 565/555 = fold((spread(d) * ((256 - a) >> 3) >> 5) & mask) + n.
struct PlainRule32 {
    static constexpr bool kAdditive = false;
    static constexpr bool kSpans = true;
    uint32_t opaque(uint32_t n, uint32_t) const { return n; }
    // Clear pixels (alpha 0) are skipped; partial() of an opaque pixel is the pixel.
    bool spanOk() const { return true; }
    void span(uint32_t* d, const uint32_t* n, int32_t count) const { SurfaceOverSpan32(d, n, count); }
    // Whole rectangles of rows (pitches in bytes).
    void rect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nPitch, int32_t w, int32_t h) const
    {
        SurfaceOverRect32(d, dPitch, n, nPitch, w, h);
    }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t ia = 256 - (n >> 24);
        return ((((d & 0xFF00FFu) * ia) >> 8) & 0xFF00FFu) + ((((d & 0xFF00u) * ia) >> 8) & 0xFF00u) + n;
    }
};

struct PlainRuleSpread {
    static constexpr bool kAdditive = false;
    uint32_t mask;
    uint32_t opaque(uint32_t n, uint32_t) const { return n; }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t r = ((Spread(d, mask) * ((256 - (n >> 24)) >> 3)) >> 5) & mask;
        return (Fold(r) + n) & 0xFFFF;
    }
};

template <class L>
struct PlainRuleChannels {
    static constexpr bool kAdditive = false;
    L lay;
    uint32_t opaque(uint32_t n, uint32_t) const { return n; }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t ia = 256 - (n >> 24);
        uint32_t out = n;
        for (int k = 0; k < 3; ++k)
            out += uint32_t((uint64_t(d & lay.m(k)) * ia) >> 8) & lay.m(k);
        return out;
    }
};

// Grey modulation (one factor f for all channels), colour alpha ca:
//   opaque 32-bit: groups of n * f >> 8;  565/555: fold((spread(n) * (f >> 3) >> 5) & mask)
//   partial: a' = a * ca / 255, ia = 256 - a'; 32-bit groups of (d * ia + n * f) >> 8;
//            565/555: fold(((spread(d) * (ia >> 3) + spread(n) * (f >> 3)) >> 5) & mask)
struct GreyRule32 {
    static constexpr bool kAdditive = false;
    static constexpr bool kSpans = true;
    uint32_t f, ca;
    // Whole rows through the X888 modulate span (clear pixels skipped, opaque pixels under ca 255
    // in the opaque form, as the runs give them), for factors within a byte.
    bool spanOk() const { return f <= 255 && ca <= 255; }
    void span(uint32_t* d, const uint32_t* n, int32_t count) const
    {
        SurfaceModulateSpan32(d, n, count, f, f, f, ca, true);
    }
    uint32_t opaque(uint32_t n, uint32_t) const
    {
        return ((((n & 0xFF00FFu) * f) >> 8) & 0xFF00FFu) | ((((n & 0xFF00u) * f) >> 8) & 0xFF00u);
    }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t ia = 256 - (n >> 24) * ca / 255;
        const uint64_t rb = (uint64_t(d & 0xFF00FFu) * ia + uint64_t(n & 0xFF00FFu) * f) >> 8;
        const uint64_t g = (uint64_t(d & 0xFF00u) * ia + uint64_t(n & 0xFF00u) * f) >> 8;
        return uint32_t(rb & 0xFF00FFu) | uint32_t(g & 0xFF00u);
    }
};

struct GreyRuleSpread {
    static constexpr bool kAdditive = false;
    uint32_t mask, f, ca;
    uint32_t opaque(uint32_t n, uint32_t) const { return Fold(((Spread(n, mask) * (f >> 3)) >> 5) & mask); }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t ia = 256 - (n >> 24) * ca / 255;
        return Fold(((Spread(d, mask) * (ia >> 3) + Spread(n, mask) * (f >> 3)) >> 5) & mask);
    }
};

// Factors per channel (or other 16-bit masks):
//   opaque ((n & M) * f_c >> 8) & M;  partial (((d & M) * ia + (n & M) * f_c) >> 8) & M, summed.
template <class L>
struct ChannelRule {
    static constexpr bool kAdditive = false;
    static constexpr bool kSpans = std::is_same_v<L, LayoutX888>;
    L lay;
    uint32_t f[3], ca;
    // As GreyRule32's span, on X888.
    bool spanOk() const { return f[0] <= 255 && f[1] <= 255 && f[2] <= 255 && ca <= 255; }
    void span(uint32_t* d, const uint32_t* n, int32_t count) const
    {
        SurfaceModulateSpan32(d, n, count, f[0], f[1], f[2], ca, false);
    }
    uint32_t opaque(uint32_t n, uint32_t) const
    {
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out += uint32_t((uint64_t(n & lay.m(k)) * f[k]) >> 8) & lay.m(k);
        return out;
    }
    uint32_t partial(uint32_t n, uint32_t d) const
    {
        const uint32_t ia = 256 - (n >> 24) * ca / 255;
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out += uint32_t((uint64_t(d & lay.m(k)) * ia + uint64_t(n & lay.m(k)) * f[k]) >> 8) & lay.m(k);
        return out;
    }
};

// Additive pixel: per channel T_c[((s & M) >> sh) (* f >> 8) + ((d & M) >> sh)] << sh.
template <class L, bool Modulate>
struct AddPixel {
    static constexpr bool kAdditive = true;
    L lay;
    const int32_t* t[3];
    uint32_t f[3];
    uint32_t opaque(uint32_t s, uint32_t d) const { return partial(s, d); }
    uint32_t partial(uint32_t s, uint32_t d) const
    {
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k) {
            uint32_t sc = (s & lay.m(k)) >> lay.sh(k);
            if (Modulate)
                sc = (sc * f[k]) >> 8;
            out |= uint32_t(t[k][sc + ((d & lay.m(k)) >> lay.sh(k))]) << lay.sh(k);
        }
        return out;
    }
};

// The additive pixel on X888 with saturating tables (entry i = min(i, 255), as the display builds
// them for 8-bit channels): each colour channel min(d + s (* f >> 8), 255), top byte 0.
template <bool Modulate>
struct AddRule32 {
    static constexpr bool kAdditive = true;
    static constexpr bool kSpans = true;
    uint32_t f[3]; // red, green, blue
    uint32_t opaque(uint32_t s, uint32_t d) const { return partial(s, d); }
    bool spanOk() const { return true; }
    uint32_t partial(uint32_t s, uint32_t d) const
    {
        uint32_t out = d & 0xFFFFFFu; // what a source of colour 0 gives too
        SurfaceAddSpan32Scalar(&out, &s, 1, Modulate, f[0], f[1], f[2]);
        return out;
    }
    // Pixels of colour 0 are skipped.
    void span(uint32_t* d, const uint32_t* s, int32_t count) const
    {
        SurfaceAddSpan32(d, s, count, Modulate, f[0], f[1], f[2]);
    }
};

// Whether the display's add tables are the 8-bit saturation tables NativeDisplay::SetPixelFormat
// builds for 8-bit channels (entry i = min(i, 255)): checked by their size and ends, not by every
// entry, as the check runs once per blit.
inline bool SaturatesBytes(const std::vector<int32_t>& t)
{
    return t.size() == 511 && t[0] == 0 && t[254] == 254 && t[255] == 255 && t[510] == 255;
}

} // namespace Fw::detail
