// Second-texture (mask) parameters of the matrix blit. The drawing context stores them and hands
// them unchanged to the destination's BltMatrix; only the 3-D renderer reads them.
#pragma once
#include "framework/core/Matrix3.h"
#include "framework/graphics/Rect.h"

namespace Fw {

class Image;

struct SecondTexture {
    Image* image = nullptr; // mask image, not owned; null = none
    Rect srcRect;           // mask source rectangle
    Rect clipRect;          // mask clip rectangle
    Matrix3 matrix;         // mask placement
};

} // namespace Fw
