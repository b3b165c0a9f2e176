// SSE2 span kernels with their scalar twins. 16-bit lanes hold every intermediate exactly:
// d * (256 - a) and q * a are at most 255 * 256 = 65280, and their sum (256 - a + a = 256 parts
// of at most 255) at most 65280 too.
#include "framework/graphics/detail/PixelSpans.h"

#include "framework/graphics/detail/Avx2Rows.h"
#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/SurfaceSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>
#endif

namespace Fw::detail {

void BlendOpaqueSpanScalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = BlendOpaque(d[i], s[i], s[i] >> 24);
}

void OverOpaqueSpanScalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = s[i] >> 24;
        if (a == 255)
            d[i] = s[i];
        else if (a != 0)
            d[i] = BlendOpaque(d[i], s[i], a);
    }
}

void AddSpanScalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = AddRGB(d[i], (s[i] >> 16) & 0xFF, (s[i] >> 8) & 0xFF, s[i] & 0xFF);
}

void AddAlphaSpanScalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = s[i] >> 24;
        d[i] = AddRGB(d[i], (((s[i] >> 16) & 0xFF) * a) >> 8, (((s[i] >> 8) & 0xFF) * a) >> 8,
                      ((s[i] & 0xFF) * a) >> 8);
    }
}

void FillOverSpanScalar(uint32_t* d, int32_t n, uint32_t q, uint32_t a)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = Over(d[i], q, a);
}

void ModulateOverSpanScalar(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b,
                            uint32_t ca)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = (s[i] >> 24) * ca / 255;
        if (a)
            d[i] = Over(d[i], ModulateRGB(s[i], r, g, b), a);
    }
}

void OverSpanGatherScalar(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        if (const uint32_t p = row[cols[i]]; p >> 24)
            d[i] = OverFast(d[i], p, p >> 24);
}

void SurfaceOverSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        if ((s[i] >> 24) == 0)
            continue;
        const uint32_t ia = 256 - (s[i] >> 24);
        d[i] = ((((d[i] & kRB) * ia) >> 8) & kRB) + ((((d[i] & kG) * ia) >> 8) & kG) + s[i];
    }
}

void SurfaceAddSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                            uint32_t fb)
{
    const uint32_t f[3] = {fb, fg, fr};
    for (int32_t i = 0; i < n; ++i) {
        if ((s[i] & 0xFFFFFFu) == 0)
            continue;
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k) {
            uint32_t sc = (s[i] >> (8 * k)) & 0xFF;
            if (modulate)
                sc = (sc * f[k]) >> 8;
            out |= uint32_t(kSaturate.entry[sc + ((d[i] >> (8 * k)) & 0xFF)]) << (8 * k);
        }
        d[i] = out;
    }
}

void NativeX888SpanScalar(uint32_t* d, const uint32_t* s, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = s[i], a = p >> 24, m = a + 1;
        d[i] = a << 24 | (((((p >> 16) & 0xFF) * m) >> 8) << 16) | (((((p >> 8) & 0xFF) * m) >> 8) << 8) |
               (((p & 0xFF) * m) >> 8);
    }
}

void SurfaceModulateSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                                 uint32_t ca, bool blueCarry)
{
    const uint32_t f[3] = {fb, fg, fr};
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t a = s[i] >> 24;
        if (a == 0)
            continue;
        const bool opaque = a == 255 && ca >= 255;
        const uint32_t ia = 256 - a * ca / 255;
        uint32_t sum[3];
        for (int k = 0; k < 3; ++k)
            sum[k] = (opaque ? 0 : ((d[i] >> (8 * k)) & 0xFF) * ia) + ((s[i] >> (8 * k)) & 0xFF) * f[k];
        if (blueCarry)
            sum[2] += sum[0] >> 16;
        d[i] = (sum[2] >> 8 & 0xFF) << 16 | (sum[1] >> 8 & 0xFF) << 8 | (sum[0] >> 8 & 0xFF);
    }
}

#if defined(__SSE2__)

