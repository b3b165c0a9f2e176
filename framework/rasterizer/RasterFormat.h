// Choice of the rasterizer's destination format code for the callers' destinations: memory
// images (32-bit ARGB bits) and locked surfaces described by their pixel format.
#pragma once
#include <cstdint>
#include <optional>

#include "framework/rasterizer/RasterTypes.h"

namespace Fw {

// A memory image draws as 0x888 when its mode is forced and it has neither transparent nor
// translucent pixels, else as 0x8888.
int32_t MemoryImageRasterFormat(bool forcedMode, bool hasTrans, bool hasAlpha);

// A surface: 32 bits per pixel gives 0x888; 16 bits with masks f800/7e0/1f gives 0x565 and with
// 7c00/3e0/1f gives 0x555. Anything else has no filler family: nullopt, and the caller draws nothing.
std::optional<int32_t> SurfaceRasterFormat(int32_t bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                                           uint32_t blueMask);

} // namespace Fw
