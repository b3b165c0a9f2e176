// The display: screen-mode arithmetic, refresh rates, colour-depth failures, the
// 3-D init failure, the software cursor on the primary, and (on SDL's headless driver) frames of
// the application presented into its window in 16 and 32 bits and read back.
#include "framework/display/DDInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/MemorySurface.h"
#include "platform/fake/FakeScreenDevice.h"
#include "platform/sdl/SdlScreenDevice.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using Fw::DDInterface;

// A 3-D renderer whose test passes and whose Init answers as told.
class FakeRenderer : public Fw::DisplayRenderer {
public:
    explicit FakeRenderer(bool initWorks = true) : initWorks_(initWorks) {}
    bool TestCapability(Platform::WindowId) override { return true; }
    bool Init(DDInterface&) override { return initWorks_; }
    std::string GetErrorText() override { return initWorks_ ? "" : "no device"; }
    void Flush() override {}
    void Cleanup() override {}
    void RemoveTextureData(Fw::MemoryImage*) override {}
    Fw::Renderer3D* GetDrawing() override { return nullptr; }

private:
    bool initWorks_;
};

// An application (not initialised) and a display on the fake screen device.
struct DisplayFixture : ::testing::Test {
    FwTest::AppEnvironment env;
    Platform::FakeScreenDevice device;
    Platform::ScopedScreenDevice scopedDevice{device};
    Fw::AppBase app;

    std::unique_ptr<DDInterface> MakeDisplay(int32_t width, int32_t height, bool with3D)
    {
        app.width = width;
        app.height = height;
        auto d = std::make_unique<DDInterface>(app);
        if (with3D)
            d->SetRenderer(std::make_unique<FakeRenderer>());
        d->Set3D(with3D);
        return d;
    }
};

TEST_F(DisplayFixture, RedrawBeforeInitFailsAndPresentsNothing)
{
    auto d = MakeDisplay(800, 600, false);
    EXPECT_FALSE(d->Redraw(nullptr));
    EXPECT_TRUE(device.presented.empty());
    EXPECT_EQ(d->GetScreenImage(), nullptr);
}

TEST_F(DisplayFixture, FullScreenOnAWiderDesktopKeepsTheAspectOrWidensTheDrawBuffer)
{
    device.desktop = {1280, 720, 60, 32};
    auto d = MakeDisplay(1024, 768, true);
    ASSERT_EQ(d->Init(5, false), Fw::RESULT_OK) << d->GetErrorText();
    EXPECT_TRUE(d->IsStretched());
    EXPECT_EQ(d->GetDisplayWidth(), 1280);
    EXPECT_EQ(d->GetDisplayHeight(), 720);
    EXPECT_EQ(d->GetPresentationRect(), Fw::Rect(160, 0, 960, 720));
    EXPECT_EQ(d->GetDrawWidth(), 1024);

    app.fillScreen = true;
    ASSERT_EQ(d->Init(5, false), Fw::RESULT_OK);
    EXPECT_EQ(d->GetDrawWidth(), 1365);
    EXPECT_EQ(d->GetDrawHeight(), 768);
    EXPECT_EQ(d->GetDrawAspect(), Fw::Ratio(16, 9));
    EXPECT_EQ(d->GetPresentationRect(), Fw::Rect(0, 0, 1280, 720));
    EXPECT_EQ(d->GetScreenImage()->GetWidth(), 1365);

    // In 2-D the mode is the draw size: nothing is stretched.
    d->SetRenderer(nullptr);
    ASSERT_EQ(d->Init(5, false), Fw::RESULT_OK);
    EXPECT_FALSE(d->IsStretched());
    EXPECT_EQ(d->GetDisplayWidth(), 1024);
    EXPECT_EQ(d->GetPresentationRect(), Fw::Rect(0, 0, 1024, 768));
}

