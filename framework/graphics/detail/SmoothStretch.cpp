// The smooth stretch's two-pass area-weighted filter (see SmoothStretch.h): the general filter, a
// two-tap path for enlargements and a path over taps grouped per pixel for other scales (SSE2, and
// AVX2 where the processor has it).
#include "framework/graphics/detail/SmoothStretch.h"

#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/SmoothStretchSpans.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "framework/graphics/detail/CpuFeatures.h"
#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>
#endif

namespace Fw::detail {

namespace {

// One contribution of a source pixel (or row) to an accumulation cell: cell += pixel * weight.
struct Tap {
    int32_t src;    // source index, absolute in the image, clamped into the source rectangle
    int32_t cell;   // 0 .. extent + 3; cell k + 1 is destination pixel k
    uint32_t weight; // out of 257
};

// Contributions along one axis, for source extent [start, start + extent) of the image
// (a double range inside [lo, hi)) onto dest cells for D destination pixels.
std::vector<Tap> AxisTaps(double start, double extent, int32_t D, int32_t lo, int32_t hi)
{
    std::vector<Tap> taps;
    const int32_t cells = D + 4;
    auto add = [&](int32_t src, int32_t cell, int32_t weight) {
        if (weight <= 0 || cell < 0 || cell >= cells)
            return;
        taps.push_back({std::clamp(src, lo, hi - 1), cell, uint32_t(weight)});
    };
    if (D <= extent) {
        // Shrinking or equal: source pixel k covers [k * scale + o, (k + 1) * scale + o).
        const double scale = D / extent;
        const int32_t firstPixel = int32_t(std::floor(start));
        const int32_t endPixel = int32_t(std::ceil(start + extent));
        const double o = (firstPixel - start) * scale + 1.0;
        for (int32_t k = 0; k < endPixel - firstPixel; ++k) {
            const double a = k * scale + o, b = (k + 1) * scale + o;
            const int32_t ca = int32_t(std::floor(a)), cb = int32_t(std::floor(b));
            if (ca == cb) {
                add(firstPixel + k, ca, int32_t(scale * 257));
            } else {
                add(firstPixel + k, ca, int32_t((cb - a) * 257));
                add(firstPixel + k, cb, int32_t((b - cb) * 257));
            }
        }
    } else {
        // Enlarging: cell j samples source position p = (j - 1) * step + start, linearly. The
        // step falls below 0 when less than one source pixel is left, and p below 0 for a source
        // rectangle left of the image: the fraction is taken from the pixel below p, so the two
        // weights stay within 0..257 whatever p is.
        const double step = D > 1 ? (extent - 1) / (D - 1) : extent;
        for (int32_t j = 1; j <= D; ++j) {
            const double p = (j - 1) * step + start;
            const int32_t i = int32_t(std::floor(p));
            const int32_t wl = int32_t((1.0 - (p - i)) * 257);
            add(i, j, wl);
            add(i + 1, j, 257 - wl);
        }
    }
    return taps;
}

// First-pass sums of one cell: at most 255 x 257 each (the weights of one cell add up to at
// most 257 along an axis), so 32 bits hold them, and the second pass's sums too.
struct Sum32 {
    uint32_t b = 0, g = 0, r = 0, a = 0;
};

// out[i] = (first ? 0 : out[i]) + in[i] * w for n cells; each sum of in is at most 255 x 257
// (16 bits) and w at most 257, so each product fits 32 bits.
void AccumulateRow(Sum32* out, const Sum32* in, int32_t n, uint32_t w, bool first)
{
#if defined(__SSE2__)
    // 16-bit halves of each product: the high halves of the 32-bit lanes of in and w are 0.
    const __m128i wv = _mm_set1_epi32(int32_t(w));
    for (int32_t i = 0; i < n; ++i) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i prod =
            _mm_add_epi32(_mm_mullo_epi16(x, wv), _mm_slli_epi32(_mm_mulhi_epu16(x, wv), 16));
        __m128i* o = reinterpret_cast<__m128i*>(out + i);
        _mm_storeu_si128(o, first ? prod : _mm_add_epi32(_mm_loadu_si128(o), prod));
    }
#else
    for (int32_t i = 0; i < n; ++i) {
        const Sum32 base = first ? Sum32{} : out[i];
        out[i] = {base.b + in[i].b * w, base.g + in[i].g * w, base.r + in[i].r * w, base.a + in[i].a * w};
    }
#endif
}


// An enlarging axis gives every destination pixel two taps whose weights add up to 257 (one of
// them may be 0): pixel k samples src0 with weight w0 and src1 with 257 - w0.
struct TapPair {
    int32_t src0, src1;
    uint32_t w0;
};

// The taps of AxisTaps as one pair per destination pixel; false when some pixel's weights do not
// add up to 257 (then the general filter serves the stretch).
bool PairTaps(const std::vector<Tap>& taps, int32_t D, std::vector<TapPair>& pairs)
{
    pairs.assign(size_t(D), TapPair{0, 0, 0});
    std::vector<uint32_t> seen(size_t(D), 0), total(size_t(D), 0);
    for (const Tap& t : taps) {
        if (t.cell < 1 || t.cell > D)
            return false;
        TapPair& p = pairs[size_t(t.cell - 1)];
        uint32_t& n = seen[size_t(t.cell - 1)];
        if (n == 0) {
            p = {t.src, t.src, t.weight};
        } else if (n == 1) {
            p.src1 = t.src;
        } else {
            return false;
        }
        ++n;
        total[size_t(t.cell - 1)] += t.weight;
    }
    for (int32_t k = 0; k < D; ++k)
        if (total[size_t(k)] != 257)
            return false;
    return true;
}

#if !defined(__SSE2__)
// avg for one destination pixel from its two first-pass sums h0, h1 (each channel at most
// 255 x 257) and the row weights v0 + v1 = 257: the weighted sum over the cell's total 257 x 257.
inline uint32_t PairAverage(const uint16_t* h0, const uint16_t* h1, uint32_t v0, uint32_t v1)
{
    static const ExactDivisor kDivide(257 * 257);
    const uint32_t a = kDivide(h0[3] * v0 + h1[3] * v1);
    if (a == 0)
        return 0;
    uint32_t out = a << 24;
    for (int c = 0; c < 3; ++c)
        out |= kDivide(h0[c] * v0 + h1[c] * v1) << (8 * c);
    return out;
}
#endif

#if defined(__SSE2__)
// avg for count pixels (a multiple of 4) from two first-pass rows (sums less 32768) and the row
// weights v0 + v1 = 257: the sums times the weights by one signed multiply-add per channel pair,
// the bias added back, and floor(s / 66049) as (s * m) >> 42 with m = ceil(2^42 / 66049), exactly
// as ExactDivisor. Four cells whose taps are all clear give 0 without the arithmetic.
void PairRowsSse2(const uint16_t* h0, const uint16_t* h1, uint32_t v0, uint32_t v1, uint32_t* avg, int32_t count)
{
    const __m128i weights = _mm_set1_epi32(int32_t(v0 | v1 << 16));
    const __m128i bias = _mm_set1_epi32(32768 * 257);
    const __m128i m = _mm_set1_epi32(int32_t(((uint64_t(1) << 42) + 66048) / 66049));
    const __m128i lowDwords = _mm_set_epi32(0, -1, 0, -1);
    const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i clearAlpha = _mm_set1_epi16(int16_t(0x8000));
    auto divide = [&](__m128i s) {
        const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, m), 42);
        const __m128i odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(s, 32), m), 10);
        return _mm_or_si128(even, _mm_andnot_si128(lowDwords, odd));
    };
    for (int32_t i = 0; i < count; i += 4) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h0 + size_t(i) * 4));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h0 + size_t(i) * 4 + 8));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h1 + size_t(i) * 4));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h1 + size_t(i) * 4 + 8));
        const __m128i clear =
            _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi16(a0, clearAlpha), _mm_cmpeq_epi16(b0, clearAlpha)),
                          _mm_and_si128(_mm_cmpeq_epi16(a1, clearAlpha), _mm_cmpeq_epi16(b1, clearAlpha)));
        if ((_mm_movemask_epi8(clear) & 0xC0C0) == 0xC0C0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(avg + i), _mm_setzero_si128());
            continue;
        }
        const __m128i q0 = divide(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(a0, a1), weights), bias));
        const __m128i q1 = divide(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(a0, a1), weights), bias));
        const __m128i q2 = divide(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(b0, b1), weights), bias));
        const __m128i q3 = divide(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(b0, b1), weights), bias));
        const __m128i px = _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
        // A cell whose alpha averages to 0 gives 0.
        const __m128i none = _mm_cmpeq_epi32(_mm_and_si128(px, alphaMask), _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(avg + i), _mm_andnot_si128(none, px));
    }
}
#endif

