// Glyphs of a palette image onto an X888 surface image in one pass: the normal blit's pixels
// (the plain rule under white, the colour rules otherwise) through a per-entry table, one surface
// lock for the whole text.
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/GlyphSpans.h"
#include "framework/graphics/detail/SurfaceLock.h"

#include <algorithm>

namespace Fw {

using namespace detail;

bool DDImage::BltPaletteGlyphs(MemoryImage* src, const GlyphPlacement* glyphs, size_t count, const Color& color)
{
    if (!src || !src->colorTable || !src->colorIndices || src->isVolatile || dynamic_cast<DDImage*>(src) ||
        !GlyphColorOk(color))
        return false;
    CommitBits();
    if (Check3D() || !DrawsOnSurface(true))
        return false;
    if (count == 0)
        return true;
    bool drawn = true;
    RunPrimitive(
        DRAWMODE_NORMAL,
        [&] {
            if (noReadBack)
                return;
            src->drawnFlag = true;
            OnSurface(*this, true, [&](const SurfaceView& v) {
                if (v.bitCount != 32 || v.rm != 0xFF0000u || v.gm != 0xFF00u || v.bm != 0xFFu) {
                    drawn = false;
                    return;
                }
                src->CommitBits();
                const uint32_t* native = src->GetNativeAlphaData(&GetDisplay()->GetPixelFormat());
                if (!native)
                    return;
                GlyphPalette palette;
                BuildGlyphPalette(palette, native, color);
                const uint8_t* indices = src->colorIndices.get();
                const int32_t srcW = src->width, srcH = src->height;
                for (size_t k = 0; k < count; ++k) {
                    const GlyphPlacement& g = glyphs[k];
                    // The part inside both the source image and the surface.
                    const int32_t i0 = std::max({g.src.x, 0, g.src.x - g.x});
                    const int32_t i1 = std::min({g.src.x + g.src.width, srcW, g.src.x - g.x + v.width});
                    const int32_t j0 = std::max({g.src.y, 0, g.src.y - g.y});
                    const int32_t j1 = std::min({g.src.y + g.src.height, srcH, g.src.y - g.y + v.height});
                    if (i1 <= i0 || j1 <= j0)
                        continue;
                    const int32_t dx = g.x + i0 - g.src.x, dy = g.y + j0 - g.src.y;
                    for (int32_t j = j0; j < j1; ++j)
                        GlyphSpan32(v.Row<uint32_t>(dy + j - j0) + dx, indices + size_t(j) * size_t(srcW) + size_t(i0),
                                    i1 - i0, palette);
                }
            });
        },
        [] {});
    return drawn;
}

} // namespace Fw
