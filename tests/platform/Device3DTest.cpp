// The 3-D devices: exact coverage, sampling and blending of the software reference device, its
// failure injection, and the OpenGL device drawing the same scene within the capability tester's
// tolerance (skipped with a message when no EGL/OpenGL context can be made here).
// FW_DEVICE3D_SCENE_DIR=<folder> writes both scenes as PNG files for a look by eye.
#include "framework/display/D3DTester.h"
#include "framework/display/TextureData.h"
#include "platform/MemorySurface.h"
#include "platform/SoftwareDevice3D.h"
#include "platform/detail/PixelMasks.h"
#include "platform/gl/GlDevice3D.h"
#include "support/FontFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace Platform;

namespace {

struct Target {
    Surface* surface = nullptr;
    Target(int32_t w, int32_t h, const SurfacePixelFormat& f = kFormatX8R8G8B8)
    {
        EXPECT_EQ(MemorySurface::Create(w, h, f, DDSCAPS_3DDEVICE, 8, &surface), DD_OK);
    }
    ~Target() { surface->Release(); }
    // The pixel as 0xRRGGBB whatever the surface's format.
    uint32_t At(int32_t x, int32_t y)
    {
        auto* s = static_cast<MemorySurface*>(surface);
        return detail::UnpackArgb(s->PixelAt(x, y), s->Format()) & 0xFFFFFF;
    }
};

// A quad covering pixels [x, x + w) x [y, y + h) by the device's pixel-centre rule.
std::vector<Vertex3D> Quad(float x, float y, float w, float h, uint32_t color, float u1 = 1, float v1 = 1)
{
    return {{x - 0.5f, y - 0.5f, 0, 1, color, 0, 0, 0},
            {x + w - 0.5f, y - 0.5f, 0, 1, color, 0, u1, 0},
            {x - 0.5f, y + h - 0.5f, 0, 1, color, 0, 0, v1},
            {x + w - 0.5f, y + h - 0.5f, 0, 1, color, 0, u1, v1}};
}

Texture3DRef MakeTexture(Device3D& dev, int32_t w, int32_t h, uint32_t format, uint32_t (*texel)(int32_t, int32_t))
{
    Texture3DRef t;
    EXPECT_EQ(dev.CreateTexture(w, h, format, t), DD_OK);
    TextureLock lock;
    EXPECT_EQ(t->Lock(lock), DD_OK);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = texel(x, y);
            uint8_t* p = static_cast<uint8_t*>(lock.bits) + y * lock.pitch;
            if (format == kTexA8R8G8B8)
                reinterpret_cast<uint32_t*>(p)[x] = c;
            else if (format == kTexA4R4G4B4)
                reinterpret_cast<uint16_t*>(p)[x] = Fw::ArgbTo4444(c);
            else
                reinterpret_cast<uint16_t*>(p)[x] =
                    uint16_t(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
        }
    EXPECT_EQ(t->Unlock(), DD_OK);
    return t;
}

void Begin(Device3D& dev, uint32_t src, uint32_t dst)
{
    ASSERT_EQ(dev.BeginScene(), DD_OK);
    dev.SetRenderState(RenderState::CullMode, kCullNone);
    dev.SetRenderState(RenderState::AlphaBlendEnable, 1);
    dev.SetRenderState(RenderState::SrcBlend, src);
    dev.SetRenderState(RenderState::DestBlend, dst);
    for (int s = 0; s < 2; ++s) {
        dev.SetTextureStageState(s, StageState::AddressU, kAddressClamp);
        dev.SetTextureStageState(s, StageState::AddressV, kAddressClamp);
    }
}

uint32_t Checker(int32_t x, int32_t y) { return ((x / 2 + y / 2) % 2) ? 0xFFFF0000u : 0xFF0000FFu; }
uint32_t Gradient(int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x40; }
uint32_t HalfAlphaGreen(int32_t, int32_t) { return 0x8000FF00u; }

// The scene both devices draw: point-sampled checker, bilinear gradient, a half-transparent
// quad, an additive quad, a tinted quad in 16-bit texels, a line strip.
void DrawScene(Device3D& dev)
{
    ASSERT_EQ(dev.Clear(0xFF202020u), DD_OK);
    Texture3DRef checker = MakeTexture(dev, 16, 16, kTexA8R8G8B8, Checker);
    Texture3DRef gradient = MakeTexture(dev, 32, 32, kTexA8R8G8B8, Gradient);
    Texture3DRef green = MakeTexture(dev, 8, 8, kTexA4R4G4B4, HalfAlphaGreen);
    Texture3DRef tinted = MakeTexture(dev, 16, 16, kTexR5G6B5, Checker);
    Begin(dev, kBlendSrcAlpha, kBlendInvSrcAlpha);
    dev.SetTextureStageState(0, StageState::AlphaOp, kOpModulate);
    dev.SetTexture(0, checker);
    auto q = Quad(4, 4, 32, 32, 0xFFFFFFFF);
    ASSERT_EQ(dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1), DD_OK);
    dev.SetTextureStageState(0, StageState::MagFilter, kFilterLinear);
    dev.SetTextureStageState(0, StageState::MinFilter, kFilterLinear);
    dev.SetTexture(0, gradient);
    q = Quad(44, 4, 48, 32, 0xFFFFFFFF);
    dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
    dev.SetTextureStageState(0, StageState::MagFilter, kFilterPoint);
    dev.SetTextureStageState(0, StageState::MinFilter, kFilterPoint);
    dev.SetTexture(0, green);
    q = Quad(20, 20, 40, 24, 0xFFFFFFFF);
    dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
    dev.SetTexture(0, tinted);
    q = Quad(4, 48, 32, 32, 0xFF80FF80);
    dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
    dev.SetRenderState(RenderState::DestBlend, kBlendOne);
    dev.SetTexture(0, checker);
    q = Quad(60, 44, 32, 32, 0x80FFFFFF);
    dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
    dev.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    dev.SetTexture(0, nullptr);
    const Vertex3D line[3] = {{40, 90, 0, 1, 0xFFFFFF00}, {90, 90, 0, 1, 0xFFFFFF00}, {90.5f, 90.5f, 0, 1, 0xFFFFFF00}};
    dev.DrawPrimitive(Primitive::LineStrip, line, 3, 0);
    ASSERT_EQ(dev.EndScene(), DD_OK);
}

