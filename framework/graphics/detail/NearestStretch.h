// Rows of the nearest stretch onto a locked surface: source row rows[j], columns from a table,
// each pixel through a surface blend rule (SurfaceBlendRules.h). Internal to framework/graphics.
#pragma once
#include "framework/graphics/Rect.h"
#include "framework/graphics/detail/SurfaceBlendRules.h"
#include "framework/graphics/detail/SurfacePixels.h"
#include "framework/graphics/detail/SurfaceSpans.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace Fw::detail {

// Source pixels of one stretch: premultiplied native words (alpha in the top byte), read directly
// or through 8-bit palette indices, srcW to a row.
struct StretchSource {
    const uint32_t* native;
    const uint8_t* indices; // null: direct
    int32_t srcW;
    uint32_t At(size_t k) const { return indices ? native[indices[k]] : native[k]; }
};

// One destination row: pixels for which skip(s) holds are not written, the others take the
// rule's partial form; mirrored rows are written from the right.
template <class P, class Rule, class Skip>
void StretchRow(P* d, int32_t width, bool mirror, const int32_t* cols, const StretchSource& src, size_t base,
                const Rule& rule, Skip skip)
{
    for (int32_t i = 0; i < width; ++i) {
        const uint32_t s = src.At(base + size_t(cols[i]));
        if (skip(s))
            continue;
        P& px = d[mirror ? width - 1 - i : i];
        px = P(rule.partial(s, px));
    }
}

// The stretch of r.height rows (r inside the surface), pixel by pixel.
template <class P, class Rule, class Skip>
void StretchRows(const SurfaceView& view, const Rect& r, bool mirror, const std::vector<int32_t>& cols,
                 const std::vector<int32_t>& rows, const StretchSource& src, const Rule& rule, Skip skip)
{
    for (int32_t j = 0; j < r.height; ++j)
        StretchRow<P>(view.Row<P>(r.y + j) + r.x, r.width, mirror, cols.data(), src, size_t(rows[size_t(j)]) * size_t(src.srcW),
                      rule, skip);
}

// One X888 row of the white normal stretch: the sampled words gathered in destination order
// (unless gather is false: the words of the row before, from the same source row), then blended by
// SurfaceOverSpan32. Out of line, so the copying loops below keep their own code.
void StretchOverRowX888(uint32_t* d, int32_t width, bool mirror, const int32_t* cols, const StretchSource& src,
                        size_t base, bool gather, std::vector<uint32_t>& gathered);

// Whether each column table entry from the first on repeats the source column before it exactly
// twice (a 2x enlargement): 0 when cols[i] = cols[0] + i / 2, 1 when cols[0] stands alone and
// cols[i] = cols[0] + (i + 1) / 2; -1 for any other table.
int32_t DoublingPhase(const int32_t* cols, int32_t n);

// d[i] = s[cols[i]] narrowed to P, where doubling is DoublingPhase(cols, n): 32-bit rows of a
// 2x enlargement are doubled by whole groups.
inline void CopyRow(uint32_t* d, const uint32_t* s, const int32_t* cols, int32_t n, int32_t doubling)
{
    if (doubling < 0) {
        GatherSpan32(d, s, cols, n);
        return;
    }
    if (doubling == 1) // the first column alone, then pairs from the next source column
        d[0] = s[cols[0]];
    DoubleSpan32(d + doubling, s + cols[doubling], n - doubling);
}
inline void CopyRow(uint16_t* d, const uint32_t* s, const int32_t* cols, int32_t n, int32_t /*doubling*/)
{
    GatherSpan16(d, s, cols, n);
}

// The same rows for a rule whose partial form of an opaque pixel (alpha 255) is the pixel itself,
// narrowed to P (the white normal rules on 565 and X888): a source row whose sampled columns are
// all opaque is a plain copy of the sampled words, and a destination row copied from the same
// source row as the copied row above it is that row again. Other rows blend as StretchRows does
// (on X888 through the whole-row over span).
template <class P, class Rule, class Skip>
void StretchRowsCopyingOpaque(const SurfaceView& view, const Rect& r, bool mirror, const std::vector<int32_t>& cols,
                              const std::vector<int32_t>& rows, const StretchSource& src, const Rule& rule, Skip skip)
{
    if (r.width <= 0)
        return;
    const auto [lo, hi] = std::minmax_element(cols.begin(), cols.begin() + r.width);
    const int32_t c0 = *lo, c1 = *hi;
    const int32_t doubling = DoublingPhase(cols.data(), r.width);
    int32_t copiedFrom = -1; // source row of the destination row above, when that was a copy
    std::vector<uint32_t> gathered;
    int32_t gatheredFrom = -1;
    for (int32_t j = 0; j < r.height; ++j) {
        P* d = view.Row<P>(r.y + j) + r.x;
        const int32_t sy = rows[size_t(j)];
        const size_t base = size_t(sy) * size_t(src.srcW);
        if (sy == copiedFrom) {
            std::memcpy(d, view.Row<P>(r.y + j - 1) + r.x, size_t(r.width) * sizeof(P));
            continue;
        }
        // Every sampled column lies in c0..c1: all of them are opaque when the AND of those
        // words has its alpha byte at 255.
        bool opaque;
        if (src.indices) {
            uint32_t all = 0xFFFFFFFFu;
            for (int32_t c = c0; c <= c1; ++c)
                all &= src.native[src.indices[base + size_t(c)]];
            opaque = (all >> 24) == 255;
        } else {
            opaque = AllOpaque32(src.native + base + size_t(c0), c1 - c0 + 1);
        }
        if (!opaque) {
            if constexpr (std::is_same_v<P, uint32_t> && std::is_same_v<Rule, PlainRuleChannels<LayoutX888>>) {
                // The whole-row over span is this rule with clear pixels skipped.
                StretchOverRowX888(d, r.width, mirror, cols.data(), src, base, sy != gatheredFrom, gathered);
                gatheredFrom = sy;
            } else {
                StretchRow<P>(d, r.width, mirror, cols.data(), src, base, rule, skip);
            }
            copiedFrom = -1;
            continue;
        }
        if (mirror)
            for (int32_t i = 0; i < r.width; ++i)
                d[r.width - 1 - i] = P(src.At(base + size_t(cols[size_t(i)])));
        else if (src.indices)
            for (int32_t i = 0; i < r.width; ++i)
                d[i] = P(src.native[src.indices[base + size_t(cols[size_t(i)])]]);
        else
            CopyRow(d, src.native + base, cols.data(), r.width, doubling);
        copiedFrom = sy;
    }
}

} // namespace Fw::detail
