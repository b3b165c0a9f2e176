// Glyphs of a palette image onto a memory image in one pass: the normal blit's pixels through a
// per-entry table (detail/GlyphSpans), the table built once per text run.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/GlyphPlacement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/GlyphSpans.h"

#include <cstring>
#include <typeinfo>

namespace Fw {

using namespace detail;

namespace {

// The entries of the last palette, colour and destination kind drawn on this thread: a text draws
// many runs of the same glyph image in the same colour. Keyed by the palette words themselves.
const MemoryGlyphPalette& PaletteFor(const uint32_t* table, const Color& color, bool destOpaque)
{
    struct Last {
        bool valid = false, destOpaque = false;
        uint32_t table[256];
        Color color;
        MemoryGlyphPalette palette;
    };
    thread_local Last last;
    if (!last.valid || last.destOpaque != destOpaque || !(last.color == color) ||
        std::memcmp(last.table, table, sizeof(last.table)) != 0) {
        std::memcpy(last.table, table, sizeof(last.table));
        last.color = color;
        last.destOpaque = destOpaque;
        BuildMemoryGlyphPalette(last.palette, table, color, destOpaque);
        last.valid = true;
    }
    return last.palette;
}

} // namespace

bool MemoryImage::BltPaletteGlyphs(MemoryImage* src, const GlyphPlacement* glyphs, size_t count,
                                   const Color& color)
{
    if (!src || src == this || !src->colorTable || !src->colorIndices || !GlyphColorOk(color))
        return false;
    if (count == 0)
        return true;
    src->drawnFlag = true;
    src->CommitBits();
    if (!src->colorTable || !src->colorIndices)
        return false;
    uint32_t* px = GetBits();
    if (!px)
        return true;
    const bool flaggedOpaque = !hasTrans && !hasAlpha;
    const MemoryGlyphPalette& palette = PaletteFor(src->colorTable.get(), color, flaggedOpaque);
    // Flags scanned since the last change (not forced) and saying opaque: every pixel has alpha
    // 255, so the opaque-destination entries serve every pixel, and every pixel still has alpha
    // 255 afterwards (each of those entries writes 255 or keeps the pixel). Plain memory images
    // only: derived images keep state of their own around the scan.
    const bool allOpaque =
        flaggedOpaque && !bitsChanged && !forcedMode && typeid(*this) == typeid(MemoryImage);
    const uint8_t* indices = src->colorIndices.get();
    const int32_t srcW = src->width, srcH = src->height;
    for (size_t k = 0; k < count; ++k) {
        const GlyphPlacement& g = glyphs[k];
        BlitSpan b;
        if (!ClipBlit(srcW, srcH, width, height, g.x, g.y, g.src, false, b))
            continue;
        uint32_t* d = px + size_t(b.dy0) * size_t(width) + size_t(b.dx0);
        const uint8_t* idx = indices + size_t(b.j0) * size_t(srcW) + size_t(b.i0);
        if (allOpaque)
            GlyphRows32(reinterpret_cast<uint8_t*>(d), width * 4, idx, srcW, b.count, b.rows,
                        palette.onOpaque);
        else
            MemoryGlyphRows(d, width, idx, srcW, b.count, b.rows, palette);
    }
    BitsChanged();
    // The scan would find the flags as they are: the next text run may take the same shortcut.
    if (allOpaque)
        bitsChanged = false;
    return true;
}

} // namespace Fw
