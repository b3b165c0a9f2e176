// Integer rectangle (x, y, width, height; covers x..x+width-1) and insets (left, top, right, bottom).
#pragma once
#include <algorithm>
#include <cstdint>

namespace Fw {

struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    constexpr Rect() = default;
    constexpr Rect(int32_t x_, int32_t y_, int32_t w, int32_t h) : x(x_), y(y_), width(w), height(h) {}

    // A zero extent keeps its position (touching rectangles); only a negative one collapses to all zero.
    constexpr Rect Intersection(const Rect& o) const
    {
        const int32_t left = std::max(x, o.x);
        const int32_t right = std::min(x + width, o.x + o.width);
        const int32_t top = std::max(y, o.y);
        const int32_t bottom = std::min(y + height, o.y + o.height);
        if (right - left < 0 || bottom - top < 0)
            return Rect();
        return Rect(left, top, right - left, bottom - top);
    }

    constexpr bool operator==(const Rect&) const = default;
};

struct Insets {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr Insets() = default;
    constexpr Insets(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    constexpr bool operator==(const Insets&) const = default;
};

} // namespace Fw
