// Fixed-point records shared by the polygon front end and the triangle fillers, the filler
// signature and the destination format codes. Positions and texture coordinates are 16.16,
// colour channels 8.16 (the 0..255 value shifted left by 16).
#pragma once
#include <cstdint>

namespace Fw {

// Destination pixel-format codes. Any other code is drawn as 0x8888.
inline constexpr int32_t kRasterFormat8888 = 0x8888; // 32-bit ARGB with alpha
inline constexpr int32_t kRasterFormat888 = 0x888;   // 32-bit RGB, top byte ignored on read, written 255
inline constexpr int32_t kRasterFormat565 = 0x565;   // 16-bit 5-6-5
inline constexpr int32_t kRasterFormat555 = 0x555;   // 16-bit 5-5-5, top bit written 0

// One triangle corner in fixed point. Fields a filler's flags do not use may hold anything.
struct RasterVertex {
    int32_t x, y;       // 16.16 destination pixels
    int32_t a, r, g, b; // 8.16 vertex colour
    int32_t u, v;       // 16.16 texels
};

// Texels as the fillers read them: 0xAARRGGBB, row after row, each row exactly width texels.
// An index at or past count reads as 0 (transparent black).
struct RasterTexture {
    const uint32_t* texels = nullptr;
    int32_t width = 0;
    uint32_t count = 0; // width * height
};

// The draw colour record: channels 0..255 in the order alpha, red, green, blue.
struct RasterColor {
    int32_t alpha = 255;
    int32_t red = 255;
    int32_t green = 255;
    int32_t blue = 255;
    constexpr bool operator==(const RasterColor&) const = default;
};

// Every filler: draws one triangle into bits (pitch bytes per row). The records are read only,
// since the front end hands the same records to several triangles of a fan.
using TriangleFiller = void (*)(const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                                int32_t pitch, const RasterTexture& texture, const RasterColor& colour);

} // namespace Fw
