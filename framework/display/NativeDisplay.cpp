// Pixel-format record: derived shifts and bit counts and the tables built from them.
#include "framework/display/NativeDisplay.h"

#include <bit>

namespace Fw {

std::atomic<bool> gDisplayRGBOrdered{false};

namespace {

struct MaskShape {
    int32_t shift = 0;
    int32_t bits = 0;
};

MaskShape ShapeOf(uint32_t mask)
{
    if (mask == 0)
        return {};
    const int32_t low = std::countr_zero(mask);
    const int32_t high = 31 - std::countl_zero(mask);
    return {low, high - low + 1};
}

std::vector<int32_t> SaturationTable(int32_t bits)
{
    const int32_t max = (1 << bits) - 1;
    std::vector<int32_t> table(size_t((1 << (bits + 1)) - 1));
    for (int32_t i = 0; i < int32_t(table.size()); ++i)
        table[size_t(i)] = i < max ? i : max;
    return table;
}

std::array<uint32_t, 256> ConversionTable(uint32_t mask)
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = uint32_t(uint64_t(i) * mask / 255) & mask;
    return table;
}

} // namespace

NativeDisplay::~NativeDisplay() = default;

void NativeDisplay::SetPixelFormat(int32_t bits, uint32_t red, uint32_t green, uint32_t blue)
{
    bitCount = bits;
    redMask = red;
    greenMask = green;
    blueMask = blue;
    const MaskShape r = ShapeOf(red), g = ShapeOf(green), b = ShapeOf(blue);
    redShift = r.shift;
    redBits = r.bits;
    greenShift = g.shift;
    greenBits = g.bits;
    blueShift = b.shift;
    blueBits = b.bits;
    redAddTable = SaturationTable(redBits);
    greenAddTable = SaturationTable(greenBits);
    blueAddTable = SaturationTable(blueBits);
    redConvTable = ConversionTable(red);
    greenConvTable = ConversionTable(green);
    blueConvTable = ConversionTable(blue);
}

} // namespace Fw
