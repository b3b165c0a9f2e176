// Memory-image matrix and triangle blits: vertices built here, pixels drawn by the software
// triangle rasterizer into the destination bits.
#include "framework/core/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/rasterizer/PolygonRasterizer.h"
#include "framework/rasterizer/RasterFormat.h"

namespace Fw {

namespace {

RasterColor ToRasterColor(const Color& c)
{
    return RasterColor{c.alpha, c.red, c.green, c.blue};
}

RasterClipRect ToRasterClip(const Rect& r)
{
    return RasterClipRect{r.x, r.y, r.width, r.height};
}

// The rasterizer reads the texture's flags and pixels as they stand: bring them up to date.
bool TextureOf(MemoryImage* image, RasterTextureSource& out)
{
    image->CommitBits();
    const uint32_t* px = image->GetBits();
    if (!px)
        return false;
    out = RasterTextureSource{px, image->width, image->height, image->hasTrans, image->hasAlpha};
    return true;
}

} // namespace

void MemoryImage::BltMatrixHelper(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip,
                                  const Color& color, int32_t drawMode, const Rect& srcRect, void* bits,
                                  int32_t pitch, int32_t formatCode, bool bilinear)
{
    auto* texture = dynamic_cast<MemoryImage*>(src);
    if (!texture || texture->width <= 0 || texture->height <= 0)
        return;
    RasterTextureSource tex;
    if (!TextureOf(texture, tex))
        return;
    const float w = float(srcRect.width), h = float(srcRect.height);
    const float u0 = float(srcRect.x) / float(texture->width);
    const float u1 = float(srcRect.x + srcRect.width) / float(texture->width);
    const float v0 = float(srcRect.y) / float(texture->height);
    const float v1 = float(srcRect.y + srcRect.height) / float(texture->height);
    const float corners[4][4] = {{0, 0, u0, v0}, {w, 0, u1, v0}, {0, h, u0, v1}, {w, h, u1, v1}};
    TriVertex verts[4];
    for (int i = 0; i < 4; ++i) {
        const FloatPoint p = matrix.TransformPoint(FloatPoint(corners[i][0], corners[i][1]));
        verts[i] = TriVertex{p.x + (x - 0.5f), p.y + (y - 0.5f), corners[i][2], corners[i][3], 0xFFFFFFFFu};
    }
    RasterizePolygon(verts, 4, &tex, ToRasterColor(color), drawMode, ToRasterClip(clip), bits, pitch, formatCode,
                     bilinear, false);
}

void MemoryImage::BltTrianglesTexHelper(Image* textureImage, const TriVertexTriangle* triangles, int32_t count,
                                        const Rect& clip, const Color& color, int32_t drawMode, void* bits,
                                        int32_t pitch, int32_t formatCode, float tx, float ty, bool bilinear)
{
    if (!triangles || count < 1)
        return;
    RasterTextureSource tex;
    const RasterTextureSource* texPtr = nullptr;
    if (auto* texture = dynamic_cast<MemoryImage*>(textureImage); texture && TextureOf(texture, tex))
        texPtr = &tex;
    const RasterColor rc = ToRasterColor(color);
    const RasterClipRect rclip = ToRasterClip(clip);
    for (int32_t t = 0; t < count; ++t) {
        TriVertex v[3];
        bool vertexColour = false;
        for (int k = 0; k < 3; ++k) {
            v[k] = triangles[t][k];
            v[k].x += tx;
            v[k].y += ty;
            vertexColour = vertexColour || v[k].colour != 0;
        }
        RasterizePolygon(v, 3, texPtr, rc, drawMode, rclip, bits, pitch, formatCode, bilinear, vertexColour);
    }
}

void MemoryImage::BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                            int32_t drawMode, const Rect& srcRect, bool blend, const SecondTexture& /*second*/)
{
    if (!src)
        return;
    src->drawnFlag = true;
    uint32_t* px = GetBits();
    if (!px)
        return;
    // The rasterizer requires the clip inside the destination.
    const Rect c = clip.Intersection(Rect(0, 0, width, height));
    BltMatrixHelper(src, x, y, matrix, c, color, drawMode, srcRect, px, width * 4,
                    MemoryImageRasterFormat(forcedMode, hasTrans, hasAlpha), blend);
    BitsChanged();
}

void MemoryImage::BltTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count, const Rect& clip,
                                  const Color& color, int32_t drawMode, float tx, float ty, bool blend)
{
    if (texture)
        texture->drawnFlag = true;
    uint32_t* px = GetBits();
    if (!px)
        return;
    const Rect c = clip.Intersection(Rect(0, 0, width, height));
    BltTrianglesTexHelper(texture, triangles, count, c, color, drawMode, px, width * 4,
                          MemoryImageRasterFormat(forcedMode, hasTrans, hasAlpha), tx, ty, blend);
    BitsChanged();
}

} // namespace Fw
