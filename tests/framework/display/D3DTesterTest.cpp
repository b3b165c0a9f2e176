// The 3-D capability test: video-memory limits, card lists, faulty drivers and their messages, the
// display's entry rules and demo playback, and a real run on the OpenGL device (llvmpipe in CI;
// skipped with a message when no EGL context can be made).
#include "framework/display/D3DTester.h"
#include "platform/MemorySurface.h"
#include "platform/SoftwareDevice3D.h"
#include "platform/gl/GlDevice3D.h"
#include "support/DebugOutputCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <utime.h>

using namespace Fw;
using namespace Platform;

namespace {

// A render target that reports 24 bits per pixel (its rows are wide enough for 32-bit writes).
class Surface24 final : public Surface {
public:
    Surface24() { MemorySurface::Create(100, 100, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &inner_); }
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override
    {
        if (--refs_ == 0) {
            inner_->Release();
            delete this;
            return 0;
        }
        return refs_;
    }
    HRESULT Lock(const SurfaceRect* r, SurfaceDesc& d, uint32_t f) override
    {
        const HRESULT hr = inner_->Lock(r, d, f);
        d.pixelFormat.bitCount = 24;
        return hr;
    }
    HRESULT Unlock(const SurfaceRect* r) override { return inner_->Unlock(r); }
    HRESULT Blt(const SurfaceRect*, Surface*, const SurfaceRect*, uint32_t, const BltFx*) override
    {
        return DDERR_UNSUPPORTED;
    }
    HRESULT SetColorKey(uint32_t, const ColorKey*) override { return DDERR_UNSUPPORTED; }
    HRESULT GetSurfaceDesc(SurfaceDesc& d) override { return inner_->GetSurfaceDesc(d); }

private:
    ~Surface24() override = default;
    Surface* inner_ = nullptr;
    uint32_t refs_ = 1;
};

struct Host : D3DTestHost {
    bool playing = false;
    std::vector<std::string> recorded; // replayed in order while playing
    std::vector<std::string> seen;
    bool PlayingDemo() override { return playing; }
    std::string DemoSyncString(const std::string& v) override
    {
        seen.push_back(v);
        if (!playing)
            return v;
        std::string r = recorded.front();
        recorded.erase(recorded.begin());
        return r;
    }
    void DemoSyncBool(bool&) override {}
};

// A driver whose desktop adds nothing, so video memory is what it reports.
SoftwareDriver3D PlainDriver(uint64_t megabytes)
{
    SoftwareDriver3D d;
    d.desktop = {0, 0, 0, 0};
    d.videoMemory = megabytes << 20;
    d.identity.description = "NVIDIA Test Card";
    return d;
}

void RunTester(Driver3D& driver, D3DTester& tester)
{
    tester.SetVidMemoryConstraints(6, 14);
    tester.RunTest(&driver, nullptr);
}

} // namespace

TEST(D3DTester, VideoMemoryLimits)
{
    struct Case {
        uint64_t mb;
        const char* failure;
        const char* warning;
        int devices;
    } cases[] = {{5, "Not enough video memory.", "", 0}, {6, "", "Low video memory.", 1}, {13, "", "Low video memory.", 1},
                 {14, "", "", 1}};
    for (const Case& c : cases) {
        SoftwareDriver3D driver = PlainDriver(c.mb);
        D3DTester t;
        RunTester(driver, t);
        EXPECT_EQ(t.failureReason, c.failure) << c.mb << " MB";
        EXPECT_EQ(t.warning, c.warning) << c.mb << " MB";
        EXPECT_EQ(driver.devicesCreated, c.devices) << c.mb << " MB";
    }
    // The desktop's pixels count as available memory; a huge report saturates instead of wrapping.
    SoftwareDriver3D desk = PlainDriver(2);
    desk.desktop = {1024, 1024, 0, 32};
    D3DTester a;
    RunTester(desk, a);
    EXPECT_EQ(a.failureReason, "");
    SoftwareDriver3D huge = PlainDriver(0);
    huge.videoMemory = UINT64_MAX - 100;
    huge.desktop = {1024, 1024, 0, 32};
    D3DTester b;
    RunTester(huge, b);
    EXPECT_EQ(b.failureReason, "");
}

