// Screen device for tests: a scripted desktop mode, client sizes per window, and presentations
// recorded as 0xAARRGGBB copies of the surface (no scaling: the copy has the surface's size).
// Simulates: unknown windows, a failing presentation. Not: mouse mapping, real windows.
#pragma once
#include "platform/ScreenDevice.h"
#include "platform/ServiceSlot.h"

#include <map>

namespace Platform {

class FakeScreenDevice final : public ScreenDevice {
public:
    bool available = true;
    DesktopMode desktop{1024, 768, 0, 32};
    // Client sizes; a window not listed is unknown unless anyWindow is set (then it has the
    // desktop's size, as a full-screen window has).
    std::map<WindowId, std::pair<int32_t, int32_t>> clientSizes;
    bool anyWindow = true;
    HRESULT presentResult = DD_OK; // a failure is returned without presenting

    struct Presented {
        std::vector<uint32_t> pixels;
        int32_t width = 0, height = 0;
        int count = 0;
        SurfaceRect lastDirty{};
        bool lastWasWhole = true;
    };
    std::map<WindowId, Presented> presented;
    std::vector<WindowId> released;

    bool IsAvailable() override { return available; }
    DesktopMode GetDesktopMode() override { return desktop; }
    bool GetClientSize(WindowId window, int32_t& width, int32_t& height) override;
    bool SetClientSize(WindowId window, int32_t width, int32_t height) override;
    HRESULT Present(WindowId window, Surface* surface, const SurfaceRect* dirty) override;
    void Release(WindowId window) override { released.push_back(window); }
    bool ReadPresentedPixels(WindowId window, std::vector<uint32_t>& pixels, int32_t& width,
                             int32_t& height) override;
};

// Converts one pixel of a surface format to 0xFFRRGGBB, widening each channel to 8 bits by
// repeating its top bits.
uint32_t SurfacePixelToArgb(uint32_t pixel, const SurfacePixelFormat& format);

using ScopedScreenDevice = ScopedService<ScreenDevice, &SetScreenDevice>;

} // namespace Platform
