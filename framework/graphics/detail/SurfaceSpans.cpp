// Surface copy kernels (see SurfaceSpans.h).
#include "framework/graphics/detail/SurfaceSpans.h"

#include "framework/graphics/detail/Avx2Rows.h"
#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/PixelSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>
#endif

namespace Fw::detail {

#if defined(FW_HAS_AVX2_FORMS)

namespace {

// Over: the SSE2 form's steps on eight pixels (see PixelSpans.cpp).
struct OverGroup {
    __m256i zero, k256, spreadLo, spreadHi;
    FW_AVX2_INLINE static OverGroup Make()
    {
        // 256 for the colour lanes, 0 for the alpha lane: the blend leaves the alpha byte 0 before
        // the source word is added. The byte shuffles (within each 128-bit half) spread the alpha
        // of the pixels the unpacks take, the first two of each half, then the last two; -1
        // writes 0.
        return {_mm256_setzero_si256(),
                _mm256_setr_epi16(256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0, 256, 256, 256, 0),
                _mm256_setr_epi8(3, -1, 3, -1, 3, -1, -1, -1, 7, -1, 7, -1, 7, -1, -1, -1, 3, -1, 3, -1, 3, -1, -1, -1,
                                 7, -1, 7, -1, 7, -1, -1, -1),
                _mm256_setr_epi8(11, -1, 11, -1, 11, -1, -1, -1, 15, -1, 15, -1, 15, -1, -1, -1, 11, -1, 11, -1, 11,
                                 -1, -1, -1, 15, -1, 15, -1, 15, -1, -1, -1)};
    }
    FW_AVX2_INLINE __m256i operator()(__m256i sv, __m256i dv) const
    {
        // d * (256 - a) >> 8 as the high half of (d << 8) * (256 - a).
        const __m256i lo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, dv),
                                              _mm256_sub_epi16(k256, _mm256_shuffle_epi8(sv, spreadLo)));
        const __m256i hi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, dv),
                                              _mm256_sub_epi16(k256, _mm256_shuffle_epi8(sv, spreadHi)));
        const __m256i out = _mm256_add_epi32(_mm256_packus_epi16(lo, hi), sv);
        // Clear pixels keep the destination word.
        return _mm256_blendv_epi8(out, dv, _mm256_srai_epi32(_mm256_cmpeq_epi8(sv, zero), 24));
    }
};

// Additive: the SSE2 form's steps on eight pixels.
struct AddGroup {
    __m256i zero, rgb, f;
    bool modulate;
    FW_AVX2_INLINE static AddGroup Make(bool modulate, uint32_t fr, uint32_t fg, uint32_t fb)
    {
        const auto r = int16_t(fr), g = int16_t(fg), b = int16_t(fb);
        return {_mm256_setzero_si256(), _mm256_set1_epi32(0x00FFFFFF),
                _mm256_setr_epi16(b, g, r, 0, b, g, r, 0, b, g, r, 0, b, g, r, 0), modulate};
    }
    FW_AVX2_INLINE __m256i operator()(__m256i sv, __m256i dv) const
    {
        sv = _mm256_and_si256(sv, rgb);
        const __m256i clear = _mm256_cmpeq_epi32(sv, zero);
        if (modulate) {
            const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), f), 8);
            const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), f), 8);
            sv = _mm256_packus_epi16(lo, hi);
        }
        const __m256i out = _mm256_adds_epu8(_mm256_and_si256(dv, rgb), sv);
        return _mm256_blendv_epi8(out, dv, clear);
    }
};

// Modulate: the SSE2 form's steps on eight pixels.
struct ModulateGroup {
    __m256i zero, alphaMask, k1, k256, f, colourAlpha, blueLane;
    bool opaqueForm, blueCarry;
    FW_AVX2_INLINE static ModulateGroup Make(uint32_t fr, uint32_t fg, uint32_t fb, uint32_t ca,
                                             bool blueCarry)
    {
        const auto r = int16_t(fr), g = int16_t(fg), b = int16_t(fb);
        return {_mm256_setzero_si256(),
                _mm256_set1_epi32(int32_t(0xFF000000u)),
                _mm256_set1_epi16(1),
                _mm256_set1_epi16(256),
                _mm256_setr_epi16(b, g, r, 0, b, g, r, 0, b, g, r, 0, b, g, r, 0),
                _mm256_set1_epi16(int16_t(ca)),
                _mm256_setr_epi16(1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0),
                ca >= 255,
                blueCarry};
    }
    FW_AVX2_INLINE __m256i operator()(__m256i sv, __m256i dv) const
    {
        const __m256i alpha = _mm256_and_si256(sv, alphaMask);
        const __m256i clear = _mm256_cmpeq_epi32(alpha, zero);
        const __m256i opaque = opaqueForm ? _mm256_cmpeq_epi32(alpha, alphaMask) : zero;
        const __m256i dKept = _mm256_andnot_si256(opaque, dv);
        __m256i out[2];
        for (int half = 0; half < 2; ++half) {
            const __m256i s16 = half ? _mm256_unpackhi_epi8(sv, zero) : _mm256_unpacklo_epi8(sv, zero);
            const __m256i d16 = half ? _mm256_unpackhi_epi8(dKept, zero) : _mm256_unpacklo_epi8(dKept, zero);
            const __m256i alphaLanes =
                _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
            const __m256i x = _mm256_mullo_epi16(alphaLanes, colourAlpha);
            const __m256i a = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, k1), _mm256_srli_epi16(x, 8)), 8);
            const __m256i dPart = _mm256_mullo_epi16(d16, _mm256_sub_epi16(k256, a));
            const __m256i sPart = _mm256_mullo_epi16(s16, f);
            __m256i sum = _mm256_add_epi16(dPart, sPart);
            if (blueCarry) {
                const __m256i wrapped =
                    _mm256_andnot_si256(_mm256_cmpeq_epi16(_mm256_adds_epu16(dPart, sPart), sum), blueLane);
                sum = _mm256_add_epi16(sum, _mm256_slli_epi64(wrapped, 32));
            }
            out[half] = _mm256_srli_epi16(sum, 8);
        }
        const __m256i blended = _mm256_andnot_si256(alphaMask, _mm256_packus_epi16(out[0], out[1]));
        return _mm256_blendv_epi8(blended, dv, clear);
    }
};

} // namespace