namespace {

// Each pixel's alpha spread over its four 16-bit lanes.
inline __m128i AlphaLanes(__m128i px16)
{
    const __m128i lo = _mm_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_shufflehi_epi16(lo, _MM_SHUFFLE(3, 3, 3, 3));
}

// Constants as functions: no static initialisation order to depend on (they compile to loads).
inline __m128i AlphaMask()
{
    return _mm_set1_epi32(int32_t(0xFF000000u));
}
inline __m128i RgbMask()
{
    return _mm_set1_epi32(0x00FFFFFF);
}

// BlendOpaque of four pixels: each channel (d (256 - a) >> 8) + (s a >> 8), alpha 255.
inline __m128i BlendOpaqueGroup(__m128i sv, __m128i dv)
{
    const __m128i zero = _mm_setzero_si128(), k256 = _mm_set1_epi16(256);
    __m128i out[2];
    for (int half = 0; half < 2; ++half) {
        const __m128i s16 = half ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
        const __m128i d16 = half ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
        const __m128i a = AlphaLanes(s16);
        const __m128i dPart = _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(k256, a)), 8);
        const __m128i sPart = _mm_srli_epi16(_mm_mullo_epi16(s16, a), 8);
        out[half] = _mm_add_epi16(dPart, sPart);
    }
    return _mm_or_si128(_mm_packus_epi16(out[0], out[1]), AlphaMask());
}

// The groups of four of an over rule's row: groups whose source alphas are all 0 are left alone,
// groups whose alphas are all 255 take the source words, the others go through the group step
// (which keeps the destination of its clear pixels). Returns how many pixels it did (n rounded
// down to 4); the kernel's scalar rule does the rest.
template <class Group>
inline __attribute__((always_inline)) int32_t OverGroupsSse2(uint32_t* d, const uint32_t* s, int32_t n,
                                                             const Group& group)
{
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi32(-1);
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // Byte compares: the top byte of each word tells alpha 0 and alpha 255.
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(sv, zero)) & 0x8888) == 0x8888)
            continue;
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(sv, ones)) & 0x8888) == 0x8888) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), group(sv, dv));
    }
    return i;
}

// Whole words of the pixels of sv whose alpha is 0 (clear) and 255 (opaque).
inline __m128i ClearWords(__m128i sv)
{
    return _mm_srai_epi32(_mm_cmpeq_epi8(sv, _mm_setzero_si128()), 24);
}
inline __m128i OpaqueWords(__m128i sv)
{
    return _mm_srai_epi32(_mm_cmpeq_epi8(sv, _mm_set1_epi32(-1)), 24);
}

// OverOpaqueSpan's step: BlendOpaque, then clear pixels keep the destination and opaque ones take
// the source.
struct OverOpaqueGroupSse2 {
    __attribute__((always_inline)) __m128i operator()(__m128i sv, __m128i dv) const
    {
        const __m128i blended = BlendOpaqueGroup(sv, dv);
        const __m128i clear = ClearWords(sv), opaque = OpaqueWords(sv);
        const __m128i kept = _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, blended));
        return _mm_or_si128(_mm_and_si128(opaque, sv), _mm_andnot_si128(opaque, kept));
    }
};

// SurfaceOverSpan32's step on premultiplied X888 words: each channel d * (256 - a) >> 8, the
// source word added; clear pixels keep the destination.
struct SurfaceOverGroupSse2 {
    __attribute__((always_inline)) __m128i operator()(__m128i sv, __m128i dv) const
    {
        const __m128i zero = _mm_setzero_si128();
        // 256 - a in both 16-bit halves of each word, then in the four lanes of each pixel.
        const __m128i a = _mm_srli_epi32(sv, 24);
        const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(256), _mm_or_si128(a, _mm_slli_epi32(a, 16)));
        // d * (256 - a) >> 8 as the high half of (d << 8) * (256 - a): the destination bytes are
        // unpacked into the high byte of each lane.
        const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, dv), _mm_unpacklo_epi32(ia, ia));
        const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, dv), _mm_unpackhi_epi32(ia, ia));
        // The source is added as a whole word, carries included, as the scalar rule does.
        const __m128i out = _mm_add_epi32(_mm_and_si128(_mm_packus_epi16(lo, hi), RgbMask()), sv);
        const __m128i clear = ClearWords(sv);
        return _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out));
    }
};

} // namespace

void BlendOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n)
{
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), BlendOpaqueGroup(sv, dv));
    }
    BlendOpaqueSpanScalar(d + i, s + i, n - i);
}

void OverOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n)
{
    if (Avx2FormsOn())
        OverOpaqueSpanAvx2(d, s, n);
    else
        OverOpaqueSpanSse2(d, s, n);
}

void OverOpaqueSpanSse2(uint32_t* d, const uint32_t* s, int32_t n)
{
    const int32_t i = OverGroupsSse2(d, s, n, OverOpaqueGroupSse2{});
    OverOpaqueSpanScalar(d + i, s + i, n - i);
}

#if defined(FW_HAS_AVX2_FORMS)
namespace {

// OverOpaqueSpanSse2's steps on eight pixels: BlendOpaque, then clear pixels keep the destination
// and opaque ones take the source.
struct OverOpaqueGroupAvx2 {
    __m256i zero, ones, k256, alphaMask;
    FW_AVX2_INLINE static OverOpaqueGroupAvx2 Make()
    {
        return {_mm256_setzero_si256(), _mm256_set1_epi32(-1), _mm256_set1_epi16(256),
                _mm256_set1_epi32(int32_t(0xFF000000u))};
    }
    FW_AVX2_INLINE __m256i operator()(__m256i sv, __m256i dv) const
    {
        __m256i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m256i s16 = half ? _mm256_unpackhi_epi8(sv, zero) : _mm256_unpacklo_epi8(sv, zero);
            const __m256i d16 = half ? _mm256_unpackhi_epi8(dv, zero) : _mm256_unpacklo_epi8(dv, zero);
            const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)),
                                                     _MM_SHUFFLE(3, 3, 3, 3));
            const __m256i dPart = _mm256_srli_epi16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(k256, a)), 8);
            const __m256i sPart = _mm256_srli_epi16(_mm256_mullo_epi16(s16, a), 8);
            out[half] = _mm256_add_epi16(dPart, sPart);
        }
        const __m256i blended = _mm256_or_si256(_mm256_packus_epi16(out[0], out[1]), alphaMask);
        const __m256i clear = _mm256_srai_epi32(_mm256_cmpeq_epi8(sv, zero), 24);
        const __m256i opaque = _mm256_srai_epi32(_mm256_cmpeq_epi8(sv, ones), 24);
        return _mm256_blendv_epi8(_mm256_blendv_epi8(blended, dv, clear), sv, opaque);
    }
};

} // namespace

FW_TARGET_AVX2 void OverOpaqueSpanAvx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    OverRowAvx2(d, s, n, OverOpaqueGroupAvx2::Make());
}
#else
void OverOpaqueSpanAvx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    OverOpaqueSpanSse2(d, s, n);
}
#endif

#if defined(FW_HAS_AVX2_FORMS)
// AddSpan sixteen pixels a step, for spans whose source and destination do not overlap (the
// order of reads and writes then cannot change a bit); short spans stay with the SSE2 form.
FW_TARGET_AVX2 void AddSpanApartAvx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const auto* sp = reinterpret_cast<const __m256i*>(s + i);
        const __m256i a = _mm256_and_si256(_mm256_loadu_si256(sp), rgb);
        const __m256i b = _mm256_and_si256(_mm256_loadu_si256(sp + 1), rgb);
        if (_mm256_testz_si256(_mm256_or_si256(a, b), _mm256_or_si256(a, b)))
            continue;
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        _mm256_storeu_si256(dp, _mm256_adds_epu8(_mm256_loadu_si256(dp), a));
        _mm256_storeu_si256(dp + 1, _mm256_adds_epu8(_mm256_loadu_si256(dp + 1), b));
    }
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)), rgb);
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        _mm256_storeu_si256(dp, _mm256_adds_epu8(_mm256_loadu_si256(dp), a));
    }
    for (; i + 4 <= n; i += 4) {
        const __m128i a =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), _mm256_castsi256_si128(rgb));
        auto* dp = reinterpret_cast<__m128i*>(d + i);
        _mm_storeu_si128(dp, _mm_adds_epu8(_mm_loadu_si128(dp), a));
    }
    AddSpanScalar(d + i, s + i, n - i);
}
#endif

