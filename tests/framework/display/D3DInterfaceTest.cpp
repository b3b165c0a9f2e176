// The 3-D renderer on the recording software device: the vertices it sends for blits, clipped
// quads and triangle batches, the filter state, error recording and the minimised no-op.
#include "framework/display/D3DInterface.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/MemorySurface.h"
#include "platform/SoftwareDevice3D.h"

#include <gtest/gtest.h>

using namespace Fw;
using namespace Platform;

namespace {

struct Host : D3DHost {
    bool minimized = false;
    std::vector<std::string> runtimeErrors;
    bool PlayingDemo() override { return false; }
    std::string DemoSyncString(const std::string& v) override { return v; }
    void DemoSyncBool(bool&) override {}
    bool IsMinimized() override { return minimized; }
    void WriteRuntimeError(const std::string& text) override { runtimeErrors.push_back(text); }
    D3DTestSettings GetTestSettings() override { return {}; }
};

struct RendererFixture : ::testing::Test {
    SoftwareDriver3D driver;
    Host host;
    Surface* target = nullptr;
    std::unique_ptr<D3DInterface> renderer;
    MemoryImage image{nullptr};

    void SetUp() override
    {
        driver.deviceOptions.caps = {1, 1, 256, 256, 0, false};
        ASSERT_EQ(MemorySurface::Create(200, 200, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &target), DD_OK);
        renderer = std::make_unique<D3DInterface>(driver, host);
        ASSERT_TRUE(renderer->InitOnSurface(target, 200, 200, true, nullptr));
        std::vector<uint32_t> px(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                px[size_t(y * 32 + x)] = 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8);
        image.SetBits(px.data(), 32, 32);
        Device().ClearCalls();
    }
    void TearDown() override
    {
        renderer.reset();
        target->Release();
    }
    SoftwareDevice3D& Device() { return static_cast<SoftwareDevice3D&>(*renderer->GetDevice()); }
    std::vector<SoftwareDevice3D::Call> Draws() { return Device().CallsOf("DrawPrimitive"); }
    uint32_t Pixel(int x, int y) { return static_cast<MemorySurface*>(target)->PixelAt(x, y) & 0xFFFFFF; }
};

} // namespace

TEST_F(RendererFixture, BltInsideIsOneStripShiftedHalfAPixel)
{
    renderer->Blt(&image, 10, 20, Rect(0, 0, 32, 32), Color(255, 255, 255), 0, false);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitive, Primitive::TriangleStrip);
    ASSERT_EQ(draws[0].vertices.size(), 4u);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].x, 9.5f);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].y, 19.5f);
    EXPECT_FLOAT_EQ(draws[0].vertices[3].x, 41.5f);
    EXPECT_FLOAT_EQ(draws[0].vertices[3].y, 51.5f);
    EXPECT_FLOAT_EQ(draws[0].vertices[3].u, 1.0f);
    renderer->Flush();
    EXPECT_EQ(Pixel(10 + 5, 20 + 7), uint32_t(5 * 8) << 16 | uint32_t(7 * 8)) << "texel (5, 7), point-sampled";
    EXPECT_EQ(Pixel(9, 20), 0u);
    EXPECT_EQ(Pixel(42, 20), 0u);
}

TEST_F(RendererFixture, QuadAcrossACornerBecomesAClippedFan)
{
    const Rect clip(20, 20, 100, 100);
    Matrix3 identity;
    renderer->BltTransformed(&image, &clip, Color(255, 255, 255), 0, Rect(0, 0, 32, 32), identity, false, 4.5f, 4.5f,
                             nullptr);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitive, Primitive::TriangleFan);
    ASSERT_GE(draws[0].vertices.size(), 3u);
    EXPECT_LE(draws[0].vertices.size(), 6u);
    for (const Vertex3D& v : draws[0].vertices) {
        EXPECT_GE(v.x, 20.0f);
        EXPECT_GE(v.y, 20.0f);
        // u follows x across the quad: x = 4 + 32 u.
        EXPECT_NEAR(v.u, (v.x - 4.0f) / 32.0f, 1e-5);
        EXPECT_NEAR(v.v, (v.y - 4.0f) / 32.0f, 1e-5);
    }
    // Inside the clip the quad's own vertices stand.
    Device().ClearCalls();
    renderer->BltTransformed(&image, &clip, Color(255, 255, 255), 0, Rect(0, 0, 32, 32), identity, false, 50, 50,
                             nullptr);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Draws()[0].primitive, Primitive::TriangleStrip);
}

