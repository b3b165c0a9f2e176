// The smooth stretch's span kernels (see SmoothStretchSpans.h): SSE2 four or eight pixels at a
// time (the memory-image and X888 blends eight at a time with AVX2 where the processor has it),
// the scalar rule otherwise and for the tail.
#include "framework/graphics/detail/SmoothStretchSpans.h"

#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SurfacePixels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "framework/graphics/detail/CpuFeatures.h"
#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>
#endif

namespace Fw::detail {

namespace {

// ceil(c * 256 / a), at most 255, for a channel c under alpha a (1..255): c * 256 + a - 1 is at
// most 257 * 254 + 254 < 65793, where kRecip divides exactly.
inline uint32_t Unpremultiplied(uint32_t c, uint32_t a)
{
    return std::min<uint32_t>(uint32_t((uint64_t((c << 8) + a - 1) * kRecip[a]) >> 24), 255);
}

} // namespace

void SmoothOverSpanScalar(uint32_t* d, const uint32_t* avg, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = avg[i] >> 24;
        if (a == 0)
            continue;
        const uint32_t cr = (avg[i] >> 16) & 0xFF, cg = (avg[i] >> 8) & 0xFF, cb = avg[i] & 0xFF;
        const uint32_t dp = d[i], da = dp >> 24;
        const uint32_t nr = ((cr * a) >> 8) + ((((dp >> 16) & 0xFF) * (256 - a)) >> 8);
        const uint32_t ng = ((cg * a) >> 8) + ((((dp >> 8) & 0xFF) * (256 - a)) >> 8);
        const uint32_t nb = ((cb * a) >> 8) + (((dp & 0xFF) * (256 - a)) >> 8);
        d[i] = ((da + (255 - da) * a / 255) << 24) | (nr << 16) | (ng << 8) | nb;
    }
}

void SmoothNativeX888SpanScalar(uint32_t* d, const uint32_t* avg, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = avg[i], a = p >> 24;
        uint32_t out = 0;
        if (a) {
            auto ch = [&](int shift) {
                const uint32_t c = ((((p >> shift) & 0xFF) * a) >> 8);
                return ((Unpremultiplied(c, a) * (a + 1)) >> 8) << shift;
            };
            out = a << 24 | ch(16) | ch(8) | ch(0);
        }
        d[i] = out;
    }
}

void SmoothOverX888SpanScalar(uint32_t* d, const uint32_t* avg, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        uint32_t native;
        SmoothNativeX888SpanScalar(&native, avg + i, 1);
        SurfaceOverSpan32Scalar(d + i, &native, 1);
    }
}

void SmoothOver565SpanScalar(uint16_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = s[i], a = p >> 24;
        if (a == 0)
            continue;
        const uint32_t n565 = ((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F);
        const uint32_t r = ((Spread(d[i], kSpread565) * ((256 - a) >> 3)) >> 5) & kSpread565;
        d[i] = uint16_t(Fold(r) + n565);
    }
}

#if defined(__SSE2__)

