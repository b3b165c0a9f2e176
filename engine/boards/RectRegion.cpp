// Union of half-open rectangles.
#include "engine/boards/RectRegion.h"

void RectRegion::Add(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    rects_.push_back({x, y, width, height});
}

bool RectRegion::Contains(int32_t x, int32_t y) const
{
    // Compared in 64 bits: a rectangle reaching past INT32_MAX must not wrap.
    for (const Rect& r : rects_) {
        if (x >= r.x && y >= r.y && int64_t(x) < int64_t(r.x) + r.width && int64_t(y) < int64_t(r.y) + r.height)
            return true;
    }
    return false;
}
