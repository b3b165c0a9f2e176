// 3-D capability test: adapter checks, then four blend tests and a clipping test on a 100 x 100
// render target, judged by squared colour distance (at most 768, alpha ignored).
#include "framework/display/D3DTester.h"

#include "framework/core/DirectXErrors.h"
#include "framework/core/StringUtils.h"
#include "framework/display/TextureData.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sys/stat.h>

namespace Fw {

using namespace Platform;

namespace {

constexpr int32_t kTargetSize = 100;
constexpr int32_t kTextureSize = 64;
constexpr int kTolerance = 768;

// Moves (p & mask) so the mask's highest set bit lands on bit top; bit 0 counts as not found.
uint32_t PlaceChannel(uint32_t p, uint32_t mask, int top)
{
    int highest = 0;
    for (int b = 31; b >= 1; --b)
        if (mask & (1u << b)) {
            highest = b;
            break;
        }
    const uint32_t v = p & mask;
    const uint32_t placed = highest <= top ? v << (top - highest) : v >> (highest - top);
    return placed & (0xFFu << (top - 7));
}

std::string Trim(const std::string& s)
{
    const char* ws = " \t\r\n\v\f";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// true when the list file opened; matched tells whether a line occurs in the description.
bool MatchList(const std::string& path, const std::string& description, bool& matched)
{
    std::ifstream in(path);
    if (!in)
        return false;
    matched = false;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (!line.empty() && StrFindNoCase(description.c_str(), line.c_str()) >= 0) {
            matched = true;
            break;
        }
    }
    return true;
}

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

} // namespace

bool IsSoftwareRenderer(const std::string& description)
{
    for (const char* word : {"llvmpipe", "softpipe", "swrast", "software"})
        if (StrFindNoCase(description.c_str(), word) >= 0)
            return true;
    return false;
}

int SquaredColorDistance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int s = 0; s < 24; s += 8) {
        const int c = int((a >> s) & 0xFF) - int((b >> s) & 0xFF);
        d += c * c;
    }
    return d;
}

void D3DTestImage::Create(int32_t w, int32_t h)
{
    Free();
    if (w > 0 && h > 0) {
        pixels_.assign(size_t(w) * size_t(h), 0);
        width = w;
        height = h;
    }
}

void D3DTestImage::Free()
{
    pixels_.clear();
    pixels_.shrink_to_fit();
    width = height = 0;
}

D3DTester::~D3DTester() { ReleaseObjects(); }

void D3DTester::SetVidMemoryConstraints(uint32_t minMB, uint32_t recMB)
{
    minVidMemory = minMB;
    recVidMemory = recMB;
}

bool D3DTester::SetFailure(const std::string& text)
{
    failureReason = text;
    return false;
}

bool D3DTester::SetWarning(const std::string& text)
{
    warning = text;
    return true;
}

void D3DTester::CheckDXResult(HRESULT hr, const std::string& call)
{
    if (Failed(hr))
        throw TestException("DXError - " + call + ": " + GetDirectXErrorName(uint32_t(hr)));
}

void D3DTester::ReleaseObjects()
{
    driver_ = nullptr;
    device_.reset();
    if (renderTarget_) {
        renderTarget_->Release();
        renderTarget_ = nullptr;
    }
    texture1_.reset();
    texture2_.reset();
}

void D3DTester::RunTest(Driver3D* driver, D3DTestHost* host)
{
    if (!host || !host->PlayingDemo()) {
        failureReason.clear();
        warning.clear();
        if (Setup(driver))
            RunRenderTests();
        ReleaseObjects();
    }
    if (host) {
        failureReason = host->DemoSyncString(failureReason);
        warning = host->DemoSyncString(warning);
        host->DemoSyncBool(resultsAreNew);
    }
}

bool D3DTester::IsCardSupported(const std::string& description)
{
    const std::string prefix = cardListFolder.empty() ? std::string() : cardListFolder + "/";
    bool matched = false;
    if (MatchList(prefix + "vhwb.dat", description, matched) && matched)
        return false;
    if (MatchList(prefix + "vhw.dat", description, matched))
        return matched;
    return driverYear >= 2002 || StrFindNoCase(description.c_str(), "nvidia") >= 0 ||
           StrFindNoCase(description.c_str(), "radeon") >= 0 || StrFindNoCase(description.c_str(), "ati ") >= 0;
}