std::vector<uint32_t> Pixels(Target& t, int32_t w, int32_t h)
{
    std::vector<uint32_t> px;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            px.push_back(0xFF000000u | t.At(x, y));
    return px;
}

void MaybeWritePng(const char* name, int32_t w, int32_t h, const std::vector<uint32_t>& px)
{
    if (const char* dir = std::getenv("FW_DEVICE3D_SCENE_DIR"); dir && *dir) {
        const auto bytes = TestSupport::PngBytes(w, h, px);
        std::ofstream(std::string(dir) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}

} // namespace

TEST(SoftwareDevice3D, QuadCoversItsPixelsAndMapsTexelsOneToOne)
{
    Target t(20, 20);
    SoftwareDevice3D dev(t.surface);
    Texture3DRef tex = MakeTexture(dev, 4, 4, kTexA8R8G8B8, [](int32_t x, int32_t y) {
        return 0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 60);
    });
    ASSERT_EQ(dev.BeginScene(), DD_OK);
    dev.SetTexture(0, tex);
    auto q = Quad(3, 5, 4, 4, 0xFFFFFFFF);
    ASSERT_EQ(dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1), DD_OK);
    dev.EndScene();
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            const bool inside = x >= 3 && x < 7 && y >= 5 && y < 9;
            const uint32_t want = inside ? uint32_t((x - 3) * 60) << 16 | uint32_t((y - 5) * 60) : 0;
            EXPECT_EQ(t.At(x, y), want) << x << "," << y;
        }
}