void AddSpan(uint32_t* d, const uint32_t* s, int32_t n)
{
#if defined(FW_HAS_AVX2_FORMS)
    const auto dp = reinterpret_cast<uintptr_t>(d), sp = reinterpret_cast<uintptr_t>(s);
    const uintptr_t bytes = uintptr_t(n > 0 ? n : 0) * 4;
    if (n >= 16 && Avx2FormsOn() && (dp + bytes <= sp || sp + bytes <= dp)) {
        AddSpanApartAvx2(d, s, n);
        return;
    }
#endif
    int32_t i = 0;
    // Blocks of sixteen that add nothing (clear stretches of a sprite) are left alone; testing
    // smaller groups costs more in mispredicted branches than it saves. A skipped block writes
    // nothing, so a destination overlapping its source still reads what it read group by group.
    for (; i + 16 <= n; i += 16) {
        const auto* sp = reinterpret_cast<const __m128i*>(s + i);
        const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(sp), _mm_loadu_si128(sp + 1)),
                                         _mm_or_si128(_mm_loadu_si128(sp + 2), _mm_loadu_si128(sp + 3)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, RgbMask()), _mm_setzero_si128())) == 0xFFFF)
            continue;
        for (int k = 0; k < 4; ++k) {
            // Each group reads its source after the groups before it were written.
            const __m128i sv = _mm_and_si128(_mm_loadu_si128(sp + k), RgbMask());
            __m128i* dp = reinterpret_cast<__m128i*>(d + i + 4 * k);
            _mm_storeu_si128(dp, _mm_adds_epu8(_mm_loadu_si128(dp), sv));
        }
    }
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), RgbMask());
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(dv, sv));
    }
    AddSpanScalar(d + i, s + i, n - i);
}

void AddAlphaSpan(uint32_t* d, const uint32_t* s, int32_t n)
{
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = _mm_unpacklo_epi8(sv, zero), hi = _mm_unpackhi_epi8(sv, zero);
        const __m128i loAmt = _mm_srli_epi16(_mm_mullo_epi16(lo, AlphaLanes(lo)), 8);
        const __m128i hiAmt = _mm_srli_epi16(_mm_mullo_epi16(hi, AlphaLanes(hi)), 8);
        const __m128i amount = _mm_and_si128(_mm_packus_epi16(loAmt, hiAmt), RgbMask());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(dv, amount));
    }
    AddAlphaSpanScalar(d + i, s + i, n - i);
}

void FillOverSpan(uint32_t* d, int32_t n, uint32_t q, uint32_t a)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi16(int16_t(a)), iw = _mm_set1_epi16(int16_t(256 - a));
    const __m128i q16 = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(int32_t(q)), zero), w);
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // Only a group of four opaque destination pixels takes the fixed weight a.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dv, AlphaMask()), AlphaMask())) != 0xFFFF) {
            for (int k = 0; k < 4; ++k)
                d[i + k] = Over(d[i + k], q, a);
            continue;
        }
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), iw), q16), 8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), iw), q16), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_packus_epi16(lo, hi), AlphaMask()));
    }
    for (; i < n; ++i)
        d[i] = Over(d[i], q, a);
}

