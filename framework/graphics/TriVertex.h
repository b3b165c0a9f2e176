// One vertex of a textured triangle as images hand it to the triangle blits: position in
// destination pixels, texture coordinates in 0..1 of the texture, and a 0xAARRGGBB vertex colour.
#pragma once
#include <cstdint>

namespace Fw {

struct TriVertex {
    float x = 0.0f;
    float y = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
    uint32_t color = 0;
};

// A triangle of the triangle blit: three vertices, any winding.
using TriVertexTriangle = TriVertex[3];

} // namespace Fw
