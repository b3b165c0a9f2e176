// One glyph of a text drawn from a glyph image: the rectangle of the image it shows and where its
// top-left corner lands.
#pragma once
#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Fw {

struct GlyphPlacement {
    int32_t x = 0, y = 0;
    Rect src;
};

} // namespace Fw
