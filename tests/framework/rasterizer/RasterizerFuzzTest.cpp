// Random strips through RasterizePolygon, wild inputs included (far, non-finite and sliver
// coordinates, saturated texture coordinates), into destinations with guard bands: nothing may
// be written outside the clip rectangle, and the sanitizers must stay quiet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "RasterTestSupport.h"
#include "framework/rasterizer/PolygonRasterizer.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"

namespace Fw {
namespace {

class Fuzzer : public test::SeededRandom {
public:
    using SeededRandom::SeededRandom;

    float Coordinate(float extent)
    {
        static constexpr float kWild[] = {std::numeric_limits<float>::quiet_NaN(),
                                          std::numeric_limits<float>::infinity(),
                                          -std::numeric_limits<float>::infinity(),
                                          1e9f,
                                          -1e9f,
                                          3e38f,
                                          -3e38f,
                                          1e-30f};
        if (Chance(4))
            return kWild[Int(0, 7)];
        if (Chance(20))
            return std::round(Real(-extent, 2 * extent)) + (Chance(50) ? 0.0f : Real(-1e-4f, 1e-4f));
        return Real(-extent, 2 * extent);
    }

    TriVertex Vertex(float w, float h)
    {
        const float u = Chance(5) ? Coordinate(1e6f) : Real(-0.5f, 1.5f);
        const float v = Chance(5) ? Coordinate(1e6f) : Real(-0.5f, 1.5f);
        return {Coordinate(w), Coordinate(h), u, v, U32()};
    }
};

TEST(RasterizerFuzz, WritesStayInsideTheClipRectangle)
{
    InitTriangleRasterizers();
    constexpr uint32_t kSeed = 424242;
    constexpr int kGuard = 64;
    constexpr int32_t kFormats[] = {0x8888, 0x888, 0x565, 0x555, 0x1234};
    Fuzzer f(kSeed);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        const int32_t format = kFormats[f.Int(0, 4)];
        const int bpp = (format == 0x565 || format == 0x555) ? 2 : 4;
        const int w = f.Int(1, 48), h = f.Int(1, 40);
        const int32_t pitch = w * bpp + f.Int(0, 3) * bpp;
        std::vector<unsigned char> buffer(size_t(kGuard * 2 + pitch * h), 0xA5);
        unsigned char* bits = buffer.data() + kGuard;
        const RasterClipRect clip{f.Int(0, w - 1), f.Int(0, h - 1), 0, 0};
        const RasterClipRect sized{clip.x, clip.y, f.Int(0, w - clip.x), f.Int(0, h - clip.y)};

        const int tw = f.Int(1, 16), th = f.Int(1, 16);
        std::vector<uint32_t> texels(size_t(tw * th));
        for (uint32_t& t : texels)
            t = uint32_t(f.Int(0, 1) ? 0xFFFFFFFF : f.Int(0, 0x7FFFFFFF));
        const RasterTextureSource tex{texels.data(), tw, th, f.Chance(50), f.Chance(50)};
        std::vector<TriVertex> strip(size_t(f.Int(0, 6)));
        for (TriVertex& v : strip)
            v = f.Vertex(float(w), float(h));
        const RasterColor colour = f.Chance(30) ? RasterColor{}
                                                : RasterColor{f.Int(-10, 300), f.Int(0, 255), f.Int(0, 255), f.Int(0, 255)};

        RasterizePolygon(strip.data(), int32_t(strip.size()), f.Chance(70) ? &tex : nullptr, colour, f.Int(0, 1),
                         sized, bits, pitch, format, f.Chance(50), f.Chance(50));

        for (size_t i = 0; i < buffer.size(); ++i) {
            const long offset = long(i) - kGuard;
            bool writable = false;
            if (offset >= 0 && offset < long(pitch) * h) {
                const long x = (offset % pitch) / bpp, y = offset / pitch;
                writable = (offset % pitch) < w * bpp && x >= sized.x && x < sized.x + sized.width &&
                           y >= sized.y && y < sized.y + sized.height;
            }
            if (!writable && buffer[i] != 0xA5)
                FAIL() << "seed " << kSeed << " iteration " << iteration << ": byte " << offset
                       << " outside the clip rectangle was written";
        }
    }
}

} // namespace
} // namespace Fw
