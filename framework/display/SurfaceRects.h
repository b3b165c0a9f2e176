// Rectangle arithmetic of the display on the surface layer's (left, top, right, bottom) form, and
// a blit that treats an empty rectangle as nothing to copy. Internal to framework/display.
#pragma once
#include "framework/graphics/Rect.h"
#include "platform/Surface.h"

#include <algorithm>

namespace Fw {

inline bool IsEmpty(const Platform::SurfaceRect& r) { return r.right <= r.left || r.bottom <= r.top; }

inline Platform::SurfaceRect ToSurfaceRect(const Rect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// Empty results are (0, 0, 0, 0).
inline Platform::SurfaceRect Intersect(const Platform::SurfaceRect& a, const Platform::SurfaceRect& b)
{
    const Platform::SurfaceRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                                  std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? Platform::SurfaceRect{} : r;
}

// The smallest rectangle holding both (an empty one adds nothing).
inline Platform::SurfaceRect Union(const Platform::SurfaceRect& a, const Platform::SurfaceRect& b)
{
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

inline Platform::SurfaceRect Offset(const Platform::SurfaceRect& r, int32_t dx, int32_t dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// dst's dstRect takes src's srcRect (stretched when the sizes differ), waiting; DD_OK when either
// rectangle is empty.
inline Platform::HRESULT BltRect(Platform::Surface* dst, const Platform::SurfaceRect& dstRect,
                                 Platform::Surface* src, const Platform::SurfaceRect& srcRect,
                                 const Platform::BltFx* fx = nullptr)
{
    if (IsEmpty(dstRect) || IsEmpty(srcRect))
        return Platform::DD_OK;
    return dst->Blt(&dstRect, src, &srcRect, Platform::DDBLT_WAIT, fx);
}

} // namespace Fw