#if defined(FW_HAS_AVX2_FORMS)
namespace {

// SmoothOverSpan eight pixels a step (the same lane arithmetic, in both 128-bit halves); returns
// how many pixels it did (n rounded down to 8).
FW_TARGET_AVX2 int32_t SmoothOverSpanAvx2(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m256i zero = _mm256_setzero_si256(), alphaMask = _mm256_set1_epi32(int32_t(0xFF000000u));
    const __m256i k256 = _mm256_set1_epi16(256), k255 = _mm256_set1_epi16(255);
    const __m256i div255 = _mm256_set1_epi16(int16_t(0x8081));
    const __m256i alphaLanes = _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i av = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(avg + i));
        const __m256i clear = _mm256_cmpeq_epi32(_mm256_and_si256(av, alphaMask), zero);
        if (uint32_t(_mm256_movemask_epi8(clear)) == 0xFFFFFFFFu)
            continue;
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        __m256i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m256i s16 = half ? _mm256_unpackhi_epi8(av, zero) : _mm256_unpacklo_epi8(av, zero);
            const __m256i d16 = half ? _mm256_unpackhi_epi8(dv, zero) : _mm256_unpacklo_epi8(dv, zero);
            const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)),
                                                     _MM_SHUFFLE(3, 3, 3, 3));
            const __m256i colour =
                _mm256_add_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(s16, a), 8),
                                 _mm256_srli_epi16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(k256, a)), 8));
            const __m256i x = _mm256_mullo_epi16(_mm256_sub_epi16(k255, d16), a);
            const __m256i alpha = _mm256_add_epi16(d16, _mm256_srli_epi16(_mm256_mulhi_epu16(x, div255), 7));
            out[half] =
                _mm256_or_si256(_mm256_and_si256(alphaLanes, alpha), _mm256_andnot_si256(alphaLanes, colour));
        }
        const __m256i blended = _mm256_packus_epi16(out[0], out[1]);
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(d + i),
            _mm256_or_si256(_mm256_and_si256(clear, dv), _mm256_andnot_si256(clear, blended)));
    }
    return i;
}

} // namespace
#endif

void SmoothOverSpan(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m128i zero = _mm_setzero_si128(), alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i k256 = _mm_set1_epi16(256), k255 = _mm_set1_epi16(255);
    const __m128i div255 = _mm_set1_epi16(int16_t(0x8081));
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    int32_t i = 0;
#if defined(FW_HAS_AVX2_FORMS)
    if (n >= 8 && Avx2FormsOn())
        i = SmoothOverSpanAvx2(d, avg, n);
#endif
    for (; i + 4 <= n; i += 4) {
        const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(avg + i));
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(av, alphaMask), zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m128i s16 = half ? _mm_unpackhi_epi8(av, zero) : _mm_unpacklo_epi8(av, zero);
            const __m128i d16 = half ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
            const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
            // c * a and d * (256 - a) are at most 65280: exact in 16-bit lanes.
            const __m128i colour = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(s16, a), 8),
                                                 _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(k256, a)), 8));
            // (255 - da) * a / 255 as (x * 0x8081) >> 23, exact for every 16-bit x.
            const __m128i x = _mm_mullo_epi16(_mm_sub_epi16(k255, d16), a);
            const __m128i alpha = _mm_add_epi16(d16, _mm_srli_epi16(_mm_mulhi_epu16(x, div255), 7));
            out[half] = _mm_or_si128(_mm_and_si128(alphaLanes, alpha), _mm_andnot_si128(alphaLanes, colour));
        }
        const __m128i blended = _mm_packus_epi16(out[0], out[1]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, blended)));
    }
    SmoothOverSpanScalar(d + i, avg + i, n - i);
}

namespace {

#if defined(FW_HAS_AVX2_FORMS)

// NativeHalf and OverX888Half (below) for four pixels: two in each 128-bit half.
FW_TARGET_AVX2 inline __m256i NativeHalf8(__m256i q, __m256i r, __m256i& a)
{
    a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(q, 0xFF), 0xFF);
    const __m256i e = _mm256_and_si256(_mm256_mullo_epi16(q, a), _mm256_set1_epi16(255));
    const __m256i u = _mm256_sub_epi16(q, _mm256_mulhi_epu16(e, r));
    const __m256i native = _mm256_srli_epi16(_mm256_mullo_epi16(u, _mm256_add_epi16(a, _mm256_set1_epi16(1))), 8);
    return _mm256_blendv_epi8(native, a, _mm256_set1_epi64x(int64_t(0xFFFF000000000000u)));
}

