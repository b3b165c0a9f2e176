// Memory-image rotated and sub-pixel blits: inverse mapping in 16.16 fixed point with an
// alpha-weighted bilinear filter (spans set up by RotatedSpans, so no tap leaves the source).
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/PixelMath.h"

#include <cstdint>

#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>
#endif

namespace Fw {

using namespace detail;

namespace {

// Filtered sample of the four taps: straight colour and total coverage.
struct Sample {
    uint32_t rgb;   // straight colour, alpha byte 0
    uint32_t alpha; // coverage, 0..255
};

// Filter fraction of one axis: the low 16 bits forced odd, (u & 0xFFFE) + 1, except that a
// sample on a whole pixel (fraction 1 after forcing) gives its neighbour weight 0 and keeps the
// pixel alone.
inline uint64_t Fraction(int32_t u)
{
    const uint32_t f = uint32_t(u) & 0xFFFE;
    return f ? f + 1 : 0;
}

// Taps p00 (at u >> 16, v >> 16), p10 right of it, p01 below, p11 below right. The four weight
// products add up to exactly 2^32. Each is multiplied by its tap's alpha and the sum is shifted
// once, so four opaque taps give coverage 255 and a whole-pixel sample gives its pixel's alpha.
inline bool Filter(const uint32_t* p00, int32_t stride, int32_t u, int32_t v, Sample& out)
{
    const uint64_t fx = Fraction(u), fy = Fraction(v);
    const uint64_t gx = 65536 - fx, gy = 65536 - fy;
    const uint32_t p[4] = {p00[0], p00[1], p00[stride], p00[stride + 1]};
    const uint64_t w[4] = {gx * gy, fx * gy, gx * fy, fx * fy};
    uint64_t a = 0, sr = 0, sg = 0, sb = 0;
    for (int k = 0; k < 4; ++k) {
        const uint64_t c = w[k] * (p[k] >> 24); // tap coverage, below 2^40
        a += c;
        sr += ((p[k] >> 16) & 0xFF) * c;
        sg += ((p[k] >> 8) & 0xFF) * c;
        sb += (p[k] & 0xFF) * c;
    }
    out.alpha = uint32_t(a >> 32);
    if (out.alpha == 0)
        return false;
    // Rounded, so a colour mixed of taps of one colour keeps that colour.
    const uint64_t half = a / 2;
    out.rgb = uint32_t((sr + half) / a) << 16 | uint32_t((sg + half) / a) << 8 | uint32_t((sb + half) / a);
    return true;
}

struct ScalarFilter {
    bool operator()(const uint32_t* p00, int32_t stride, int32_t u, int32_t v, Sample& out) const
    {
        return Filter(p00, stride, u, v, out);
    }
};

#if defined(FW_HAS_AVX2_FORMS)
// The same sample with the three channel quotients taken at once in double precision. Every sum
// is an integer below 2^51, so exact in a double; each quotient (s + half) / a lies below 256 and,
// when it is not a whole number, at least 1 / a > 2^-40 below the next one, while rounding the
// division moves it by at most 2^-46: truncating the rounded quotient gives the integer one.
FW_TARGET_AVX2 inline __m256d Lanes(uint32_t p)
{
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(int32_t(p))));
}

FW_TARGET_AVX2 inline __m256d Weight(uint64_t c)
{
    return _mm256_set1_pd(double(int64_t(c)));
}

FW_TARGET_AVX2 inline bool FilterAvx2(const uint32_t* p00, int32_t stride, int32_t u, int32_t v, Sample& out)
{
    const uint64_t fx = Fraction(u), fy = Fraction(v);
    const uint64_t gx = 65536 - fx, gy = 65536 - fy;
    const uint32_t p0 = p00[0], p1 = p00[1], p2 = p00[stride], p3 = p00[stride + 1];
    const uint64_t c0 = gx * gy * (p0 >> 24), c1 = fx * gy * (p1 >> 24), c2 = gx * fy * (p2 >> 24),
                   c3 = fx * fy * (p3 >> 24);
    const uint64_t a = c0 + c1 + c2 + c3;
    out.alpha = uint32_t(a >> 32);
    if (out.alpha == 0)
        return false;
    // Lanes blue, green, red (and alpha, whose quotient is not used).
    __m256d sum = _mm256_add_pd(_mm256_mul_pd(Lanes(p0), Weight(c0)), _mm256_mul_pd(Lanes(p1), Weight(c1)));
    sum = _mm256_add_pd(sum, _mm256_add_pd(_mm256_mul_pd(Lanes(p2), Weight(c2)), _mm256_mul_pd(Lanes(p3), Weight(c3))));
    sum = _mm256_add_pd(sum, Weight(a / 2));
    const __m128i q = _mm256_cvttpd_epi32(_mm256_div_pd(sum, Weight(a)));
    const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(q, q), q);
    out.rgb = uint32_t(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu;
    return true;
}

struct Avx2Filter {
    FW_TARGET_AVX2 bool operator()(const uint32_t* p00, int32_t stride, int32_t u, int32_t v, Sample& out) const
    {
        return FilterAvx2(p00, stride, u, v, out);
    }
};
#endif

// Pixel rules, chosen once per call.
struct RotOver {
    uint32_t operator()(uint32_t d, const Sample& s) const { return OverFast(d, s.rgb, s.alpha); }
};

struct RotOverColour {
    uint32_t r, g, b, alpha; // colour channels + 1, colour alpha
    uint32_t operator()(uint32_t d, const Sample& s) const
    {
        const uint32_t a = s.alpha * alpha / 255;
        return a ? OverFast(d, ModulateRGB(s.rgb, r, g, b), a) : d;
    }
};