TEST_F(DisplayFixture, RefreshRatesAreClampedAndFlagged)
{
    struct Case {
        int32_t reported, hz, millis;
        bool flagged;
    };
    const Case cases[] = {{0, 60, 16, true}, {120, 100, 10, true}, {75, 75, 13, false}, {59, 60, 16, true}};
    for (const Case& c : cases) {
        app.vsyncBroken = false;
        device.desktop.refreshRate = c.reported;
        auto d = MakeDisplay(640, 480, false);
        ASSERT_EQ(d->Init(3, true), Fw::RESULT_OK);
        EXPECT_EQ(d->GetRefreshRate(), c.hz) << c.reported;
        EXPECT_EQ(d->GetMillisPerRefresh(), c.millis) << c.reported;
        EXPECT_EQ(app.vsyncBroken, c.flagged) << c.reported;
    }
}

TEST_F(DisplayFixture, ColourDepthsTheScreenCannotShowAreRefused)
{
    device.desktop.bitDepth = 24;
    auto d = MakeDisplay(640, 480, false);
    EXPECT_EQ(d->Init(3, true), Fw::RESULT_INVALID_COLORDEPTH);
    EXPECT_EQ(d->GetErrorText(), "CreateSurface Windowed Primary: DDERR_INVALIDPIXELFORMAT");
    EXPECT_FALSE(d->IsInitialized());

    app.colorDepth = 24;
    EXPECT_EQ(d->Init(3, false), Fw::RESULT_DISPCHANGE_FAIL);
    app.colorDepth = 16;
    ASSERT_EQ(d->Init(3, false), Fw::RESULT_OK);
    EXPECT_EQ(d->GetNativeDisplay()->bitCount, 16);
    EXPECT_EQ(d->GetNativeDisplay()->greenMask, 0x07E0u);

    device.available = false;
    EXPECT_EQ(d->Init(3, true), Fw::RESULT_DD_CREATE_FAIL);
}

TEST_F(DisplayFixture, AFailing3DInitGivesSevenWithTheRenderersReason)
{
    auto d = MakeDisplay(640, 480, false);
    d->SetRenderer(std::make_unique<FakeRenderer>(false));
    d->Set3D(true);
    EXPECT_EQ(d->Init(3, true), Fw::RESULT_3D_FAIL);
    EXPECT_EQ(d->GetErrorText(), "3D init error: no device");
}

TEST_F(DisplayFixture, RedrawPresentsTheFrameIntoTheWindow)
{
    device.desktop.bitDepth = 16;
    auto d = MakeDisplay(64, 48, false);
    ASSERT_EQ(d->Init(9, true), Fw::RESULT_OK);
    Fw::Graphics g(d->GetScreenImage());
    g.SetColor(Fw::Color(0, 0, 255));
    g.FillRect(10, 20, 5, 4);
    ASSERT_TRUE(d->Redraw(nullptr));
    const auto& shown = device.presented[9];
    ASSERT_EQ(shown.width, 64);
    EXPECT_EQ(shown.pixels[size_t(21 * 64 + 12)], 0xFF0000FFu);
    EXPECT_EQ(shown.pixels[size_t(19 * 64 + 12)], 0xFF000000u);

    device.presentResult = Platform::DDERR_SURFACELOST;
    EXPECT_FALSE(d->Redraw(nullptr));
    EXPECT_EQ(d->GetErrorText(), "Redraw Windowed: DDERR_SURFACELOST");
}