FW_TARGET_AVX2 inline __m256i OverX888Half8(__m256i q, __m256i d, __m256i r)
{
    __m256i a;
    const __m256i native = NativeHalf8(q, r, a);
    const __m256i kept = _mm256_srli_epi16(_mm256_mullo_epi16(d, _mm256_sub_epi16(_mm256_set1_epi16(256), a)), 8);
    return _mm256_add_epi16(_mm256_andnot_si256(_mm256_set1_epi64x(int64_t(0xFFFF000000000000u)), kept), native);
}

// Reciprocals for eight alphas (pixels 0, 1 | 4, 5 in rLo, 2, 3 | 6, 7 in rHi), with AVX2's
// rounding up and unsigned pack.
FW_TARGET_AVX2 inline void Reciprocals8(__m256i a, __m256i& rLo, __m256i& rHi)
{
    const __m256i r32 = _mm256_min_epi32(
        _mm256_cvtps_epi32(_mm256_ceil_ps(
            _mm256_div_ps(_mm256_set1_ps(65536.0f), _mm256_cvtepi32_ps(_mm256_max_epi32(a, _mm256_set1_epi32(1)))))),
        _mm256_set1_epi32(65535));
    const __m256i r16 = _mm256_packus_epi32(r32, r32);       // r0 .. r3 twice | r4 .. r7 twice
    const __m256i rPairs = _mm256_unpacklo_epi16(r16, r16);  // r0 r0 r1 r1 r2 r2 r3 r3 | r4 ..
    rLo = _mm256_unpacklo_epi32(rPairs, rPairs);
    rHi = _mm256_unpackhi_epi32(rPairs, rPairs);
}

// SmoothNativeX888Span eight pixels at a time; returns how many pixels it did.
FW_TARGET_AVX2 int32_t SmoothNativeX888Avx2(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m256i zero = _mm256_setzero_si256();
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(avg + i));
        const __m256i a = _mm256_srli_epi32(p, 24);
        const __m256i some = _mm256_cmpgt_epi32(a, zero);
        __m256i rLo, rHi, unused;
        Reciprocals8(a, rLo, rHi);
        const __m256i lo = NativeHalf8(_mm256_unpacklo_epi8(p, zero), rLo, unused);
        const __m256i hi = NativeHalf8(_mm256_unpackhi_epi8(p, zero), rHi, unused);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_and_si256(_mm256_packus_epi16(lo, hi), some));
    }
    return i;
}

// SmoothOverX888Span eight pixels at a time; returns how many pixels it did.
FW_TARGET_AVX2 int32_t SmoothOverX888Avx2(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m256i zero = _mm256_setzero_si256(), k255 = _mm256_set1_epi32(255);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(avg + i));
        const __m256i a = _mm256_srli_epi32(p, 24);
        const __m256i clear = _mm256_cmpeq_epi32(a, zero);
        const uint32_t clearBits = uint32_t(_mm256_movemask_epi8(clear));
        if (clearBits == 0xFFFFFFFFu)
            continue;
        if (clearBits == 0 && uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, k255))) == 0xFFFFFFFFu) {
            // Opaque: each channel q gives q, or 0 for q <= 1 (see below).
            const __m256i small = _mm256_cmpeq_epi8(_mm256_min_epu8(p, _mm256_set1_epi8(1)), p);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_andnot_si256(small, p));
            continue;
        }
        __m256i rLo, rHi;
        Reciprocals8(a, rLo, rHi);
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i lo = OverX888Half8(_mm256_unpacklo_epi8(p, zero), _mm256_unpacklo_epi8(dv, zero), rLo);
        const __m256i hi = OverX888Half8(_mm256_unpackhi_epi8(p, zero), _mm256_unpackhi_epi8(dv, zero), rHi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), dv, clear));
    }
    return i;
}

#endif

} // namespace