struct RotAdd {
    uint32_t r, g, b, alpha; // colour channels + 1 (256 = unmodulated), colour alpha
    uint32_t operator()(uint32_t d, const Sample& s) const
    {
        // amount = modulated channel * coverage / 255
        const uint32_t a = s.alpha * alpha / 255;
        const uint32_t q = ModulateRGB(s.rgb, r, g, b);
        return AddRGB(d, ((q >> 16) & 0xFF) * a / 255, ((q >> 8) & 0xFF) * a / 255, (q & 0xFF) * a / 255);
    }
};

// Turned rows cross the source's rows every few pixels, a pattern the processor's prefetcher does
// not follow: over a source larger than the caches the taps kAhead pixels on are asked for early.
constexpr int32_t kAhead = 32;
constexpr size_t kPrefetchFromBytes = size_t(512) * 1024;

template <bool kPrefetch, class Sampler, class Rule>
inline __attribute__((always_inline)) void RotateRowsOf(uint32_t* dst, int32_t dstStride, const uint32_t* src,
                                                        int32_t srcStride, const RotatedSpans& spans,
                                                        const Sampler& filter, const Rule& rule)
{
    const int32_t du = spans.stepU(), dv = spans.stepV();
    const int64_t au = int64_t(kAhead) * du, av = int64_t(kAhead) * dv;
    for (int32_t r = 0; spans.HasRow(r); ++r) {
        RotatedSpans::Span sp;
        if (!spans.RowSpan(r, sp))
            continue;
        uint32_t* d = dst + size_t(spans.firstY() + r) * size_t(dstStride) + size_t(spans.firstX() + sp.first);
        int32_t u = sp.u, v = sp.v;
        for (int32_t k = sp.first; k <= sp.last; ++k, ++d, u += du, v += dv) {
            if constexpr (kPrefetch) {
                // Taps a few pixels ahead (past the span's end they are simply not used; asking
                // for them does no harm).
                const int64_t at = ((int64_t(v) + av) >> 16) * srcStride + ((int64_t(u) + au) >> 16);
                const uintptr_t ahead = uintptr_t(src) + uintptr_t(at * 4);
                __builtin_prefetch(reinterpret_cast<const void*>(ahead));
                __builtin_prefetch(reinterpret_cast<const void*>(ahead + uintptr_t(srcStride) * 4));
            }
            Sample s;
            if (filter(src + size_t(v >> 16) * size_t(srcStride) + size_t(u >> 16), srcStride, u, v, s))
                *d = rule(*d, s);
        }
    }
}

#if defined(FW_HAS_AVX2_FORMS)
template <bool kPrefetch, class Rule>
FW_TARGET_AVX2 void RotateRowsAvx2(uint32_t* dst, int32_t dstStride, const uint32_t* src, int32_t srcStride,
                                   const RotatedSpans& spans, const Rule& rule)
{
    RotateRowsOf<kPrefetch>(dst, dstStride, src, srcStride, spans, Avx2Filter{}, rule);
}
#endif

template <bool kPrefetch, class Rule>
void RotateRowsFor(uint32_t* dst, int32_t dstStride, const uint32_t* src, int32_t srcStride,
                   const RotatedSpans& spans, const Rule& rule)
{
#if defined(FW_HAS_AVX2_FORMS)
    if (Avx2FormsOn()) {
        RotateRowsAvx2<kPrefetch>(dst, dstStride, src, srcStride, spans, rule);
        return;
    }
#endif
    RotateRowsOf<kPrefetch>(dst, dstStride, src, srcStride, spans, ScalarFilter{}, rule);
}

template <class Rule>
void RotateRows(uint32_t* dst, int32_t dstStride, const uint32_t* src, int32_t srcStride, int32_t srcRows,
                const RotatedSpans& spans, const Rule& rule)
{
    if (size_t(srcStride) * size_t(srcRows) * 4 >= kPrefetchFromBytes)
        RotateRowsFor<true>(dst, dstStride, src, srcStride, spans, rule);
    else
        RotateRowsFor<false>(dst, dstStride, src, srcStride, spans, rule);
}

} // namespace

void MemoryImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                       int32_t drawMode)
{
    BltRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                             int32_t drawMode, double angle, float cx, float cy)
{
    MemoryImage* source = MarkSource(src);
    if (!source)
        return;
    // The taps must stay inside the source image as well as the source rectangle.
    const Rect s = srcRect.Intersection(Rect(0, 0, source->width, source->height));
    if (s != srcRect || s.width < 2 || s.height < 2)
        return;
    DRect bounds;
    if (!RotatedBounds(x, y, s, clip.Intersection(Rect(0, 0, width, height)), angle, cx, cy, bounds))
        return;
    const uint32_t* sbits = source->GetBits();
    uint32_t* px = GetBits();
    if (!sbits || !px)
        return;
    const RotatedSpans spans(x, y, s, angle, cx, cy, bounds, SpanBounds::ExactTaps);
    const uint32_t* origin = sbits + size_t(s.y) * size_t(source->width) + size_t(s.x);
    const bool white = color == Color::White;
    const uint32_t r = uint32_t(color.red) + 1, g = uint32_t(color.green) + 1, b = uint32_t(color.blue) + 1;
    if (drawMode == DRAWMODE_NORMAL) {
        if (white)
            RotateRows(px, width, origin, source->width, s.height, spans, RotOver{});
        else
            RotateRows(px, width, origin, source->width, s.height, spans, RotOverColour{r, g, b, uint32_t(color.alpha)});
    } else {
        if (white)
            RotateRows(px, width, origin, source->width, s.height, spans, RotAdd{256, 256, 256, 255});
        else
            RotateRows(px, width, origin, source->width, s.height, spans, RotAdd{r, g, b, uint32_t(color.alpha)});
    }
    BitsChanged();
}

} // namespace Fw
