// The glyph span gives the surface blend's pixels (the plain rule under white, the colour rules
// otherwise, as the run-driven blit applies them) for native palettes, in its vector body and tail;
// the memory-image glyph pass gives Blt's pixels, glyph by glyph.
#include "framework/graphics/detail/GlyphSpans.h"

#include "framework/graphics/GlyphPlacement.h"
#include "framework/graphics/MemoryImage.h"

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

// Random glyph rectangles of a palette image (clear, opaque and partial entries), some reaching
// past the destination's edges, onto memory images of each kind under each colour: the one pass
// and the glyph-by-glyph blit give the same bits, and the pass refuses nothing it was given.
TEST(MemoryImageGlyphs, MatchBltGlyphByGlyph)
{
    const Color colours[] = {Color::White, Color(250, 230, 120), Color(128, 128, 128), Color(200, 160, 120, 220),
                             Color(255, 255, 255, 128), Color(0, 0, 0, 0), Color(3, 250, 77, 1)};
    // Opaque: flags scanned (every pixel known opaque); OpaqueChanged: the same pixels changed
    // since the scan (each row looked at).
    enum Dest { Opaque, OpaqueChanged, ForcedOpaqueMixedAlpha, Translucent, Clear };
    const char* names[] = {"opaque", "opaque, changed since the scan", "forced opaque, mixed alpha", "translucent",
                           "clear"};
    constexpr int32_t SW = 37, SH = 23, DW = 41, DH = 30;
    uint32_t seed = 2024;
    uint32_t entries[200];
    for (uint32_t& p : entries) {
        const uint32_t r = Next(seed), kind = r >> 30;
        p = kind == 0 ? 0 : kind == 1 ? (r | 0xFF000000u) : r;
    }
    std::vector<uint32_t> glyphPx(size_t(SW * SH));
    for (uint32_t& p : glyphPx)
        p = (Next(seed) >> 28) < 5 ? 0 : entries[(Next(seed) >> 8) % 200];
    Fw::MemoryImage glyphs(nullptr);
    glyphs.SetBits(glyphPx.data(), SW, SH);
    ASSERT_TRUE(glyphs.Palletize());
    for (int dest = Opaque; dest <= Clear; ++dest) {
        for (const Color& colour : colours) {
            std::vector<uint32_t> under(size_t(DW * DH));
            for (size_t i = 0; i < under.size(); ++i) {
                const uint32_t r = Next(seed);
                // Translucent: runs of opaque, clear and partial alpha, so groups of four agree or not.
                const uint32_t a = (i / 3 % 3 == 0) ? 255 : (i / 3 % 3 == 1) ? 0 : (r >> 24);
                under[i] = dest <= OpaqueChanged ? (r | 0xFF000000u)
                           : dest == Clear ? 0
                                           : (a << 24 | (r & 0xFFFFFF));
            }
            Fw::MemoryImage fast(nullptr), slow(nullptr);
            fast.SetBits(under.data(), DW, DH);
            slow.SetBits(under.data(), DW, DH);
            if (dest == ForcedOpaqueMixedAlpha) {
                fast.SetImageMode(false, false);
                slow.SetImageMode(false, false);
            }
            if (dest == OpaqueChanged)
                fast.BitsChanged();
            std::vector<Fw::GlyphPlacement> placed;
            for (int k = 0; k < 40; ++k) {
                const int32_t w = 1 + int32_t(Next(seed) % 20), h = 1 + int32_t(Next(seed) % 12);
                const int32_t sx = int32_t(Next(seed) % uint32_t(SW - w + 1)), sy = int32_t(Next(seed) % uint32_t(SH - h + 1));
                const int32_t x = int32_t(Next(seed) % uint32_t(DW + 10)) - 8, y = int32_t(Next(seed) % uint32_t(DH + 6)) - 4;
                placed.push_back({x, y, Fw::Rect(sx, sy, w, h)});
            }
            ASSERT_TRUE(fast.BltPaletteGlyphs(&glyphs, placed.data(), placed.size(), colour));
            for (const Fw::GlyphPlacement& g : placed)
                slow.Blt(&glyphs, g.x, g.y, g.src, colour, 0);
            for (int32_t i = 0; i < DW * DH; ++i)
                ASSERT_EQ(fast.GetBits()[i], slow.GetBits()[i])
                    << names[dest] << ", colour " << std::hex << colour.ToInt() << std::dec << ", pixel " << i % DW
                    << "," << i / DW;
            // The flags the image keeps as scanned say what its pixels are.
            if (!fast.bitsChanged && !fast.forcedMode && !fast.hasTrans && !fast.hasAlpha) {
                for (int32_t i = 0; i < DW * DH; ++i)
                    ASSERT_EQ(fast.GetBits()[i] >> 24, 255u) << names[dest] << ", pixel " << i;
            }
        }
    }
}

} // namespace