TEST_F(DisplayFixture, FullScreenFlipShowsTheStretchedFrameBetweenBlackBarsWithTheCursor)
{
    device.desktop = {160, 90, 60, 32};
    app.colorDepth = 32;
    auto d = MakeDisplay(120, 90, true); // 4:3 on a 16:9 desktop: bars of 20 pixels
    ASSERT_EQ(d->Init(2, false), Fw::RESULT_OK);
    ASSERT_EQ(d->GetPresentationRect(), Fw::Rect(20, 0, 120, 90));
    // In 3-D the renderer draws the frame: here the test paints the draw surface itself.
    auto* frame = static_cast<Platform::MemorySurface*>(d->GetDrawSurface());
    for (int32_t y = 0; y < 90; ++y)
        for (int32_t x = 0; x < 120; ++x)
            frame->SetPixelAt(x, y, 0x0000FFu);
    Fw::MemoryImage cursor;
    cursor.Create(4, 4);
    for (int i = 0; i < 16; ++i)
        cursor.GetBits()[i] = 0xFFFFFFFFu;
    cursor.BitsChanged();
    d->SetCursorImage(&cursor);
    d->SetPendingCursorPos(80, 45);

    ASSERT_TRUE(d->Redraw(nullptr)) << d->GetErrorText();
    const auto& shown = device.presented[2];
    ASSERT_EQ(shown.width, 160);
    auto at = [&](int32_t x, int32_t y) { return shown.pixels[size_t(y * 160 + x)]; };
    EXPECT_EQ(at(19, 10), 0xFF000000u);
    EXPECT_EQ(at(20, 10), 0xFF0000FFu);
    EXPECT_EQ(at(139, 10), 0xFF0000FFu);
    EXPECT_EQ(at(140, 10), 0xFF000000u);
    EXPECT_EQ(at(80, 45), 0xFFFFFFFFu); // the cursor, painted into the back buffer before the flip
    // The application's frame keeps no cursor.
    EXPECT_EQ(frame->PixelAt(60, 45), 0x0000FFu);

    // While a popup is open the frame is copied without a cursor.
    app.popupActive = true;
    ASSERT_TRUE(d->Redraw(nullptr));
    EXPECT_EQ(at(80, 45), 0xFF0000FFu);
}

TEST_F(DisplayFixture, WindowAspectWidensTheWindowAndCentresOrFillsThePicture)
{
    app.useWindowAspect = true;
    app.windowAspect = Fw::Ratio(16, 9);
    Platform::WindowDesc desc;
    desc.x = 300;
    desc.y = 50;
    desc.width = 640;
    desc.height = 480;
    const Platform::WindowId window = env.ws.CreateWindow(desc);
    device.clientSizes[window] = {640, 480};
    auto d = MakeDisplay(640, 480, false);
    ASSERT_EQ(d->Init(window, true), Fw::RESULT_OK);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(env.ws.GetWindowPosition(window, x, y));
    EXPECT_EQ(x, 300 - 106); // the wider client area is centred on the old one
    EXPECT_EQ(y, 50);
    EXPECT_EQ(d->GetDisplayWidth(), 853);
    EXPECT_EQ(d->GetDisplayHeight(), 480);
    EXPECT_EQ(device.clientSizes[window], std::make_pair(853, 480));
    EXPECT_EQ(d->GetPresentationRect(), Fw::Rect(106, 0, 640, 480));
    EXPECT_EQ(d->GetDrawWidth(), 640);

    app.fillScreen = true;
    ASSERT_EQ(d->Init(window, true), Fw::RESULT_OK);
    EXPECT_EQ(d->GetDrawWidth(), 853);
    EXPECT_EQ(d->GetPresentationRect(), Fw::Rect(0, 0, 853, 480));
}

TEST_F(DisplayFixture, VideoOnlyDrawPresentsTheSecondarySurface)
{
    auto d = MakeDisplay(32, 24, false);
    ASSERT_EQ(d->Init(8, true), Fw::RESULT_OK);
    d->SetVideoOnlyDraw(true);
    ASSERT_NE(d->GetSecondarySurface(), nullptr);
    EXPECT_EQ(static_cast<Fw::DDImage*>(d->GetScreenImage())->GetSurface(), d->GetSecondarySurface());
    // Only the 3-D renderer draws into a video-only surface: the test paints it itself.
    auto* secondary = static_cast<Platform::MemorySurface*>(d->GetSecondarySurface());
    for (int32_t y = 0; y < 24; ++y)
        for (int32_t x = 0; x < 32; ++x)
            secondary->SetPixelAt(x, y, 0xFFFF00u);
    ASSERT_TRUE(d->Redraw(nullptr));
    EXPECT_EQ(device.presented[8].pixels[size_t(5 * 32 + 5)], 0xFFFFFF00u);
    // Re-initialising keeps the choice.
    ASSERT_EQ(d->Init(8, true), Fw::RESULT_OK);
    EXPECT_NE(d->GetSecondarySurface(), nullptr);
}