void ModulateOverSpan(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b, uint32_t ca)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i k8081 = _mm_set1_epi16(int16_t(0x8081));
    // Per 16-bit lane: blue, green, red, and 0 for the alpha lane (the modulated alpha is unused).
    const __m128i colour = _mm_set_epi16(0, int16_t(r), int16_t(g), int16_t(b), 0, int16_t(r), int16_t(g), int16_t(b));
    const __m128i alpha = _mm_set1_epi16(int16_t(ca));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        // Groups of four opaque destination pixels blend with the fixed weight a (newA = 255).
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dv, AlphaMask()), AlphaMask())) != 0xFFFF) {
            ModulateOverSpanScalar(d + i, s + i, 4, r, g, b, ca);
            continue;
        }
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // a = x / 255 for x = source alpha * ca, as x * 0x8081 >> 23 (exact for every 16-bit x),
        // once per pixel, then spread to the pixel's four lanes: a0 a0 a1 a1 a2 a2 a3 a3 as pairs.
        const __m128i x = _mm_mullo_epi16(_mm_srli_epi32(sv, 24), alpha);
        const __m128i a1 = _mm_srli_epi16(_mm_mulhi_epu16(x, k8081), 7);
        const __m128i a2 = _mm_or_si128(a1, _mm_slli_epi32(a1, 16));
        const __m128i aHalf[2] = {_mm_unpacklo_epi32(a2, a2), _mm_unpackhi_epi32(a2, a2)};
        __m128i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m128i s16 = half ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
            const __m128i d16 = half ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
            const __m128i q = _mm_srli_epi16(_mm_mullo_epi16(s16, colour), 8);
            // d (256 - a) + q a as d 256 + (q - d) a: the true sum is at most 65280, so the
            // 16-bit wrap of the terms leaves it exact.
            const __m128i sum =
                _mm_add_epi16(_mm_slli_epi16(d16, 8), _mm_mullo_epi16(_mm_sub_epi16(q, d16), aHalf[half]));
            out[half] = _mm_srli_epi16(sum, 8);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_packus_epi16(out[0], out[1]), AlphaMask()));
    }
    ModulateOverSpanScalar(d + i, s + i, n - i, r, g, b, ca);
}

#if defined(FW_HAS_AVX2_FORMS)
// OverSpanGather eight pixels a step: the same steps as the SSE2 form below, groups of eight
// opaque destination pixels at once, groups whose sampled pixels are all clear left alone.
FW_TARGET_AVX2 void OverSpanGatherAvx2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(int32_t(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        // Plain loads inserted into the vector: faster here than the gather instruction, and
        // than a buffer of picked pixels read back whole.
        const int32_t* c = cols + i;
        const __m256i sv =
            _mm256_setr_epi32(int32_t(row[c[0]]), int32_t(row[c[1]]), int32_t(row[c[2]]), int32_t(row[c[3]]),
                              int32_t(row[c[4]]), int32_t(row[c[5]]), int32_t(row[c[6]]), int32_t(row[c[7]]));
        const __m256i sAlpha = _mm256_and_si256(sv, alphaMask);
        if (_mm256_testz_si256(sAlpha, sAlpha))
            continue; // a = 0 throughout
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        if (uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(dv, alphaMask), alphaMask))) !=
            0xFFFFFFFFu) {
            OverSpanGatherScalar(d + i, row, c, 8);
            continue;
        }
        __m256i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m256i s16 = half ? _mm256_unpackhi_epi8(sv, zero) : _mm256_unpacklo_epi8(sv, zero);
            const __m256i d16 = half ? _mm256_unpackhi_epi8(dv, zero) : _mm256_unpacklo_epi8(dv, zero);
            const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)),
                                                     _MM_SHUFFLE(3, 3, 3, 3));
            // d (256 - a) + s a as d 256 + (s - d) a, as in the SSE2 form.
            const __m256i sum = _mm256_add_epi16(_mm256_slli_epi16(d16, 8),
                                                 _mm256_mullo_epi16(_mm256_sub_epi16(s16, d16), a));
            out[half] = _mm256_srli_epi16(sum, 8);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_or_si256(_mm256_packus_epi16(out[0], out[1]), alphaMask));
    }
    OverSpanGatherSse2(d + i, row, cols + i, n - i);
}
#else
void OverSpanGatherAvx2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    OverSpanGatherSse2(d, row, cols, n);
}
#endif

void OverSpanGather(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    if (Avx2FormsOn())
        OverSpanGatherAvx2(d, row, cols, n);
    else
        OverSpanGatherSse2(d, row, cols, n);
}

