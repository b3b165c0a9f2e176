// Test-only scalar reference of the triangle fillers: flags tested at run time, one channel at a
// time, plain division, no packed arithmetic. The differential test holds the table to it.
#pragma once
#include <cstdint>

#include "framework/rasterizer/RasterTypes.h"

namespace Fw::test {

// Draws the triangle as table entry `index` (0..127) must.
void ReferenceFill(int index, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                   int32_t pitch, const RasterTexture& texture, const RasterColor& colour);

} // namespace Fw::test
