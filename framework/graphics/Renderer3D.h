// The 3-D renderer's drawing operations as the surface image routes them when it is the
// display's 3-D target. The renderer records its own errors; these calls report nothing.
#pragma once
#include "framework/core/Matrix3.h"
#include "framework/graphics/Image.h"

namespace Fw {

class Renderer3D {
public:
    virtual void FillRect(const Rect& rect, const Color& color, int32_t drawMode) = 0;
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode) = 0;
    // Returns true when the polygon was filled.
    virtual bool PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color,
                          int32_t drawMode, int32_t tx, int32_t ty) = 0;
    // srcRect of image at (x, y), untransformed unless the renderer's transform stack is not empty.
    virtual void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int32_t drawMode,
                     bool linear) = 0;
    // srcRect through matrix, then moved by (x, y); clip may be null.
    virtual void BltTransformed(Image* image, const Rect* clip, const Color& color, int32_t drawMode,
                                const Rect& srcRect, const Matrix3& matrix, bool linear, float x, float y,
                                const SecondTexture* second) = 0;
    virtual void DrawTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count,
                                  const Rect& clip, const Color& color, int32_t drawMode, float tx, float ty,
                                  bool linear) = 0;
    // The transform stack is empty (plain blits may then bypass the renderer).
    virtual bool TransformStackEmpty() = 0;

protected:
    ~Renderer3D() = default;
};

} // namespace Fw
