// The triangle fillers, written once as templates over the destination format (PixelMath.h
// traits) and the slot's flags; the table instantiates one per slot and format, so no flag is
// tested per pixel. Internal to the rasterizer: other folders go through RasterizePolygon.
//
// Slot bits: 16 textured, 8 blend, 4 vertex colour, 2 draw colour (not white), 1 bilinear.
#pragma once
#include <cstddef>
#include <climits>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/rasterizer/PixelMath.h"
#include "framework/rasterizer/RasterTypes.h"
#include "framework/rasterizer/TriangleWalk.h"

namespace Fw::raster {

template <class Fmt>
inline std::ptrdiff_t RowBytes(int32_t pitch)
{
    // Any remainder of the pitch is dropped: (pitch >> 2) pixels of 4 bytes, (pitch >> 1) of 2.
    return std::ptrdiff_t(pitch >> Fmt::kPitchShift) * std::ptrdiff_t(sizeof(typename Fmt::Pixel));
}

// Texel (u >> 16, v >> 16), 0 past the texel count. A coordinate that rounding pushed below 0
// reads 0 as well, never the far texel its unsigned column would name. Unchecked: the caller has
// proved the whole span inside the texture.
template <bool Checked>
inline uint32_t FetchNearest(const RasterTexture& tex, uint32_t u, uint32_t v)
{
    if constexpr (Checked) {
        if (int32_t(u | v) < 0)
            return 0;
    }
    const uint32_t index = (v >> 16) * uint32_t(tex.width) + (u >> 16);
    if constexpr (Checked)
        return index < tex.count ? tex.texels[index] : 0u;
    else
        return tex.texels[index];
}

template <bool Checked>
inline uint32_t FetchBounded(const RasterTexture& tex, uint32_t index)
{
    if constexpr (Checked)
        return index < tex.count ? tex.texels[index] : 0u;
    else
        return tex.texels[index];
}

// Running coordinate over a span of n pixels, as 64-bit end points; false when it wraps.
inline bool SpanRange(uint32_t start, uint32_t step, int32_t n, int64_t& lo, int64_t& hi)
{
    const int64_t a = int32_t(start);
    const int64_t b = a + int64_t(int32_t(step)) * (n - 1);
    lo = a < b ? a : b;
    hi = a < b ? b : a;
    return lo >= INT32_MIN && hi <= INT32_MAX;
}

// True when every nearest fetch of the span lies inside the texture (then no test is needed:
// column and row grow or shrink monotonically, so the end points bound every index).
inline bool NearestSpanInside(const RasterTexture& tex, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t n)
{
    int64_t u0, u1, v0, v1;
    if (!SpanRange(u, du, n, u0, u1) || !SpanRange(v, dv, n, v0, v1) || u0 < 0 || v0 < 0)
        return false;
    return (v1 >> 16) * int64_t(tex.width) + (u1 >> 16) < int64_t(tex.count);
}

// The same for the four texels of every bilinear sample of the span (coordinates already moved
// back by half a texel).
inline bool BilinearSpanInside(const RasterTexture& tex, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t n)
{
    int64_t u0, u1, v0, v1;
    if (!SpanRange(u, du, n, u0, u1) || !SpanRange(v, dv, n, v0, v1))
        return false;
    const int64_t w = tex.width;
    return (v0 >> 16) * w + (u0 >> 16) >= 0 && (v1 >> 16) * w + (u1 >> 16) + w + 1 < int64_t(tex.count);
}

struct BilinearSample {
    uint32_t rgb;      // 0x00RRGGBB, premultiplied by the texels' alpha
    uint32_t coverage; // A', 0..254
};

#if defined(__SSE2__)
// The weighting below with 16-bit lanes. Every quantity fits its lane exactly: weights and their
// factors are below 2^16 (mulhi gives the >> 16 of the 32-bit product), each channel product is
// at most 255 * 254 and so is each channel's sum, since the scaled weights add up to 254 at most.
inline BilinearSample WeighTexels(__m128i texels, uint32_t fu, uint32_t fv)
{
    const int16_t gu = int16_t(uint16_t(65536 - fu)), gv = int16_t(uint16_t(65536 - fv));
    const int16_t su = int16_t(uint16_t(fu)), sv = int16_t(uint16_t(fv));
    const __m128i weight = _mm_mulhi_epu16(_mm_setr_epi16(gu, su, gu, su, 0, 0, 0, 0),
                                           _mm_setr_epi16(gv, gv, sv, sv, 0, 0, 0, 0));
    const __m128i alpha = _mm_srli_epi32(texels, 24);
    const __m128i wa = _mm_mulhi_epu16(weight, _mm_packs_epi32(alpha, alpha)); // lanes 0-3, 0..254
    const __m128i zero = _mm_setzero_si128();
    const __m128i wa2 = _mm_unpacklo_epi16(wa, wa);
    const __m128i top = _mm_mullo_epi16(_mm_unpacklo_epi8(texels, zero), _mm_unpacklo_epi32(wa2, wa2));
    const __m128i bottom = _mm_mullo_epi16(_mm_unpackhi_epi8(texels, zero), _mm_unpackhi_epi32(wa2, wa2));
    __m128i sum = _mm_add_epi16(top, bottom);
    sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_srli_si128(sum, 8)), 8);
    const uint32_t rgb = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum))) & 0xFFFFFFu;
    const uint32_t coverage = uint32_t(_mm_cvtsi128_si32(_mm_sad_epu8(_mm_packus_epi16(wa, zero), zero)));
    return {rgb, coverage & 0xFFu};
}
#endif