namespace {

// The native words of two averages in 16-bit lanes (b, g, r, a per pixel): averages q and per
// pixel r = ceil(65536 / a) (65535 for a = 1); colour lanes u * (a + 1) >> 8, the alpha lane a.
// With q * a = 256 * pre + e, the unpremultiplied channel ceil(256 * pre / a) is u = q - floor(e / a),
// and floor(e / a) for e <= 255 is (e * r) >> 16: the error e * (r - 65536 / a) / 65536 stays
// below 255 / 65536, less than the 1 / a that e / a lies below the next integer. (Under a = 1 it
// gives 1 in place of 0, which u * (a + 1) >> 8 turns to 0 all the same.)
inline __m128i NativeHalf(__m128i q, __m128i r, __m128i& a)
{
    a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(q, 0xFF), 0xFF);
    // q * a and u * (a + 1) stay within 16 bits.
    const __m128i e = _mm_and_si128(_mm_mullo_epi16(q, a), _mm_set1_epi16(255));
    const __m128i u = _mm_sub_epi16(q, _mm_mulhi_epu16(e, r));
    const __m128i native = _mm_srli_epi16(_mm_mullo_epi16(u, _mm_add_epi16(a, _mm_set1_epi16(1))), 8);
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    return _mm_or_si128(_mm_and_si128(alphaLanes, a), _mm_andnot_si128(alphaLanes, native));
}

// Two pixels of SmoothOverX888Span in 16-bit lanes: the native words of averages q (NativeHalf)
// over destination d. Each channel's sum stays within 255 (no carries); the top byte takes a.
inline __m128i OverX888Half(__m128i q, __m128i d, __m128i r)
{
    __m128i a;
    const __m128i native = NativeHalf(q, r, a);
    // d * (256 - a) stays within 16 bits; the alpha lane's product is dropped.
    const __m128i kept = _mm_srli_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), a)), 8);
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    return _mm_add_epi16(_mm_andnot_si128(alphaLanes, kept), native);
}

// r = ceil(65536 / a) of NativeHalf for four alphas, spread over the pixels' lanes: rLo for
// pixels 0 and 1, rHi for 2 and 3. ceil(65536 / a) = floor(65535 / a) + 1: the quotient rounded
// to float lies within 2^-9 of the true one, whose fraction is 0 or at least 1 / 255. Kept to 16
// bits through a sign-extending pack.
inline void Reciprocals(__m128i a, __m128i& rLo, __m128i& rHi)
{
    const __m128i k1 = _mm_set1_epi32(1);
    const __m128i r32 = _mm_add_epi32(
        _mm_add_epi32(_mm_cvttps_epi32(_mm_div_ps(_mm_set1_ps(65535.0f), _mm_cvtepi32_ps(_mm_max_epi16(a, k1)))),
                      k1),
        _mm_cmpeq_epi32(a, k1));
    const __m128i r16 = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(r32, 16), 16), _mm_setzero_si128());
    const __m128i rPairs = _mm_unpacklo_epi16(r16, r16); // r0 r0 r1 r1 r2 r2 r3 r3
    rLo = _mm_unpacklo_epi32(rPairs, rPairs);
    rHi = _mm_unpackhi_epi32(rPairs, rPairs);
}

} // namespace

void SmoothNativeX888Span(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
#if defined(FW_HAS_AVX2_FORMS)
    if (Avx2FormsOn())
        i = SmoothNativeX888Avx2(d, avg, n);
#endif
    for (; i + 4 <= n; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(avg + i));
        const __m128i a = _mm_srli_epi32(p, 24);
        const __m128i some = _mm_cmpgt_epi32(a, zero);
        if (_mm_movemask_epi8(some) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), zero);
            continue;
        }
        __m128i rLo, rHi, unused;
        Reciprocals(a, rLo, rHi);
        const __m128i lo = NativeHalf(_mm_unpacklo_epi8(p, zero), rLo, unused);
        const __m128i hi = NativeHalf(_mm_unpackhi_epi8(p, zero), rHi, unused);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_and_si128(_mm_packus_epi16(lo, hi), some));
    }
    SmoothNativeX888SpanScalar(d + i, avg + i, n - i);
}

