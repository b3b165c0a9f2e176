// The display in 3-D mode with the application's renderer: drawing on the screen image goes
// through the device, a failed device call of the frame is stored as "Test3D\RuntimeError" and
// the next present drops the display to 2-D; on OpenGL the frame reaches the window.
#include "framework/app/D3DAppRenderer.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/SoftwareDevice3D.h"
#include "platform/fake/FakeScreenDevice.h"
#include "platform/gl/GlDevice3D.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

using Fw::DDInterface;

struct ThreeDFixture : ::testing::Test {
    FwTest::AppEnvironment env;
    Platform::FakeScreenDevice device;
    Platform::ScopedScreenDevice scopedDevice{device};
    Fw::AppBase app;
    Platform::SoftwareDevice3D* softDevice = nullptr;

    std::unique_ptr<DDInterface> MakeDisplay(std::unique_ptr<Platform::Driver3D> driver)
    {
        app.registryKey = "Tests\\ThreeD";
        app.width = 64;
        app.height = 48;
        // 3-D asked for: the reference device and llvmpipe draw in software, which the
        // capability test refuses when it chooses by itself.
        app.RegistryWriteBoolean("Is3D", true);
        auto d = std::make_unique<DDInterface>(app);
        d->SetRenderer(Fw::CreateD3DRenderer(app, std::move(driver)));
        d->Set3D(true);
        return d;
    }
    std::unique_ptr<Platform::Driver3D> SoftwareDriver()
    {
        auto driver = std::make_unique<Platform::SoftwareDriver3D>();
        driver->onDeviceCreated = [this](Platform::SoftwareDevice3D& dev) { softDevice = &dev; };
        return driver;
    }
    std::string RuntimeError()
    {
        uint32_t type = 0, length = 256;
        char buf[256] = {};
        if (!app.RegistryRead("Test3D\\RuntimeError", type, buf, length))
            return "<none>";
        return std::string(buf, length);
    }
};

} // namespace

TEST_F(ThreeDFixture, ScreenDrawingGoesThroughTheDeviceAndAFailureFallsBackTo2D)
{
    auto d = MakeDisplay(SoftwareDriver());
    ASSERT_EQ(d->Init(9, true), Fw::RESULT_OK) << d->GetErrorText();
    ASSERT_TRUE(d->Is3D());
    ASSERT_NE(softDevice, nullptr);
    {
        Fw::Graphics g(d->GetScreenImage());
        g.SetColor(Fw::Color(0, 0, 255));
        g.FillRect(10, 20, 5, 4);
    }
    EXPECT_FALSE(softDevice->CallsOf("DrawPrimitive").empty());
    ASSERT_TRUE(d->Redraw(nullptr));
    const auto& shown = device.presented[9];
    EXPECT_EQ(shown.pixels[size_t(21 * 64 + 12)], 0xFF0000FFu);
    EXPECT_EQ(shown.pixels[size_t(19 * 64 + 12)], 0xFF000000u);
    EXPECT_TRUE(d->Is3D());

    softDevice->InjectFailure("DrawPrimitive:Line", Platform::DDERR_SURFACELOST);
    {
        Fw::Graphics g(d->GetScreenImage());
        g.SetColor(Fw::Color(255, 0, 0));
        g.DrawLine(0, 0, 20, 0);
    }
    EXPECT_EQ(RuntimeError(), "DrawPrimitive (Line): DDERR_SURFACELOST");
    EXPECT_FALSE(d->Redraw(nullptr));
    EXPECT_FALSE(d->Is3D());
}

TEST_F(ThreeDFixture, OpenGlRendererDrawsTheFrame)
{
    std::string why;
    if (!Platform::GlContextAvailable(&why))
        GTEST_SKIP() << "no OpenGL context here: " << why;
    auto d = MakeDisplay(std::make_unique<Platform::GlDriver3D>());
    ASSERT_EQ(d->Init(9, true), Fw::RESULT_OK) << d->GetErrorText();
    ASSERT_TRUE(d->Is3D());
    {
        Fw::Graphics g(d->GetScreenImage());
        g.SetColor(Fw::Color(0, 255, 0));
        g.FillRect(3, 4, 10, 6);
    }
    ASSERT_TRUE(d->Redraw(nullptr));
    const auto& shown = device.presented[9];
    EXPECT_EQ(shown.pixels[size_t(5 * 64 + 5)], 0xFF00FF00u);
    EXPECT_EQ(shown.pixels[size_t(3 * 64 + 5)], 0xFF000000u);
    EXPECT_EQ(RuntimeError(), "<none>");
}