// ---- software cursor ----

struct CursorFixture : DisplayFixture {
    std::unique_ptr<DDInterface> d;
    Platform::MemorySurface* primary = nullptr;
    std::vector<uint32_t> before;
    Fw::MemoryImage cursor;

    void SetUp() override
    {
        device.desktop = {200, 150, 60, 16};
        d = MakeDisplay(200, 150, false);
        ASSERT_EQ(d->Init(4, true), Fw::RESULT_OK);
        primary = static_cast<Platform::MemorySurface*>(d->GetPrimarySurface());
        for (int32_t y = 0; y < 150; ++y)
            for (int32_t x = 0; x < 200; ++x)
                primary->SetPixelAt(x, y, uint32_t(x * 7 + y * 13) & 0x7BEF); // never white
        before = Snapshot();
        cursor.Create(10, 10);
        uint32_t* bits = cursor.GetBits();
        for (int i = 0; i < 100; ++i)
            bits[i] = 0xFFFFFFFFu;
        cursor.BitsChanged();
        d->SetCursorImage(&cursor);
    }

    std::vector<uint32_t> Snapshot()
    {
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < 150; ++y)
            for (int32_t x = 0; x < 200; ++x)
                out.push_back(primary->PixelAt(x, y));
        return out;
    }

    // Pixels that differ from before lie exactly in the white square centred on (cx, cy).
    void ExpectCursorAt(int32_t cx, int32_t cy)
    {
        for (int32_t y = 0; y < 150; ++y)
            for (int32_t x = 0; x < 200; ++x) {
                const bool inside = x >= cx - 5 && x < cx + 5 && y >= cy - 5 && y < cy + 5;
                const uint32_t expected = inside ? 0xFFFFu : before[size_t(y * 200 + x)];
                ASSERT_EQ(primary->PixelAt(x, y), expected) << "at " << x << "," << y << " cursor " << cx << "," << cy;
            }
    }
};

TEST_F(CursorFixture, DrawMoveAndRestoreLeaveThePrimaryAsItWas)
{
    EXPECT_FALSE(d->SetCursorImage(&cursor));
    d->SetCursorPos(100, 80);
    ExpectCursorAt(100, 80);
    EXPECT_TRUE(d->IsCursorAreaSaved());
    // The cursor thread only paints; the main thread shows the painted square.
    EXPECT_TRUE(device.presented.empty());
    d->PresentPending();
    ASSERT_EQ(device.presented[4].count, 1);
    const Platform::SurfaceRect r = device.presented[4].lastDirty;
    EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}), (std::vector<int32_t>{68, 48, 132, 112}));

    // Overlapping move, a far move, then out again.
    d->SetCursorPos(107, 84);
    ExpectCursorAt(107, 84);
    d->SetCursorPos(20, 130);
    ExpectCursorAt(20, 130);
    d->RestoreCursorArea(primary);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(d->IsCursorAreaSaved());
}

TEST_F(CursorFixture, NearTheEdgeOnlyTheClippedPartIsSavedAndRestored)
{
    d->SetCursorPos(3, 2);
    ExpectCursorAt(3, 2);
    d->SetCursorPos(196, 147);
    ExpectCursorAt(196, 147);
    d->RestoreCursorArea(primary);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CursorFixture, RedrawPaintsTheCursorIntoThePresentedFrameOnly)
{
    d->SetCursorPos(50, 50);
    d->RestoreCursorArea(primary);
    Fw::Graphics g(d->GetScreenImage());
    g.SetColor(Fw::Color(0, 255, 0));
    g.FillRect(0, 0, 200, 150);
    ASSERT_TRUE(d->Redraw(nullptr));
    // The primary shows the cursor; the frame the application draws into does not keep it.
    EXPECT_EQ(primary->PixelAt(50, 50), 0xFFFFu);
    EXPECT_EQ(primary->PixelAt(60, 50), 0x07E0u);
    auto* frame = static_cast<Platform::MemorySurface*>(d->GetDrawSurface());
    EXPECT_EQ(frame->PixelAt(50, 50), 0x07E0u);
    EXPECT_TRUE(d->IsCursorAreaSaved());
}

