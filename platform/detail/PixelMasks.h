// Pixel conversions between 0xAARRGGBB and a surface's masked 16- or 32-bit pixels, for the 3-D
// devices' render targets. Narrow channels keep the top bits on the way in and repeat them
// downward on the way out (5-bit 31 -> 255), so a round trip of a stored value is exact.
#pragma once
#include "platform/Surface.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace Platform::detail {

inline uint32_t PackChannel(uint32_t c8, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    return ((c8 >> (8 - std::min(bits, 8))) << shift) & mask;
}

inline uint32_t UnpackChannel(uint32_t p, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::min(std::popcount(mask), 8);
    uint32_t v = ((p & mask) >> shift) << (8 - bits);
    for (int have = bits; have < 8; have += bits)
        v |= v >> have;
    return v & 0xFF;
}

inline uint32_t PackArgb(uint32_t argb, const SurfacePixelFormat& f)
{
    return PackChannel((argb >> 16) & 0xFF, f.redMask) | PackChannel((argb >> 8) & 0xFF, f.greenMask) |
           PackChannel(argb & 0xFF, f.blueMask);
}

inline uint32_t UnpackArgb(uint32_t p, const SurfacePixelFormat& f)
{
    return 0xFF000000u | (UnpackChannel(p, f.redMask) << 16) | (UnpackChannel(p, f.greenMask) << 8) |
           UnpackChannel(p, f.blueMask);
}

inline uint32_t LoadPixel(const uint8_t* p, int32_t bytes)
{
    if (bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StorePixel(uint8_t* p, int32_t bytes, uint32_t v)
{
    if (bytes == 2) {
        const uint16_t s = uint16_t(v);
        std::memcpy(p, &s, 2);
    } else {
        std::memcpy(p, &v, 4);
    }
}

} // namespace Platform::detail