TEST(D3DTester, CardListRules)
{
    TestSupport::TempFolder folder;
    struct Case {
        const char* what;
        const char* deny;  // null: no vhwb.dat
        const char* allow; // null: no vhw.dat
        const char* description;
        int32_t year;
        bool supported;
    } cases[] = {
        {"deny list beats the vendor rule", "  Radeon 7000  \n", nullptr, "ATI Radeon 7000 Series", 2005, false},
        {"allow list without a match", nullptr, "\nGeForce\n", "Some Card", 2005, false},
        {"allow list with a match", nullptr, "geforce", "NVIDIA GeForce4", 1999, true},
        {"old driver, unknown vendor", nullptr, nullptr, "Generic VGA", 2001, false},
        {"new driver", nullptr, nullptr, "Generic VGA", 2002, true},
        {"vendor names", nullptr, nullptr, "nVidia Riva", 1998, true},
        {"'ati ' needs its blank", nullptr, nullptr, "Corporation Ati", 1998, false},
        {"deny list without a match falls through", "S3", nullptr, "radeon", 1998, true},
    };
    for (const Case& c : cases) {
        std::remove((folder.Path() + "/vhwb.dat").c_str());
        std::remove((folder.Path() + "/vhw.dat").c_str());
        if (c.deny)
            std::ofstream(folder.Path() + "/vhwb.dat") << c.deny;
        if (c.allow)
            std::ofstream(folder.Path() + "/vhw.dat") << c.allow;
        D3DTester t;
        t.cardListFolder = folder.Path();
        t.driverYear = c.year;
        EXPECT_EQ(t.IsCardSupported(c.description), c.supported) << c.what;
    }
}

TEST(D3DTester, OldDriverWarnsAndTheTestsStillRun)
{
    TestSupport::TempFolder folder;
    const std::string driverFile = folder.Path() + "/old_driver.so";
    std::ofstream(driverFile) << "x";
    utimbuf times{};
    times.actime = times.modtime = 1000000000; // September 2001
    ASSERT_EQ(utime(driverFile.c_str(), &times), 0);
    SoftwareDriver3D driver = PlainDriver(64);
    driver.identity = {driverFile, "Generic VGA"};
    D3DTester t;
    t.cardListFolder = folder.Path();
    RunTester(driver, t);
    EXPECT_EQ(t.driverYear, 2001);
    EXPECT_EQ(t.warning, "Unsupported video card: Generic VGA");
    EXPECT_EQ(t.failureReason, "");
    EXPECT_EQ(driver.devicesCreated, 1);
}

TEST(D3DTester, FaultyDriversGiveTheirMessages)
{
    struct Case {
        const char* what;
        void (*configure)(SoftwareDriver3D&);
        const char* failure;
        const char* warning;
    } cases[] = {
        {"blending ignored",
         [](SoftwareDriver3D& d) { d.deviceOptions.ignoredStates = {RenderState::AlphaBlendEnable}; },
         "Alpha blend Not Supported", ""},
        {"24-bit target",
         [](SoftwareDriver3D& d) {
             d.renderTargetFactory = [](int32_t, int32_t, Surface** out) {
                 *out = new Surface24;
                 return DD_OK;
             };
         },
         "Can't test 24-bit mode.", ""},
        {"16-bit textures only", [](SoftwareDriver3D& d) { d.deviceOptions.formats = {kTexA4R4G4B4, kTexR5G6B5}; }, "",
         "A8R8G8B8 texture format not supported."},
        {"no alpha texture format", [](SoftwareDriver3D& d) { d.deviceOptions.formats = {kTexR5G6B5}; },
         "A4R4G4B4 and A8R8G8B8 texture formats not supported.", "A8R8G8B8 texture format not supported."},
        {"failing draw",
         [](SoftwareDriver3D& d) {
             d.onDeviceCreated = [](SoftwareDevice3D& dev) { dev.InjectFailure("DrawPrimitive", DDERR_SURFACELOST); };
         },
         "DXError - DrawPrimitive: DDERR_SURFACELOST", ""},
        {"failing scene start",
         [](SoftwareDriver3D& d) {
             d.onDeviceCreated = [](SoftwareDevice3D& dev) { dev.InjectFailure("BeginScene", D3DERR_SCENE_IN_SCENE); };
         },
         "DXError - : ", ""},
        {"no device", [](SoftwareDriver3D& d) { d.createDeviceResult = DDERR_OUTOFMEMORY; },
         "DXError - CreateDevice: E_OUTOFMEMORY", ""},
    };
    for (const Case& c : cases) {
        SoftwareDriver3D driver = PlainDriver(64);
        c.configure(driver);
        D3DTester t;
        RunTester(driver, t);
        if (std::string(c.failure) == "DXError - : ")
            EXPECT_EQ(t.failureReason.rfind("DXError - : ", 0), 0u) << c.what << ": " << t.failureReason;
        else
            EXPECT_EQ(t.failureReason, c.failure) << c.what;
        EXPECT_EQ(t.warning, c.warning) << c.what;
    }
}