// ---- end to end on SDL's headless driver ----

class FillWidget : public Fw::Widget {
public:
    void Draw(Fw::Graphics* g) override
    {
        g->SetColor(Fw::Color(0, 0, 0));
        g->FillRect(0, 0, width, height);
        g->SetColor(Fw::Color(255, 0, 0));
        g->FillRect(30, 20, 40, 25);
    }
};

// Red as the fill rules give it in either format (the top channel bits may round down).
bool IsRed(uint32_t p) { return (p & 0xFF00FFFFu) == 0xFF000000u && ((p >> 16) & 0xFF) >= 0xF8; }

TEST(DDInterfaceEndToEnd, TheApplicationsFrameReachesTheWindowIn16And32Bits)
{
    if (!std::getenv("SDL_VIDEODRIVER"))
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    for (int32_t depth : {16, 32}) {
        SCOPED_TRACE(depth);
        TestSupport::TempFolder temp;
        Platform::MemoryRegistryStore registry;
        Platform::ScopedRegistryStore scopedRegistry{registry};
        Platform::ScriptedMessageBox boxes;
        Platform::ScopedMessageBoxService scopedBoxes{boxes};
        Platform::FakeUserFolders folders(temp.Path() + "/data", temp.Path() + "/config");
        Platform::ScopedUserFolders scopedFolders{folders};
        Platform::SdlScreenDevice device;
        device.SetDesktopDepth(depth);
        Platform::ScopedScreenDevice scopedDevice{device};
        const Fw::DisplayFactory old = Fw::SetDisplayFactory(Fw::DDDisplayFactory());
        {
            Fw::AppBase app;
            app.singleInstance = false;
            app.productName = "DisplayEndToEnd";
            app.width = 160;
            app.height = 120;
            app.Init();
            auto* display = dynamic_cast<DDInterface*>(app.display.get());
            ASSERT_NE(display, nullptr);
            ASSERT_TRUE(display->IsInitialized()) << display->GetErrorText();
            EXPECT_EQ(display->bitCount, depth);

            FillWidget widget;
            widget.Resize(0, 0, 160, 120);
            app.widgetManager->AddWidget(&widget);
            app.Widgets().MarkAllDirty();
            ASSERT_TRUE(app.Widgets().DrawScreen());
            app.Redraw(nullptr);

            std::vector<uint32_t> pixels;
            int32_t w = 0, h = 0;
            ASSERT_TRUE(device.ReadPresentedPixels(app.mainWindow, pixels, w, h));
            ASSERT_EQ(w, 160);
            ASSERT_EQ(h, 120);
            auto at = [&](int32_t x, int32_t y) { return pixels[size_t(y * w + x)]; };
            EXPECT_TRUE(IsRed(at(50, 30))) << std::hex << at(50, 30);  // inside the rectangle
            EXPECT_TRUE(IsRed(at(30, 20))) << std::hex << at(30, 20);  // its top-left corner
            EXPECT_EQ(at(30, 19), 0xFF000000u);  // just above it
            EXPECT_TRUE(IsRed(at(69, 44))) << std::hex << at(69, 44);  // its bottom-right corner
            EXPECT_EQ(at(69, 45), 0xFF000000u);  // just below it
            app.widgetManager->RemoveWidget(&widget);
            app.Shutdown();
        }
        Fw::SetDisplayFactory(old);
    }
}

} // namespace
