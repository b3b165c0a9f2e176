// Fixed-point helpers of the rasterizer: 16.16 floor, saturating float-to-fixed conversion and
// the wide set-up products. Set-up products are formed exactly in 128 bits, so a flat sliver whose
// step would not fit 64 bits still gets its exact (floored) value; shifts of signed values floor.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace Fw::raster {

// Largest multiple of 65536 not greater than v, negative values included (-0x8000 -> -0x10000).
constexpr int32_t FixedFloor(int32_t v)
{
    return int32_t(uint32_t(v) & 0xFFFF0000u);
}

// trunc(value), saturated to the int32 range; NaN gives 0. No undefined conversion.
inline int32_t SaturatingTrunc(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

// 2^48 / divisor, truncated toward zero (divisor != 0).
inline int64_t Reciprocal48(int64_t divisor)
{
    return (int64_t(1) << 48) / divisor;
}

// (diff * reciprocal) >> 32, exact and floored. |diff| < 2^33 and |reciprocal| <= 2^48 keep the
// result below 2^49, so it always fits int64 (the per-row step; usually it fits int32 as well).
inline int64_t StepOf(int64_t diff, int64_t reciprocal)
{
    return int64_t((__int128(diff) * reciprocal) >> 32);
}

// (a * b) >> 16, exact and floored.
inline int64_t MulShift16(int64_t a, int64_t b)
{
    return int64_t((__int128(a) * b) >> 16);
}

inline int32_t SaturateToInt32(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

} // namespace Fw::raster