#if defined(FW_HAS_AVX2_FORMS)
FW_TARGET_AVX2 inline __m256i Divide66049(__m256i s)
{
    const __m256i m = _mm256_set1_epi32(int32_t(((uint64_t(1) << 42) + 66048) / 66049));
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(s, m), 42);
    const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(s, 32), m), 10);
    return _mm256_or_si256(even, _mm256_andnot_si256(_mm256_set1_epi64x(0xFFFFFFFF), odd));
}

// PairRowsSse2 eight pixels at a time; returns how many pixels it did (count rounded down to 8).
FW_TARGET_AVX2 int32_t PairRowsAvx2(const uint16_t* h0, const uint16_t* h1, uint32_t v0, uint32_t v1, uint32_t* avg,
                             int32_t count)
{
    const __m256i weights = _mm256_set1_epi32(int32_t(v0 | v1 << 16));
    const __m256i bias = _mm256_set1_epi32(32768 * 257);
    const __m256i alphaMask = _mm256_set1_epi32(int32_t(0xFF000000u));
    const __m256i clearAlpha = _mm256_set1_epi16(int16_t(0x8000));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        // Each row: pixels i, i + 1 | i + 2, i + 3 and i + 4, i + 5 | i + 6, i + 7 (128-bit halves).
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h0 + size_t(i) * 4));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h0 + size_t(i) * 4 + 16));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h1 + size_t(i) * 4));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h1 + size_t(i) * 4 + 16));
        const __m256i clear = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpeq_epi16(a0, clearAlpha), _mm256_cmpeq_epi16(b0, clearAlpha)),
            _mm256_and_si256(_mm256_cmpeq_epi16(a1, clearAlpha), _mm256_cmpeq_epi16(b1, clearAlpha)));
        if ((uint32_t(_mm256_movemask_epi8(clear)) & 0xC0C0C0C0u) == 0xC0C0C0C0u) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(avg + i), _mm256_setzero_si256());
            continue;
        }
        // q0: pixels i | i + 2, q1: i + 1 | i + 3, q2: i + 4 | i + 6, q3: i + 5 | i + 7.
        const __m256i q0 =
            Divide66049(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(a0, a1), weights), bias));
        const __m256i q1 =
            Divide66049(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(a0, a1), weights), bias));
        const __m256i q2 =
            Divide66049(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(b0, b1), weights), bias));
        const __m256i q3 =
            Divide66049(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(b0, b1), weights), bias));
        // Packed per half: i, i + 1, i + 4, i + 5 | i + 2, i + 3, i + 6, i + 7; put back in order.
        const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(q0, q1), _mm256_packs_epi32(q2, q3));
        const __m256i px = _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0));
        const __m256i none = _mm256_cmpeq_epi32(_mm256_and_si256(px, alphaMask), _mm256_setzero_si256());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(avg + i), _mm256_andnot_si256(none, px));
    }
    return i;
}
#endif