bool D3DTester::Setup(Driver3D* driver)
{
    try {
        ReleaseObjects();
        driverYear = 0;
        if (!driver)
            return SetFailure("No DirectDrawCreateEx");
        driver_ = driver;

        AdapterIdentity id;
        if (!driver->ProbeNewerAdapterIdentity(id))
            CheckDXResult(driver->GetDeviceIdentifier(id), "GetDeviceIdentifier");
        driverName = id.driverName;
        driverDescription = id.description;
        if (refuseSoftwareRenderer && IsSoftwareRenderer(driverDescription))
            return SetFailure("Software renderer (slower than drawing in software).");

        const DesktopMode desk = driver->GetDesktopMode();
        uint64_t total = 0;
        if (HRESULT hr = driver->GetAvailableVidMem(total); Failed(hr)) {
            SetWarning("GetAvailableVidMem failed: " + GetDirectXErrorName(uint32_t(hr)));
        } else {
            // The desktop's own pixels count as available: the test runs before anything else.
            const uint64_t desktopBytes = uint64_t(std::max(desk.bitDepth, 0) / 8) *
                                          uint64_t(std::max(desk.width, 0)) * uint64_t(std::max(desk.height, 0));
            const uint64_t totalMB = SaturatingAdd(desktopBytes, total) >> 20;
            if (totalMB < minVidMemory)
                return SetFailure("Not enough video memory.");
            if (totalMB < recVidMemory)
                SetWarning("Low video memory.");
        }

        std::string path = driverName;
        if (!path.empty() && path.find('/') == std::string::npos && path.find('\\') == std::string::npos)
            path = systemFolder + "/" + path;
        std::replace(path.begin(), path.end(), '\\', '/');
        struct stat st {};
        if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
            std::tm tm{};
            const std::time_t t = st.st_mtime;
            if (gmtime_r(&t, &tm))
                driverYear = tm.tm_year + 1900;
        }

        if (!IsCardSupported(driverDescription))
            SetWarning("Unsupported video card: " + driverDescription);

        CheckDXResult(driver->CreateRenderTarget(kTargetSize, kTargetSize, &renderTarget_), "CreateSurface (Primary)");
        testImage.Create(kTargetSize, kTargetSize);
        CheckDXResult(driver->CreateDevice(renderTarget_, device_), "CreateDevice");

        std::vector<uint32_t> formats;
        CheckDXResult(device_->EnumTextureFormats(formats), "EnumTextureFormats");
        const bool has8888 = std::count(formats.begin(), formats.end(), kTexA8R8G8B8) > 0;
        const bool has4444 = std::count(formats.begin(), formats.end(), kTexA4R4G4B4) > 0;
        if (!has8888) {
            SetWarning("A8R8G8B8 texture format not supported.");
            if (!has4444)
                return SetFailure("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
        }
        uses32BitTextures = has8888;
        const uint32_t fmt = has8888 ? kTexA8R8G8B8 : kTexA4R4G4B4;
        CheckDXResult(device_->CreateTexture(kTextureSize, kTextureSize, fmt, texture1_), "CreateSurface (TextureSurface1)");
        CheckDXResult(device_->CreateTexture(kTextureSize, kTextureSize, fmt, texture2_), "CreateSurface (TextureSurfacd2)");
        return true;
    } catch (const TestException& e) {
        return SetFailure(e.what());
    }
}

bool D3DTester::RunRenderTests()
{
    const Blend alpha{kBlendSrcAlpha, kBlendInvSrcAlpha, false};
    const Blend additive{kBlendOne, kBlendOne, false};
    const Blend alphaAdd{kBlendSrcAlpha, kBlendOne, false};
    const Blend modulated{kBlendSrcAlpha, kBlendInvSrcAlpha, true};
    return RunBlendTest(alpha, 0xFF0000FF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF, 0x7F007F, "Alpha blend Not Supported",
                        "Alpha blend test not uniform.") &&
           RunBlendTest(additive, 0xFF404040, 0xFFFFFFFF, 0xFF404040, 0xFFFFFFFF, 0x808080,
                        "Additive blend not supported.", "Additive blend test not uniform.") &&
           RunBlendTest(alphaAdd, 0xFF404040, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF, 0x808080,
                        "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform.") &&
           RunBlendTest(modulated, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
                        "AlphaModulated blend not supported.", "AlphaModulated blend test not uniform.") &&
           RunClipTest();
}

