// SDL2 screen device, and the selection of the process's screen device.
#include "platform/sdl/SdlScreenDevice.h"
#include "platform/ServiceSlot.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Platform {

namespace {

bool VideoReady() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

Uint32 SdlFormatOf(const SurfacePixelFormat& f)
{
    return SDL_MasksToPixelFormatEnum(f.bitCount, f.redMask, f.greenMask, f.blueMask, 0);
}

} // namespace

SdlScreenDevice::SdlScreenDevice()
{
    if (const char* depth = std::getenv("FW_DESKTOP_DEPTH"); depth && *depth)
        depthOverride_ = std::atoi(depth);
}

SdlScreenDevice::~SdlScreenDevice()
{
    for (auto& [id, target] : targets_)
        if (VideoReady() && SDL_GetWindowFromID(id) == target.window)
            Drop(target);
}

bool SdlScreenDevice::IsAvailable() { return VideoReady(); }

DesktopMode SdlScreenDevice::GetDesktopMode()
{
    DesktopMode mode{1024, 768, 0, 32};
    SDL_DisplayMode sdl{};
    if (VideoReady() && SDL_GetDesktopDisplayMode(0, &sdl) == 0) {
        mode.width = sdl.w;
        mode.height = sdl.h;
        mode.refreshRate = sdl.refresh_rate;
        // Bytes, not SDL's bit count: an X8R8G8B8 desktop is a 32-bit one (SDL calls it 24).
        const int bytes = SDL_BYTESPERPIXEL(sdl.format);
        mode.bitDepth = bytes == 2 ? 16 : bytes == 3 ? 24 : 32;
    }
    if (depthOverride_ != 0)
        mode.bitDepth = depthOverride_;
    return mode;
}

bool SdlScreenDevice::GetClientSize(WindowId window, int32_t& width, int32_t& height)
{
    SDL_Window* w = VideoReady() && window ? SDL_GetWindowFromID(window) : nullptr;
    if (!w)
        return false;
    int cw = 0, ch = 0;
    SDL_GetWindowSize(w, &cw, &ch);
    width = cw;
    height = ch;
    return true;
}

bool SdlScreenDevice::SetClientSize(WindowId window, int32_t width, int32_t height)
{
    SDL_Window* w = VideoReady() && window ? SDL_GetWindowFromID(window) : nullptr;
    if (!w)
        return false;
    SDL_SetWindowSize(w, width, height);
    return true;
}

void SdlScreenDevice::Drop(Target& target)
{
    // Destroying the renderer frees its texture too.
    if (target.renderer)
        SDL_DestroyRenderer(target.renderer);
    target = Target{};
}

SdlScreenDevice::Target* SdlScreenDevice::TargetFor(WindowId window)
{
    SDL_Window* w = VideoReady() && window ? SDL_GetWindowFromID(window) : nullptr;
    if (!w) {
        targets_.erase(window); // the window system destroyed the window, its renderer with it
        return nullptr;
    }
    Target& t = targets_[window];
    if (t.window != w || (t.renderer && SDL_GetRenderer(w) != t.renderer))
        t = Target{};
    if (!t.renderer) {
        t.window = w;
        t.renderer = SDL_GetRenderer(w);
        if (!t.renderer) {
            // The window's own framebuffer: otherwise SDL may back it with a GL renderer of its
            // own (offscreen driver), which is slower here and leaks at exit.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            t.renderer = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
        }
        if (!t.renderer) {
            targets_.erase(window);
            return nullptr;
        }
    }
    return &t;
}

HRESULT SdlScreenDevice::Present(WindowId window, Surface* surface, const SurfaceRect* dirty)
{
    if (!surface)
        return DDERR_INVALIDPARAMS;
    Target* t = TargetFor(window);
    if (!t)
        return DDERR_INVALIDPARAMS;

    SurfaceDesc desc;
    if (HRESULT hr = surface->Lock(nullptr, desc, DDLOCK_WAIT); Failed(hr))
        return hr;
    const Uint32 format = SdlFormatOf(desc.pixelFormat);
    if (!t->texture || t->width != desc.width || t->height != desc.height || t->format != format) {
        if (t->texture)
            SDL_DestroyTexture(t->texture);
        t->texture = SDL_CreateTexture(t->renderer, format, SDL_TEXTUREACCESS_STREAMING, desc.width, desc.height);
        t->width = desc.width;
        t->height = desc.height;
        t->format = format;
        dirty = nullptr; // a new texture takes everything
        // The mode's pixels fill the window with the aspect kept; SDL maps mouse events back.
        SDL_RenderSetLogicalSize(t->renderer, desc.width, desc.height);
    }
    if (!t->texture) {
        surface->Unlock(nullptr);
        return DDERR_OUTOFMEMORY;
    }
    SDL_Rect area{0, 0, desc.width, desc.height};
    if (dirty) {
        const int32_t l = std::max(dirty->left, 0), tp = std::max(dirty->top, 0);
        const int32_t r = std::min(dirty->right, desc.width), b = std::min(dirty->bottom, desc.height);
        area = SDL_Rect{l, tp, std::max(r - l, 0), std::max(b - tp, 0)};
    }
    if (area.w > 0 && area.h > 0) {
        const int bytes = desc.pixelFormat.bitCount / 8;
        const auto* first = static_cast<const uint8_t*>(desc.surface) + size_t(area.y) * size_t(desc.pitch) +
                            size_t(area.x) * size_t(bytes);
        SDL_UpdateTexture(t->texture, &area, first, desc.pitch);
    }
    surface->Unlock(nullptr);

    SDL_SetRenderDrawColor(t->renderer, 0, 0, 0, 255);
    SDL_RenderClear(t->renderer);
    SDL_RenderCopy(t->renderer, t->texture, nullptr, nullptr);
    SDL_RenderPresent(t->renderer);
    t->presented = true;
    return DD_OK;
}

void SdlScreenDevice::Release(WindowId window)
{
    auto it = targets_.find(window);
    if (it == targets_.end())
        return;
    if (VideoReady() && SDL_GetWindowFromID(window) == it->second.window)
        Drop(it->second);
    targets_.erase(it);
}

bool SdlScreenDevice::ReadPresentedPixels(WindowId window, std::vector<uint32_t>& pixels, int32_t& width,
                                          int32_t& height)
{
    auto it = targets_.find(window);
    if (it == targets_.end() || !it->second.presented || !TargetFor(window))
        return false;
    Target& t = it->second;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(t.renderer, &w, &h) != 0 || w <= 0 || h <= 0)
        return false;
    // Read in output pixels: the logical size would otherwise rescale the read rectangle.
    SDL_RenderSetLogicalSize(t.renderer, 0, 0);
    pixels.assign(size_t(w) * size_t(h), 0);
    const int rc = SDL_RenderReadPixels(t.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4);
    SDL_RenderSetLogicalSize(t.renderer, t.width, t.height);
    if (rc != 0)
        return false;
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    width = w;
    height = h;
    return true;
}

namespace {
ServiceSlot<ScreenDevice> gScreenDevice;

SdlScreenDevice& RealScreenDevice()
{
    static SdlScreenDevice device;
    return device;
}
} // namespace

ScreenDevice& GetScreenDevice() { return gScreenDevice.Get(RealScreenDevice()); }

ScreenDevice* SetScreenDevice(ScreenDevice* device) { return gScreenDevice.Exchange(device, &RealScreenDevice()); }

} // namespace Platform