#if defined(FW_HAS_AVX2_FORMS)
// A first-pass row four columns at a time from a copy of the source row that has one more pixel
// at its end: column k sums the pixels at rel[k] and rel[k] + 1 times its two weights (16-bit
// pairs in lanes of 32 bits), for group g of columns 4g .. 4g + 3 in weights[16g ..]: columns 4g
// and 4g + 2 in the halves of the first 8 lanes, 4g + 1 and 4g + 3 in the next 8.
FW_TARGET_AVX2 void FirstPassAvx2(const uint32_t* row, const int32_t* rel, const uint32_t* weights, uint16_t* out,
                           int32_t count)
{
    // Each pixel pair's bytes interleaved (b0, b1, g0, g1, ...) for one multiply-add per channel.
    const __m256i interleave = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2,
                                                6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i zero = _mm256_setzero_si256(), bias = _mm256_set1_epi32(32768);
    for (int32_t i = 0; i < count; i += 4) {
        auto pair = [row, rel, i](int32_t k) {
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + rel[i + k]));
        };
        const __m128i c01 = _mm_unpacklo_epi64(pair(0), pair(1));
        const __m128i c23 = _mm_unpacklo_epi64(pair(2), pair(3));
        const __m256i v = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(c01), c23, 1), interleave);
        const __m256i w02 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + size_t(i) * 4));
        const __m256i w13 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + size_t(i) * 4 + 8));
        // Sums of at most 255 x 257 = 65535, less 32768: exact after the signed pack.
        const __m256i s02 = _mm256_sub_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi8(v, zero), w02), bias);
        const __m256i s13 = _mm256_sub_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi8(v, zero), w13), bias);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + size_t(i) * 4), _mm256_packs_epi32(s02, s13));
    }
}
#endif

// Both axes enlarging: two taps per axis, every cell's total 257 x 257. The first pass keeps each
// channel's sum p0 * w0 + p1 * (257 - w0) (at most 65535) in 16 bits per source row; the second
// combines two such rows. The sums and quotients are those of the general filter.
void EnlargeRows(const uint32_t* sbits, int32_t srcWidth, const Rect& s, const std::vector<TapPair>& xs,
                 const std::vector<TapPair>& ys, int32_t width, const SmoothRowSink& sink)
{
    // Columns padded to a multiple of 8 (the padding repeats the last column).
    const int32_t padded = (width + 7) & ~7;
    std::vector<int32_t> x0(static_cast<size_t>(padded)), x1(static_cast<size_t>(padded));
    std::vector<uint16_t> w0(size_t(padded) * 4);
    for (int32_t i = 0; i < padded; ++i) {
        const TapPair& p = xs[size_t(std::min(i, width - 1))];
        x0[size_t(i)] = p.src0;
        x1[size_t(i)] = p.src1;
        for (int c = 0; c < 4; ++c)
            w0[size_t(i) * 4 + size_t(c)] = uint16_t(p.w0);
    }
#if defined(FW_HAS_AVX2_FORMS)
    // The AVX2 first pass reads each column's taps as neighbours in a copy of the source row: a
    // column with one pixel twice reads it and the next one, with weights 257 and 0.
    bool wideFirst = Avx2FormsOn();
    std::vector<int32_t> rel(static_cast<size_t>(padded));
    std::vector<uint32_t> pairWeights(size_t(padded) * 4), rowCopy(size_t(s.width) + 1);
    for (int32_t i = 0; i < padded && wideFirst; ++i) {
        const TapPair& p = xs[size_t(std::min(i, width - 1))];
        const uint32_t w = p.src1 == p.src0 ? 257 : p.w0;
        wideFirst = p.src1 == p.src0 || p.src1 == p.src0 + 1;
        rel[size_t(i)] = p.src0 - s.x;
        const size_t at = size_t(i / 4) * 16 + size_t(i % 2) * 8 + size_t(i % 4 / 2) * 4;
        for (size_t k = 0; k < 4; ++k)
            pairWeights[at + k] = w | (257 - w) << 16;
    }
#endif
    // First-pass rows: 4 sums per column (b, g, r, a), less 32768 so they read as signed 16 bits.
    struct RowCache {
        int32_t srcRow = -1;
        std::vector<uint16_t> sums;
    };
    RowCache cache[2];
    // The first-pass row of srcRow, made in a slot that does not hold keepRow when it is not cached.
    auto xPass = [&](int32_t srcRow, int32_t keepRow) -> const uint16_t* {
        for (RowCache& c : cache)
            if (c.srcRow == srcRow)
                return c.sums.data();
        // Rows go downwards: the slot of the upper row goes first.
        int slot = cache[0].srcRow <= cache[1].srcRow ? 0 : 1;
        if (cache[slot].srcRow == keepRow)
            slot ^= 1;
        RowCache& c = cache[slot];
        c.srcRow = srcRow;
        c.sums.resize(size_t(padded) * 4);
        const uint32_t* srow = sbits + size_t(srcRow) * size_t(srcWidth);
        uint16_t* out = c.sums.data();
#if defined(FW_HAS_AVX2_FORMS)
        if (wideFirst) {
            std::copy(srow + s.x, srow + s.x + s.width, rowCopy.begin());
            rowCopy[size_t(s.width)] = srow[s.x + s.width - 1];
            FirstPassAvx2(rowCopy.data(), rel.data(), pairWeights.data(), out, padded);
            return out;
        }
#endif
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128(), k257 = _mm_set1_epi16(257),
                      bias = _mm_set1_epi16(int16_t(0x8000));
        for (int32_t i = 0; i < padded; i += 2) {
            const __m128i p0 = _mm_unpacklo_epi8(
                _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(srow[x0[size_t(i)]])),
                                   _mm_cvtsi32_si128(int32_t(srow[x0[size_t(i + 1)]]))),
                zero);
            const __m128i p1 = _mm_unpacklo_epi8(
                _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(srow[x1[size_t(i)]])),
                                   _mm_cvtsi32_si128(int32_t(srow[x1[size_t(i + 1)]]))),
                zero);
            const __m128i wa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&w0[size_t(i) * 4]));
            // Each product and their sum stay within 16 bits (255 x 257 = 65535).
            const __m128i h = _mm_add_epi16(_mm_mullo_epi16(p0, wa), _mm_mullo_epi16(p1, _mm_sub_epi16(k257, wa)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size_t(i) * 4), _mm_xor_si128(h, bias));
        }
