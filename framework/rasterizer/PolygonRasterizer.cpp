// Polygon front end: strip order, clipping, conversion to fixed point and the fan hand-over to
// the filler table. Floating point ends here; the fillers work in 16.16 and 8.16.
#include "framework/rasterizer/PolygonRasterizer.h"

#include <algorithm>
#include <cmath>

#include "framework/rasterizer/FixedPoint.h"
#include "framework/rasterizer/PolygonClipper.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"

namespace Fw {
namespace raster {

RasterVertex ToRasterVertex(const TriVertex& v, bool textured, int32_t texWidth, int32_t texHeight,
                            bool vertexColour)
{
    RasterVertex r{};
    r.x = SaturatingTrunc(double(v.x) * 65536.0);
    r.y = SaturatingTrunc(double(v.y) * 65536.0);
    if (textured) {
        // u * width in single precision, as the coordinates are; the scale by 65536 is exact.
        r.u = SaturatingTrunc(double(v.u * float(texWidth)) * 65536.0);
        r.v = SaturatingTrunc(double(v.v * float(texHeight)) * 65536.0);
    }
    if (vertexColour) {
        r.a = int32_t((v.colour >> 24) << 16);
        r.r = int32_t(((v.colour >> 16) & 0xFF) << 16);
        r.g = int32_t(((v.colour >> 8) & 0xFF) << 16);
        r.b = int32_t((v.colour & 0xFF) << 16);
    }
    return r;
}

} // namespace raster

namespace {

int32_t ClampByte(int32_t c)
{
    return std::clamp(c, 0, 255);
}

bool IsFinitePosition(const TriVertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

} // namespace

void RasterizePolygon(const TriVertex* vertices, int32_t count, const RasterTextureSource* texture,
                      const RasterColor& colour, int32_t /*drawMode: every fill is a normal fill*/,
                      const RasterClipRect& clip, void* bits, int32_t pitch, int32_t format, bool bilinear,
                      bool vertexColour)
{
    // The right and bottom bounds lie half a pixel inside the rectangle's far edges. The fill rule
    // draws a pixel X when xl <= X < xr, so the last column and row inside the rectangle are drawn
    // (a picture covering its clip covers all of it: nothing drawn there before stays on screen),
    // and the half pixel left over keeps every sample inside the rectangle whatever the
    // fixed-point edge steps round to.
    const float left = float(clip.x);
    const float top = float(clip.y);
    const float right = float(int64_t(clip.x) + clip.width) - 0.5f;
    const float bottom = float(int64_t(clip.y) + clip.height) - 0.5f;

    const bool colourFlag = !(colour == RasterColor{});
    const RasterColor drawColour{ClampByte(colour.alpha), ClampByte(colour.red), ClampByte(colour.green),
                                 ClampByte(colour.blue)};
    const bool textured = texture != nullptr;
    const bool blend = textured && (texture->hasAlpha || texture->hasTrans || bilinear);
    if (count < 3 || !vertices)
        return;

    RasterTexture tex{};
    if (textured && texture->pixels && texture->width > 0 && texture->height > 0) {
        tex.texels = texture->pixels;
        tex.width = texture->width;
        tex.count = uint32_t(std::min<uint64_t>(uint64_t(texture->width) * uint64_t(texture->height), 0xFFFFFFFFu));
    }

    raster::ClipVertexPool pool;
    const TriVertex* polygon[raster::kClipListCapacity];
    RasterVertex fixed[raster::kClipListCapacity];
    for (int32_t j = 0; j + 2 < count; ++j) {
        // Odd triangles swap their last two corners so the whole strip keeps one winding.
        const TriVertex* triangle[3] = {&vertices[j], &vertices[j + ((j & 1) ? 2 : 1)],
                                        &vertices[j + ((j & 1) ? 1 : 2)]};
        if (!IsFinitePosition(*triangle[0]) || !IsFinitePosition(*triangle[1]) || !IsFinitePosition(*triangle[2]))
            continue; // a NaN or infinite corner would pass the clip tests and has no place to draw
        const int n = raster::ClipPolygonToRect(triangle, polygon, pool, left, right, top, bottom);
        if (n < 3)
            continue;
        for (int k = 0; k < n; ++k)
            fixed[k] = raster::ToRasterVertex(*polygon[k], textured, texture ? texture->width : 0,
                                              texture ? texture->height : 0, vertexColour);
        // A fan around the first vertex; the fillers leave the shared records unchanged.
        for (int k = 2; k < n; ++k)
            SelectTriangleRasterizer(textured, blend, vertexColour, colourFlag, fixed[0], fixed[k - 1], fixed[k],
                                     bits, pitch, tex, drawColour, format, bilinear);
    }
}

} // namespace Fw
