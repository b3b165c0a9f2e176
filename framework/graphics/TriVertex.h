// Triangles of the triangle blit: three rasterizer vertices (position in destination pixels,
// texture coordinates in 0..1, 0xAARRGGBB colour), any winding.
#pragma once
#include "framework/rasterizer/TriVertex.h"

namespace Fw {

using TriVertexTriangle = TriVertex[3];

} // namespace Fw
