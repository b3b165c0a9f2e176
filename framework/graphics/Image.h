// Base of every drawable picture: size, file path, cell grid and animation, and the virtual
// drawing operations that a drawing context calls on its destination. The base draws nothing;
// memory images draw into their own pixels, surface images into a display surface.
#pragma once
#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/Color.h"
#include "framework/core/Point.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SecondTexture.h"
#include "framework/graphics/TriVertex.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Fw {

class Matrix3;

// Draw modes of every drawing operation.
enum DrawMode : int32_t {
    DRAWMODE_NORMAL = 0,   // alpha blending
    DRAWMODE_ADDITIVE = 1, // saturating add
};

class Image {
public:
    Image() = default;
    // Copies size, cell grid and animation; the path stays empty and drawnFlag false.
    Image(const Image& other);
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    // Takes the other image's cell grid and a deep copy of its animation.
    void CopyAttributes(const Image& other);

    // Drawing operations, called by Graphics after translation and clipping. Rectangles and
    // coordinates are in this image's pixels; drawMode is a DrawMode.
    // Returns false when the polygon was not handled (the caller then fills scan lines).
    virtual bool PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color,
                          int32_t drawMode, int32_t tx, int32_t ty, bool flag);
    virtual void FillRect(const Rect& rect, const Color& color, int32_t drawMode);
    // Outline of the box from (x, y) to (x + w, y + h) inclusive, as four FillRect calls.
    virtual void DrawRect(const Rect& rect, const Color& color, int32_t drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode);
    virtual void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode);
    // Each span filled by FillRect(span x, span y, span width, 1).
    virtual void FillScanLines(const Span* spans, int32_t count, const Color& color, int32_t drawMode);
    // Spans over-composited with the colour weighted by one coverage byte per pixel; the coverage
    // block covers (coverX, coverY, coverWidth, coverHeight) of this image.
    virtual void FillScanLinesWithCoverage(const Span* spans, int32_t count, const Color& color, int32_t drawMode,
                                           const uint8_t* coverage, int32_t coverX, int32_t coverY,
                                           int32_t coverWidth, int32_t coverHeight);
    virtual void Blt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color, int32_t drawMode);
    virtual void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                      int32_t drawMode);
    // srcRect rotated by angle (radians) about its own point (cx, cy), which lands on (x + cx, y + cy).
    virtual void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                            int32_t drawMode, double angle, float cx, float cy);
    virtual void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                            const Color& color, int32_t drawMode, bool fastStretch);
    // srcRect drawn through the matrix, moved by (x, y); blend asks for bilinear filtering.
    virtual void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                           int32_t drawMode, const Rect& srcRect, bool blend, const SecondTexture& second);
    // count triangles of the texture, each vertex moved by (tx, ty).
    virtual void BltTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count, const Rect& clip,
                                 const Color& color, int32_t drawMode, float tx, float ty, bool blend);
    virtual void BltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color,
                           int32_t drawMode);
    virtual void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                  const Color& color, int32_t drawMode, bool fastStretch);

    // True when drawing into this image goes through the 3-D renderer; only surface images that
    // are the display's 3-D target answer true. A drawing context reads it once, when made.
    virtual bool Check3D() { return false; }

    bool drawnFlag = false; // set on a source each time the matrix or triangle blits draw it
    std::string filePath;   // path the image was loaded from
    int32_t width = 0;
    int32_t height = 0;
    int32_t numRows = 1;                // cell grid of a strip or sheet image
    int32_t numCols = 1;
    std::unique_ptr<AnimInfo> animInfo; // animation of the cells, or null
};

} // namespace Fw
