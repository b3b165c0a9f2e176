// 1,000 textured 64 x 64 quads per frame on an 800 x 600 X888 target: through the 3-D renderer on
// the software reference device, on the OpenGL device (skipped without an EGL context), and
// through the surface images' software blits. Each 3-D case also reports its frame time as a ratio
// to the software blits, measured in the same run ("x_surface_images").
// The window cases draw the same frame and show it in a real window (an X display is needed: under
// Xvfb the OpenGL is llvmpipe): the surface images presented through the screen device, and the
// OpenGL window device drawing into the window's own context and swapping; "x_software_window" is
// the OpenGL frame's time over the software one. Run them apart from the headless OpenGL case
// (--benchmark_filter=Window; scripts/run-bench.sh does): a GLX context cannot be made current
// in a process whose thread already had the headless EGL one.
#include "framework/display/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "platform/MemorySurface.h"
#include "platform/ScreenDevice.h"
#include "platform/SoftwareDevice3D.h"
#include "platform/WindowSystem.h"
#include "platform/gl/GlDevice3D.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace Fw;
using namespace Platform;

constexpr int32_t kW = 800, kH = 600, kQuads = 1000;

std::vector<Point> Positions()
{
    std::vector<Point> out;
    uint32_t s = 12345;
    for (int i = 0; i < kQuads; ++i) {
        s = s * 214013 + 2531011;
        const int32_t x = int32_t((s >> 16) % (kW - 64));
        s = s * 214013 + 2531011;
        out.emplace_back(x, int32_t((s >> 16) % (kH - 64)));
    }
    return out;
}

void Sprite(MemoryImage& image)
{
    std::vector<uint32_t> px(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            px[size_t(y * 64 + x)] = uint32_t((x + y) * 2) << 24 | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | 0x80;
    image.SetBits(px.data(), 64, 64);
}

struct Host : D3DHost {
    bool PlayingDemo() override { return false; }
    std::string DemoSyncString(const std::string& v) override { return v; }
    void DemoSyncBool(bool&) override {}
    bool IsMinimized() override { return false; }
    void WriteRuntimeError(const std::string&) override {}
    D3DTestSettings GetTestSettings() override { return {}; }
};

class BenchDisplay : public SurfaceDisplay {
public:
    BenchDisplay() { native.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF); }
    NativeDisplay& GetPixelFormat() override { return native; }
    CritSect& GetDisplayLock() override { return lock; }
    void AddDDImage(DDImage*) override {}
    void RemoveDDImage(DDImage*) override {}
    bool Is3D() override { return false; }
    Surface* GetDrawSurface() override { return nullptr; }
    bool IsCursorAreaImage(const DDImage*) override { return false; }
    ImageRegistry* GetImageRegistry() override { return nullptr; }
    HRESULT CreateSurface(const SurfaceDesc& d, Surface** out) override
    {
        return MemorySurface::Create(d.width, d.height, kFormatX8R8G8B8, d.caps, 0, out);
    }
    NativeDisplay native;
    CritSect lock;
};

// One frame of the surface images' software path.
struct SurfacePath {
    BenchDisplay display;
    std::unique_ptr<DDImage> screen = std::make_unique<DDImage>(&display);
    MemoryImage sprite{nullptr};
    std::vector<Point> at = Positions();
    SurfacePath()
    {
        std::vector<uint32_t> bg(size_t(kW) * kH, 0xFF203040);
        screen->SetBits(bg.data(), kW, kH);
        screen->GetSurface();
        Sprite(sprite);
    }
    void Frame()
    {
        for (const Point& p : at)
            screen->Blt(&sprite, p.x, p.y, Rect(0, 0, 64, 64), Color(255, 255, 255), 0);
    }
};

double SurfacePathSeconds()
{
    static const double seconds = [] {
        SurfacePath path;
        path.Frame();
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i)
            path.Frame();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 5;
    }();
    return seconds;
}

void RunRenderer(benchmark::State& state, Driver3D& driver)
{
    Host host;
    Surface* target = nullptr;
    MemorySurface::Create(kW, kH, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &target);
    MemoryImage sprite(nullptr);
    Sprite(sprite);
    const std::vector<Point> at = Positions();
    {
        D3DInterface renderer(driver, host);
        if (!renderer.InitOnSurface(target, kW, kH, true, nullptr)) {
            state.SkipWithError("renderer could not start");
        } else {
            const double baseline = SurfacePathSeconds();
            double total = 0;
            int64_t frames = 0;
            for (auto _ : state) {
                const auto t0 = std::chrono::steady_clock::now();
                for (const Point& p : at)
                    renderer.Blt(&sprite, float(p.x), float(p.y), Rect(0, 0, 64, 64), Color(255, 255, 255), 0, false);
                renderer.Flush();
                total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                ++frames;
            }
            if (frames > 0)
                state.counters["x_surface_images"] = total / double(frames) / baseline;
        }
    }
    target->Release();
}

