// Integer and float points, and one horizontal run of a scan-line fill.
#pragma once
#include <cstdint>

namespace Fw {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    constexpr Point() = default;
    constexpr Point(int32_t x_, int32_t y_) : x(x_), y(y_) {}
    constexpr bool operator==(const Point&) const = default;
};

struct FloatPoint {
    float x = 0.0f;
    float y = 0.0f;
    constexpr FloatPoint() = default;
    constexpr FloatPoint(float x_, float y_) : x(x_), y(y_) {}
    constexpr bool operator==(const FloatPoint&) const = default;
};

struct Span {
    int32_t y = 0;
    int32_t x = 0;
    int32_t width = 0;
};

} // namespace Fw
