// Memory-image stretch blits: the fast nearest-pixel stretch and the smooth two-pass
// area-weighted stretch (detail/SmoothStretch), composited onto the image's pixels.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SmoothStretch.h"
#include "framework/graphics/detail/SmoothStretchSpans.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Fw {

using namespace detail;

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
        // Onto itself, pixel by pixel: a pixel may read one this row has just written.
        const auto span = source == this ? OverSpanGatherScalar : OverSpanGather;
        for (int32_t j = 0; j < r.height; ++j) {
            const int32_t sy0 = std::clamp(int32_t(sd.y + j * sy), s.y, s.y + s.height - 1);
            const uint32_t* srow = sbits + size_t(sy0) * size_t(source->width);
            span(px + size_t(r.y + j) * size_t(width) + size_t(r.x), srow, cols.data(), r.width);
        }
        BitsChanged();
        return;
    }

    SmoothStretchRows(sbits, source->width, s, r, sd, [&](int32_t j, const uint32_t* avg) {
        SmoothOverSpan(px + size_t(r.y + j) * size_t(width) + size_t(r.x), avg, r.width);
    });
    BitsChanged();
}

} // namespace Fw
