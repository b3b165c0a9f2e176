// The 3-D capability test run before the display turns hardware drawing on: adapter identity,
// driver date, video memory and the card lists, then a small device of its own draws 64 x 64 test
// images with the renderer's blend modes and the read-back pixels are compared with the expected
// colours. The result is a failure reason and a warning; results pass through demos.
#pragma once
#include "platform/Device3D.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Fw {

// True when an adapter description names a software rasterizer (llvmpipe, softpipe, swrast, or
// a renderer that calls itself software): drawing through it costs more than drawing in software.
bool IsSoftwareRenderer(const std::string& description);

// Sum of the squared differences of red, green and blue (alpha ignored); the test accepts up to 768.
int SquaredColorDistance(uint32_t a, uint32_t b);

// 32-bit 0xAARRGGBB pixels, rows without padding.
class D3DTestImage {
public:
    virtual ~D3DTestImage() = default;
    void Create(int32_t width, int32_t height);
    void Free();
    uint32_t* bits() { return pixels_.data(); }
    int32_t width = 0, height = 0;

private:
    std::vector<uint32_t> pixels_;
};

// What the test needs of the application: demo playback and the demo synchronisation of values.
class D3DTestHost {
public:
    virtual bool PlayingDemo() = 0;
    virtual std::string DemoSyncString(const std::string& value) = 0;
    virtual void DemoSyncBool(bool& value) = 0;

protected:
    ~D3DTestHost() = default;
};

struct D3DTestSettings {
    bool autoEnable3D = true, test3D = true;
    uint32_t minVidMemory = 6, recVidMemory = 14; // MB
    // The user asked for 3-D (the stored choice): a software renderer is then accepted.
    bool requested3D = false;
};

class D3DTester {
public:
    class TestException : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    virtual ~D3DTester();

    void SetVidMemoryConstraints(uint32_t minMB, uint32_t recMB);
    // Setup, the render tests, release, then the results through the host's demo synchronisation.
    void RunTest(Platform::Driver3D* driver, D3DTestHost* host);
    bool Setup(Platform::Driver3D* driver);
    bool RunRenderTests();
    bool SetFailure(const std::string& text);
    bool SetWarning(const std::string& text);
    // Throws TestException "DXError - <call>: <error name>" for a failure code.
    void CheckDXResult(Platform::HRESULT hr, const std::string& call);
    void ReleaseObjects();
    // The default rule and the allow / deny lists of the card-list folder.
    bool IsCardSupported(const std::string& description);

    // Where "vhw.dat" and "vhwb.dat" are looked for ("" = the current folder).
    std::string cardListFolder;
    // Folder that a driver name without a path is taken to be in.
    std::string systemFolder = "/usr/lib";

    // A software renderer fails the test (3-D chosen automatically); off when 3-D was asked for.
    bool refuseSoftwareRenderer = true;
    std::string driverName, driverDescription;
    D3DTestImage testImage;
    std::string failureReason, warning;
    uint32_t minVidMemory = 0, recVidMemory = 0;
    bool resultsAreNew = false;
    int32_t driverYear = 0;
    bool uses32BitTextures = false;

private:
    struct Blend {
        uint32_t src, dst;
        bool modulateAlpha;
    };
    bool RunBlendTest(const Blend& blend, uint32_t fill1, uint32_t color1, uint32_t fill2, uint32_t color2,
                      uint32_t expected, const char* failure, const char* warningText);
    bool RunClipTest();
    void BeginTest(const Blend& blend);
    void DrawTestImage(const D3DTestImage& image, int32_t x, int32_t y, uint32_t vertexColor);
    void ReadBackRenderTarget();

    Platform::Driver3D* driver_ = nullptr;
    Platform::Surface* renderTarget_ = nullptr;
    Platform::Texture3DRef texture1_, texture2_;
    std::unique_ptr<Platform::Device3D> device_;
};

// The display's entry: false when no test is run (one already ran, or 3-D is neither to be
// enabled nor tested); else runs it and sets or clears is3D from the results.
bool RunD3DTest(std::unique_ptr<D3DTester>& tester, const D3DTestSettings& settings, Platform::Driver3D* driver,
                D3DTestHost* host, bool& is3D);

} // namespace Fw
