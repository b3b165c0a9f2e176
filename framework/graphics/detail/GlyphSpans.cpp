// Glyph span kernel and its entries. Every lane stays within 16 bits: d * mul is at most
// 255 * 256, and for native words (each colour byte at most the alpha a) d * (256 - a * ca / 255)
// + n * f is at most 255 * 257 (f = c * ca / 255 <= ca), so the lanes never carry into each other
// and give the per-channel results of the 32-bit rules.
#include "framework/graphics/detail/GlyphSpans.h"

#include "framework/graphics/detail/PixelMath.h"

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

void BuildMemoryGlyphPalette(MemoryGlyphPalette& out, const uint32_t* table, const Color& color, bool destOpaque)
{
    const uint64_t keep = Lanes(256, 256, 256, 256);
    const bool white = color == Color::White;
    out.byAlpha = !(white && destOpaque);
    const uint32_t ca = uint32_t(color.alpha);
    for (int e = 0; e < 256; ++e) {
        const uint32_t s = table[e], sa = s >> 24;
        GlyphEntry& onOpaque = out.onOpaque.entry[e];
        GlyphEntry& onClear = out.onClear.entry[e];
        if (!out.byAlpha) {
            // Opaque-destination rule: (d * (256 - a) >> 8) + (q * a >> 8); the second term is a
            // whole multiple of 256 in the lane, so one shift gives both truncations.
            const uint32_t b = s & 0xFF, g = (s >> 8) & 0xFF, r = (s >> 16) & 0xFF;
            if (sa == 0)
                onOpaque = {keep, 0};
            else if (sa == 255)
                onOpaque = {0, Lanes(b << 8, g << 8, r << 8, 255 << 8)};
            else
                onOpaque = {Lanes(256 - sa, 256 - sa, 256 - sa, 0),
                            Lanes((b * sa) >> 8 << 8, (g * sa) >> 8 << 8, (r * sa) >> 8 << 8, 255 << 8)};
            onClear = onOpaque;
            out.word[e] = 0;
            continue;
        }
        // Effective alpha and colour, as the blit's white, grey and colour rules take them.
        const uint32_t a = white ? sa : sa * ca / 255;
        const uint32_t q = white ? s & 0xFFFFFF
                                 : ModulateRGB(s, uint32_t(color.red), uint32_t(color.green), uint32_t(color.blue));
        out.word[e] = a ? (a << 24 | q) : 0;
        if (a == 0) {
            onOpaque = onClear = {keep, 0};
            continue;
        }
        const uint64_t b = q & 0xFF, g = (q >> 8) & 0xFF, r = (q >> 16) & 0xFF;
        // Alpha 255 underneath: newA = 255, w = a. Alpha 0: newA = a, w = 255.
        onOpaque = {Lanes(256 - a, 256 - a, 256 - a, 0), Lanes(b * a, g * a, r * a, 255 << 8)};
        onClear = {Lanes(1, 1, 1, 0), Lanes(b * 255, g * 255, r * 255, uint64_t(a) << 8)};
    }
    out.onOpaque.zeroClear = out.onOpaque.entry[0].mul == keep && out.onOpaque.entry[0].add == 0;
    out.onClear.zeroClear = out.onOpaque.zeroClear;
}

namespace {

inline uint32_t MemoryGlyphPixel(uint32_t d, uint8_t e, const MemoryGlyphPalette& palette)
{
    const uint32_t da = d >> 24;
    if (!palette.byAlpha || da == 255)
        return EntryPixel(d, palette.onOpaque.entry[e].mul, palette.onOpaque.entry[e].add);
    if (da == 0)
        return EntryPixel(d, palette.onClear.entry[e].mul, palette.onClear.entry[e].add);
    const uint32_t w = palette.word[e];
    return w ? Over(d, w & 0xFFFFFF, w >> 24) : d;
}

} // namespace