TEST_F(RendererFixture, TrianglesGoOutInListsOfAHundred)
{
    std::vector<TriVertex> flat(250 * 3);
    for (size_t i = 0; i < flat.size(); ++i)
        flat[i] = TriVertex{float(i % 7), float(i % 5), 0.5f, 0.5f, 0};
    renderer->DrawTrianglesTex(&image, reinterpret_cast<const TriVertexTriangle*>(flat.data()), 250, Rect(0, 0, 200, 200),
                               Color(255, 255, 255), 0, 0, 0, false);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].vertices.size(), 300u);
    EXPECT_EQ(draws[1].vertices.size(), 300u);
    EXPECT_EQ(draws[2].vertices.size(), 150u);
    EXPECT_EQ(draws[2].primitive, Primitive::TriangleList);
    // A 32 x 32 image fills its piece exactly, so u is not rescaled.
    EXPECT_FLOAT_EQ(draws[0].vertices[0].u, 0.5f);
}

TEST_F(RendererFixture, LineFailureIsRecordedAndClearedByTheFrameEnd)
{
    Device().InjectFailure("DrawPrimitive:Line", DDERR_SURFACELOST);
    renderer->DrawLine(1, 1, 30, 1, Color(255, 0, 0), 0);
    EXPECT_EQ(renderer->GetErrorText(), "DrawPrimitive (Line): DDERR_SURFACELOST");
    ASSERT_EQ(host.runtimeErrors.size(), 1u);
    EXPECT_EQ(host.runtimeErrors[0], "DrawPrimitive (Line): DDERR_SURFACELOST");
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0].vertices.size(), 3u);
    EXPECT_FLOAT_EQ(draws[0].vertices[2].x, 30.5f);
    renderer->Flush();
    EXPECT_EQ(renderer->GetErrorText(), "");
}

TEST_F(RendererFixture, LinearFilterStateMatchesWhatWasSet)
{
    ASSERT_TRUE(renderer->PreDraw());
    Device().ClearCalls();
    renderer->SetLinearFilter(true);
    EXPECT_TRUE(Device().Calls().empty()) << "the scene set-up already filters linearly";
    renderer->SetLinearFilter(false);
    EXPECT_EQ(Device().GetStageStateValue(0, StageState::MagFilter), kFilterPoint)
        << "the first unfiltered blit of a scene must not be filtered";
    Device().ClearCalls();
    renderer->SetLinearFilter(false);
    EXPECT_TRUE(Device().Calls().empty());
}

TEST_F(RendererFixture, MinimisedOrLostTargetDrawsNothing)
{
    host.minimized = true;
    renderer->FillRect(Rect(0, 0, 10, 10), Color(255, 255, 255), 0);
    EXPECT_TRUE(Draws().empty());
    host.minimized = false;
    Device().InjectFailure("SetRenderTarget", DDERR_SURFACELOST);
    renderer->FillRect(Rect(0, 0, 10, 10), Color(255, 255, 255), 0);
    EXPECT_TRUE(Draws().empty());
    EXPECT_TRUE(renderer->IsRenderTargetLost());
    renderer->FillRect(Rect(0, 0, 10, 10), Color(255, 255, 255), 0);
    EXPECT_FALSE(renderer->IsRenderTargetLost());
    renderer->Flush();
    EXPECT_EQ(Pixel(9, 9), 0xFFFFFFu);
    EXPECT_EQ(Pixel(10, 10), 0u);
}

