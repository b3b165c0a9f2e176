// Pixel access and arithmetic of the surface drawing code: a view of a locked surface, the
// per-bit-count dispatch and the spread 16-bit forms. Internal to framework/graphics.
//
// Rounding: every product is shifted right (truncating); x / 255 is integer division. The 16-bit
// 565 and 555 blends spread a pixel into one 32-bit word, green moved to bits 21-26 (565) or
// 21-25 (555), so one multiplication by a 5-bit weight blends all three channels:
//   spread565(d) = ((d << 16) | d) & 0x07E0F81F,  spread555(d) = ((d << 16) | d) & 0x03E07C1F,
//   fold(x) = low 16 bits of (x | (x >> 16)).
#pragma once
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "platform/Surface.h"

#include <algorithm>
#include <cstdint>

namespace Fw::detail {

inline constexpr uint32_t kSpread565 = 0x07E0F81Fu;
inline constexpr uint32_t kSpread555 = 0x03E07C1Fu;

inline uint32_t Spread(uint32_t d, uint32_t mask)
{
    return ((d << 16) | d) & mask;
}
inline uint32_t Fold(uint32_t x)
{
    return (x | (x >> 16)) & 0xFFFFu;
}

// The locked surface: rows a pitch apart, pixels of 16 or 32 bits.
struct SurfaceView {
    uint8_t* bits = nullptr;
    int32_t pitch = 0, bitCount = 0, width = 0, height = 0;
    uint32_t rm = 0, gm = 0, bm = 0;

    static SurfaceView Of(const Platform::SurfaceDesc& d)
    {
        SurfaceView v;
        v.bits = static_cast<uint8_t*>(d.surface);
        v.pitch = d.pitch;
        v.bitCount = d.pixelFormat.bitCount;
        v.width = d.width;
        v.height = d.height;
        v.rm = d.pixelFormat.redMask;
        v.gm = d.pixelFormat.greenMask;
        v.bm = d.pixelFormat.blueMask;
        return v;
    }
    bool Usable() const { return bits && (bitCount == 16 || bitCount == 32); }
    template <class P>
    P* Row(int32_t y) const
    {
        return reinterpret_cast<P*>(bits + size_t(y) * size_t(pitch));
    }
    uint32_t Get(int32_t x, int32_t y) const
    {
        return bitCount == 16 ? uint32_t(Row<uint16_t>(y)[x]) : Row<uint32_t>(y)[x];
    }
    void Put(int32_t x, int32_t y, uint32_t v) const
    {
        if (bitCount == 16)
            Row<uint16_t>(y)[x] = uint16_t(v);
        else
            Row<uint32_t>(y)[x] = v;
    }
    Rect Bounds() const { return Rect(0, 0, width, height); }
    // 16-bit surface with 565 or 555 masks (by the green mask): blends on the spread word.
    uint32_t SpreadMask() const
    {
        if (bitCount != 16)
            return 0;
        return gm == 0x7E0 ? kSpread565 : (gm == 0x3E0 ? kSpread555 : 0);
    }
};

// Calls fn with a null pointer of the surface's pixel type (uint16_t or uint32_t); false for any
// other bit count. The format is chosen once per call, never per pixel.
template <class Fn>
bool DispatchPixel(const SurfaceView& v, Fn&& fn)
{
    if (v.bitCount == 16) {
        fn(static_cast<uint16_t*>(nullptr));
        return true;
    }
    if (v.bitCount == 32) {
        fn(static_cast<uint32_t*>(nullptr));
        return true;
    }
    return false;
}

// Runs d = rule(d) over every pixel of r (already inside the surface).
template <class P, class Rule>
void ApplyRect(const SurfaceView& v, const Rect& r, Rule rule)
{
    for (int32_t y = r.y; y < r.y + r.height; ++y) {
        P* row = v.Row<P>(y) + r.x;
        for (int32_t x = 0; x < r.width; ++x)
            row[x] = P(rule(uint32_t(row[x])));
    }
}

// Colour channel (0..255) in the surface format: exact form ((ch + 1) * M >> 8) & M, and the
// short form (ch * M >> 8) & M, which turns 255 into 254 on an 8-bit channel.
inline uint32_t ExactChannel(uint32_t ch, uint32_t m)
{
    return uint32_t((uint64_t(ch + 1) * m) >> 8) & m;
}
inline uint32_t ShortChannel(uint32_t ch, uint32_t m)
{
    return uint32_t((uint64_t(ch) * m) >> 8) & m;
}

// Channel masks (from the surface) and shifts (from the display) of the per-channel rules: fixed at
// compile time for 565 and X888 so the loops fold them, read at run time for any other layout.
template <uint32_t R, uint32_t G, uint32_t B, int32_t RS, int32_t GS, int32_t BS>
struct FixedLayout {
    static constexpr uint32_t m(int k) { return k == 0 ? R : k == 1 ? G : B; }
    static constexpr int32_t sh(int k) { return k == 0 ? RS : k == 1 ? GS : BS; }
};
struct RuntimeLayout {
    uint32_t mk[3];
    int32_t shk[3];
    uint32_t m(int k) const { return mk[k]; }
    int32_t sh(int k) const { return shk[k]; }
};
using Layout565 = FixedLayout<0xF800, 0x07E0, 0x001F, 11, 5, 0>;
using LayoutX888 = FixedLayout<0xFF0000, 0xFF00, 0xFF, 16, 8, 0>;

// Calls fn with the layout object of the surface and display, chosen once per call.
template <class Fn>
void WithLayout(const SurfaceView& v, const PixelFormat& f, Fn&& fn)
{
    const bool shifts565 = f.redShift == 11 && f.greenShift == 5 && f.blueShift == 0;
    const bool shifts888 = f.redShift == 16 && f.greenShift == 8 && f.blueShift == 0;
    if (v.bitCount == 16 && v.rm == 0xF800 && v.gm == 0x7E0 && v.bm == 0x1F && shifts565)
        fn(Layout565{});
    else if (v.bitCount == 32 && v.rm == 0xFF0000 && v.gm == 0xFF00 && v.bm == 0xFF && shifts888)
        fn(LayoutX888{});
    else
        fn(RuntimeLayout{{v.rm, v.gm, v.bm}, {f.redShift, f.greenShift, f.blueShift}});
}

} // namespace Fw::detail