void MemoryGlyphRowsScalar(uint32_t* d, int32_t dstStride, const uint8_t* idx, int32_t idxStride, int32_t n,
                           int32_t rows, const MemoryGlyphPalette& palette)
{
    for (int32_t j = 0; j < rows; ++j) {
        uint32_t* row = d + std::ptrdiff_t(j) * dstStride;
        const uint8_t* ix = idx + std::ptrdiff_t(j) * idxStride;
        for (int32_t i = 0; i < n; ++i)
            row[i] = MemoryGlyphPixel(row[i], ix[i], palette);
    }
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

// The table serving destination words dv (their first lanes lanes: 4, 2 or 1) when their alphas
// agree (all 255 or all 0); null when they differ.
inline const GlyphEntry* TableFor(__m128i dv, int lanes, const MemoryGlyphPalette& palette)
{
    const int want = (1 << (4 * lanes)) - 1;
    const __m128i top = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i alpha = _mm_and_si128(dv, top);
    if ((_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, top)) & want) == want)
        return palette.onOpaque.entry;
    if ((_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) & want) == want)
        return palette.onClear.entry;
    return nullptr;
}

// The memory-image pass over one row: four, two or one pixels through one table when their
// alphas agree, pixel by pixel otherwise.
inline void MemorySpan(uint32_t* d, const uint8_t* idx, int32_t n, const MemoryGlyphPalette& palette)
{
    if (!palette.byAlpha) {
        Span(d, idx, n, palette.onOpaque);
        return;
    }
    const __m128i zero = _mm_setzero_si128();
    if (n >= 4) {
        // Most rows lie wholly on one kind of destination (an opaque picture, a cleared text
        // image): one look at all their alphas (the last four words read from the row's end) picks
        // one table for the row.
        __m128i all = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + n - 4)), any = all;
        for (int32_t i = 0; i + 4 < n; i += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            all = _mm_and_si128(all, v);
            any = _mm_or_si128(any, v);
        }
        const __m128i top = _mm_set1_epi32(int32_t(0xFF000000u));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(all, top), top)) == 0xFFFF) {
            Span(d, idx, n, palette.onOpaque);
            return;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, top), zero)) == 0xFFFF) {
            Span(d, idx, n, palette.onClear);
            return;
        }
    }
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint32_t four;
        std::memcpy(&four, idx + i, 4);
        if (four == 0 && palette.onOpaque.zeroClear)
            continue;
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const GlyphEntry* e = TableFor(dv, 4, palette);
        if (!e) {
            for (int32_t k = i; k < i + 4; ++k)
                d[k] = MemoryGlyphPixel(d[k], idx[k], palette);
            continue;
        }
        const __m128i lo = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i + 1]]);
        const __m128i hi = Apply2(_mm_unpackhi_epi8(dv, zero), e[idx[i + 2]], e[idx[i + 3]]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    if (i + 2 <= n) {
        const __m128i dv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + i));
        if (const GlyphEntry* e = TableFor(dv, 2, palette)) {
            const __m128i out = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i + 1]]);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(out, out));
        } else {
            d[i] = MemoryGlyphPixel(d[i], idx[i], palette);
            d[i + 1] = MemoryGlyphPixel(d[i + 1], idx[i + 1], palette);
        }
        i += 2;
    }
    if (i < n) {
        const __m128i dv = _mm_cvtsi32_si128(int32_t(d[i]));
        if (const GlyphEntry* e = TableFor(dv, 1, palette)) {
            const __m128i out = Apply2(_mm_unpacklo_epi8(dv, zero), e[idx[i]], e[idx[i]]);
            d[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out)));
        } else {
            d[i] = MemoryGlyphPixel(d[i], idx[i], palette);
        }
    }
}

} // namespace

void GlyphSpan32(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette)
{
    Span(d, idx, n, palette);
}

void MemoryGlyphRows(uint32_t* d, int32_t dstStride, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                     const MemoryGlyphPalette& palette)
{
    for (int32_t j = 0; j < rows; ++j)
        MemorySpan(d + std::ptrdiff_t(j) * dstStride, idx + std::ptrdiff_t(j) * idxStride, n, palette);
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

void MemoryGlyphRows(uint32_t* d, int32_t dstStride, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                     const MemoryGlyphPalette& palette)
{
    MemoryGlyphRowsScalar(d, dstStride, idx, idxStride, n, rows, palette);
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
