// Texel reads of the textured fillers: nearest and bilinear samples with their bounds rules, and
// the per-span proofs that let a span skip the per-texel bounds test. Indices are 32-bit and
// wrap; every read outside 0..count-1 gives transparent black.
#pragma once
#include <climits>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/rasterizer/FixedPoint.h"
#include "framework/rasterizer/RasterTypes.h"

namespace Fw::raster {

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
    // Column and row of the top-left texel: FixedFloor, then an arithmetic shift (may be -1).
    const uint32_t t = uint32_t(FixedFloor(int32_t(v)) >> 16) * w + uint32_t(FixedFloor(int32_t(u)) >> 16);
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

} // namespace Fw::raster
