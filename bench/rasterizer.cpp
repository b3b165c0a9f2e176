// Software triangle rasterizer throughput. Full-screen 1024x768 quads through the copy, blend,
// bilinear and modulated bilinear fillers into 0x8888 (opaque and translucent), 0x888 and 0x565; 1,000 rotated 64x64
// sprites and 20,000 small triangles through RasterizePolygon (set-up and clipping cost). After
// the runs it prints each filler as a ratio to memcpy/memset of the same destination bytes and
// its speed-up over the scalar test reference, all measured in this run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "framework/rasterizer/PolygonRasterizer.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"
// The scalar reference lives with the tests; compiled in here so the ratio is measured in-run.
#include "tests/framework/rasterizer/ReferenceRasterizer.cpp"

namespace {

using namespace Fw;

constexpr int kW = 1024, kH = 768;

struct Mode {
    const char* name;
    int slot;
};
constexpr Mode kModes[] = {{"copy", 16}, {"blend", 24}, {"bilinear", 25}, {"modbilinear", 27}};
struct Format {
    const char* name;
    int block;
    int bpp;
};
constexpr Format kFormats[] = {{"8888", 0, 4}, {"888", 32, 4}, {"565", 64, 2}};

std::vector<uint32_t> MakeTexture(int size, bool translucent)
{
    std::vector<uint32_t> t(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint32_t a = translucent ? uint32_t(40 + (x * 7 + y * 3) % 190) : 255u; // mostly the blend path
            t[size_t(y) * size + x] = (a << 24) | uint32_t((x * 9) & 0xFF) << 16 | uint32_t((y * 5) & 0xFF) << 8 |
                                      uint32_t((x ^ y) & 0xFF);
        }
    return t;
}

RasterVertex Corner(int x, int y, int u, int v)
{
    return {x << 16, y << 16, 255 << 16, 255 << 16, 255 << 16, 255 << 16, u << 16, v << 16};
}

// An opaque destination unless `translucent` (then every pixel has alpha 0x40).
void FullScreen(benchmark::State& state, int index, int bpp, bool reference, bool translucent)
{
    InitTriangleRasterizers();
    std::vector<unsigned char> dst(size_t(kW) * kH * bpp, 0x40);
    if (bpp == 4 && !translucent)
        for (size_t i = 3; i < dst.size(); i += 4)
            dst[i] = 0xFF;
    const std::vector<uint32_t> texels = MakeTexture(256, (index & 8) != 0);
    const RasterTexture tex{texels.data(), 256, uint32_t(texels.size())};
    const RasterColor colour{200, 255, 180, 120};
    const RasterVertex a = Corner(0, 0, 0, 0), b = Corner(kW, 0, 256, 0), c = Corner(0, kH, 0, 256),
                       d = Corner(kW, kH, 256, 256);
    const TriangleFiller filler = TriangleRasterizerAt(index);
    for (auto _ : state) {
        if (reference) {
            test::ReferenceFill(index, a, b, c, dst.data(), kW * bpp, tex, colour);
            test::ReferenceFill(index, b, d, c, dst.data(), kW * bpp, tex, colour);
        } else {
            filler(a, b, c, dst.data(), kW * bpp, tex, colour);
            filler(b, d, c, dst.data(), kW * bpp, tex, colour);
        }
        benchmark::ClobberMemory();
    }
    state.counters["MPix/s"] = benchmark::Counter(double(kW) * kH * double(state.iterations()) / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void Memset(benchmark::State& state, int bpp)
{
    std::vector<unsigned char> dst(size_t(kW) * kH * bpp);
    for (auto _ : state) {
        std::memset(dst.data(), 0x5A, dst.size());
        benchmark::ClobberMemory();
    }
}

void Memcpy(benchmark::State& state, int bpp)
{
    std::vector<unsigned char> src(size_t(kW) * kH * bpp, 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), dst.size());
        benchmark::ClobberMemory();
    }
}

void Sprites(benchmark::State& state, bool bilinear)
{
    InitTriangleRasterizers();
    std::vector<uint32_t> dst(size_t(kW) * kH, 0xFF102030);
    const std::vector<uint32_t> texels = MakeTexture(64, true);
    const RasterTextureSource tex{texels.data(), 64, 64, false, true};
    const RasterClipRect clip{0, 0, kW, kH};
    std::vector<TriVertex> quads;
    for (int i = 0; i < 1000; ++i) {
        const float cx = float((i * 397) % (kW + 64) - 32), cy = float((i * 211) % (kH + 64) - 32);
        const float an = float(i) * 0.13f, c = std::cos(an) * 32, s = std::sin(an) * 32;
        quads.push_back({cx - c + s, cy - s - c, 0, 0, 0});
        quads.push_back({cx + c + s, cy + s - c, 1, 0, 0});
        quads.push_back({cx - c - s, cy - s + c, 0, 1, 0});
        quads.push_back({cx + c - s, cy + s + c, 1, 1, 0});
    }
    for (auto _ : state) {
        for (size_t q = 0; q < quads.size(); q += 4)
            RasterizePolygon(&quads[q], 4, &tex, RasterColor{}, 0, clip, dst.data(), kW * 4, 0x8888, bilinear, false);
        benchmark::ClobberMemory();
    }
    state.counters["sprites/s"] = benchmark::Counter(1000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void SmallTriangles(benchmark::State& state)
{
    InitTriangleRasterizers();
    std::vector<uint32_t> dst(size_t(kW) * kH, 0xFF000000);
    const RasterClipRect clip{0, 0, kW, kH};
    std::vector<TriVertex> tris;
    for (int i = 0; i < 20000; ++i) {
        // About a third of them cross the screen border and need clipping.
        const float x = float((i * 7919) % (kW + 20) - 10), y = float((i * 104729) % (kH + 20) - 10);
        tris.push_back({x, y, 0, 0, 0xFFFF8040});
        tris.push_back({x + 5.5f, y + 1.25f, 0, 0, 0x80408040});
        tris.push_back({x + 1.75f, y + 6.5f, 0, 0, 0xFF2040FF});
    }
    for (auto _ : state) {
        for (size_t t = 0; t < tris.size(); t += 3)
            RasterizePolygon(&tris[t], 3, nullptr, RasterColor{}, 0, clip, dst.data(), kW * 4, 0x8888, false, true);
        benchmark::ClobberMemory();
    }
    state.counters["tris/s"] = benchmark::Counter(20000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Keeps the time per iteration of every run for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.iterations > 0)
                seconds[r.benchmark_name()] = r.real_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    for (int bpp : {4, 2}) {
        benchmark::RegisterBenchmark(("Baseline/memset/" + std::to_string(bpp * 8)).c_str(), Memset, bpp);
        benchmark::RegisterBenchmark(("Baseline/memcpy/" + std::to_string(bpp * 8)).c_str(), Memcpy, bpp);
    }
    for (const Format& f : kFormats)
        for (const Mode& m : kModes) {
            const std::string name = std::string(f.name) + "/" + m.name;
            benchmark::RegisterBenchmark(("Fill/" + name).c_str(), FullScreen, f.block + m.slot, f.bpp, false, false);
            benchmark::RegisterBenchmark(("Reference/" + name).c_str(), FullScreen, f.block + m.slot, f.bpp, true,
                                         false);
        }
    // Over a translucent 0x8888 destination every blended pixel divides by the combined coverage.
    for (const Mode& m : kModes) {
        const std::string name = std::string("8888translucent/") + m.name;
        benchmark::RegisterBenchmark(("Fill/" + name).c_str(), FullScreen, m.slot, 4, false, true);
        benchmark::RegisterBenchmark(("Reference/" + name).c_str(), FullScreen, m.slot, 4, true, true);
    }
    benchmark::RegisterBenchmark("Polygon/sprites64/nearest", Sprites, false);
    benchmark::RegisterBenchmark("Polygon/sprites64/bilinear", Sprites, true);
    benchmark::RegisterBenchmark("Polygon/smallTriangles20000", SmallTriangles);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto& t = reporter.seconds;
    std::printf("\nFull-screen fill time as a multiple of the same bytes' memcpy / memset; speed-up over the "
                "scalar reference:\n");
    constexpr Format kReported[] = {kFormats[0], {"8888translucent", 0, 4}, kFormats[1], kFormats[2]};
    for (const Format& f : kReported)
        for (const Mode& m : kModes) {
            const std::string name = std::string(f.name) + "/" + m.name;
            const std::string bits = std::to_string(f.bpp * 8);
            const double fill = t["Fill/" + name];
            if (fill <= 0)
                continue;
            std::printf("  %-28s %6.2fx memcpy  %6.2fx memset  %6.1fx faster than reference\n", name.c_str(),
                        fill / t["Baseline/memcpy/" + bits], fill / t["Baseline/memset/" + bits],
                        t["Reference/" + name] / fill);
        }
    // Sprites: 1,000 x 64 x 64 nominal pixels (about 5.2 screens); small triangles: about 16 pixels each.
    const double memcpyPerPixel = t["Baseline/memcpy/32"] / (double(kW) * kH);
    const struct {
        const char* name;
        double pixels;
    } polygons[] = {{"Polygon/sprites64/nearest", 1000.0 * 64 * 64},
                    {"Polygon/sprites64/bilinear", 1000.0 * 64 * 64},
                    {"Polygon/smallTriangles20000", 20000.0 * 16}};
    for (const auto& p : polygons)
        if (t[p.name] > 0)
            std::printf("  %-28s %6.2fx memcpy of the same nominal pixels\n", p.name,
                        t[p.name] / (memcpyPerPixel * p.pixels));
    benchmark::Shutdown();
    return 0;
}
