// Pixel format of the display: channel masks, shifts and bit counts, the per-channel saturation
// tables for additive drawing and the 8-bit-to-native conversion tables. Memory images read it to
// build their premultiplied native pixels; the display fills it from its screen surface.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace Fw {

// The format part alone: what a pixel conversion needs.
struct PixelFormat {
    int32_t bitCount = 0; // 16 or 32 once set
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    int32_t redBits = 0, greenBits = 0, blueBits = 0;    // lowest to highest set bit of each mask
    int32_t redShift = 0, greenShift = 0, blueShift = 0; // index of the lowest set bit
};

class NativeDisplay : public PixelFormat {
public:
    NativeDisplay() = default;
    NativeDisplay(const NativeDisplay&) = default;
    NativeDisplay& operator=(const NativeDisplay&) = default;
    virtual ~NativeDisplay();

    // Sets the screen format directly: stores bit count and masks, derives shifts and bit counts,
    // rebuilds the saturation and conversion tables. Masks are contiguous bit runs (0 = absent).
    void SetPixelFormat(int32_t bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

    // Saturation tables: entry i = min(i, 2^bits - 1), 2^(bits+1) - 1 entries, indexed by the sum
    // of two channel values at the channel's own precision.
    std::vector<int32_t> redAddTable, greenAddTable, blueAddTable;
    // Conversion tables: entry i = (i * mask / 255) & mask, an 8-bit channel in native position.
    std::array<uint32_t, 256> redConvTable{}, greenConvTable{}, blueConvTable{};
};

// Set by the display each time it creates a surface: the primary's masks satisfy
// blue < green < red. Software blits of surface images pick their fast paths by it.
extern std::atomic<bool> gDisplayRGBOrdered;

} // namespace Fw
