// Palette-indexed glyph pixels blended onto 32-bit surface words in one branch-free rule: every
// palette entry carries a multiplier and an addend per byte lane, and each destination byte
// becomes (d * mul + add) >> 8. The entries are built from the premultiplied native palette and
// the blit colour so that the result is the surface blend's own pixel (SurfaceBlendRules.h: the
// plain rule under white, the colour rules otherwise), clear entries leaving the destination as
// it is. Internal to framework/graphics.
#pragma once
#include "framework/graphics/Color.h"

#include <cstdint>

namespace Fw::detail {

// Lanes of one entry, lowest byte first (blue, green, red, top byte), 16 bits each.
struct GlyphEntry {
    uint64_t mul, add;
};
struct GlyphPalette {
    alignas(16) GlyphEntry entry[256];
    bool zeroClear = false; // entry 0 leaves the destination as it is: runs of index 0 are skipped
};

// False when color is outside what the entries can express (a channel below 0 or above 255):
// such blits take the per-pixel rules.
bool GlyphColorOk(const Color& color);
// The entries of an X888 surface for its native palette words (alpha in the top byte, each colour
// byte at most the alpha, as MemoryImage::GetNativeAlphaData makes them) under color
// (GlyphColorOk).
void BuildGlyphPalette(GlyphPalette& out, const uint32_t* native, const Color& color);

// d[i] = each byte lane (d * mul + add) >> 8 of entry idx[i].
void GlyphSpan32(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette);
void GlyphSpan32Scalar(uint32_t* d, const uint8_t* idx, int32_t n, const GlyphPalette& palette);

// GlyphSpan32 over rows rows of n pixels: destination rows dstPitch bytes apart, index rows
// idxStride bytes apart.
void GlyphRows32(uint8_t* d, int32_t dstPitch, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                 const GlyphPalette& palette);

// The same pass onto a memory image's straight-alpha words, giving the normal blit's pixels of a
// palette source (MemoryImageBlt.cpp): under white onto an image flagged opaque, clear entries
// kept, opaque ones copied and partial ones blended with the opaque-destination rule, whatever
// the destination's alpha; otherwise each entry's colour (modulated by the blit colour) and
// effective alpha over-composited, which depends on the destination's alpha: onOpaque serves
// destinations of alpha 255, onClear those of alpha 0, and the others take the over rule on
// word[e] (colour, effective alpha on top; alpha 0 leaves the destination).
struct MemoryGlyphPalette {
    GlyphPalette onOpaque, onClear;
    alignas(16) uint32_t word[256];
    bool byAlpha = false; // false: onOpaque serves every destination
};

// The entries for palette words table (straight alpha) under color (GlyphColorOk); destOpaque:
// the destination is flagged opaque (neither hasTrans nor hasAlpha).
void BuildMemoryGlyphPalette(MemoryGlyphPalette& out, const uint32_t* table, const Color& color, bool destOpaque);

// Rows of n pixels of the memory-image pass: destination rows dstStride pixels apart, index rows
// idxStride bytes apart.
void MemoryGlyphRows(uint32_t* d, int32_t dstStride, const uint8_t* idx, int32_t idxStride, int32_t n, int32_t rows,
                     const MemoryGlyphPalette& palette);
void MemoryGlyphRowsScalar(uint32_t* d, int32_t dstStride, const uint8_t* idx, int32_t idxStride, int32_t n,
                           int32_t rows, const MemoryGlyphPalette& palette);

} // namespace Fw::detail