#else
        for (int32_t i = 0; i < padded; ++i) {
            const uint32_t a = srow[x0[size_t(i)]], b = srow[x1[size_t(i)]], w = w0[size_t(i) * 4];
            for (int c = 0; c < 4; ++c)
                out[size_t(i) * 4 + size_t(c)] =
                    uint16_t((((a >> (8 * c)) & 0xFF) * w + ((b >> (8 * c)) & 0xFF) * (257 - w)) ^ 0x8000);
        }
#endif
        return out;
    };

    std::vector<uint32_t> avg(static_cast<size_t>(padded));
    for (int32_t j = 0; j < int32_t(ys.size()); ++j) {
        const TapPair& y = ys[size_t(j)];
        const uint16_t* h0 = xPass(y.src0, y.src1);
        const uint16_t* h1 = xPass(y.src1, y.src0);
        const uint32_t v0 = y.w0, v1 = 257 - y.w0;
#if defined(__SSE2__)
        int32_t i = 0;
#if defined(FW_HAS_AVX2_FORMS)
        if (Avx2FormsOn())
            i = PairRowsAvx2(h0, h1, v0, v1, avg.data(), padded);
#endif
        PairRowsSse2(h0 + size_t(i) * 4, h1 + size_t(i) * 4, v0, v1, avg.data() + i, padded - i);
#else
        for (int32_t i = 0; i < width; ++i) {
            uint16_t a[4], b[4];
            for (int c = 0; c < 4; ++c) {
                a[c] = uint16_t(h0[size_t(i) * 4 + size_t(c)] ^ 0x8000);
                b[c] = uint16_t(h1[size_t(i) * 4 + size_t(c)] ^ 0x8000);
            }
            avg[size_t(i)] = PairAverage(a, b, v0, v1);
        }
#endif
        sink(j, avg.data());
    }
}

// Taps of one axis grouped by destination pixel, for the cell path: pixel k's taps are
// src/weight[k * K .. k * K + K) (weight 0 pads a pixel with fewer), total[k] their weights' sum.
struct CellTaps {
    int32_t K = 0;
    std::vector<int32_t> src;
    std::vector<uint16_t> weight;
    std::vector<uint32_t> total;
    std::vector<int32_t> count; // taps per pixel, first in its slots
    bool usable = false;        // every total at most 257 (so first-pass sums fit 16 bits)
};

void GroupTaps(const std::vector<Tap>& taps, int32_t D, CellTaps& out)
{
    out.total.assign(size_t(D), 0);
    std::vector<int32_t> count(static_cast<size_t>(D), 0), first(static_cast<size_t>(D), -1);
    int32_t fill = -1;
    for (const Tap& t : taps)
        if (t.cell >= 1 && t.cell <= D) {
            const size_t k = size_t(t.cell - 1);
            if (count[k]++ == 0)
                first[k] = t.src;
            out.total[k] += t.weight;
            if (fill < 0)
                fill = t.src;
        }
    out.K = std::max(1, *std::max_element(count.begin(), count.end()));
    out.usable =
        fill >= 0 && std::all_of(out.total.begin(), out.total.end(), [](uint32_t w) { return w <= 257; });
    out.src.assign(size_t(D) * size_t(out.K), 0);
    out.weight.assign(size_t(D) * size_t(out.K), 0);
    // A pixel with fewer taps repeats its first source with weight 0 (one with none, the first
    // source of the axis): the padding reads what the pixel reads anyway.
    for (int32_t k = 0; k < D; ++k)
        std::fill_n(out.src.begin() + ptrdiff_t(k) * out.K, out.K,
                    first[size_t(k)] >= 0 ? first[size_t(k)] : fill);
    out.count = count;
    std::fill(count.begin(), count.end(), 0);
    for (const Tap& t : taps)
        if (t.cell >= 1 && t.cell <= D) {
            const size_t at = size_t(t.cell - 1) * size_t(out.K) + size_t(count[size_t(t.cell - 1)]++);
            out.src[at] = t.src;
            out.weight[at] = uint16_t(t.weight);
        }
}

// The grouped taps of the last axis asked for with the same arguments (per thread): a run of
// equal stretches (sprites, glyphs) makes them once.
struct AxisMemo {
    bool valid = false;
    double start = 0, extent = 0;
    int32_t D = 0, lo = 0, hi = 0;
    uint32_t generation = 0; // changes whenever taps does
    CellTaps taps;
};

const CellTaps& MemoTaps(AxisMemo& memo, double start, double extent, int32_t D, int32_t lo, int32_t hi)
{
    // Compared bit for bit: the taps are a function of exactly these values.
    if (!(memo.valid && std::memcmp(&memo.start, &start, sizeof start) == 0 &&
          std::memcmp(&memo.extent, &extent, sizeof extent) == 0 && memo.D == D && memo.lo == lo &&
          memo.hi == hi)) {
        memo.valid = false;
        GroupTaps(AxisTaps(start, extent, D, lo, hi), D, memo.taps);
        memo.start = start;
        memo.extent = extent;
        memo.D = D;
        memo.lo = lo;
        memo.hi = hi;
        memo.valid = true;
        ++memo.generation;
    }
    return memo.taps;
}

#if defined(__SSE2__)
// Working memory of the cell path, kept per thread between stretches.
struct CellScratch {
    bool busy = false;
    AxisMemo xMemo, yMemo;
    uint32_t xLayoutOf = 0;        // the x memo's generation the layout below was made for
    std::vector<int32_t> xGroupK;  // per group of two pixels: the taps of the one with more
    std::vector<int32_t> xSrc;     // per group of two pixels and tap: the two source columns
    std::vector<uint16_t> xW;      // per group of two pixels and tap: each weight four times
    std::vector<double> xRecip;    // 1 / (2 * total along x), 0 where a pixel gets nothing
    std::vector<int32_t> xRel;     // AVX2 first pass: each pixel's first column in the row copy
    std::vector<uint16_t> xW16;    // and its weights, four lanes per tap
    bool xNeighbours = false;      // every pixel's taps are neighbours, at most 4 (the AVX2 first pass)
    int32_t xDirect = 0;           // pixels before this read the source row in place (inside s)
    int32_t xTailFrom = 0;         // the others read a copy of the row from this column
    std::vector<int32_t> xTailRel; // their first columns in that copy
    std::vector<uint32_t> rowCopy;
    std::vector<double> rowRecip; // xRecip over the row's total (AVX2 form)
    std::vector<uint16_t> rows;   // first-pass rows, slots apart
    std::vector<int32_t> slotRow;
    std::vector<uint32_t> avg;
    std::vector<const uint16_t*> h;
    std::vector<uint16_t> wy;
};

