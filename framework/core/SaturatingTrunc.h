// Truncation of a double to int32 that is defined for every input: toward zero, clamped to the
// int32 range, NaN gives 0. The plain conversion is undefined outside the range.
// (framework/rasterizer keeps its own copy in FixedPoint.h: it sits below this folder.)
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace Fw {

inline int32_t SaturatingTrunc(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace Fw
