// Glyphs of a palette image onto an X888 surface image in one pass: the normal blit's pixels
// (the plain rule under white, the colour rules otherwise) through a per-entry table, one surface
// lock for the whole text.
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/GlyphSpans.h"
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SurfaceLock.h"

#include <cstring>

namespace Fw {

using namespace detail;

namespace {

// The entries of the last palette and colour drawn on this thread: a text draws many runs of
// the same glyph image in the same colour. Keyed by the native words themselves, so a changed or
// reallocated palette is never mistaken for the last one.
const GlyphPalette& PaletteFor(const uint32_t* native, const Color& color)
{
    struct Last {
        bool valid = false;
        uint32_t native[256];
        Color color;
        GlyphPalette palette;
    };
    thread_local Last last;
    if (!last.valid || !(last.color == color) || std::memcmp(last.native, native, sizeof(last.native)) != 0) {
        std::memcpy(last.native, native, sizeof(last.native));
        last.color = color;
        BuildGlyphPalette(last.palette, native, color);
        last.valid = true;
    }
    return last.palette;
}

} // namespace

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
                // The entries need X888 native words (each colour byte at most the alpha); words kept
                // from another display's format go through Blt's rules instead.
                uint32_t x888[256];
                NativeX888Span(x888, src->colorTable.get(), 256);
                if (std::memcmp(x888, native, sizeof(x888)) != 0) {
                    drawn = false;
                    return;
                }
                const GlyphPalette& palette = PaletteFor(native, color);
                const uint8_t* indices = src->colorIndices.get();
                const int32_t srcW = src->width, srcH = src->height;
                for (size_t k = 0; k < count; ++k) {
                    const GlyphPlacement& g = glyphs[k];
                    BlitSpan b;
                    if (!ClipBlit(srcW, srcH, v.width, v.height, g.x, g.y, g.src, false, b))
                        continue;
                    GlyphRows32(reinterpret_cast<uint8_t*>(v.Row<uint32_t>(b.dy0) + b.dx0), v.pitch,
                                indices + size_t(b.j0) * size_t(srcW) + size_t(b.i0), srcW, b.count, b.rows,
                                palette);
                }
            });
        },
        [] {});
    return drawn;
}

} // namespace Fw