// First-pass row of srow into out: per pixel (padded to 4) and channel sum(p * w) less 32768
// as 16 bits. Each product and the sum stay within 255 x 257 = 65535: 16-bit arithmetic is exact.
void CellFirstPassSse2(const uint32_t* srow, const int32_t* src, const uint16_t* w, const int32_t* groupK,
                       int32_t groups, int32_t K, uint16_t* out)
{
    const __m128i zero = _mm_setzero_si128(), bias = _mm_set1_epi16(int16_t(0x8000));
    for (int32_t g = 0; g < groups; ++g) {
        __m128i acc = zero;
        for (int32_t k = 0; k < groupK[g]; ++k) {
            const int32_t* s2 = src + (size_t(g) * size_t(K) + size_t(k)) * 2;
            const __m128i p = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(srow[s2[0]])),
                                                                   _mm_cvtsi32_si128(int32_t(srow[s2[1]]))),
                                                zero);
            const __m128i wv = _mm_loadu_si128(
                reinterpret_cast<const __m128i*>(w + (size_t(g) * size_t(K) + size_t(k)) * 8));
            acc = _mm_add_epi16(acc, _mm_mullo_epi16(p, wv));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size_t(g) * 8), _mm_xor_si128(acc, bias));
    }
}

#if defined(FW_HAS_AVX2_FORMS)
// CellFirstPassSse2 for pixels whose taps are neighbours (tap k reads column rel + k, at most 4
// taps), two pixels a step, from a row whose four columns from each rel are readable: each
// pixel's four columns times its weights w16 (16 lanes: 4 per tap, 0 past its taps), the four
// products of each channel summed in 16 bits (exact: the sum is at most 65535).
FW_TARGET_AVX2 void CellFirstPassAvx2(const uint32_t* row, const int32_t* rel, const uint16_t* w16,
                                      int32_t padded, uint16_t* out)
{
    const __m128i bias = _mm_set1_epi16(int16_t(0x8000));
    for (int32_t i = 0; i < padded; i += 2) {
        const __m256i a =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + rel[i])));
        const __m256i b =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + rel[i + 1])));
        const __m256i pa =
            _mm256_mullo_epi16(a, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w16 + size_t(i) * 16)));
        const __m256i pb = _mm256_mullo_epi16(
            b, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w16 + size_t(i) * 16 + 16)));
        // Taps 0 + 2 and 1 + 3 of pixel i | of pixel i + 1, then the two halves of each.
        const __m256i s = _mm256_add_epi16(_mm256_permute2x128_si256(pa, pb, 0x20),
                                           _mm256_permute2x128_si256(pa, pb, 0x31));
        const __m256i t = _mm256_add_epi16(s, _mm256_shuffle_epi32(s, _MM_SHUFFLE(1, 0, 3, 2)));
        const __m128i sums = _mm256_castsi256_si128(_mm256_permute4x64_epi64(t, _MM_SHUFFLE(3, 1, 2, 0)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + size_t(i) * 4), _mm_xor_si128(sums, bias));
    }
}
#endif

// floor(c / t) for the four channel sums c of one pixel (each at most 255 t, t = the pixel's
// total weight, at most 257 x 257), from recip = 1 / (2 t) (rounded, as double): (2c + 1) / (2t)
// lies at least 1 / (2t) >= 2^-18 from every integer, and the double arithmetic errs by less than
// 2^-40, so its truncation is floor(c / t).
inline __m128i DivideCellSse2(__m128i c, double recip)
{
    const __m128i odd = _mm_add_epi32(_mm_add_epi32(c, c), _mm_set1_epi32(1));
    const __m128d r = _mm_set1_pd(recip);
    const __m128i lo = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(odd), r));
    const __m128i hi =
        _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(odd, _MM_SHUFFLE(1, 0, 3, 2))), r));
    return _mm_unpacklo_epi64(lo, hi);
}

// One destination row from first-pass rows h[k] with weights wy[k] (Ky of them, padded to an even
// count with weight 0): sums by signed multiply-add of row pairs, the bias added back, divided per
// pixel, packed and cleared where alpha is 0.
void CellSecondPassSse2(const uint16_t* const* h, const uint16_t* wy, int32_t Ky, uint32_t wyTotal,
                        const double* xRecip, double yRecip, uint32_t* avg, int32_t padded)
{
    const __m128i bias = _mm_set1_epi32(int32_t(32768 * wyTotal));
    const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
    for (int32_t i = 0; i < padded; i += 4) {
        __m128i s0 = bias, s1 = bias, s2 = bias, s3 = bias;
        for (int32_t k = 0; k < Ky; k += 2) {
            const __m128i w = _mm_set1_epi32(int32_t(uint32_t(wy[k]) | uint32_t(wy[k + 1]) << 16));
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[k] + size_t(i) * 4));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[k + 1] + size_t(i) * 4));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[k] + size_t(i) * 4 + 8));
            const __m128i b1 =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(h[k + 1] + size_t(i) * 4 + 8));
            s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi16(a0, b0), w));
            s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi16(a0, b0), w));
            s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi16(a1, b1), w));
            s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi16(a1, b1), w));
        }
        const __m128i q0 = DivideCellSse2(s0, xRecip[i] * yRecip);
        const __m128i q1 = DivideCellSse2(s1, xRecip[i + 1] * yRecip);
        const __m128i q2 = DivideCellSse2(s2, xRecip[i + 2] * yRecip);
        const __m128i q3 = DivideCellSse2(s3, xRecip[i + 3] * yRecip);
        const __m128i px = _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
        const __m128i none = _mm_cmpeq_epi32(_mm_and_si128(px, alphaMask), _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(avg + i), _mm_andnot_si128(none, px));
    }
}

