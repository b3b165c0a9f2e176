// The OpenGL 3-D device: the device interface on the fixed-function pipeline (texture environment
// combiners for the two texture stages), drawing into a framebuffer object that mirrors the
// render target surface (loaded at BeginScene, written back at EndScene). The context is made
// headless through EGL's surfaceless Mesa platform, once per process, on the thread that first
// asks; every device and texture is then used on that thread only.
// Vertex positions get +0.5: the device interface puts pixel centres on integers, OpenGL on halves.
// No palette textures (no alpha-palette capability).
#pragma once
#include "platform/Device3D.h"

#include <string>

namespace Platform {

// Makes the process's OpenGL context current when it can; false with the reason otherwise (no
// EGL, no surfaceless platform, no OpenGL API, no framebuffer objects).
bool GlContextAvailable(std::string* reason = nullptr);
// GL_RENDERER of the context ("" without one).
std::string GlRendererName();

// A device on the process's context drawing into target; null with reason when there is no context.
std::unique_ptr<Device3D> CreateGlDevice3D(Surface* target, std::string* reason = nullptr);

// The adapter behind the OpenGL context. Linux has no portable video-memory query and no driver
// file date for a GL driver, so both are settings here.
class GlDriver3D final : public Driver3D {
public:
    uint64_t videoMemory = 256ull << 20;
    // The file whose modification year is taken as the driver's date.
    std::string driverPath = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";
    DesktopMode desktop{1024, 768, 0, 32};

    bool ProbeNewerAdapterIdentity(AdapterIdentity& out) override;
    HRESULT GetDeviceIdentifier(AdapterIdentity& out) override;
    HRESULT GetAvailableVidMem(uint64_t& total) override;
    DesktopMode GetDesktopMode() override { return desktop; }
    HRESULT CreateRenderTarget(int32_t width, int32_t height, Surface** out) override;
    HRESULT CreateDevice(Surface* target, std::unique_ptr<Device3D>& out) override;
};

} // namespace Platform