TEST(SoftwareDevice3D, SharedEdgeIsDrawnOnce)
{
    // Additive blending of two triangles of one quad: a pixel drawn twice would show 2x.
    Target t(8, 8);
    SoftwareDevice3D dev(t.surface);
    Begin(dev, kBlendOne, kBlendOne);
    const Vertex3D fan[4] = {{-0.5f, -0.5f, 0, 1, 0xFF101010}, {7.5f, -0.5f, 0, 1, 0xFF101010},
                             {7.5f, 7.5f, 0, 1, 0xFF101010}, {-0.5f, 7.5f, 0, 1, 0xFF101010}};
    dev.DrawPrimitive(Primitive::TriangleFan, fan, 4, 0);
    dev.EndScene();
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            ASSERT_EQ(t.At(x, y), 0x101010u) << x << "," << y;
}

TEST(SoftwareDevice3D, BlendFactorsAndSixteenBitTexels)
{
    struct Case {
        const char* what;
        uint32_t src, dst, texFormat, first, second, vertex, expected;
    } cases[] = {
        {"alpha blend", kBlendSrcAlpha, kBlendInvSrcAlpha, kTexA8R8G8B8, 0xFF0000FF, 0x80FF0000, 0xFFFFFFFF, 0x80007F},
        {"additive", kBlendOne, kBlendOne, kTexA8R8G8B8, 0xFF404040, 0xFF404040, 0xFFFFFFFF, 0x808080},
        {"alpha add", kBlendSrcAlpha, kBlendOne, kTexA8R8G8B8, 0xFF404040, 0x80808080, 0xFFFFFFFF, 0x808080},
        {"4444 texels repeat nibbles", kBlendSrcAlpha, kBlendInvSrcAlpha, kTexA4R4G4B4, 0xFF0000FF, 0x80FF0000,
         0xFFFFFFFF, 0x880077},
        {"vertex alpha modulates", kBlendSrcAlpha, kBlendInvSrcAlpha, kTexA8R8G8B8, 0xFF0000FF, 0xFFFF0000,
         0x80FFFFFF, 0x80007F},
    };
    for (const Case& c : cases) {
        Target t(4, 4);
        SoftwareDevice3D dev(t.surface);
        static uint32_t fill;
        fill = c.first;
        Texture3DRef a = MakeTexture(dev, 4, 4, c.texFormat, [](int32_t, int32_t) { return fill; });
        fill = c.second;
        Texture3DRef b = MakeTexture(dev, 4, 4, c.texFormat, [](int32_t, int32_t) { return fill; });
        Begin(dev, c.src, c.dst);
        dev.SetTextureStageState(0, StageState::AlphaOp, kOpModulate);
        auto q = Quad(0, 0, 4, 4, 0xFFFFFFFF);
        dev.SetTexture(0, a);
        dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
        q = Quad(0, 0, 4, 4, c.vertex);
        dev.SetTexture(0, b);
        dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 1);
        dev.EndScene();
        EXPECT_EQ(t.At(2, 2), c.expected) << c.what;
    }
}

TEST(SoftwareDevice3D, InjectedFailuresHitTheNamedCallOnly)
{
    Target t(8, 8);
    SoftwareDevice3D dev(t.surface);
    dev.InjectFailure("DrawPrimitive:Line", DDERR_SURFACELOST);
    dev.InjectFailure("LockTexture", DDERR_SURFACEBUSY, 1);
    ASSERT_EQ(dev.BeginScene(), DD_OK);
    auto q = Quad(0, 0, 2, 2, 0xFFFFFFFF);
    EXPECT_EQ(dev.DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 0), DD_OK);
    EXPECT_EQ(dev.DrawPrimitive(Primitive::LineStrip, q.data(), 2, 0), DDERR_SURFACELOST);
    EXPECT_EQ(dev.DrawPrimitive(Primitive::LineStrip, q.data(), 2, 0), DD_OK) << "a one-shot failure";
    Texture3DRef tex;
    ASSERT_EQ(dev.CreateTexture(4, 4, kTexA8R8G8B8, tex), DD_OK);
    TextureLock lock;
    EXPECT_EQ(tex->Lock(lock), DD_OK) << "the first lock is skipped";
    tex->Unlock();
    EXPECT_EQ(tex->Lock(lock), DDERR_SURFACEBUSY);
    EXPECT_EQ(dev.CallsOf("DrawPrimitive").size(), 3u);
}

