// Small helpers of the rasterizer tests: fixed-point vertices from pixel values, destination
// buffers of either pixel size, and filling one triangle through a table entry.
#pragma once
#include <cstdint>
#include <random>
#include <vector>

#include "framework/rasterizer/RasterTypes.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"

namespace Fw::test {

inline int32_t Fix(double v) { return int32_t(v * 65536.0); }

// Vertex at pixel (x, y) with texel coordinate (u, v) and 0xAARRGGBB colour as 8.16 channels.
inline RasterVertex RV(double x, double y, uint32_t argb = 0xFFFFFFFF, double u = 0, double v = 0)
{
    return {Fix(x), Fix(y), int32_t((argb >> 24) << 16), int32_t(((argb >> 16) & 0xFF) << 16),
            int32_t(((argb >> 8) & 0xFF) << 16), int32_t((argb & 0xFF) << 16), Fix(u), Fix(v)};
}

template <class Pixel>
struct Canvas {
    int width, height;
    std::vector<Pixel> px;
    Canvas(int w, int h, Pixel fill = 0) : width(w), height(h), px(size_t(w) * h, fill) {}
    Pixel& at(int x, int y) { return px[size_t(y) * width + x]; }
    int32_t pitch() const { return int32_t(width * sizeof(Pixel)); }
    void* bits() { return px.data(); }
};

struct Texture {
    int width, height;
    std::vector<uint32_t> texels;
    Texture(int w, int h, uint32_t fill = 0) : width(w), height(h), texels(size_t(w) * h, fill) {}
    RasterTexture view() const { return {texels.data(), width, uint32_t(texels.size())}; }
};

// Draws through table entry `index` (the table is filled first).
template <class Pixel>
void FillWith(int index, Canvas<Pixel>& canvas, const RasterVertex& a, const RasterVertex& b,
              const RasterVertex& c, const RasterTexture& tex = {}, const RasterColor& colour = {})
{
    InitTriangleRasterizers();
    TriangleRasterizerAt(index)(a, b, c, canvas.bits(), canvas.pitch(), tex, colour);
}

// Covers the whole canvas (two triangles of a quad, clipped at its last column and row).
template <class Pixel>
void FillQuad(int index, Canvas<Pixel>& canvas, const RasterVertex (&corners)[4], const RasterTexture& tex = {},
              const RasterColor& colour = {})
{
    FillWith(index, canvas, corners[0], corners[1], corners[2], tex, colour);
    FillWith(index, canvas, corners[1], corners[3], corners[2], tex, colour);
}

// Fixed-seed generator of the randomised tests (the seed is printed with any failure).
class SeededRandom {
public:
    explicit SeededRandom(uint32_t seed) : rng_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    float Real(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
    uint32_t U32() { return uint32_t(rng_()); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

private:
    std::mt19937 rng_;
};

} // namespace Fw::test
