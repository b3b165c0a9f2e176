// The nearest stretch that copies rows of opaque source pixels gives the same bits as blending
// every pixel with the white normal rule, on 565 and X888, plain, mirrored and from a palette,
// over random sources, destinations, column and row tables.
#include "framework/graphics/detail/NearestStretch.h"
#include "framework/graphics/detail/SurfaceBlendRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace Fw::detail;

uint32_t gSeed = 77;
uint32_t Next()
{
    gSeed = gSeed * 1664525u + 1013904223u;
    return gSeed >> 4;
}

// A source word: opaque rows hold only alpha 255; other rows mix clear, partial and opaque.
uint32_t Word(bool opaqueRow)
{
    const uint32_t kind = opaqueRow ? 1 : Next() % 3;
    const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : 1 + Next() % 254;
    return a << 24 | (Next() & 0xFFFFFF);
}

template <class P, class L>
void Compare(const char* what)
{
    for (int rep = 0; rep < 400; ++rep) {
        const int32_t srcW = 1 + int32_t(Next() % 40), srcH = 1 + int32_t(Next() % 12);
        const bool palette = Next() % 3 == 0, mirror = Next() % 2 == 0;
        std::vector<uint32_t> native(palette ? 256 : size_t(srcW) * size_t(srcH));
        std::vector<uint8_t> indices(size_t(srcW) * size_t(srcH));
        std::vector<bool> opaqueRow(static_cast<size_t>(srcH));
        for (int32_t y = 0; y < srcH; ++y)
            opaqueRow[size_t(y)] = Next() % 2 == 0;
        if (palette) {
            // Entries 0..127 opaque, the rest mixed; opaque rows index only the first half.
            for (size_t i = 0; i < 256; ++i)
                native[i] = Word(i < 128);
            for (size_t k = 0; k < indices.size(); ++k)
                indices[k] = uint8_t(opaqueRow[k / size_t(srcW)] ? Next() % 128 : Next() % 256);
        } else {
            for (size_t k = 0; k < native.size(); ++k)
                native[k] = Word(opaqueRow[k / size_t(srcW)]);
        }
        // Destination rectangle inside a padded surface; tables stepping forward or at random.
        const int32_t dw = 40, dh = 20;
        const Fw::Rect r(int32_t(Next() % 8), int32_t(Next() % 6), 1 + int32_t(Next() % 32), 1 + int32_t(Next() % 14));
        std::vector<int32_t> cols(size_t(r.width)), rows(size_t(r.height));
        // Column tables: in order, at random, or each column twice (a 2x enlargement, starting
        // with a pair or with a single column; sometimes broken at one place).
        const uint32_t kind = Next() % 6;
        const int32_t phase = int32_t(Next() % 2), start = int32_t(Next() % uint32_t(srcW));
        const int32_t broken = kind == 5 ? int32_t(Next() % uint32_t(r.width)) : -1;
        for (int32_t i = 0; i < r.width; ++i)
            cols[size_t(i)] = kind < 2   ? i * srcW / r.width
                              : kind < 3 ? int32_t(Next() % uint32_t(srcW))
                                         : std::min(start + (i + phase) / 2 + (i == broken ? 1 : 0), srcW - 1);
        const bool ordered = kind != 2;
        for (int32_t j = 0; j < r.height; ++j)
            rows[size_t(j)] = ordered ? j * srcH / r.height : int32_t(Next() % uint32_t(srcH));
        const int32_t pitch = dw * int32_t(sizeof(P)) + 8;
        std::vector<uint8_t> a(size_t(pitch) * dh);
        for (uint8_t& b : a)
            b = uint8_t(Next());
        std::vector<uint8_t> b = a;
        auto view = [&](std::vector<uint8_t>& bits) {
            SurfaceView v;
            v.bits = bits.data();
            v.pitch = pitch;
            v.bitCount = int32_t(sizeof(P) * 8);
            v.width = dw;
            v.height = dh;
            return v;
        };
        const StretchSource src{native.data(), palette ? indices.data() : nullptr, srcW};
        auto clear = [](uint32_t s) { return (s >> 24) == 0; };
        StretchRowsCopyingOpaque<P>(view(a), r, mirror, cols, rows, src, PlainRuleChannels<L>{}, clear);
        StretchRows<P>(view(b), r, mirror, cols, rows, src, PlainRuleChannels<L>{}, clear);
        ASSERT_TRUE(a == b) << what << " rep " << rep << (palette ? " palette" : "") << (mirror ? " mirror" : "");
    }
}

TEST(NearestStretch, CopyingOpaqueRowsMatchesTheBlendOn565)
{
    Compare<uint16_t, Layout565>("565");
}

TEST(NearestStretch, CopyingOpaqueRowsMatchesTheBlendOnX888)
{
    Compare<uint32_t, LayoutX888>("X888");
}

} // namespace
