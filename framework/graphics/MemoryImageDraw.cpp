// Temporary: drawing operations of memory images (being written).
#include "framework/graphics/MemoryImage.h"

namespace Fw {
void MemoryImage::FillRect(const Rect&, const Color&, int32_t) {}
void MemoryImage::ClearRect(const Rect&) {}
void MemoryImage::DrawLine(double, double, double, double, const Color&, int32_t) {}
void MemoryImage::DrawLineAA(double, double, double, double, const Color&, int32_t) {}
void MemoryImage::FillScanLinesWithCoverage(const Span*, int32_t, const Color&, int32_t, const uint8_t*, int32_t,
                                            int32_t, int32_t, int32_t)
{
}
void MemoryImage::Blt(Image*, int32_t, int32_t, const Rect&, const Color&, int32_t) {}
void MemoryImage::BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int32_t) {}
void MemoryImage::BltRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int32_t, double, float,
                             float)
{
}
void MemoryImage::StretchBlt(Image*, const Rect&, const Rect&, const Rect&, const Color&, int32_t, bool) {}
void MemoryImage::BltMatrix(Image*, float, float, const Matrix3&, const Rect&, const Color&, int32_t, const Rect&,
                            bool, const SecondTexture&)
{
}
void MemoryImage::BltTrianglesTex(Image*, const TriVertexTriangle*, int32_t, const Rect&, const Color&, int32_t,
                                  float, float, bool)
{
}
void MemoryImage::BltMatrixHelper(Image*, float, float, const Matrix3&, const Rect&, const Color&, int32_t,
                                  const Rect&, void*, int32_t, int32_t, bool)
{
}
void MemoryImage::BltTrianglesTexHelper(Image*, const TriVertexTriangle*, int32_t, const Rect&, const Color&, int32_t,
                                        void*, int32_t, int32_t, float, float, bool)
{
}
} // namespace Fw