#if defined(FW_HAS_AVX2_FORMS)
// floor(c / t) for one pixel's 2c + 1 and *r = 1 / (2t) (see DivideCellSse2).
FW_TARGET_AVX2 inline __m128i DivideCellAvx2(__m128i odd, const double* r)
{
    return _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_cvtepi32_pd(odd), _mm256_broadcast_sd(r)));
}

// CellSecondPassSse2 four pixels a step, each pixel's division four doubles wide; recip holds
// room for padded doubles (the pixels' reciprocals for this row).
FW_TARGET_AVX2 void CellSecondPassAvx2(const uint16_t* const* h, const uint16_t* wy, int32_t Ky,
                                       uint32_t wyTotal, const double* xRecip, double yRecip, double* recip,
                                       uint32_t* avg, int32_t padded)
{
    const __m256d yr = _mm256_set1_pd(yRecip);
    for (int32_t i = 0; i < padded; i += 4)
        _mm256_storeu_pd(recip + i, _mm256_mul_pd(_mm256_loadu_pd(xRecip + i), yr));
    const __m256i bias = _mm256_set1_epi32(int32_t(32768 * wyTotal)), one = _mm256_set1_epi32(1);
    const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
    for (int32_t i = 0; i < padded; i += 4) {
        // s02: pixels i | i + 2, s13: i + 1 | i + 3 (128-bit halves).
        __m256i s02 = bias, s13 = bias;
        for (int32_t k = 0; k < Ky; k += 2) {
            const __m256i w = _mm256_set1_epi32(int32_t(uint32_t(wy[k]) | uint32_t(wy[k + 1]) << 16));
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h[k] + size_t(i) * 4));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h[k + 1] + size_t(i) * 4));
            s02 = _mm256_add_epi32(s02, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), w));
            s13 = _mm256_add_epi32(s13, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), w));
        }
        // 2c + 1 for the division (see DivideCellSse2).
        s02 = _mm256_add_epi32(_mm256_add_epi32(s02, s02), one);
        s13 = _mm256_add_epi32(_mm256_add_epi32(s13, s13), one);
        const __m128i q0 = DivideCellAvx2(_mm256_castsi256_si128(s02), recip + i);
        const __m128i q1 = DivideCellAvx2(_mm256_castsi256_si128(s13), recip + i + 1);
        const __m128i q2 = DivideCellAvx2(_mm256_extracti128_si256(s02, 1), recip + i + 2);
        const __m128i q3 = DivideCellAvx2(_mm256_extracti128_si256(s13, 1), recip + i + 3);
        const __m128i px = _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
        const __m128i none = _mm_cmpeq_epi32(_mm_and_si128(px, alphaMask), _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(avg + i), _mm_andnot_si128(none, px));
    }
}
#endif

