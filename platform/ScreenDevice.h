// The screen as the display sees it: the desktop's mode (size, refresh rate, colour depth), the
// window's client area and the presentation of a memory surface into a window. Stands in for the
// parts of DirectDraw that reach the monitor; the display's surfaces themselves are memory
// surfaces. Main thread only: the real device calls SDL. Deliberately absent: palettes, overlays,
// gamma, scan-line queries (unsupported here) and real mode switches (full screen is the desktop).
#pragma once
#include "platform/Surface.h"
#include "platform/WindowMessages.h"

#include <cstdint>
#include <vector>

namespace Platform {

inline constexpr HRESULT DDERR_INVALIDMODE = HRESULT(0x88760078u);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = HRESULT(0x88760233u);

struct DesktopMode {
    int32_t width = 0, height = 0;
    int32_t refreshRate = 0; // Hz as reported; 0 when unknown (callers clamp before dividing)
    int32_t bitDepth = 0;    // 16, 24 or 32 bits per pixel
};

class ScreenDevice {
public:
    virtual ~ScreenDevice() = default;

    // False when no screen can be driven (no video device): the display cannot be created.
    virtual bool IsAvailable() = 0;
    virtual DesktopMode GetDesktopMode() = 0;

    // Size of the window's client area; false for an unknown window.
    virtual bool GetClientSize(WindowId window, int32_t& width, int32_t& height) = 0;
    // Gives the window's client area this size (windowed mode); false for an unknown window.
    virtual bool SetClientSize(WindowId window, int32_t width, int32_t height) = 0;

    // Shows the surface in the window. The surface is the whole screen mode: its pixels fill the
    // window's client area, scaled with the aspect kept when the sizes differ (full screen on a
    // desktop of another size); mouse positions arriving from the window are then in the surface's
    // pixels. dirty (null: all) limits what changed. Fails with DDERR_INVALIDPARAMS for an unknown
    // window, with the surface's own result when it cannot be locked.
    virtual HRESULT Present(WindowId window, Surface* surface, const SurfaceRect* dirty) = 0;
    // Forgets what it keeps for the window (before the window goes away or the mode changes).
    virtual void Release(WindowId window) = 0;

    // The window's presented pixels as 0xAARRGGBB rows (alpha 0xFF), width x height; false when
    // nothing was presented to it. For tests and screenshots.
    virtual bool ReadPresentedPixels(WindowId window, std::vector<uint32_t>& pixels, int32_t& width,
                                     int32_t& height) = 0;
};

// The process's screen device (SDL unless a test installed another). Never null. Main thread.
ScreenDevice& GetScreenDevice();
// Installs device (tests); nullptr restores the SDL one. Returns the one installed before.
ScreenDevice* SetScreenDevice(ScreenDevice* device);

} // namespace Platform
