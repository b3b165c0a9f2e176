// Memory-image fills: rectangle fill and clear, and the coverage-weighted span fill.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/PixelSpans.h"

#include <algorithm>

namespace Fw {

using namespace detail;

Rect MemoryImage::ClampToImage(const Rect& r) const
{
    if (r.width <= 0 || r.height <= 0)
        return Rect();
    const Rect c = r.Intersection(Rect(0, 0, width, height));
    return (c.width > 0 && c.height > 0) ? c : Rect();
}

void MemoryImage::FillRect(const Rect& rect, const Color& color, int32_t /*drawMode: always normal*/)
{
    const Rect r = ClampToImage(rect);
    const uint32_t a = uint32_t(color.alpha);
    if (r.width == 0 || a == 0)
        return;
    uint32_t* px = GetBits();
    if (!px)
        return;
    const uint32_t packed = color.ToInt();
    if (a == 255) {
        for (int32_t y = r.y; y < r.y + r.height; ++y) {
            uint32_t* row = px + size_t(y) * size_t(width) + size_t(r.x);
            std::fill(row, row + r.width, packed);
        }
    } else {
        for (int32_t y = r.y; y < r.y + r.height; ++y)
            FillOverSpan(px + size_t(y) * size_t(width) + size_t(r.x), r.width, packed, a);
    }
    BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    const Rect r = ClampToImage(rect);
    if (r.width == 0)
        return;
    uint32_t* px = GetBits();
    if (!px)
        return;
    for (int32_t y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = px + size_t(y) * size_t(width) + size_t(r.x);
        std::fill(row, row + r.width, 0u);
    }
    BitsChanged();
}

void MemoryImage::FillScanLinesWithCoverage(const Span* spans, int32_t count, const Color& color,
                                            int32_t /*drawMode: ignored*/, const uint8_t* coverage, int32_t coverX,
                                            int32_t coverY, int32_t coverWidth, int32_t coverHeight)
{
    uint32_t* px = GetBits();
    if (!px || !spans || !coverage || coverWidth <= 0 || coverHeight <= 0)
        return;
    const uint32_t ca = uint32_t(color.alpha);
    const uint32_t packed = color.ToInt();
    // Only pixels inside both the image and the coverage block are read or written.
    const Rect limit = Rect(0, 0, width, height).Intersection(Rect(coverX, coverY, coverWidth, coverHeight));
    for (int32_t s = 0; s < count; ++s) {
        const Span& sp = spans[s];
        if (sp.y < limit.y || sp.y >= limit.y + limit.height)
            continue;
        const int32_t x0 = std::max(sp.x, limit.x);
        const int32_t x1 = std::min(sp.x + sp.width, limit.x + limit.width);
        const uint8_t* cov = coverage + size_t(sp.y - coverY) * size_t(coverWidth) + size_t(x0 - coverX);
        uint32_t* row = px + size_t(sp.y) * size_t(width);
        for (int32_t x = x0; x < x1; ++x, ++cov) {
            const uint32_t a = (ca * (uint32_t(*cov) + 1)) >> 8;
            if (a > 0)
                row[x] = OverFast(row[x], packed, a);
        }
    }
    BitsChanged();
}

} // namespace Fw
