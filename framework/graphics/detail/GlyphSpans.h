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

} // namespace Fw::detail
