// Base image: attributes and the default (mostly empty) drawing operations.
#include "framework/graphics/Image.h"

namespace Fw {

Image::Image(const Image& other)
    : width(other.width), height(other.height), numRows(other.numRows), numCols(other.numCols),
      animInfo(other.animInfo ? std::make_unique<AnimInfo>(*other.animInfo) : nullptr)
{
}

Image::~Image() = default;

void Image::CopyAttributes(const Image& other)
{
    if (&other == this)
        return;
    numRows = other.numRows;
    numCols = other.numCols;
    animInfo = other.animInfo ? std::make_unique<AnimInfo>(*other.animInfo) : nullptr;
}

bool Image::PolyFill(const Point*, int32_t, const Rect&, const Color&, int32_t, int32_t, int32_t, bool)
{
    return false;
}

void Image::FillRect(const Rect&, const Color&, int32_t) {}

void Image::DrawRect(const Rect& r, const Color& color, int32_t drawMode)
{
    FillRect(Rect(r.x, r.y, r.width + 1, 1), color, drawMode);
    FillRect(Rect(r.x, r.y + r.height, r.width + 1, 1), color, drawMode);
    FillRect(Rect(r.x, r.y + 1, 1, r.height - 1), color, drawMode);
    FillRect(Rect(r.x + r.width, r.y + 1, 1, r.height - 1), color, drawMode);
}

void Image::ClearRect(const Rect&) {}
void Image::DrawLine(double, double, double, double, const Color&, int32_t) {}
void Image::DrawLineAA(double, double, double, double, const Color&, int32_t) {}

void Image::FillScanLines(const Span* spans, int32_t count, const Color& color, int32_t drawMode)
{
    for (int32_t i = 0; i < count; ++i)
        FillRect(Rect(spans[i].x, spans[i].y, spans[i].width, 1), color, drawMode);
}

void Image::FillScanLinesWithCoverage(const Span*, int32_t, const Color&, int32_t, const uint8_t*, int32_t, int32_t,
                                      int32_t, int32_t)
{
}
void Image::Blt(Image*, int32_t, int32_t, const Rect&, const Color&, int32_t) {}
void Image::BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int32_t) {}
void Image::BltRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int32_t, double, float, float) {}
void Image::StretchBlt(Image*, const Rect&, const Rect&, const Rect&, const Color&, int32_t, bool) {}
void Image::BltMatrix(Image*, float, float, const Matrix3&, const Rect&, const Color&, int32_t, const Rect&, bool,
                      const SecondTexture&)
{
}
void Image::BltTrianglesTex(Image*, const TriVertexTriangle*, int32_t, const Rect&, const Color&, int32_t, float, float,
                            bool)
{
}
void Image::BltMirror(Image*, int32_t, int32_t, const Rect&, const Color&, int32_t) {}
void Image::StretchBltMirror(Image*, const Rect&, const Rect&, const Rect&, const Color&, int32_t, bool) {}

} // namespace Fw