TEST(SoftwareDevice3D, LineStripLeavesOutTheLastPixel)
{
    Target t(8, 4);
    SoftwareDevice3D dev(t.surface);
    ASSERT_EQ(dev.BeginScene(), DD_OK);
    const Vertex3D line[2] = {{1, 1, 0, 1, 0xFFFFFFFF}, {5, 1, 0, 1, 0xFFFFFFFF}};
    dev.DrawPrimitive(Primitive::LineStrip, line, 2, 0);
    dev.EndScene();
    for (int32_t x = 0; x < 8; ++x)
        EXPECT_EQ(t.At(x, 1), (x >= 1 && x < 5) ? 0xFFFFFFu : 0u) << x;
}

TEST(GlDevice3D, DrawsTheSceneLikeTheSoftwareDevice)
{
    std::string why;
    if (!GlContextAvailable(&why))
        GTEST_SKIP() << "no OpenGL context here: " << why;
    constexpr int32_t W = 100, H = 100;
    for (const SurfacePixelFormat& format : {kFormatX8R8G8B8, kFormat565}) {
        Target soft(W, H, format), gl(W, H, format);
        SoftwareDevice3D sdev(soft.surface);
        std::unique_ptr<Device3D> gdev = CreateGlDevice3D(gl.surface);
        ASSERT_TRUE(gdev);
        DrawScene(sdev);
        DrawScene(*gdev);
        const auto a = Pixels(soft, W, H), b = Pixels(gl, W, H);
        const bool wide = format.bitCount == 32;
        MaybeWritePng(wide ? "scene-software.png" : "scene-software-565.png", W, H, a);
        MaybeWritePng(wide ? "scene-opengl.png" : "scene-opengl-565.png", W, H, b);
        int bad = 0;
        for (size_t i = 0; i < a.size(); ++i)
            if (Fw::SquaredColorDistance(a[i], b[i]) > 768 && ++bad <= 5)
                ADD_FAILURE() << "pixel " << i % W << "," << i / W << " software " << std::hex << a[i] << " opengl "
                              << b[i] << " (" << std::dec << format.bitCount << " bits)";
        EXPECT_EQ(bad, 0);
    }
    EXPECT_FALSE(GlRendererName().empty());
}

// A window device keeps its frame: the render target surface sees the picture only on ReadBack.
TEST(GlDevice3D, WindowDeviceReadsBackOnlyWhenAsked)
{
    std::string why;
    std::shared_ptr<GlContext> ctx = HeadlessGlContext(&why);
    if (!ctx)
        GTEST_SKIP() << "no OpenGL context here: " << why;
    Target t(8, 8);
    std::unique_ptr<Device3D> dev = CreateGlDevice3D(ctx, t.surface, true);
    ASSERT_TRUE(dev);
    EXPECT_TRUE(dev->PresentsToWindow());
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(dev->BeginScene(), DD_OK);
        auto q = Quad(2, 2, 4, 4, 0xFF00FF00);
        ASSERT_EQ(dev->DrawPrimitive(Primitive::TriangleStrip, q.data(), 4, 0), DD_OK);
        ASSERT_EQ(dev->EndScene(), DD_OK);
    }
    EXPECT_EQ(t.At(3, 3), 0u) << "nothing written back at EndScene";
    ASSERT_EQ(dev->ReadBack(), DD_OK);
    EXPECT_EQ(t.At(3, 3), 0x00FF00u);
    EXPECT_EQ(t.At(0, 0), 0u);
    EXPECT_EQ(dev->Present(WindowPresentation{8, 8, {0, 0, 8, 8}}), DDERR_SURFACELOST) << "a headless context has no window";
}