FW_TARGET_AVX2 void SurfaceOverSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    OverRowAvx2(d, s, n, OverGroup::Make());
}

FW_TARGET_AVX2 static void SurfaceOverRect32Avx2(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s,
                                                 ptrdiff_t sPitch, int32_t w, int32_t h)
{
    const OverGroup group = OverGroup::Make();
    for (int32_t j = 0; j < h; ++j)
        OverRowAvx2(reinterpret_cast<uint32_t*>(d + j * dPitch), reinterpret_cast<const uint32_t*>(s + j * sPitch), w,
                    group);
}

FW_TARGET_AVX2 void SurfaceAddSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, bool modulate,
                                         uint32_t fr, uint32_t fg, uint32_t fb)
{
    const AddGroup group = AddGroup::Make(modulate, fr, fg, fb);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        if (uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(sv, group.rgb), group.zero))) ==
            0xFFFFFFFFu)
            continue; // colour 0 throughout
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), group(sv, dv));
    }
    if (i < n)
        MaskedTail(d + i, s + i, n - i, group);
}

FW_TARGET_AVX2 void SurfaceModulateSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr,
                                              uint32_t fg, uint32_t fb, uint32_t ca, bool blueCarry)
{
    const ModulateGroup group = ModulateGroup::Make(fr, fg, fb, ca, blueCarry);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i clear = _mm256_cmpeq_epi32(_mm256_and_si256(sv, group.alphaMask), group.zero);
        if (uint32_t(_mm256_movemask_epi8(clear)) == 0xFFFFFFFFu)
            continue;
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), group(sv, dv));
    }
    if (i < n)
        MaskedTail(d + i, s + i, n - i, group);
}

#else

void SurfaceModulateSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                               uint32_t ca, bool blueCarry)
{
    SurfaceModulateSpan32Scalar(d, s, n, fr, fg, fb, ca, blueCarry);
}
void SurfaceOverSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n)
{
    SurfaceOverSpan32Scalar(d, s, n);
}
void SurfaceAddSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                          uint32_t fb)
{
    SurfaceAddSpan32Scalar(d, s, n, modulate, fr, fg, fb);
}

#endif

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

void FillOverSpan32Scalar(uint32_t* d, int32_t n, uint32_t s, uint32_t ia)
{
    // Red and blue in one product: each lane's product stays below 2^16.
    for (int32_t i = 0; i < n; ++i)
        d[i] =
            s + ((((d[i] & 0xFF00FFu) * ia) >> 8) & 0xFF00FFu) + ((((d[i] & 0xFF00u) * ia) >> 8) & 0xFF00u);
}

#if defined(__SSE2__)

void FillOverSpan32(uint32_t* d, int32_t n, uint32_t s, uint32_t ia)
{
    // Each channel times ia (at most 255 x 256) fits a 16-bit lane; the top byte's factor is 0.
    const __m128i zero = _mm_setzero_si128();
    const __m128i f =
        _mm_set_epi16(0, int16_t(ia), int16_t(ia), int16_t(ia), 0, int16_t(ia), int16_t(ia), int16_t(ia));
    const __m128i add = _mm_set1_epi32(int32_t(s));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i* p = reinterpret_cast<__m128i*>(d + i);
        const __m128i x = _mm_loadu_si128(p);
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), f), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), f), 8);
        _mm_storeu_si128(p, _mm_add_epi32(_mm_packus_epi16(lo, hi), add));
    }
    FillOverSpan32Scalar(d + i, n - i, s, ia);
}

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
void FillOverSpan32(uint32_t* d, int32_t n, uint32_t s, uint32_t ia)
{
    FillOverSpan32Scalar(d, n, s, ia);
}

#endif

void SurfaceOverRect32(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int32_t w, int32_t h)
{
    auto* dBytes = reinterpret_cast<uint8_t*>(d);
    const auto* sBytes = reinterpret_cast<const uint8_t*>(s);
#if defined(FW_HAS_AVX2_FORMS)
    if (Avx2FormsOn()) {
        SurfaceOverRect32Avx2(dBytes, dPitch, sBytes, sPitch, w, h);
        return;
    }
#endif
    for (int32_t j = 0; j < h; ++j)
        SurfaceOverSpan32(reinterpret_cast<uint32_t*>(dBytes + j * dPitch),
                          reinterpret_cast<const uint32_t*>(sBytes + j * sPitch), w);
}

} // namespace Fw::detail