// The general filter's rows through grouped taps, for any scale whose pixels each get at most 257
// along both axes; false (nothing delivered) otherwise.
bool CellRows(CellScratch& sc, const uint32_t* sbits, int32_t srcWidth, const Rect& s, const Rect& r,
              const DRect& sd, const SmoothRowSink& sink)
{
    const CellTaps& xs = MemoTaps(sc.xMemo, sd.x, sd.width, r.width, s.x, s.x + s.width);
    const CellTaps& ys = MemoTaps(sc.yMemo, sd.y, sd.height, r.height, s.y, s.y + s.height);
    if (!xs.usable || !ys.usable)
        return false;
    const int32_t D = r.width, K = xs.K, padded = (D + 3) & ~3, groups = padded / 2;
    if (sc.xLayoutOf != sc.xMemo.generation || sc.xSrc.size() != size_t(groups) * size_t(K) * 2) {
        // Pixels past D repeat the last one's first tap with weight 0.
        sc.xLayoutOf = sc.xMemo.generation;
        sc.xGroupK.assign(size_t(groups), 0);
        sc.xSrc.resize(size_t(groups) * size_t(K) * 2);
        sc.xW.resize(size_t(groups) * size_t(K) * 8);
        sc.xRecip.resize(size_t(padded));
        for (int32_t i = 0; i < padded; ++i) {
            const int32_t p = std::min(i, D - 1);
            if (i < D)
                sc.xGroupK[size_t(i / 2)] = std::max(sc.xGroupK[size_t(i / 2)], xs.count[size_t(i)]);
            for (int32_t k = 0; k < K; ++k) {
                const size_t at = size_t(p) * size_t(K) + size_t(k);
                const size_t g = (size_t(i / 2) * size_t(K) + size_t(k));
                sc.xSrc[g * 2 + size_t(i % 2)] = xs.src[at];
                const uint16_t w = i < D ? xs.weight[at] : 0;
                for (size_t c = 0; c < 4; ++c)
                    sc.xW[g * 8 + size_t(i % 2) * 4 + c] = w;
            }
            const uint32_t t = i < D ? xs.total[size_t(i)] : 0;
            sc.xRecip[size_t(i)] = t ? 1.0 / (2.0 * t) : 0.0;
        }
        // Narrow rows (glyphs) go faster through the SSE2 pass, which needs no copy for the end.
        sc.xNeighbours = K <= 4 && D >= 32;
        sc.xRel.resize(size_t(padded));
        sc.xW16.assign(size_t(padded) * 16, 0);
        for (int32_t i = 0; i < padded && sc.xNeighbours; ++i) {
            const int32_t p = std::min(i, D - 1);
            const int32_t* src = xs.src.data() + size_t(p) * size_t(K);
            sc.xRel[size_t(i)] = src[0] - s.x;
            for (int32_t k = 0; k < xs.count[size_t(p)] && i < D; ++k) {
                sc.xNeighbours = sc.xNeighbours && src[k] == src[0] + k;
                for (size_t c = 0; c < 4; ++c)
                    sc.xW16[size_t(i) * 16 + size_t(k) * 4 + c] =
                        xs.weight[size_t(p) * size_t(K) + size_t(k)];
            }
        }
        // Pixels (in pairs) whose four columns lie inside s read the row in place; the rest a copy
        // of its end with 3 more (zero) pixels.
        sc.xDirect = 0;
        while (sc.xDirect < padded && sc.xRel[size_t(sc.xDirect)] + 4 <= s.width &&
               sc.xRel[size_t(sc.xDirect) + 1] + 4 <= s.width)
            sc.xDirect += 2;
        sc.xTailFrom = s.width;
        for (int32_t i = sc.xDirect; i < padded; ++i)
            sc.xTailFrom = std::min(sc.xTailFrom, sc.xRel[size_t(i)]);
        sc.xTailRel.resize(size_t(padded - sc.xDirect));
        for (int32_t i = sc.xDirect; i < padded; ++i)
            sc.xTailRel[size_t(i - sc.xDirect)] = sc.xRel[size_t(i)] - sc.xTailFrom;
    }
    // Slots for first-pass rows: a destination row needs at most Ky of them at once.
    const int32_t Ky = ys.K, slots = Ky + 1, slotSize = padded * 4;
    sc.rows.resize(size_t(slots) * size_t(slotSize));
    sc.slotRow.assign(size_t(slots), -1);
    sc.avg.resize(size_t(padded));
    sc.rowRecip.resize(size_t(padded));
    const bool wide = Avx2FormsOn();
    if (wide && sc.xNeighbours)
        sc.rowCopy.assign(size_t(s.width - sc.xTailFrom) + 4, 0);
    sc.h.resize(size_t(Ky) + 1);
    sc.wy.resize(size_t(Ky) + 1);
    const uint16_t** hp = sc.h.data();
    uint16_t* wy = sc.wy.data();
    for (int32_t j = 0; j < r.height; ++j) {
        const uint32_t rowWeight = ys.total[size_t(j)];
        if (rowWeight == 0)
            continue; // no taps: the row is not delivered
        const int32_t* rowsOf = ys.src.data() + size_t(j) * size_t(Ky);
        const int32_t taps = ys.count[size_t(j)];
        for (int32_t k = 0; k < taps; ++k) {
            const int32_t want = rowsOf[k];
            int32_t slot = -1;
            for (int32_t n = 0; n < slots && slot < 0; ++n)
                if (sc.slotRow[size_t(n)] == want)
                    slot = n;
            if (slot < 0) {
                // The slot with the lowest row (or none) this destination row does not need.
                for (int32_t n = 0; n < slots; ++n) {
                    const int32_t held = sc.slotRow[size_t(n)];
                    if (std::find(rowsOf, rowsOf + taps, held) != rowsOf + taps)
                        continue;
                    if (slot < 0 || held < sc.slotRow[size_t(slot)])
                        slot = n;
                }
                sc.slotRow[size_t(slot)] = want;
                const uint32_t* srow = sbits + size_t(want) * size_t(srcWidth);
                uint16_t* out = sc.rows.data() + size_t(slot) * size_t(slotSize);
                bool done = false;
#if defined(FW_HAS_AVX2_FORMS)
                if (wide && sc.xNeighbours) {
                    CellFirstPassAvx2(srow + s.x, sc.xRel.data(), sc.xW16.data(), sc.xDirect, out);
                    if (sc.xDirect < padded) {
                        std::copy(srow + s.x + sc.xTailFrom, srow + s.x + s.width, sc.rowCopy.begin());
                        CellFirstPassAvx2(sc.rowCopy.data(), sc.xTailRel.data(),
                                          sc.xW16.data() + size_t(sc.xDirect) * 16, padded - sc.xDirect,
                                          out + size_t(sc.xDirect) * 4);
                    }
                    done = true;
                }
#endif
                if (!done)
                    CellFirstPassSse2(srow, sc.xSrc.data(), sc.xW.data(), sc.xGroupK.data(), groups, K, out);
            }
            hp[k] = sc.rows.data() + size_t(slot) * size_t(slotSize);
            wy[k] = ys.weight[size_t(j) * size_t(Ky) + size_t(k)];
        }
        int32_t pairs = taps;
        if (pairs % 2) {
            hp[pairs] = hp[0];
            wy[pairs] = 0;
            ++pairs;
        }
#if defined(FW_HAS_AVX2_FORMS)
        if (wide) {
            CellSecondPassAvx2(hp, wy, pairs, rowWeight, sc.xRecip.data(), 1.0 / rowWeight,
                               sc.rowRecip.data(), sc.avg.data(), padded);
            sink(j, sc.avg.data());
            continue;
        }
#endif
        CellSecondPassSse2(hp, wy, pairs, rowWeight, sc.xRecip.data(), 1.0 / rowWeight, sc.avg.data(),
                           padded);
        sink(j, sc.avg.data());
    }
    return true;
}
#endif

} // namespace

