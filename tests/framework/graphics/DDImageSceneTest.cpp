// One scene of every surface drawing operation, drawn on a 565 and on an X888 surface: the two
// read-backs must show the same picture within the 16-bit precision. With FW_SURFACE_SCENE_DIR
// set, both are written there as PNG files for looking at.
#include "framework/assets/ImageLib.h"
#include "framework/graphics/DDImage.h"
#include "support/FakeSurfaceDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Fw;

namespace {

constexpr int W = 400, H = 240;

// A round sprite: opaque core, partial-alpha rim, transparent corners; colours vary across it.
std::vector<uint32_t> Sprite(int n)
{
    std::vector<uint32_t> px(size_t(n) * size_t(n));
    const double c = (n - 1) / 2.0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x - c, y - c) / c;
            const uint32_t a = d < 0.8 ? 255 : d < 1.0 ? uint32_t((1.0 - d) / 0.2 * 255) : 0;
            const uint32_t r = uint32_t(255 * x / (n - 1)), g = uint32_t(255 * y / (n - 1)), b = 160;
            px[size_t(y) * size_t(n) + size_t(x)] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    return px;
}

std::vector<uint32_t> DrawScene(const Platform::SurfacePixelFormat& format)
{
    FwTest::FakeSurfaceDisplay display(format);
    DDImage screen(&display);
    std::vector<uint32_t> bg(W * H, 0xFF102040);
    screen.SetBits(bg.data(), W, H);
    const Rect all(0, 0, W, H);

    for (int i = 0; i < 8; ++i)
        screen.FillRect(Rect(10 + i * 20, 10, 18, 40), Color(255, 32 * i, 0, 32 * i + 31), DRAWMODE_NORMAL);
    screen.FillRect(Rect(180, 10, 60, 40), Color(0, 96, 0, 255), DRAWMODE_ADDITIVE);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 3.14159265 / 12;
        screen.DrawLine(280, 40, 280 + 30 * std::cos(a), 40 + 30 * std::sin(a), Color(255, 255, 0), DRAWMODE_NORMAL);
        // Apart from each other: repeated 5-bit blends of one pixel drift further than one blend.
        screen.DrawLineAA(332 + 5 * i, 20.3, 342 + 5 * i + 2 * std::cos(a), 80.6, Color::White, DRAWMODE_NORMAL);
    }

    const std::vector<uint32_t> spritePx = Sprite(48);
    MemoryImage sprite(nullptr);
    sprite.SetBits(spritePx.data(), 48, 48);
    const Rect s(0, 0, 48, 48);
    screen.Blt(&sprite, 10, 60, s, Color::White, DRAWMODE_NORMAL);
    screen.Blt(&sprite, 60, 60, s, Color(255, 128, 64, 200), DRAWMODE_NORMAL);
    screen.Blt(&sprite, 110, 60, s, Color::White, DRAWMODE_ADDITIVE);
    screen.BltMirror(&sprite, 160, 60, s, Color::White, DRAWMODE_NORMAL);
    screen.BltRotated(&sprite, 210.0f, 60.0f, s, all, Color::White, DRAWMODE_NORMAL, 0.5236, 24.0f, 24.0f);
    screen.BltRotated(&sprite, 250.0f, 120.0f, s, all, Color(128, 255, 128, 255), DRAWMODE_ADDITIVE, -0.7, 24.0f,
                      24.0f);
    screen.StretchBlt(&sprite, Rect(10, 120, 96, 96), s, all, Color::White, DRAWMODE_NORMAL, true);
    screen.StretchBlt(&sprite, Rect(110, 120, 96, 96), s, all, Color::White, DRAWMODE_NORMAL, false);
    screen.StretchBltMirror(&sprite, Rect(210, 170, 64, 64), s, all, Color(255, 255, 255, 160), DRAWMODE_NORMAL,
                            true);
    std::vector<uint8_t> coverage(100 * 10);
    for (int i = 0; i < 1000; ++i)
        coverage[size_t(i)] = uint8_t((i % 100) * 255 / 99);
    std::vector<Span> spans;
    for (int y = 0; y < 10; ++y)
        spans.push_back(Span{220 + y, 10, 100});
    screen.FillScanLinesWithCoverage(spans.data(), int32_t(spans.size()), Color(255, 200, 100), DRAWMODE_NORMAL,
                                     coverage.data(), 10, 220, 100, 10);

    const uint32_t* px = screen.GetBits();
    EXPECT_NE(px, nullptr);
    if (!px)
        return {};
    EXPECT_EQ(px[W * H], MemoryImage::kGuard);
    return std::vector<uint32_t>(px, px + W * H);
}

TEST(DDImageScene, SixteenAndThirtyTwoBitSurfacesShowTheSamePicture)
{
    const std::vector<uint32_t> p565 = DrawScene(Platform::kFormat565);
    const std::vector<uint32_t> p888 = DrawScene(Platform::kFormatX8R8G8B8);
    ASSERT_EQ(p565.size(), p888.size());
    int worst = 0, at = -1;
    for (size_t i = 0; i < p565.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int d = std::abs(int((p565[i] >> shift) & 0xFF) - int((p888[i] >> shift) & 0xFF));
            if (d > worst) {
                worst = d;
                at = int(i);
            }
        }
    // 5-bit channels lose up to 7 per conversion; the 16-bit blends weigh in 5-bit steps and
    // truncate source and destination parts apart, up to about 4 steps (32) more. A swapped or
    // misplaced channel shows differences near 255.
    EXPECT_LE(worst, 40) << "worst " << worst << " at pixel " << at % W << "," << at / W;

    if (const char* dir = std::getenv("FW_SURFACE_SCENE_DIR"); dir && *dir) {
        for (const auto& [name, px] : {std::pair{"scene565.png", &p565}, std::pair{"sceneX888.png", &p888}}) {
            ImageLib::Image out(W, H);
            std::memcpy(out.GetBits(), px->data(), px->size() * 4);
            EXPECT_TRUE(ImageLib::WritePng(std::string(dir) + "/" + name, out));
        }
    }
}

} // namespace
