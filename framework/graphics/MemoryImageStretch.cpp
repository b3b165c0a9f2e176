// Memory-image stretch blits: the fast nearest-pixel stretch and the smooth two-pass
// area-weighted stretch (weights out of 257, sums in 64 bits, each cell divided by the total
// weight it received).
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Fw {

using namespace detail;

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
// most 257 along an axis), so 32 bits hold them; the second pass sums in 64 bits.
struct Sum32 {
    uint32_t b = 0, g = 0, r = 0, a = 0;
};
struct Sum64 {
    uint64_t b = 0, g = 0, r = 0, a = 0;
};

} // namespace

void MemoryImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                             const Color& color, int32_t /*drawMode: unused*/, bool fastStretch)
{
    MemoryImage* source = MarkSource(src);
    if (!source)
        return;
    // Source taps are clamped into the source rectangle, itself limited to the source image.
    const Rect s = srcRect.Intersection(Rect(0, 0, source->width, source->height));
    if (s.width <= 0 || s.height <= 0)
        return;
    Rect r;
    DRect sd;
    if (!StretchClip(srcRect, clip.Intersection(Rect(0, 0, width, height)), destRect, r, sd))
        return;
    const uint32_t* sbits = source->GetBits();
    uint32_t* px = GetBits();
    if (!sbits || !px)
        return;

    if (fastStretch) {
        if (color != Color::White)
            return;
        const double sx = double(srcRect.width) / destRect.width, sy = double(srcRect.height) / destRect.height;
        std::vector<int32_t> cols(size_t(r.width));
        for (int32_t i = 0; i < r.width; ++i)
            cols[size_t(i)] = std::clamp(int32_t(sd.x + i * sx), s.x, s.x + s.width - 1);
        for (int32_t j = 0; j < r.height; ++j) {
            const int32_t sy0 = std::clamp(int32_t(sd.y + j * sy), s.y, s.y + s.height - 1);
            const uint32_t* srow = sbits + size_t(sy0) * size_t(source->width);
            uint32_t* d = px + size_t(r.y + j) * size_t(width) + size_t(r.x);
            for (int32_t i = 0; i < r.width; ++i) {
                const uint32_t p = srow[cols[size_t(i)]];
                const uint32_t a = p >> 24;
                if (a)
                    d[i] = OverFast(d[i], p, a);
            }
        }
        BitsChanged();
        return;
    }

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
        const uint32_t* srow = sbits + size_t(srcRow) * size_t(source->width);
#if defined(__SSE2__)
        // Each channel times its weight fits 16 bits (255 x 257 = 65535): one 16-bit multiply
        // per tap, widened to the 32-bit sums (b, g, r, a in memory order).
        const __m128i zero = _mm_setzero_si128();
        for (const Tap& t : xTaps) {
            const __m128i p16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(srow[t.src])), zero);
            const __m128i prod = _mm_mullo_epi16(p16, _mm_set1_epi16(int16_t(t.weight)));
            __m128i* cell = reinterpret_cast<__m128i*>(&c.cells[size_t(t.cell)]);
            _mm_storeu_si128(cell, _mm_add_epi32(_mm_loadu_si128(cell), _mm_unpacklo_epi16(prod, zero)));
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

    std::vector<Sum64> row(static_cast<size_t>(cellsX));
    for (int32_t j = 0; j < r.height; ++j) {
        const std::vector<Tap>& taps = rowTaps[size_t(j + 1)];
        if (taps.empty())
            continue;
        std::fill(row.begin(), row.end(), Sum64{});
        uint64_t rowWeight = 0;
        for (const Tap& t : taps) {
            rowWeight += t.weight;
            const std::vector<Sum32>& xr = xPass(t.src);
            const uint64_t w = t.weight;
            for (int32_t i = 1; i <= r.width; ++i) {
                const Sum32& c = xr[size_t(i)];
                Sum64& o = row[size_t(i)];
                o.b += c.b * w;
                o.g += c.g * w;
                o.r += c.r * w;
                o.a += c.a * w;
            }
        }
        uint32_t* d = px + size_t(r.y + j) * size_t(width) + size_t(r.x);
        for (int32_t i = 0; i < r.width; ++i) {
            // The cell's weighted average: truncated weights (edge cells, strong shrinks) do not
            // fade the picture.
            const Sum64& c = row[size_t(i + 1)];
            const uint64_t total = cellWeightX[size_t(i + 1)] * rowWeight;
            if (total == 0)
                continue;
            const uint32_t a = uint32_t(c.a / total);
            if (a == 0)
                continue;
            const uint32_t cr = uint32_t(c.r / total), cg = uint32_t(c.g / total), cb = uint32_t(c.b / total);
            // channel = (acc * a >> 8) + (d * (256 - a) >> 8); alpha = da + (255 - da) * a / 255
            const uint32_t dp = d[i], da = dp >> 24;
            const uint32_t nr = ((cr * a) >> 8) + ((((dp >> 16) & 0xFF) * (256 - a)) >> 8);
            const uint32_t ng = ((cg * a) >> 8) + ((((dp >> 8) & 0xFF) * (256 - a)) >> 8);
            const uint32_t nb = ((cb * a) >> 8) + (((dp & 0xFF) * (256 - a)) >> 8);
            d[i] = ((da + (255 - da) * a / 255) << 24) | (nr << 16) | (ng << 8) | nb;
        }
    }
    BitsChanged();
}

} // namespace Fw