TEST_F(RendererFixture, PolygonOfTwoPointsDrawsNothingAndCleanupDropsTextures)
{
    const Point two[2] = {{0, 0}, {5, 5}};
    EXPECT_FALSE(renderer->PolyFill(two, 2, Rect(0, 0, 200, 200), Color(255, 255, 255), 0, 0, 0));
    EXPECT_TRUE(Draws().empty());
    renderer->Blt(&image, 0, 0, Rect(0, 0, 32, 32), Color(255, 255, 255), 0, false);
    EXPECT_NE(image.textureData, nullptr);
    EXPECT_EQ(renderer->TexturedImageCount(), 1u);
    renderer->Cleanup();
    EXPECT_EQ(image.textureData, nullptr);
    EXPECT_EQ(renderer->TexturedImageCount(), 0u);
}

TEST_F(RendererFixture, SecondTextureCoordinatesFollowTheSecondMatrix)
{
    MemoryImage mask(nullptr);
    std::vector<uint32_t> px(16 * 16, 0x80FFFFFF);
    mask.SetBits(px.data(), 16, 16);
    SecondTexture second;
    second.image = &mask;
    second.srcRect = Rect(2, 3, 8, 8);
    second.matrix.Translate(-10.0f, -20.0f);
    Matrix3 identity;
    renderer->BltTransformed(&image, nullptr, Color(255, 255, 255), 0, Rect(0, 0, 32, 32), identity, false, 10, 20,
                             &second);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].textureCount, 2);
    // Vertex 0 sits at (9.5, 19.5): mapped to (-0.5, -0.5), floored to (-1, -1), plus the origin.
    EXPECT_FLOAT_EQ(draws[0].vertices[0].u1, (-1.0f + 2.0f) / 16.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].v1, (-1.0f + 3.0f) / 16.0f);
    EXPECT_FLOAT_EQ(draws[0].vertices[3].u1, (31.0f + 2.0f) / 16.0f);
    EXPECT_EQ(Device().GetStageStateValue(1, StageState::ColorOp), kOpDisable) << "stage 1 is emptied after the piece";
    // The mask has no application to remove its texture record when it goes away.
    renderer->RemoveTextureData(&mask);
}

TEST_F(RendererFixture, TrianglesAcrossSeveralPiecesLandOnTheirTexels)
{
    // 300 x 40 with 256-texel pieces: an inner piece and a 64-wide right piece.
    MemoryImage wide(nullptr);
    std::vector<uint32_t> px(300 * 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            px[size_t(y * 300 + x)] = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y * 5);
    wide.SetBits(px.data(), 300, 40);
    Surface* big = nullptr;
    ASSERT_EQ(MemorySurface::Create(320, 60, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &big), DD_OK);
    D3DInterface r(driver, host);
    ASSERT_TRUE(r.InitOnSurface(big, 320, 60, true, nullptr));
    const float l = -0.5f, t = -0.5f, rt = 299.5f, b = 39.5f;
    const TriVertex quad[6] = {{l, t, 0, 0, 0}, {rt, t, 1, 0, 0}, {l, b, 0, 1, 0},
                               {rt, t, 1, 0, 0}, {rt, b, 1, 1, 0}, {l, b, 0, 1, 0}};
    r.DrawTrianglesTex(&wide, reinterpret_cast<const TriVertexTriangle*>(quad), 2, Rect(0, 0, 320, 60),
                       Color(255, 255, 255), 0, 0, 0, false);
    ASSERT_EQ(static_cast<TextureData*>(wide.textureData)->columns, 2);
    r.Flush();
    auto* s = static_cast<MemorySurface*>(big);
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            if ((s->PixelAt(x, y) & 0xFFFFFF) != (px[size_t(y * 300 + x)] & 0xFFFFFF) && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << s->PixelAt(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(s->PixelAt(300, 10) & 0xFFFFFF, 0u);
    r.Cleanup();
    big->Release();
}
