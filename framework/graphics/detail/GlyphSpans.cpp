// Glyph span kernel and its entries. Every lane stays within 16 bits: d * mul is at most
// 255 * 256, and for native words (each colour byte at most the alpha a) d * (256 - a * ca / 255)
// + n * f is at most 255 * 257 (f = c * ca / 255 <= ca), so the lanes never carry into each other
// and give the per-channel results of the 32-bit rules.
#include "framework/graphics/detail/GlyphSpans.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Fw::detail {

namespace {

uint64_t Lanes(uint64_t b, uint64_t g, uint64_t r, uint64_t top)
{
    return b | g << 16 | r << 32 | top << 48;
}

uint32_t EntryPixel(uint32_t d, uint64_t mul, uint64_t add)
{
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        const uint64_t m = (mul >> (16 * k)) & 0xFFFF, a = (add >> (16 * k)) & 0xFFFF;
        out |= uint32_t((((d >> (8 * k)) & 0xFF) * m + a) >> 8 & 0xFF) << (8 * k);
    }
    return out;
}

} // namespace

bool GlyphColorOk(const Color& c)
{
    auto byte = [](int32_t v) { return v >= 0 && v <= 255; };
    return byte(c.red) && byte(c.green) && byte(c.blue) && byte(c.alpha);
}

void BuildGlyphPalette(GlyphPalette& out, const uint32_t* native, const Color& color)
{
    const uint64_t keep = Lanes(256, 256, 256, 256);
    const bool white = color == Color::White;
    const uint32_t ca = uint32_t(color.alpha);
    const uint32_t f[3] = {uint32_t(color.blue) * ca / 255, uint32_t(color.green) * ca / 255,
                           uint32_t(color.red) * ca / 255};
    for (int e = 0; e < 256; ++e) {
        const uint32_t n = native[e], a = n >> 24;
        const uint32_t c[3] = {n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF};
        GlyphEntry& entry = out.entry[e];
        if (a == 0) {
            entry = {keep, 0};
        } else if (white) {
            // Plain rule: each channel d * (256 - a) >> 8, plus the word n (its alpha on top).
            const uint64_t ia = 256 - a;
            entry = {Lanes(ia, ia, ia, 0), Lanes(c[0] << 8, c[1] << 8, c[2] << 8, uint64_t(a) << 8)};
        } else {
            // Colour rules: (d * ia + n * f) >> 8 with ia = 256 - a * ca / 255, top byte 0; an
            // opaque pixel under full colour alpha drops the destination term.
            const uint64_t ia = a == 255 && ca >= 255 ? 0 : 256 - a * ca / 255;
            entry = {Lanes(ia, ia, ia, 0), Lanes(c[0] * f[0], c[1] * f[1], c[2] * f[2], 0)};
        }
    }
    out.zeroClear = out.entry[0].mul == keep && out.entry[0].add == 0;
}

void GlyphSpan32Scalar(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = EntryPixel(d[i], palette.entry[idx[i]].mul, palette.entry[idx[i]].add);
}

#if defined(__SSE2__)

namespace {

// Two pixels' lanes (eight 16-bit lanes) through entries a and b.
inline __m128i Apply2(__m128i d16, const GlyphEntry& a, const GlyphEntry& b)
{
    const __m128i ea = _mm_load_si128(reinterpret_cast<const __m128i*>(&a));
    const __m128i eb = _mm_load_si128(reinterpret_cast<const __m128i*>(&b));
    const __m128i mul = _mm_unpacklo_epi64(ea, eb), add = _mm_unpackhi_epi64(ea, eb);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, mul), add), 8);
}

inline void Span(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette)
{
    const __m128i zero = _mm_setzero_si128();
    const GlyphEntry* e = palette.entry;
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint32_t four;
        std::memcpy(&four, idx + i, 4);
        if (four == 0 && palette.zeroClear)
            continue;
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i + 1]]);
        const __m128i hi = Apply2(_mm_unpackhi_epi8(dv, zero), e[idx[i + 2]], e[idx[i + 3]]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    if (i + 2 <= n) {
        const __m128i dv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + i));
        const __m128i out = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i + 1]]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(out, out));
        i += 2;
    }
    if (i < n) {
        const __m128i dv = _mm_cvtsi32_si128(int32_t(d[i]));
        const __m128i out = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i]]);
        d[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out)));
    }
}

} // namespace

void GlyphSpan32(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette)
{
    Span(d, idx, n, palette);
}

void GlyphRows32(uint8_t* d, int32_t dstPitch, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                 const GlyphPalette& palette)
{
    for (int32_t j = 0; j < rows; ++j)
        Span(reinterpret_cast<uint32_t*>(d + std::ptrdiff_t(j) * dstPitch), idx + std::ptrdiff_t(j) * idxStride, n,
             palette);
}

#else

void GlyphSpan32(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette)
{
    GlyphSpan32Scalar(d, idx, n, palette);
}

void GlyphRows32(uint8_t* d, int32_t dstPitch, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                 const GlyphPalette& palette)
{
    for (int32_t j = 0; j < rows; ++j)
        GlyphSpan32Scalar(reinterpret_cast<uint32_t*>(d + std::ptrdiff_t(j) * dstPitch),
                          idx + std::ptrdiff_t(j) * idxStride, n, palette);
}

#endif

} // namespace Fw::detail
