// The screen device over SDL2: desktop mode from SDL's desktop display mode, presentation through
// SDL's software renderer (a streaming texture in the surface's format, scaled to the window with
// a logical size so that mouse events arrive in the surface's pixels). Needs SDL video, which the
// SDL window system initialises; main thread only.
#pragma once
#include "platform/ScreenDevice.h"

#include <map>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace Platform {

class SdlScreenDevice final : public ScreenDevice {
public:
    SdlScreenDevice();
    ~SdlScreenDevice() override;

    bool IsAvailable() override;
    DesktopMode GetDesktopMode() override;
    bool GetClientSize(WindowId window, int32_t& width, int32_t& height) override;
    bool SetClientSize(WindowId window, int32_t width, int32_t height) override;
    HRESULT Present(WindowId window, Surface* surface, const SurfaceRect* dirty) override;
    void Release(WindowId window) override;
    bool ReadPresentedPixels(WindowId window, std::vector<uint32_t>& pixels, int32_t& width,
                             int32_t& height) override;

    // Reported desktop depth in bits (16, 24, 32); 0 reports what SDL says. The environment
    // variable FW_DESKTOP_DEPTH sets it at construction (tests, and running in 16 bits).
    void SetDesktopDepth(int32_t bits) { depthOverride_ = bits; }

private:
    struct Target {
        SDL_Window* window = nullptr;
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        int32_t width = 0, height = 0;
        uint32_t format = 0;
        bool presented = false;
    };
    // The live target for window (made or remade as needed); null when the window is gone.
    Target* TargetFor(WindowId window);
    void Drop(Target& target);

    std::map<WindowId, Target> targets_;
    int32_t depthOverride_ = 0;
};

} // namespace Platform
