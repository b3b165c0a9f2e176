// Filler table (first increment: the table stays empty, so nothing is drawn).
#include "framework/rasterizer/TriangleRasterizerTable.h"

namespace Fw {

void InitTriangleRasterizers() {}

int32_t RasterFormatBlock(int32_t format)
{
    switch (format) {
    case kRasterFormat888: return 32;
    case kRasterFormat565: return 64;
    case kRasterFormat555: return 96;
    default: return 0;
    }
}

TriangleFiller TriangleRasterizerAt(int32_t) { return nullptr; }

void SelectTriangleRasterizer(bool, bool, bool, bool, const RasterVertex&, const RasterVertex&, const RasterVertex&,
                              void*, int32_t, const RasterTexture&, const RasterColor&, int32_t, bool)
{
}

} // namespace Fw