// An image whose bits were dropped in favour of its texture gets them back from the texture.
TEST_F(ThreeDFixture, PurgedBitsComeBackFromTheTexture)
{
    app.display = MakeDisplay(SoftwareDriver());
    auto* d = static_cast<DDInterface*>(app.display.get());
    ASSERT_EQ(d->Init(9, true), Fw::RESULT_OK) << d->GetErrorText();
    ASSERT_TRUE(app.Is3DAccelerated());

    Fw::MemoryImage image(&app);
    image.Create(4, 2);
    const uint32_t pixels[8] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                0xFF000000, 0xFF808080, 0xFF102030, 0xFFF0E0D0};
    std::copy(pixels, pixels + 8, image.GetBits());
    image.BitsChanged();
    {
        Fw::Graphics g(d->GetScreenImage());
        g.DrawImage(&image, 0, 0); // uploads the texture
    }
    ASSERT_NE(image.textureData, nullptr);
    image.PurgeBits();
    ASSERT_EQ(image.bits, nullptr) << "in 3-D the texture holds the pixels";
    const uint32_t* back = image.GetBits();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(back[i], pixels[i]) << i;
    app.display.reset();
}

namespace {

// A window device over the reference device: draws like it, and records what the display asks of
// a device that shows its own frame (presentations, read-backs).
struct WindowLog {
    std::vector<Platform::WindowPresentation> presented;
    std::vector<uint32_t> cursorPixels;
    int readBacks = 0;
};

class RecordingWindowDevice final : public Platform::Device3D {
public:
    RecordingWindowDevice(std::unique_ptr<Platform::Device3D> inner, WindowLog& log) : inner_(std::move(inner)), log_(log)
    {
    }
    Platform::HRESULT GetCaps(Platform::Device3DCaps& c) override { return inner_->GetCaps(c); }
    Platform::HRESULT EnumTextureFormats(std::vector<uint32_t>& f) override { return inner_->EnumTextureFormats(f); }
    Platform::HRESULT SetViewport(int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        return inner_->SetViewport(x, y, w, h);
    }
    Platform::HRESULT Clear(uint32_t c) override { return inner_->Clear(c); }
    Platform::HRESULT SetRenderTarget(Platform::Surface* t) override { return inner_->SetRenderTarget(t); }
    Platform::HRESULT BeginScene() override { return inner_->BeginScene(); }
    Platform::HRESULT EndScene() override { return inner_->EndScene(); }
    Platform::HRESULT SetRenderState(Platform::RenderState s, uint32_t v) override { return inner_->SetRenderState(s, v); }
    Platform::HRESULT SetTextureStageState(int st, Platform::StageState s, uint32_t v) override
    {
        return inner_->SetTextureStageState(st, s, v);
    }
    Platform::HRESULT SetTexture(int st, const Platform::Texture3DRef& t) override { return inner_->SetTexture(st, t); }
    Platform::HRESULT DrawPrimitive(Platform::Primitive p, const Platform::Vertex3D* v, int32_t n, int tc) override
    {
        return inner_->DrawPrimitive(p, v, n, tc);
    }
    Platform::HRESULT CreateTexture(int32_t w, int32_t h, uint32_t f, Platform::Texture3DRef& out) override
    {
        return inner_->CreateTexture(w, h, f, out);
    }
    bool PresentsToWindow() const override { return true; }
    Platform::HRESULT ReadBack() override
    {
        ++log_.readBacks;
        return Platform::DD_OK;
    }
    Platform::HRESULT Present(const Platform::WindowPresentation& how) override
    {
        log_.presented.push_back(how);
        if (how.cursor)
            log_.cursorPixels.assign(how.cursor, how.cursor + how.cursorWidth * how.cursorHeight);
        return Platform::DD_OK;
    }

private:
    std::unique_ptr<Platform::Device3D> inner_;
    WindowLog& log_;
};

class WindowDriver final : public Platform::Driver3D {
public:
    explicit WindowDriver(WindowLog& log) : log_(log) {}
    bool ProbeNewerAdapterIdentity(Platform::AdapterIdentity& out) override { return soft_.ProbeNewerAdapterIdentity(out); }
    Platform::HRESULT GetDeviceIdentifier(Platform::AdapterIdentity& out) override
    {
        return soft_.GetDeviceIdentifier(out);
    }
    Platform::HRESULT GetAvailableVidMem(uint64_t& total) override { return soft_.GetAvailableVidMem(total); }
    Platform::DesktopMode GetDesktopMode() override { return soft_.GetDesktopMode(); }
    Platform::HRESULT CreateRenderTarget(int32_t w, int32_t h, Platform::Surface** out) override
    {
        return soft_.CreateRenderTarget(w, h, out);
    }
    Platform::HRESULT CreateDevice(Platform::Surface* t, std::unique_ptr<Platform::Device3D>& out) override
    {
        return soft_.CreateDevice(t, out);
    }
    void SetTargetWindow(Platform::WindowId window) override { targetWindow = window; }
    Platform::HRESULT CreateWindowDevice(Platform::Surface* t, std::unique_ptr<Platform::Device3D>& out) override
    {
        std::unique_ptr<Platform::Device3D> inner;
        soft_.CreateDevice(t, inner);
        out = std::make_unique<RecordingWindowDevice>(std::move(inner), log_);
        return Platform::DD_OK;
    }
    Platform::WindowId targetWindow = 0;

private:
    Platform::SoftwareDriver3D soft_;
    WindowLog& log_;
};

} // namespace

