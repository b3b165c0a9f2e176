// The rasterizer's input vertex: a floating-point position in destination pixels, a texture
// coordinate in 0..1 of the texture and a packed vertex colour. Plain record, no behaviour.
#pragma once
#include <cstdint>

namespace Fw {

struct TriVertex {
    float x = 0.0f;       // destination pixels; pixel (X, Y) is sampled at whole-number coordinates
    float y = 0.0f;
    float u = 0.0f;       // 0..1 across the texture's width
    float v = 0.0f;       // 0..1 across the texture's height
    uint32_t colour = 0;  // 0xAARRGGBB; read only when the vertex-colour flag is set
};

} // namespace Fw