// Four-texel sample at (u, v), already moved back by half a texel. Neighbours are index +1 and
// +width with no wrapping within a row; indices outside 0..count-1 read transparent black. The
// fraction's lowest bit is forced to 1 so every weight product fits 32 bits unsigned.
template <bool Checked>
inline BilinearSample SampleBilinear(const RasterTexture& tex, uint32_t u, uint32_t v)
{
    const uint32_t w = uint32_t(tex.width);
    const uint32_t t = uint32_t(int32_t(v) >> 16) * w + uint32_t(int32_t(u) >> 16);
    const uint32_t fu = (u & 0xFFFEu) + 1;
    const uint32_t fv = (v & 0xFFFEu) + 1;
#if defined(__SSE2__)
    if constexpr (!Checked) {
        // Each pair of neighbours is adjacent in memory.
        const __m128i upper = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tex.texels + t));
        const __m128i lower = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tex.texels + t + w));
        return WeighTexels(_mm_unpacklo_epi64(upper, lower), fu, fv);
    } else {
        return WeighTexels(_mm_setr_epi32(int32_t(FetchBounded<true>(tex, t)), int32_t(FetchBounded<true>(tex, t + 1)),
                                          int32_t(FetchBounded<true>(tex, t + w)),
                                          int32_t(FetchBounded<true>(tex, t + w + 1))),
                           fu, fv);
    }
#else
    const uint32_t gu = 65536 - fu;
    const uint32_t gv = 65536 - fv;
    const uint32_t texel[4] = {FetchBounded<Checked>(tex, t), FetchBounded<Checked>(tex, t + 1),
                               FetchBounded<Checked>(tex, t + w), FetchBounded<Checked>(tex, t + w + 1)};
    const uint32_t weight[4] = {(gu * gv) >> 16, (fu * gv) >> 16, (gu * fv) >> 16, (fu * fv) >> 16};
    // Red and blue summed in the low word, green in the high word: each channel's sum stays
    // below 255 * 254 < 2^16, so no field reaches the next.
    uint64_t sum = 0;
    uint32_t coverage = 0;
    for (int k = 0; k < 4; ++k) {
        const uint32_t wa = (weight[k] * (texel[k] >> 24)) >> 16; // 0..254
        coverage += wa;
        sum += (uint64_t(texel[k] & 0x00FF00FFu) | (uint64_t(texel[k] & 0x0000FF00u) << 32)) * wa;
    }
    return {((uint32_t(sum) >> 8) & 0x00FF00FFu) | ((uint32_t(sum >> 32) >> 8) & 0x0000FF00u), coverage & 0xFFu};
#endif
}

// ---------------------------------------------------------------------------------------------
// Untextured fillers: colour and alpha from the vertex colours, optionally times the draw colour.

template <class Fmt>
inline void UntexturedPixel(typename Fmt::Pixel& px, uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    const uint32_t alpha = ClampChannel(a);
    if (alpha <= 0x80000u) // 8.0 or less: untouched
        return;
    r = ClampChannel(r);
    g = ClampChannel(g);
    b = ClampChannel(b);
    const uint32_t rgb = (r & 0xFF0000u) | ((g >> 8) & 0xFF00u) | (b >> 16);
    if (alpha > 0xF00000u) {
        px = Fmt::Opaque(rgb);
        return;
    }
    const uint32_t sa = alpha >> 16; // 8..240
    if constexpr (std::is_same_v<Fmt, Format8888>)
        px = BlendUntextured8888(px, r, g, b, sa);
    else
        px = Fmt::BlendPremul(px, ScaleRgb(rgb, sa), sa);
}