void OverSpanGatherSse2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i sv = _mm_set_epi32(int32_t(row[cols[i + 3]]), int32_t(row[cols[i + 2]]),
                                         int32_t(row[cols[i + 1]]), int32_t(row[cols[i]]));
        // Groups of four opaque destination pixels take the weight a; a = 0 leaves them as they are.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dv, AlphaMask()), AlphaMask())) != 0xFFFF) {
            OverSpanGatherScalar(d + i, row, cols + i, 4);
            continue;
        }
        __m128i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m128i s16 = half ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
            const __m128i d16 = half ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
            // d (256 - a) + s a as d 256 + (s - d) a: exact through the 16-bit wrap (at most 65280).
            const __m128i diff = _mm_mullo_epi16(_mm_sub_epi16(s16, d16), AlphaLanes(s16));
            const __m128i sum = _mm_add_epi16(_mm_slli_epi16(d16, 8), diff);
            out[half] = _mm_srli_epi16(sum, 8);
        }
        const __m128i packed = _mm_packus_epi16(out[0], out[1]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(packed, AlphaMask()));
    }
    OverSpanGatherScalar(d + i, row, cols + i, n - i);
}

void SurfaceOverSpan32(uint32_t* d, const uint32_t* s, int32_t n)
{
    if (Avx2FormsOn())
        SurfaceOverSpan32Avx2(d, s, n);
    else
        SurfaceOverSpan32Sse2(d, s, n);
}

void SurfaceOverSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n)
{
    const int32_t i = OverGroupsSse2(d, s, n, SurfaceOverGroupSse2{});
    SurfaceOverSpan32Scalar(d + i, s + i, n - i);
}

void SurfaceAddSpan32(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                      uint32_t fb)
{
    if (Avx2FormsOn())
        SurfaceAddSpan32Avx2(d, s, n, modulate, fr, fg, fb);
    else
        SurfaceAddSpan32Sse2(d, s, n, modulate, fr, fg, fb);
}

void SurfaceAddSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                          uint32_t fb)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i f = _mm_set_epi16(0, int16_t(fr), int16_t(fg), int16_t(fb), 0, int16_t(fr), int16_t(fg), int16_t(fb));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), RgbMask());
        const __m128i clear = _mm_cmpeq_epi32(sv, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        if (modulate) {
            const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), f), 8);
            const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), f), 8);
            sv = _mm_packus_epi16(lo, hi);
        }
        const __m128i out = _mm_adds_epu8(_mm_and_si128(dv, RgbMask()), sv);
        const __m128i kept = _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), kept);
    }
    SurfaceAddSpan32Scalar(d + i, s + i, n - i, modulate, fr, fg, fb);
}

void NativeX888Span(uint32_t* d, const uint32_t* s, int32_t n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i k1 = _mm_set1_epi16(1);
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // c * (a + 1) is at most 255 * 256: exact in a 16-bit lane.
        const __m128i lo = _mm_unpacklo_epi8(sv, zero), hi = _mm_unpackhi_epi8(sv, zero);
        const __m128i loC = _mm_srli_epi16(_mm_mullo_epi16(lo, _mm_add_epi16(AlphaLanes(lo), k1)), 8);
        const __m128i hiC = _mm_srli_epi16(_mm_mullo_epi16(hi, _mm_add_epi16(AlphaLanes(hi), k1)), 8);
        const __m128i colour = _mm_and_si128(_mm_packus_epi16(loC, hiC), RgbMask());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(colour, _mm_and_si128(sv, AlphaMask())));
    }
    NativeX888SpanScalar(d + i, s + i, n - i);
}

void SurfaceModulateSpan32(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                           uint32_t ca, bool blueCarry)
{
    if (Avx2FormsOn())
        SurfaceModulateSpan32Avx2(d, s, n, fr, fg, fb, ca, blueCarry);
    else
        SurfaceModulateSpan32Sse2(d, s, n, fr, fg, fb, ca, blueCarry);
}

void SurfaceModulateSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                               uint32_t ca, bool blueCarry)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i k1 = _mm_set1_epi16(1), k256 = _mm_set1_epi16(256);
    const __m128i f = _mm_set_epi16(0, int16_t(fr), int16_t(fg), int16_t(fb), 0, int16_t(fr), int16_t(fg), int16_t(fb));
    const __m128i colourAlpha = _mm_set1_epi16(int16_t(ca));
    const bool opaqueForm = ca >= 255;
    const __m128i blueLane = _mm_set_epi16(0, 0, 0, 1, 0, 0, 0, 1);
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i alpha = _mm_and_si128(sv, AlphaMask());
        const __m128i clear = _mm_cmpeq_epi32(alpha, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;
        // Pixels of alpha 255 under a colour alpha of 255 take the opaque form (no destination).
        const __m128i opaque = opaqueForm ? _mm_cmpeq_epi32(alpha, AlphaMask()) : zero;
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i dKept = _mm_andnot_si128(opaque, dv);
        __m128i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m128i s16 = half ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
            const __m128i d16 = half ? _mm_unpackhi_epi8(dKept, zero) : _mm_unpacklo_epi8(dKept, zero);
            // a * ca / 255 for a * ca <= 65025 as (x + 1 + (x >> 8)) >> 8, exact over that range.
            const __m128i x = _mm_mullo_epi16(AlphaLanes(s16), colourAlpha);
            const __m128i a = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, k1), _mm_srli_epi16(x, 8)), 8);
            // The sum can pass 16 bits; its bits 8..15, all that is kept, survive the wrap. Where
            // it wraps (the saturating sum differs), bit 16 was set: blue's goes to red on request.
            const __m128i dPart = _mm_mullo_epi16(d16, _mm_sub_epi16(k256, a)), sPart = _mm_mullo_epi16(s16, f);
            __m128i sum = _mm_add_epi16(dPart, sPart);
            if (blueCarry) {
                const __m128i wrapped = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_adds_epu16(dPart, sPart), sum), blueLane);
                sum = _mm_add_epi16(sum, _mm_slli_epi64(wrapped, 32));
            }
            out[half] = _mm_srli_epi16(sum, 8);
        }
        const __m128i blended = _mm_and_si128(_mm_packus_epi16(out[0], out[1]), RgbMask());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, blended)));
    }
    SurfaceModulateSpan32Scalar(d + i, s + i, n - i, fr, fg, fb, ca, blueCarry);
}

#else

void SurfaceModulateSpan32(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                           uint32_t ca, bool blueCarry)
{
    SurfaceModulateSpan32Scalar(d, s, n, fr, fg, fb, ca, blueCarry);
}
void NativeX888Span(uint32_t* d, const uint32_t* s, int32_t n) { NativeX888SpanScalar(d, s, n); }
void SurfaceOverSpan32(uint32_t* d, const uint32_t* s, int32_t n) { SurfaceOverSpan32Scalar(d, s, n); }
void SurfaceAddSpan32(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                      uint32_t fb)
{
    SurfaceAddSpan32Scalar(d, s, n, modulate, fr, fg, fb);
}
void ModulateOverSpan(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b, uint32_t ca)
{
    ModulateOverSpanScalar(d, s, n, r, g, b, ca);
}
void OverSpanGather(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    OverSpanGatherScalar(d, row, cols, n);
}
void OverSpanGatherAvx2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n)
{
    OverSpanGatherScalar(d, row, cols, n);
}
void OverOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n)
{
    OverOpaqueSpanScalar(d, s, n);
}
void OverOpaqueSpanAvx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    OverOpaqueSpanScalar(d, s, n);
}
void BlendOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n) { BlendOpaqueSpanScalar(d, s, n); }
void AddSpan(uint32_t* d, const uint32_t* s, int32_t n) { AddSpanScalar(d, s, n); }
void AddAlphaSpan(uint32_t* d, const uint32_t* s, int32_t n) { AddAlphaSpanScalar(d, s, n); }
void FillOverSpan(uint32_t* d, int32_t n, uint32_t q, uint32_t a) { FillOverSpanScalar(d, n, q, a); }

#endif

} // namespace Fw::detail
