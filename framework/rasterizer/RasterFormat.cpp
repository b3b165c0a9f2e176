// Destination format codes for memory images and locked surfaces.
#include "framework/rasterizer/RasterFormat.h"

namespace Fw {

int32_t MemoryImageRasterFormat(bool forcedMode, bool hasTrans, bool hasAlpha)
{
    return (forcedMode && !hasTrans && !hasAlpha) ? kRasterFormat888 : kRasterFormat8888;
}

std::optional<int32_t> SurfaceRasterFormat(int32_t bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                                           uint32_t blueMask)
{
    if (bitsPerPixel == 32)
        return kRasterFormat888;
    if (bitsPerPixel == 16) {
        if (redMask == 0xF800 && greenMask == 0x07E0 && blueMask == 0x001F)
            return kRasterFormat565;
        if (redMask == 0x7C00 && greenMask == 0x03E0 && blueMask == 0x001F)
            return kRasterFormat555;
    }
    // 16-bit with other masks, 8 or 24 bits: drawing 32-bit pixels there would write past the rows.
    return std::nullopt;
}

} // namespace Fw