TEST(D3DTester, EntryRulesAndDemoPlayback)
{
    SoftwareDriver3D driver = PlainDriver(64);
    std::unique_ptr<D3DTester> tester;
    bool is3D = false;
    EXPECT_FALSE(RunD3DTest(tester, {false, false, 6, 14}, &driver, nullptr, is3D));
    EXPECT_FALSE(tester);

    EXPECT_TRUE(RunD3DTest(tester, {true, true, 6, 14}, &driver, nullptr, is3D));
    EXPECT_TRUE(is3D);
    EXPECT_FALSE(RunD3DTest(tester, {true, true, 6, 14}, &driver, nullptr, is3D)) << "runs once";

    // A warning alone leaves the flag as it was, either way.
    for (bool before : {false, true}) {
        SoftwareDriver3D low = PlainDriver(10);
        std::unique_ptr<D3DTester> t;
        bool flag = before;
        RunD3DTest(t, {true, true, 6, 14}, &low, nullptr, flag);
        EXPECT_EQ(t->warning, "Low video memory.");
        EXPECT_EQ(flag, before);
    }

    // While a demo plays, the recorded texts decide and the driver is never asked.
    Host host;
    host.playing = true;
    host.recorded = {"Alpha blend Not Supported", ""};
    SoftwareDriver3D unused = PlainDriver(64);
    std::unique_ptr<D3DTester> t;
    bool flag = true;
    RunD3DTest(t, {true, true, 6, 14}, &unused, &host, flag);
    EXPECT_FALSE(flag);
    EXPECT_EQ(unused.devicesCreated, 0);
}

TEST(D3DTester, OpenGlDevicePassesAndTurnsThreeDOn)
{
    std::string why;
    if (!GlContextAvailable(&why))
        GTEST_SKIP() << "no OpenGL context here: " << why;
    GlDriver3D driver;
    std::unique_ptr<D3DTester> tester;
    bool is3D = false;
    // Asked for: a software renderer (llvmpipe here) is tested like any other.
    ASSERT_TRUE(RunD3DTest(tester, {true, true, 6, 14, true}, &driver, nullptr, is3D));
    EXPECT_EQ(tester->failureReason, "");
    EXPECT_EQ(tester->warning, "");
    EXPECT_TRUE(is3D);
    EXPECT_EQ(tester->driverDescription, GlRendererName());
    EXPECT_FALSE(tester->driverName.empty());
}

TEST(D3DTester, SoftwareRenderersAreRefusedUnlessThreeDWasAskedFor)
{
    struct Case {
        const char* description;
        bool software;
    };
    const Case cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa DRI Intel(R) swrast", true},
        {"Software Rasterizer", true},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
        {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSoftwareRenderer(c.description), c.software) << c.description;
        for (bool asked : {false, true}) {
            SoftwareDriver3D driver;
            driver.identity.description = c.description;
            driver.identity.driverName = "/proc/self/exe"; // a file of this year: no card-list warning
            std::unique_ptr<D3DTester> tester;
            bool is3D = false;
            TestSupport::DebugOutputCapture log;
            ASSERT_TRUE(RunD3DTest(tester, {true, true, 6, 14, asked}, &driver, nullptr, is3D));
            const bool refused = c.software && !asked;
            EXPECT_EQ(is3D, !refused) << c.description << " asked " << asked << ": " << tester->failureReason;
            EXPECT_EQ(tester->failureReason, refused ? "Software renderer (slower than drawing in software)." : "")
                << c.description;
            EXPECT_EQ(driver.devicesCreated, refused ? 0 : 1) << "a refused renderer is not drawn with";
            // One line in the log says what was chosen and why.
            const std::string text = log.Text();
            EXPECT_NE(text.find(c.description), std::string::npos) << text;
            EXPECT_NE(text.find(refused ? "draws in software" : "draws through 3-D"), std::string::npos) << text;
        }
    }
}
