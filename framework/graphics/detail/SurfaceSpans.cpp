// Surface copy kernels (see SurfaceSpans.h).
#include "framework/graphics/detail/SurfaceSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Fw::detail {

void NarrowSpan16Scalar(uint16_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = uint16_t(s[i]);
}

void DoubleSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = s[i >> 1];
}

void GatherSpan32(uint32_t* __restrict d, const uint32_t* __restrict s, const int32_t* __restrict cols, int32_t n)
{
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint32_t a = s[cols[i]], b = s[cols[i + 1]], c = s[cols[i + 2]], e = s[cols[i + 3]];
        d[i] = a;
        d[i + 1] = b;
        d[i + 2] = c;
        d[i + 3] = e;
    }
    for (; i < n; ++i)
        d[i] = s[cols[i]];
}

void GatherSpan16(uint16_t* __restrict d, const uint32_t* __restrict s, const int32_t* __restrict cols, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = uint16_t(s[cols[i]]);
}

#if defined(__SSE2__)

bool AllOpaque32(const uint32_t* p, int32_t n)
{
    __m128i all = _mm_set1_epi32(-1);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8)
        all = _mm_and_si128(all, _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)),
                                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4))));
    // The alpha bytes (3, 7, 11, 15) of the AND of every word.
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(all, _mm_set1_epi32(-1))) & 0x8888) != 0x8888)
        return false;
    uint32_t rest = 0xFFFFFFFFu;
    for (; i < n; ++i)
        rest &= p[i];
    return (rest >> 24) == 255;
}

void NarrowSpan16(uint16_t* d, const uint32_t* s, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        // The low halves sign-extended, so the signed pack keeps them as they are.
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
        const __m128i lo = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16), hi = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packs_epi32(lo, hi));
    }
    NarrowSpan16Scalar(d + i, s + i, n - i);
}

void DoubleSpan32(uint32_t* d, const uint32_t* s, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i / 2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_unpacklo_epi32(v, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), _mm_unpackhi_epi32(v, v));
    }
    for (; i < n; ++i)
        d[i] = s[i >> 1];
}

#else

bool AllOpaque32(const uint32_t* p, int32_t n)
{
    uint32_t all = 0xFFFFFFFFu;
    for (int32_t i = 0; i < n; ++i)
        all &= p[i];
    return (all >> 24) == 255;
}
void NarrowSpan16(uint16_t* d, const uint32_t* s, int32_t n) { NarrowSpan16Scalar(d, s, n); }
void DoubleSpan32(uint32_t* d, const uint32_t* s, int32_t n) { DoubleSpan32Scalar(d, s, n); }

#endif

} // namespace Fw::detail