template <class Fmt, bool Modulated>
void UntexturedFiller(const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                      int32_t pitch, const RasterTexture&, const RasterColor& colour)
{
    WalkVertex<4> w[3];
    const RasterVertex* in[3] = {&v0, &v1, &v2};
    for (int i = 0; i < 3; ++i) {
        w[i] = {in[i]->x, in[i]->y, {in[i]->a, in[i]->r, in[i]->g, in[i]->b}};
        if constexpr (Modulated) {
            // Modulate copies: the caller's records serve further triangles of a fan.
            const int32_t factor[4] = {colour.alpha, colour.red, colour.green, colour.blue};
            for (int c = 0; c < 4; ++c)
                w[i].k[c] = int32_t((uint32_t(w[i].k[c]) * uint32_t(factor[c])) >> 8);
        }
    }
    WalkTriangle<4>(w[0], w[1], w[2], bits, RowBytes<Fmt>(pitch),
                    [](unsigned char* row, int32_t x, int32_t n, const uint32_t* s, const uint32_t* d) {
                        auto* px = reinterpret_cast<typename Fmt::Pixel*>(row) + x;
                        uint32_t a = s[0], r = s[1], g = s[2], b = s[3];
                        for (int32_t i = 0; i < n; ++i) {
                            UntexturedPixel<Fmt>(px[i], a, r, g, b);
                            a += d[0];
                            r += d[1];
                            g += d[2];
                            b += d[3];
                        }
                    });
}

// ---------------------------------------------------------------------------------------------
// Textured fillers. Channels: u, v, and a, r, g, b when the slot has vertex colours.

template <int Slot>
struct SlotFlags {
    static constexpr bool kBlend = (Slot & 8) != 0;
    static constexpr bool kVertexColour = (Slot & 4) != 0;
    static constexpr bool kDrawColour = (Slot & 2) != 0;
    static constexpr bool kBilinear = (Slot & 1) != 0;
    static constexpr bool kModulated = kVertexColour || kDrawColour;
};

// The modulation factors of one pixel, 0..255 each.
struct Factors {
    uint32_t a, r, g, b;
};

template <int Slot>
inline Factors PixelFactors(const RasterColor& c, uint32_t va, uint32_t vr, uint32_t vg, uint32_t vb)
{
    using F = SlotFlags<Slot>;
    if constexpr (F::kVertexColour && F::kDrawColour) {
        // The draw colour enters once, keeping the fraction of the interpolated channel.
        return {(uint32_t(c.alpha) * ClampChannel(va)) >> 24, (uint32_t(c.red) * ClampChannel(vr)) >> 24,
                (uint32_t(c.green) * ClampChannel(vg)) >> 24, (uint32_t(c.blue) * ClampChannel(vb)) >> 24};
    } else if constexpr (F::kVertexColour) {
        return {ClampChannel(va) >> 16, ClampChannel(vr) >> 16, ClampChannel(vg) >> 16, ClampChannel(vb) >> 16};
    } else {
        return {uint32_t(c.alpha), uint32_t(c.red), uint32_t(c.green), uint32_t(c.blue)};
    }
}

template <class Fmt, int Slot, bool Checked>
inline void TexturedPixel(typename Fmt::Pixel& px, const RasterTexture& tex, const RasterColor& colour, uint32_t u,
                          uint32_t v, uint32_t va, uint32_t vr, uint32_t vg, uint32_t vb)
{
    using F = SlotFlags<Slot>;
    Factors f{};
    if constexpr (F::kModulated)
        f = PixelFactors<Slot>(colour, va, vr, vg, vb);

    if constexpr (!F::kBilinear) {
        const uint32_t texel = FetchNearest<Checked>(tex, u, v);
        if constexpr (Slot == 16) {
            px = Fmt::Opaque(texel & 0xFFFFFFu); // the texel's alpha plays no part
            return;
        }
        uint32_t a;
        if constexpr (F::kBlend) {
            const uint32_t ta = texel >> 24;
            if (ta <= 8)
                return;
            a = F::kModulated ? (f.a * ta) >> 8 : ta;
        } else {
            a = (f.a * 255) >> 8;
        }
        const uint32_t s = F::kModulated ? ModulateRgb(texel, f.r, f.g, f.b) : (texel & 0xFFFFFFu);
        px = a >= 240 ? Fmt::Opaque(s) : Fmt::BlendPremul(px, ScaleRgb(s, a), a);
    } else {
        const BilinearSample sample = SampleBilinear<Checked>(tex, u, v);
        if constexpr (Slot == 17) {
            px = Fmt::Opaque(sample.rgb); // no alpha test: transparent texels show as black
            return;
        }
        if constexpr (F::kBlend) {
            if (sample.coverage <= 8)
                return;
        }
        // The sample is premultiplied already, so the source term is P itself.
        const uint32_t p = F::kModulated ? ScaleRgb(ModulateRgb(sample.rgb, f.r, f.g, f.b), f.a) : sample.rgb;
        uint32_t a;
        if constexpr (F::kBlend)
            a = F::kModulated ? (f.a * sample.coverage) >> 8 : sample.coverage;
        else
            a = (f.a * 255) >> 8;
        px = a >= 240 ? Fmt::Opaque(p) : Fmt::BlendPremul(px, p, a);
    }
}

