// Entry of the software triangle rasterizer: clips a short triangle strip of floating-point
// vertices to a clip rectangle, converts it to fixed point and hands each triangle to the filler
// the dispatch table selects. Knows nothing of images: callers describe texture and clip plainly.
#pragma once
#include <cstdint>

#include "framework/rasterizer/RasterTypes.h"
#include "framework/rasterizer/TriVertex.h"

namespace Fw {

// The texture as the rasterizer needs it. The caller brings hasTrans/hasAlpha up to date first.
struct RasterTextureSource {
    const uint32_t* pixels = nullptr; // 0xAARRGGBB, row after row, each row exactly width texels
    int32_t width = 0;
    int32_t height = 0;
    bool hasTrans = false; // either flag makes a textured polygon blend
    bool hasAlpha = false;
};

// Clip rectangle in destination pixels; it must lie inside the destination. Every pixel of it can be
// filled, its last column (x + width - 1) and row included; none outside it.
struct RasterClipRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Draws the count - 2 triangles of the strip (triangle j: j, j+1, j+2 when j is even, j, j+2, j+1
// when odd) into bits, pitch bytes per row, in destination format `format` (kRasterFormat*; any
// other code draws 32-bit ARGB). texture null draws untextured: then only vertex-coloured
// triangles write pixels. colour is the draw colour; channels outside 0..255 are clamped.
// drawMode is accepted and ignored. Draws nothing before InitTriangleRasterizers has run.
// Reentrant: all scratch space lives on the caller's stack.
void RasterizePolygon(const TriVertex* vertices, int32_t count, const RasterTextureSource* texture,
                      const RasterColor& colour, int32_t drawMode, const RasterClipRect& clip, void* bits,
                      int32_t pitch, int32_t format, bool bilinear, bool vertexColour);

} // namespace Fw

namespace Fw::raster {

// One clipped vertex in fixed point: x, y = trunc(value * 65536) (toward zero, saturating);
// u, v = trunc(u * width * 65536) and trunc(v * height * 65536) when textured; the colour's
// bytes shifted left by 16 when vertexColour. Fields not asked for are 0.
RasterVertex ToRasterVertex(const TriVertex& v, bool textured, int32_t texWidth, int32_t texHeight,
                            bool vertexColour);

} // namespace Fw::raster