void BM_SoftwareDevice(benchmark::State& state)
{
    SoftwareDriver3D driver;
    driver.deviceOptions.record = false;
    RunRenderer(state, driver);
}
BENCHMARK(BM_SoftwareDevice)->Unit(benchmark::kMillisecond);

void BM_OpenGlDevice(benchmark::State& state)
{
    std::string why;
    if (!GlContextAvailable(&why)) {
        state.SkipWithError(("no OpenGL context: " + why).c_str());
        for (auto _ : state) {
        }
        return;
    }
    GlDriver3D driver;
    RunRenderer(state, driver);
}
BENCHMARK(BM_OpenGlDevice)->Unit(benchmark::kMillisecond);

void BM_SurfaceImages(benchmark::State& state)
{
    SurfacePath path;
    for (auto _ : state)
        path.Frame();
}
BENCHMARK(BM_SurfaceImages)->Unit(benchmark::kMillisecond);

// The window the window cases show their frames in (0 without an X display).
Platform::WindowId BenchWindow()
{
    static const Platform::WindowId window = [] {
        if (!std::getenv("DISPLAY"))
            return Platform::WindowId(0);
        Platform::WindowDesc desc;
        desc.title = "bench";
        desc.width = kW;
        desc.height = kH;
        return Platform::GetWindowSystem().CreateWindow(desc);
    }();
    return window;
}

double SoftwareWindowSeconds()
{
    static const double seconds = [] {
        SurfacePath path;
        ScreenDevice& screen = GetScreenDevice();
        auto frame = [&] {
            path.Frame();
            screen.Present(BenchWindow(), path.screen->GetSurface(), nullptr);
        };
        frame();
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < 10; ++i)
            frame();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 10;
    }();
    return seconds;
}

void BM_SoftwareToWindow(benchmark::State& state)
{
    if (!BenchWindow()) {
        state.SkipWithError("no X display (run under Xvfb)");
        for (auto _ : state) {
        }
        return;
    }
    SurfacePath path;
    ScreenDevice& screen = GetScreenDevice();
    for (auto _ : state) {
        path.Frame();
        screen.Present(BenchWindow(), path.screen->GetSurface(), nullptr);
    }
    screen.Release(BenchWindow());
}
BENCHMARK(BM_SoftwareToWindow)->Unit(benchmark::kMillisecond);

void BM_OpenGlToWindow(benchmark::State& state)
{
    if (!BenchWindow()) {
        state.SkipWithError("no X display (run under Xvfb)");
        for (auto _ : state) {
        }
        return;
    }
    const double baseline = SoftwareWindowSeconds();
    GetScreenDevice().Release(BenchWindow());
    GlDriver3D driver;
    driver.SetTargetWindow(BenchWindow());
    Host host;
    Surface* target = nullptr;
    MemorySurface::Create(kW, kH, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &target);
    MemoryImage sprite(nullptr);
    Sprite(sprite);
    const std::vector<Point> at = Positions();
    {
        D3DInterface renderer(driver, host);
        if (!renderer.InitOnSurface(target, kW, kH, true, nullptr, true) || !renderer.PresentsToWindow()) {
            state.SkipWithError(("no window device: " + driver.ContextNote()).c_str());
            for (auto _ : state) {
            }
        } else {
            WindowPresentation how;
            how.modeWidth = kW;
            how.modeHeight = kH;
            how.frameArea = SurfaceRect{0, 0, kW, kH};
            double total = 0;
            int64_t frames = 0;
            for (auto _ : state) {
                const auto t0 = std::chrono::steady_clock::now();
                for (const Point& p : at)
                    renderer.Blt(&sprite, float(p.x), float(p.y), Rect(0, 0, 64, 64), Color(255, 255, 255), 0, false);
                renderer.Flush();
                renderer.PresentToWindow(how);
                total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                ++frames;
            }
            if (frames > 0)
                state.counters["x_software_window"] = total / double(frames) / baseline;
            state.SetLabel(driver.ContextNote());
        }
    }
    target->Release();
}
BENCHMARK(BM_OpenGlToWindow)->Unit(benchmark::kMillisecond);

} // namespace