void SmoothOverX888Span(uint32_t* d, const uint32_t* avg, int32_t n)
{
    const __m128i zero = _mm_setzero_si128(), k255 = _mm_set1_epi32(255);
    int32_t i = 0;
#if defined(FW_HAS_AVX2_FORMS)
    if (Avx2FormsOn())
        i = SmoothOverX888Avx2(d, avg, n);
#endif
    for (; i + 4 <= n; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(avg + i));
        const __m128i a = _mm_srli_epi32(p, 24);
        const __m128i clear = _mm_cmpeq_epi32(a, zero);
        const int clearBits = _mm_movemask_epi8(clear);
        if (clearBits == 0xFFFF)
            continue;
        if (clearBits == 0 && _mm_movemask_epi8(_mm_cmpeq_epi32(a, k255)) == 0xFFFF) {
            // Four opaque pixels: their native words replace the destination. Under alpha 255 a
            // channel q becomes q - 1 over black, which unpremultiplies back to q (0 for q <= 1).
            const __m128i small = _mm_cmpeq_epi8(_mm_min_epu8(p, _mm_set1_epi8(1)), p);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_andnot_si128(small, p));
            continue;
        }
        __m128i rLo, rHi;
        Reciprocals(a, rLo, rHi);
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = OverX888Half(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(dv, zero), rLo);
        const __m128i hi = OverX888Half(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(dv, zero), rHi);
        const __m128i out = _mm_packus_epi16(lo, hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out)));
    }
    SmoothOverX888SpanScalar(d + i, avg + i, n - i);
}

void SmoothOver565Span(uint16_t* d, const uint32_t* s, int32_t n)
{
    const __m128i zero = _mm_setzero_si128(), k256 = _mm_set1_epi16(256);
    const __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
        const __m128i a = _mm_packs_epi32(_mm_srli_epi32(s0, 24), _mm_srli_epi32(s1, 24));
        const __m128i clear = _mm_cmpeq_epi16(a, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;
        // The 565 words, sign-extended so that the signed pack keeps their 16 bits.
        auto word565 = [](__m128i p) {
            const __m128i w = _mm_or_si128(
                _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0xF800)),
                             _mm_and_si128(_mm_srli_epi32(p, 5), _mm_set1_epi32(0x7E0))),
                _mm_and_si128(_mm_srli_epi32(p, 3), _mm_set1_epi32(0x1F)));
            return _mm_srai_epi32(_mm_slli_epi32(w, 16), 16);
        };
        const __m128i src = _mm_packs_epi32(word565(s0), word565(s1));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // Each field times w = (256 - a) >> 3 (at most 31) stays within 16 bits.
        const __m128i w = _mm_srli_epi16(_mm_sub_epi16(k256, a), 3);
        const __m128i r = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(dv, 11), w), 5);
        const __m128i g = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(dv, 5), m6), w), 5);
        const __m128i b = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(dv, m5), w), 5);
        const __m128i kept = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 11), _mm_slli_epi16(g, 5)), b);
        const __m128i out = _mm_add_epi16(kept, src);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out)));
    }
    SmoothOver565SpanScalar(d + i, s + i, n - i);
}

#else

void SmoothOverSpan(uint32_t* d, const uint32_t* avg, int32_t n) { SmoothOverSpanScalar(d, avg, n); }
void SmoothNativeX888Span(uint32_t* d, const uint32_t* avg, int32_t n) { SmoothNativeX888SpanScalar(d, avg, n); }
void SmoothOverX888Span(uint32_t* d, const uint32_t* avg, int32_t n) { SmoothOverX888SpanScalar(d, avg, n); }
void SmoothOver565Span(uint16_t* d, const uint32_t* s, int32_t n) { SmoothOver565SpanScalar(d, s, n); }

#endif

} // namespace Fw::detail