void D3DTester::BeginTest(const Blend& blend)
{
    CheckDXResult(device_->BeginScene(), "");
    CheckDXResult(device_->Clear(0xFF000000), "Clear");
    CheckDXResult(device_->SetRenderState(RenderState::AlphaBlendEnable, 1), "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
    CheckDXResult(device_->SetRenderState(RenderState::SrcBlend, blend.src),
                  blend.src == kBlendOne ? "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE"
                                         : "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA");
    CheckDXResult(device_->SetRenderState(RenderState::DestBlend, blend.dst),
                  blend.dst == kBlendOne ? "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE"
                                         : "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA");
    if (blend.modulateAlpha)
        CheckDXResult(device_->SetTextureStageState(0, StageState::AlphaOp, kOpModulate), "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
    CheckDXResult(device_->SetRenderState(RenderState::CullMode, kCullNone), "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
}

bool D3DTester::RunBlendTest(const Blend& blend, uint32_t fill1, uint32_t color1, uint32_t fill2, uint32_t color2,
                             uint32_t expected, const char* failure, const char* warningText)
{
    try {
        if (!device_)
            return SetFailure(failure);
        BeginTest(blend);
        D3DTestImage image;
        image.Create(kTextureSize, kTextureSize);
        std::fill(image.bits(), image.bits() + kTextureSize * kTextureSize, fill1);
        DrawTestImage(image, 0, 0, color1);
        std::fill(image.bits(), image.bits() + kTextureSize * kTextureSize, fill2);
        DrawTestImage(image, 0, 0, color2);
        CheckDXResult(device_->EndScene(), "EndScene");
        ReadBackRenderTarget();
    } catch (const TestException& e) {
        device_->EndScene();
        return SetFailure(e.what());
    }
    bool uniform = true;
    const uint32_t first = testImage.bits()[0];
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            const uint32_t p = testImage.bits()[y * kTargetSize + x];
            if (SquaredColorDistance(p, expected) > kTolerance)
                return SetFailure(failure);
            uniform = uniform && p == first;
        }
    if (!uniform)
        SetWarning(warningText);
    return true;
}

bool D3DTester::RunClipTest()
{
    try {
        if (!device_)
            return false;
        BeginTest({kBlendSrcAlpha, kBlendInvSrcAlpha, false});
        D3DTestImage image;
        image.Create(kTextureSize, kTextureSize);
        for (int32_t y = 0; y < kTextureSize; ++y)
            for (int32_t x = 0; x < kTextureSize; ++x)
                image.bits()[y * kTextureSize + x] = (x & 1) ? 0xFFFFFFFFu : 0xFF000000u;
        DrawTestImage(image, -2, -2, 0xFFFFFFFF);
        CheckDXResult(device_->EndScene(), "EndScene");
        ReadBackRenderTarget();
    } catch (const TestException& e) {
        device_->EndScene();
        return SetFailure(e.what());
    }
    // Column x of the target shows image column x + 2, which has the same parity.
    for (int32_t y = 0; y < 62; ++y)
        for (int32_t x = 0; x < 62; ++x)
            if (SquaredColorDistance(testImage.bits()[y * kTargetSize + x], (x & 1) ? 0xFFFFFF : 0) > kTolerance) {
                SetWarning("Clip problem detected.");
                return true;
            }
    return true;
}

void D3DTester::DrawTestImage(const D3DTestImage& image, int32_t x, int32_t y, uint32_t vertexColor)
{
    for (int32_t row = 0; row < image.height; row += kTextureSize)
        for (int32_t col = 0; col < image.width; col += kTextureSize) {
            const int32_t pw = std::min(kTextureSize, image.width - col);
            const int32_t ph = std::min(kTextureSize, image.height - row);
            TextureLock lock;
            CheckDXResult(texture1_->Lock(lock), "Lock Texture");
            auto* out = static_cast<uint8_t*>(lock.bits);
            const int32_t bpp = uses32BitTextures ? 4 : 2;
            if (pw < kTextureSize || ph < kTextureSize)
                for (int32_t r = 0; r < kTextureSize; ++r)
                    std::memset(out + size_t(r) * size_t(lock.pitch), 0, size_t(kTextureSize * bpp));
            const uint32_t* src = const_cast<D3DTestImage&>(image).bits();
            for (int32_t r = 0; r < ph; ++r)
                for (int32_t c = 0; c < pw; ++c) {
                    const uint32_t p = src[size_t(row + r) * size_t(image.width) + size_t(col + c)];
                    uint8_t* dst = out + size_t(r) * size_t(lock.pitch) + size_t(c * bpp);
                    if (uses32BitTextures) {
                        std::memcpy(dst, &p, 4);
                    } else {
                        const uint16_t v = ArgbTo4444(p);
                        std::memcpy(dst, &v, 2);
                    }
                }
            CheckDXResult(texture1_->Unlock(), "Texture Unlock");
            CheckDXResult(device_->SetTexture(0, texture1_), "SetTexture theTexture");
            const float left = float(x + col) - 0.5f, top = float(y + row) - 0.5f;
            const float u = float(pw) / kTextureSize, v = float(ph) / kTextureSize;
            const Vertex3D quad[4] = {{left, top, 0, 1, vertexColor, 0, 0, 0},
                                      {left + float(pw), top, 0, 1, vertexColor, 0, u, 0},
                                      {left, top + float(ph), 0, 1, vertexColor, 0, 0, v},
                                      {left + float(pw), top + float(ph), 0, 1, vertexColor, 0, u, v}};
            CheckDXResult(device_->DrawPrimitive(Primitive::TriangleStrip, quad, 4, 1), "DrawPrimitive");
            CheckDXResult(device_->SetTexture(0, nullptr), "SetTexture NULL");
        }
}

void D3DTester::ReadBackRenderTarget()
{
    SurfaceDesc d;
    CheckDXResult(renderTarget_->Lock(nullptr, d, DDLOCK_WAIT), "CopyPrimary Lock");
    const int32_t bits = d.pixelFormat.bitCount;
    if (bits != 32 && bits != 16) {
        renderTarget_->Unlock(nullptr);
        throw TestException(bits == 24 ? "Can't test 24-bit mode." : "Invalid Color Depth");
    }
    const int32_t w = std::min(d.width, testImage.width), h = std::min(d.height, testImage.height);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(d.surface) + size_t(y) * size_t(d.pitch);
        for (int32_t x = 0; x < w; ++x) {
            uint32_t p;
            if (bits == 32) {
                std::memcpy(&p, row + size_t(x) * 4, 4);
            } else {
                uint16_t s;
                std::memcpy(&s, row + size_t(x) * 2, 2);
                p = s;
            }
            testImage.bits()[y * testImage.width + x] = 0xFF000000u | PlaceChannel(p, d.pixelFormat.redMask, 23) |
                                                          PlaceChannel(p, d.pixelFormat.greenMask, 15) |
                                                          PlaceChannel(p, d.pixelFormat.blueMask, 7);
        }
    }
    renderTarget_->Unlock(nullptr);
}

bool RunD3DTest(std::unique_ptr<D3DTester>& tester, const D3DTestSettings& settings, Driver3D* driver,
                D3DTestHost* host, bool& is3D)
{
    if (tester || (!settings.autoEnable3D && !settings.test3D))
        return false;
    tester = std::make_unique<D3DTester>();
    tester->SetVidMemoryConstraints(settings.minVidMemory, settings.recVidMemory);
    tester->refuseSoftwareRenderer = !settings.requested3D;
    tester->RunTest(driver, host);
    if (settings.autoEnable3D && tester->failureReason.empty() && tester->warning.empty())
        is3D = true;
    if (!tester->failureReason.empty())
        is3D = false;
    std::string line = "3-D capability test on \"" + tester->driverDescription + "\": ";
    if (!tester->failureReason.empty())
        line += "failed: " + tester->failureReason;
    else
        line += tester->warning.empty() ? std::string("passed.") : "passed with a warning: " + tester->warning;
    if (settings.requested3D && is3D && IsSoftwareRenderer(tester->driverDescription))
        line += " A software renderer, used because 3-D was asked for.";
    line += is3D ? " The display draws through 3-D." : " The display draws in software.";
    Platform::OutputDebugText(line + "\n");
    return true;
}

} // namespace Fw