// A renderer whose device shows the frame in the window: the display hands it each frame and the
// cursor, never copies the draw surface to the screen device, and reads pixels back only when
// asked for them.
TEST_F(ThreeDFixture, WindowDeviceShowsTheFrameAndReadsBackOnlyOnRequest)
{
    WindowLog log;
    auto driver = std::make_unique<WindowDriver>(log);
    WindowDriver* drv = driver.get();
    app.display = MakeDisplay(std::move(driver));
    auto* d = static_cast<DDInterface*>(app.display.get());
    ASSERT_EQ(d->Init(9, true), Fw::RESULT_OK) << d->GetErrorText();
    ASSERT_TRUE(d->Is3D());
    ASSERT_TRUE(d->PresentsToWindow());
    EXPECT_EQ(drv->targetWindow, 9u) << "the capability test runs on the window's context";

    Fw::MemoryImage cursor(&app);
    cursor.Create(4, 2);
    std::fill(cursor.GetBits(), cursor.GetBits() + 8, 0xFFFF00FFu);
    cursor.BitsChanged();
    d->SetCursorImage(&cursor);
    d->SetCursorPos(30, 20);
    for (int frame = 0; frame < 3; ++frame) {
        Fw::Graphics g(d->GetScreenImage());
        g.SetColor(Fw::Color(0, 0, 255));
        g.FillRect(10, 20, 5, 4);
        ASSERT_TRUE(d->Redraw(nullptr));
    }
    EXPECT_EQ(log.readBacks, 0) << "no frame is read back";
    EXPECT_TRUE(device.presented.empty()) << "the screen device is not used";
    ASSERT_EQ(log.presented.size(), 3u);
    const Platform::WindowPresentation& how = log.presented.back();
    EXPECT_EQ(how.modeWidth, 64);
    EXPECT_EQ(how.modeHeight, 48);
    EXPECT_EQ(how.frameArea.right, 64);
    EXPECT_EQ(how.frameArea.bottom, 48);
    EXPECT_EQ(how.cursorX, 28) << "cursor images are centred on the position";
    EXPECT_EQ(how.cursorY, 19);
    EXPECT_EQ(log.cursorPixels, std::vector<uint32_t>(8, 0xFFFF00FFu));

    // The cursor thread only marks the move; the main thread's PresentPending shows it.
    d->SetCursorPos(40, 30);
    EXPECT_EQ(log.presented.size(), 3u);
    d->PresentPending();
    ASSERT_EQ(log.presented.size(), 4u);
    EXPECT_EQ(log.presented.back().cursorX, 38);
    d->PresentPending();
    EXPECT_EQ(log.presented.size(), 4u) << "nothing pending, nothing shown";

    // Reading the screen's pixels reads the frame back, once per request.
    const uint32_t* px = static_cast<Fw::MemoryImage*>(d->GetScreenImage())->GetBits();
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(log.readBacks, 1);
    EXPECT_EQ(px[21 * 64 + 12] & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(px[19 * 64 + 12] & 0xFFFFFFu, 0u);
    {
        Fw::Graphics g(d->GetScreenImage());
        g.SetColor(Fw::Color(255, 0, 0));
        g.FillRect(0, 0, 2, 2);
    }
    px = static_cast<Fw::MemoryImage*>(d->GetScreenImage())->GetBits();
    EXPECT_EQ(log.readBacks, 2);
    EXPECT_EQ(px[0] & 0xFFFFFFu, 0xFF0000u) << "a later read sees later drawing";
    d->SetCursorImage(nullptr);
}
