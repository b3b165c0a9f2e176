// Polygon front end (first increment: the entry exists and draws nothing yet).
#include "framework/rasterizer/PolygonRasterizer.h"

namespace Fw {

void RasterizePolygon(const TriVertex*, int32_t, const RasterTextureSource*, const RasterColor&, int32_t,
                      const RasterClipRect&, void*, int32_t, int32_t, bool, bool)
{
}

} // namespace Fw