void SmoothStretchRowsGeneral(const uint32_t* sbits, int32_t srcWidth, const Rect& s, const Rect& r, const DRect& sd,
                              const SmoothRowSink& sink)
{
    const std::vector<Tap> xTaps = AxisTaps(sd.x, sd.width, r.width, s.x, s.x + s.width);
    const std::vector<Tap> yTaps = AxisTaps(sd.y, sd.height, r.height, s.y, s.y + s.height);
    const int32_t cellsX = r.width + 4, cellsY = r.height + 4;

    // Taps of each destination row, so rows are finished one at a time.
    std::vector<std::vector<Tap>> rowTaps(static_cast<size_t>(cellsY));
    for (const Tap& t : yTaps)
        rowTaps[size_t(t.cell)].push_back(t);

    // Total weight per cell along x; a cell's weight is that times its row's total along y.
    std::vector<uint64_t> cellWeightX(static_cast<size_t>(cellsX), 0);
    for (const Tap& t : xTaps)
        cellWeightX[size_t(t.cell)] += t.weight;

    // First pass (along x) of one source row, cached: neighbouring cells share source rows.
    struct RowCache {
        int32_t srcRow = -1;
        std::vector<Sum32> cells;
    };
    RowCache cache[2];
    int32_t nextSlot = 0;
    auto xPass = [&](int32_t srcRow) -> const std::vector<Sum32>& {
        for (RowCache& c : cache)
            if (c.srcRow == srcRow)
                return c.cells;
        RowCache& c = cache[nextSlot];
        nextSlot ^= 1;
        c.srcRow = srcRow;
        c.cells.assign(size_t(cellsX), Sum32{});
        const uint32_t* srow = sbits + size_t(srcRow) * size_t(srcWidth);
#if defined(__SSE2__)
        // Each channel times its weight fits 16 bits (255 x 257 = 65535): one 16-bit multiply
        // per tap, widened to the 32-bit sums (b, g, r, a in memory order).
        // A cell's taps follow each other: they are summed in a register and added to the cell
        // once (the cell's own sum is added too, whatever order the taps come in).
        const __m128i zero = _mm_setzero_si128();
        __m128i acc = zero;
        int32_t cur = xTaps.empty() ? 0 : xTaps.front().cell;
        for (const Tap& t : xTaps) {
            if (t.cell != cur) {
                __m128i* cell = reinterpret_cast<__m128i*>(&c.cells[size_t(cur)]);
                _mm_storeu_si128(cell, _mm_add_epi32(_mm_loadu_si128(cell), acc));
                acc = zero;
                cur = t.cell;
            }
            const __m128i p16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(srow[t.src])), zero);
            const __m128i prod = _mm_mullo_epi16(p16, _mm_set1_epi16(int16_t(t.weight)));
            acc = _mm_add_epi32(acc, _mm_unpacklo_epi16(prod, zero));
        }
        if (!xTaps.empty()) {
            __m128i* cell = reinterpret_cast<__m128i*>(&c.cells[size_t(cur)]);
            _mm_storeu_si128(cell, _mm_add_epi32(_mm_loadu_si128(cell), acc));
        }
#else
        for (const Tap& t : xTaps) {
            const uint32_t p = srow[t.src];
            Sum32& a = c.cells[size_t(t.cell)];
            a.b += (p & 0xFF) * t.weight;
            a.g += ((p >> 8) & 0xFF) * t.weight;
            a.r += ((p >> 16) & 0xFF) * t.weight;
            a.a += (p >> 24) * t.weight;
        }
#endif
        return c.cells;
    };

    // Second pass (along y): the weights of one cell add up to at most 257 along y as along x, so
    // each sum stays below 255 x 257 x 257 < 2^24 and 32 bits hold it.
    std::vector<Sum32> row(static_cast<size_t>(cellsX));
    // Exact dividers of the cells' total weights, remade when a row's total along y changes.
    std::vector<ExactDivisor> divide(static_cast<size_t>(cellsX));
    std::vector<uint32_t> avg(static_cast<size_t>(r.width));
    uint64_t divideFor = 0;
    for (int32_t j = 0; j < r.height; ++j) {
        const std::vector<Tap>& taps = rowTaps[size_t(j + 1)];
        if (taps.empty())
            continue;
        uint64_t rowWeight = 0;
        bool first = true;
        for (const Tap& t : taps) {
            rowWeight += t.weight;
            const std::vector<Sum32>& xr = xPass(t.src);
            AccumulateRow(row.data() + 1, xr.data() + 1, r.width, t.weight, first);
            first = false;
        }
        if (rowWeight != divideFor) {
            divideFor = rowWeight;
            for (int32_t i = 1; i <= r.width; ++i) {
                const uint64_t total = cellWeightX[size_t(i)] * rowWeight;
                divide[size_t(i)] = total > 0 && total <= ExactDivisor::kMax ? ExactDivisor(uint32_t(total))
                                                                               : ExactDivisor();
            }
        }
        for (int32_t i = 0; i < r.width; ++i) {
            // The cell's weighted average: truncated weights (edge cells, strong shrinks) do not
            // fade the picture.
            const Sum32& c = row[size_t(i + 1)];
            const uint64_t total = cellWeightX[size_t(i + 1)] * rowWeight;
            avg[size_t(i)] = 0;
            if (total == 0)
                continue;
            uint32_t a, cr, cg, cb;
            if (total <= ExactDivisor::kMax) {
                const ExactDivisor& div = divide[size_t(i + 1)];
                a = div(c.a);
                if (a == 0)
                    continue;
                cr = div(c.r);
                cg = div(c.g);
                cb = div(c.b);
            } else {
                a = uint32_t(c.a / total);
                if (a == 0)
                    continue;
                cr = uint32_t(c.r / total);
                cg = uint32_t(c.g / total);
                cb = uint32_t(c.b / total);
            }
            avg[size_t(i)] = a << 24 | cr << 16 | cg << 8 | cb;
        }
        sink(j, avg.data());
    }
}

void SmoothStretchRows(const uint32_t* sbits, int32_t srcWidth, const Rect& s, const Rect& r, const DRect& sd,
                       const SmoothRowSink& sink)
{
    if (r.width > sd.width && r.height > sd.height && r.width > 0 && r.height > 0) {
        std::vector<TapPair> xs, ys;
        if (PairTaps(AxisTaps(sd.x, sd.width, r.width, s.x, s.x + s.width), r.width, xs) &&
            PairTaps(AxisTaps(sd.y, sd.height, r.height, s.y, s.y + s.height), r.height, ys)) {
            EnlargeRows(sbits, srcWidth, s, xs, ys, r.width, sink);
            return;
        }
    }
#if defined(__SSE2__)
    if (r.width > 0 && r.height > 0) {
        // Per thread; a sink that stretches again on this thread gets its own.
        thread_local CellScratch scratch;
        if (!scratch.busy) {
            struct Busy {
                bool& flag;
                explicit Busy(bool& f) : flag(f) { flag = true; }
                ~Busy() { flag = false; }
            } busy(scratch.busy);
            if (CellRows(scratch, sbits, srcWidth, s, r, sd, sink))
                return;
        } else {
            CellScratch own;
            if (CellRows(own, sbits, srcWidth, s, r, sd, sink))
                return;
        }
    }
#endif
    SmoothStretchRowsGeneral(sbits, srcWidth, s, r, sd, sink);
}

} // namespace Fw::detail
