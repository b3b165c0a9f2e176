// Every table entry against the scalar reference: random triangles (slivers and degenerate ones
// included), textures, colours and destinations; the destination bytes must match exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "RasterTestSupport.h"
#include "ReferenceRasterizer.h"

namespace Fw::test {
namespace {

class Scenario : public SeededRandom {
public:
    using SeededRandom::SeededRandom;

    uint32_t Alpha()
    {
        static constexpr uint32_t kInteresting[] = {0, 1, 8, 9, 127, 128, 239, 240, 254, 255};
        return Chance(50) ? kInteresting[Int(0, 9)] : uint32_t(Int(0, 255));
    }

    uint32_t Pixel() { return (Alpha() << 24) | (U32() & 0xFFFFFF); }

    int32_t Channel()
    {
        if (Chance(5))
            return int32_t(U32()); // far out of range: the fillers must stay bounded
        if (Chance(50))
            return Int(0, 255) << 16;
        return Int(0, 0xFF0000);
    }

    int32_t Coordinate(int pixels)
    {
        const int32_t max = (pixels - 1) * 65536;
        return Chance(30) ? Int(0, pixels - 1) * 65536 : Int(0, max);
    }

    int32_t TexCoord(int texels)
    {
        if (Chance(5))
            return int32_t(U32());
        return Int(-2 * 65536, (texels + 2) * 65536);
    }

    RasterVertex Vertex(int w, int h, int tw, int th)
    {
        return {Coordinate(w), Coordinate(h), Channel(), Channel(), Channel(), Channel(), TexCoord(tw), TexCoord(th)};
    }

    // Shapes the walk must treat specially: equal rows, slivers, points on a line.
    void Degenerate(RasterVertex (&v)[3], int w, int h)
    {
        switch (Int(0, 5)) {
        case 0: v[1].y = v[0].y; break;
        case 1: v[2].y = v[1].y + Int(-2, 2); break;
        case 2: v[2].x = v[1].x + Int(-3, 3); break;
        case 3: // a flat sliver: under one unit of height difference per pixel of width
            v[1].y = v[0].y + Int(0, 3);
            v[2].y = v[0].y + Int(0, 70000);
            break;
        case 4: // collinear
            v[2].x = v[0].x + (v[1].x - v[0].x) / 2;
            v[2].y = v[0].y + (v[1].y - v[0].y) / 2;
            break;
        default: v[1] = v[0]; break;
        }
        for (RasterVertex& p : v) {
            p.x = std::clamp(p.x, 0, (w - 1) * 65536);
            p.y = std::clamp(p.y, 0, (h - 1) * 65536);
        }
    }
};

TEST(RasterizerDifferential, EveryTableEntryMatchesTheReference)
{
    InitTriangleRasterizers();
    constexpr uint32_t kSeed = 20261210;
    constexpr int kTrials = 300;
    Scenario s(kSeed);
    int changed = 0;
    for (int index = 0; index < 128; ++index) {
        const bool wide = index < 64;
        for (int trial = 0; trial < kTrials; ++trial) {
            const int w = s.Int(4, 33), h = s.Int(4, 25);
            const int bpp = wide ? 4 : 2;
            const int32_t pitch = w * bpp + s.Int(0, 5);
            const size_t bytes = size_t(pitch) * h + 8;
            std::vector<unsigned char> dst(bytes);
            for (size_t i = 0; i < bytes; i += 4) {
                const uint32_t p = s.Pixel();
                std::memcpy(&dst[i], &p, std::min<size_t>(4, bytes - i));
            }
            const int tw = s.Int(1, 9), th = s.Int(1, 9);
            Texture tex(tw, th);
            for (uint32_t& t : tex.texels)
                t = s.Pixel();
            const RasterColor colour = s.Chance(20) ? RasterColor{}
                                                    : RasterColor{int32_t(s.Alpha()), s.Int(0, 255), s.Int(0, 255),
                                                                  s.Int(0, 255)};
            RasterVertex v[3] = {s.Vertex(w, h, tw, th), s.Vertex(w, h, tw, th), s.Vertex(w, h, tw, th)};
            if (s.Chance(30))
                s.Degenerate(v, w, h);

            const std::vector<unsigned char> before = dst;
            std::vector<unsigned char> expected = dst;
            ReferenceFill(index, v[0], v[1], v[2], expected.data(), pitch, tex.view(), colour);
            TriangleRasterizerAt(index)(v[0], v[1], v[2], dst.data(), pitch, tex.view(), colour);
            changed += (dst != before);
            if (dst != expected) {
                size_t at = 0;
                while (dst[at] == expected[at])
                    ++at;
                FAIL() << "seed " << kSeed << " index " << index << " trial " << trial << ": first difference at byte "
                       << at << " (row " << at / size_t(pitch) << ", column " << (at % size_t(pitch)) / size_t(bpp)
                       << "), expected " << int(expected[at]) << " got " << int(dst[at]);
            }
        }
    }
    // Most drawing entries must actually have drawn something, or the comparison proves little.
    EXPECT_GT(changed, 128 * kTrials / 3);
}

} // namespace
} // namespace Fw::test
