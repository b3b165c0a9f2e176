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
