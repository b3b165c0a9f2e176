// Per-pixel arithmetic of the triangle fillers and the destination format traits.
//
// Rounding rules, kept in one place: every product is unsigned 32-bit (64-bit where noted) and
// every right shift truncates; channels are 8-bit values in 0x00RRGGBB words; no result is
// clamped: the ranges below keep every channel sum inside its byte or field.
//   ScaleRgb(s, a)       per channel (c * a) >> 8                  c <= 255, a <= 255 -> <= 254
//   ModulateRgb(t, f)    per channel (c * f_c) >> 8                f_c <= 255
//   Composite8888        destination weighted by its own alpha, source premultiplied:
//                        q = 256 - (((256 - Da) * (256 - a)) >> 8)
//                        c = ((((D_c * Da) >> 8) * (256 - a)) + P_c * 256) / q, alpha q - 1;
//                        numerators stay below 65536, which the reciprocal division relies on.
//   888 blend            ((D_c * (255 - a)) >> 8) + P_c, top byte 255, no division
//   565 / 555 blend      each destination field * ((255 - a) >> 3) >> 5, plus the packed P
#pragma once
#include <array>
#include <cstdint>

namespace Fw::raster {

// (c * a) >> 8 for each channel of 0x00RRGGBB, red and blue in one multiplication.
constexpr uint32_t ScaleRgb(uint32_t s, uint32_t a)
{
    return ((((s & 0x00FF00FFu) * a) >> 8) & 0x00FF00FFu) | ((((s & 0x0000FF00u) * a) >> 8) & 0x0000FF00u);
}

// (c * f_c) >> 8 with a factor per channel; the top byte of t is dropped.
constexpr uint32_t ModulateRgb(uint32_t t, uint32_t fr, uint32_t fg, uint32_t fb)
{
    return (((((t >> 16) & 0xFFu) * fr) >> 8) << 16) | (((((t >> 8) & 0xFFu) * fg) >> 8) << 8) |
           (((t & 0xFFu) * fb) >> 8);
}

// An interpolated 8.16 channel as it is used: below 0 reads 0 (a rounding undershoot must not
// read as a huge unsigned value) and at or above 256.0 reads 255.99 (only reachable through the
// unrepresentable steps of sub-pixel slivers; keeps channels from spilling into each other).
constexpr uint32_t ClampChannel(uint32_t v)
{
    const int32_t s = int32_t(v);
    return s < 0 ? 0u : (s > 0xFFFFFF ? 0xFFFFFFu : uint32_t(s));
}

// ceil(2^24 / q): n * kRecip[q] >> 24 equals n / q for every n < 65536 and q in 1..256
// (the error n * (ceil - exact) / 2^24 stays below 1/256 <= 1/q).
inline constexpr std::array<uint32_t, 257> kRecip = [] {
    std::array<uint32_t, 257> t{};
    for (uint32_t q = 1; q <= 256; ++q)
        t[q] = ((1u << 24) + q - 1) / q;
    return t;
}();

inline uint32_t DivSmall(uint32_t n, uint32_t q)
{
    return uint32_t((uint64_t(n) * kRecip[q]) >> 24);
}

// Premultiplied source P (each channel already weighted by a) over a destination with alpha.
// a in 0..239. q is 0 only for a = 0 over Da = 0: the source adds nothing, the pixel stays.
inline uint32_t Composite8888(uint32_t d, uint32_t p, uint32_t a)
{
    const uint32_t da = d >> 24;
    const uint32_t ka = 256 - a;
    const uint32_t q = 256 - (((256 - da) * ka) >> 8);
    if (q == 0)
        return d;
    if (q == 256) {
        // An opaque destination (the common case): the division is a shift, so the channels can
        // share multiplications; each numerator stays below 2^16, so no field reaches the next.
        const uint32_t rb = ((((d & 0x00FF00FFu) * da) >> 8) & 0x00FF00FFu) * ka + ((p & 0x00FF00FFu) << 8);
        const uint32_t g = ((((d & 0x0000FF00u) * da) >> 8) & 0x0000FF00u) * ka + ((p & 0x0000FF00u) << 8);
        return 0xFF000000u | ((rb >> 8) & 0x00FF00FFu) | ((g >> 8) & 0x0000FF00u);
    }
    const auto channel = [&](int shift) {
        const uint32_t n = ((((d >> shift) & 0xFFu) * da) >> 8) * ka + (((p >> shift) & 0xFFu) << 8);
        return DivSmall(n, q) & 0xFFu;
    };
    return ((q - 1) << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

constexpr uint16_t Pack565(uint32_t rgb)
{
    return uint16_t(((rgb >> 8) & 0xF800u) | ((rgb >> 5) & 0x07E0u) | ((rgb >> 3) & 0x001Fu));
}

constexpr uint16_t Pack555(uint32_t rgb)
{
    return uint16_t(((rgb >> 9) & 0x7C00u) | ((rgb >> 6) & 0x03E0u) | ((rgb >> 3) & 0x001Fu));
}

// Destination format traits. Opaque(rgb) stores a colour without reading the destination;
// BlendPremul(d, p, a) blends a source whose channels are already weighted by a (0..239).
struct Format8888 {
    using Pixel = uint32_t;
    static constexpr int kPitchShift = 2;
    static Pixel Opaque(uint32_t rgb) { return rgb | 0xFF000000u; }
    static Pixel BlendPremul(Pixel d, uint32_t p, uint32_t a) { return Composite8888(d, p, a); }
};

struct Format888 {
    using Pixel = uint32_t;
    static constexpr int kPitchShift = 2;
    static Pixel Opaque(uint32_t rgb) { return rgb | 0xFF000000u; }
    static Pixel BlendPremul(Pixel d, uint32_t p, uint32_t a) { return (ScaleRgb(d, 255 - a) + p) | 0xFF000000u; }
};

// 16-bit destinations: every field scaled by f / 32 in place (red and blue share one
// multiplication, their products never meet), plus the packed source.
template <uint32_t RedBlueMask, uint32_t GreenMask, uint16_t (*Pack)(uint32_t)>
struct Format16 {
    using Pixel = uint16_t;
    static constexpr int kPitchShift = 1;
    static Pixel Opaque(uint32_t rgb) { return Pack(rgb); }
    static Pixel BlendPremul(Pixel d, uint32_t p, uint32_t a)
    {
        const uint32_t f = (255 - a) >> 3;
        const uint32_t scaled =
            ((((d & RedBlueMask) * f) >> 5) & RedBlueMask) | ((((d & GreenMask) * f) >> 5) & GreenMask);
        return uint16_t(scaled + Pack(p));
    }
};
using Format565 = Format16<0xF81Fu, 0x07E0u, &Pack565>;
using Format555 = Format16<0x7C1Fu, 0x03E0u, &Pack555>; // bit 15 masked away, never written

// Untextured blend into 0x8888. Unlike Composite8888 the source keeps part of the fraction of
// its 8.16 channels: red all 16 bits, green the top 8, blue none. sa in 8..240, so q >= 8.
inline uint32_t BlendUntextured8888(uint32_t d, uint32_t r, uint32_t g, uint32_t b, uint32_t sa)
{
    const uint32_t da = d >> 24;
    const uint32_t k = 256 - sa;
    const uint32_t q = 256 - (((256 - da) * k) >> 8);
    const uint32_t blue = (((((d & 0xFFu) * da) >> 8) * k + (((b >> 16) * sa) & 0xFF00u)) / q) & 0xFFu;
    const uint32_t green =
        ((((((d & 0xFF00u) * da) >> 8) & 0xFF00u) * k + (((g >> 8) * sa) & 0xFF0000u)) / q) & 0xFF00u;
    const uint32_t red =
        ((((((d & 0xFF0000u) * da) >> 8) & 0xFF0000u) * k + ((r * sa) & 0xFF000000u)) / q) & 0xFF0000u;
    return ((q - 1) << 24) | red | green | blue;
}

} // namespace Fw::raster
