// The 128-entry filler table: index = format block (0, 32, 64, 96 for 0x8888, 0x888, 0x565, 0x555)
// + 16 textured + 8 blend + 4 vertex colour + 2 draw colour + bilinear.
#pragma once
#include <cstdint>

#include "framework/rasterizer/RasterTypes.h"

namespace Fw {

// Fills the table. Idempotent and thread-safe; a draw on another thread sees the whole table or
// none of it. Nothing is drawn before the first call.
void InitTriangleRasterizers();

// 0, 32, 64 or 96; unknown codes give 0.
int32_t RasterFormatBlock(int32_t format);

// The table entry for index 0..127, or null while the table is not filled.
TriangleFiller TriangleRasterizerAt(int32_t index);

// Draws one fixed-point triangle with the filler the flags and format select; nothing when the
// table is not filled.
void SelectTriangleRasterizer(bool textured, bool blend, bool vertexColour, bool colour, const RasterVertex& v0,
                              const RasterVertex& v1, const RasterVertex& v2, void* bits, int32_t pitch,
                              const RasterTexture& texture, const RasterColor& drawColour, int32_t format,
                              bool bilinear);

} // namespace Fw
