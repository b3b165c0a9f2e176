// The glyph span gives the surface blend's pixels (the plain rule under white, the colour rules
// otherwise, as the run-driven blit applies them) for native palettes, in its vector body and tail.
#include "framework/graphics/detail/GlyphSpans.h"

#include "framework/graphics/detail/SurfaceBlendRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Fw::detail;
using Fw::Color;

uint32_t Next(uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return seed;
}

// The blit's pixel for native word n over d under color: clear skipped, opaque in the opaque form
// (under white, or a colour alpha of 255), every other in the partial form.
uint32_t RulePixel(uint32_t n, uint32_t d, const Color& color)
{
    const uint32_t a = n >> 24;
    if (a == 0)
        return d;
    if (color == Color::White)
        return a == 255 ? PlainRule32{}.opaque(n, d) : PlainRule32{}.partial(n, d);
    const uint32_t ca = uint32_t(color.alpha);
    const uint32_t f[3] = {uint32_t(color.red) * ca / 255, uint32_t(color.green) * ca / 255,
                           uint32_t(color.blue) * ca / 255};
    const bool opaque = a == 255 && ca >= 255;
    if (f[0] == f[1] && f[1] == f[2]) {
        const GreyRule32 grey{f[0], ca};
        return opaque ? grey.opaque(n, d) : grey.partial(n, d);
    }
    const ChannelRule<LayoutX888> channel{{}, {f[0], f[1], f[2]}, ca};
    return opaque ? channel.opaque(n, d) : channel.partial(n, d);
}

TEST(GlyphSpans, MatchTheBlendRulesOverNativePalettes)
{
    const Color colours[] = {Color::White,          Color(250, 230, 120),   Color(128, 128, 128),
                             Color(90, 90, 90, 254), Color(200, 160, 120, 220), Color(255, 0, 17, 1),
                             Color(0, 0, 0, 0),      Color(255, 255, 255, 128), Color(3, 250, 77)};
    uint32_t seed = 97;
    for (const Color& colour : colours) {
        for (int rep = 0; rep < 20; ++rep) {
            // Straight palette colours, one in four clear and one in four opaque, made native.
            uint32_t straight[256], native[256];
            for (uint32_t& p : straight) {
                const uint32_t r = Next(seed), kind = r >> 30;
                p = kind == 0 ? (r & 0xFFFFFF) : kind == 1 ? (r | 0xFF000000u) : r;
            }
            NativeX888SpanScalar(native, straight, 256);
            GlyphPalette palette;
            BuildGlyphPalette(palette, native, colour);
            for (int32_t n = 0; n < 40; ++n) {
                std::vector<uint8_t> idx(static_cast<size_t>(n));
                std::vector<uint32_t> dst(static_cast<size_t>(n));
                for (int32_t i = 0; i < n; ++i) {
                    const uint32_t r = Next(seed);
                    idx[size_t(i)] = (r >> 28) < 5 ? 0 : uint8_t(r >> 8); // runs of index 0 as glyph margins
                    dst[size_t(i)] = Next(seed);
                }
                std::vector<uint32_t> fast = dst, scalar = dst, rule = dst;
                GlyphSpan32(fast.data(), idx.data(), n, palette);
                GlyphSpan32Scalar(scalar.data(), idx.data(), n, palette);
                for (int32_t i = 0; i < n; ++i)
                    rule[size_t(i)] = RulePixel(native[idx[size_t(i)]], dst[size_t(i)], colour);
                ASSERT_EQ(fast, rule) << "colour " << std::hex << colour.ToInt() << " rep " << rep << " n " << n;
                ASSERT_EQ(scalar, rule) << "colour " << std::hex << colour.ToInt() << " rep " << rep << " n " << n;
            }
        }
    }
}

} // namespace