template <class Fmt, int Slot, bool Checked>
inline void TexturedSpan(typename Fmt::Pixel* px, int32_t n, const RasterTexture& t, const RasterColor& c, uint32_t u,
                         uint32_t v, uint32_t du, uint32_t dv, const uint32_t* s, const uint32_t* d)
{
    if constexpr (SlotFlags<Slot>::kVertexColour) {
        uint32_t a = s[2], r = s[3], g = s[4], b = s[5];
        const uint32_t da = d[2], dr = d[3], dg = d[4], db = d[5];
        for (int32_t i = 0; i < n; ++i) {
            TexturedPixel<Fmt, Slot, Checked>(px[i], t, c, u, v, a, r, g, b);
            u += du;
            v += dv;
            a += da;
            r += dr;
            g += dg;
            b += db;
        }
    } else {
        for (int32_t i = 0; i < n; ++i) {
            TexturedPixel<Fmt, Slot, Checked>(px[i], t, c, u, v, 0, 0, 0, 0);
            u += du;
            v += dv;
        }
    }
}

template <class Fmt, int Slot>
void TexturedFiller(const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                    int32_t pitch, const RasterTexture& tex, const RasterColor& colour)
{
    using F = SlotFlags<Slot>;
    constexpr int N = F::kVertexColour ? 6 : 2;
    WalkVertex<N> w[3];
    const RasterVertex* in[3] = {&v0, &v1, &v2};
    for (int i = 0; i < 3; ++i) {
        w[i].x = in[i]->x;
        w[i].y = in[i]->y;
        w[i].k[0] = in[i]->u;
        w[i].k[1] = in[i]->v;
        if constexpr (F::kVertexColour) {
            w[i].k[2] = in[i]->a;
            w[i].k[3] = in[i]->r;
            w[i].k[4] = in[i]->g;
            w[i].k[5] = in[i]->b;
        }
    }
    WalkTriangle<N>(w[0], w[1], w[2], bits, RowBytes<Fmt>(pitch),
                    [&tex, &colour](unsigned char* row, int32_t x, int32_t n, const uint32_t* s, const uint32_t* d) {
                        // Local copies: the destination stores could otherwise alias them and
                        // force a reload of every field per pixel.
                        const RasterTexture t = tex;
                        const RasterColor c = colour;
                        auto* px = reinterpret_cast<typename Fmt::Pixel*>(row) + x;
                        // Bilinear samples are taken half a texel back, once per span.
                        const uint32_t half = F::kBilinear ? 0x8000u : 0u;
                        uint32_t u = s[0] - half, v = s[1] - half;
                        const uint32_t du = d[0], dv = d[1];
                        const bool inside = F::kBilinear ? BilinearSpanInside(t, u, v, du, dv, n)
                                                         : NearestSpanInside(t, u, v, du, dv, n);
                        if (inside)
                            TexturedSpan<Fmt, Slot, false>(px, n, t, c, u, v, du, dv, s, d);
                        else
                            TexturedSpan<Fmt, Slot, true>(px, n, t, c, u, v, du, dv, s, d);
                    });
}

// Serves the untextured slots without vertex colours: such a triangle is never drawn.
inline void NullTriangleRasterizer(const RasterVertex&, const RasterVertex&, const RasterVertex&, void*, int32_t,
                                   const RasterTexture&, const RasterColor&)
{
}

} // namespace Fw::raster
