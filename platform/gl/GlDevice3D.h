// The OpenGL 3-D device: the device interface on the fixed-function pipeline (texture environment
// combiners for the two texture stages), drawing into a framebuffer object the size of the render
// target. Two kinds: a surface device mirrors its render target surface (loaded at BeginScene,
// written back at EndScene: the capability test and headless runs), a window device keeps its
// frame between frames and shows it in its window's own context with a buffer swap (nothing is
// read back unless ReadBack is asked). Each device draws in one context (GlContext.h), made
// current before every call; all on the main thread.
// Vertex positions get +0.5: the device interface puts pixel centres on integers, OpenGL on halves.
// No palette textures (no alpha-palette capability).
#pragma once
#include "platform/Device3D.h"
#include "platform/gl/GlContext.h"

#include <memory>
#include <string>

namespace Platform {

// Makes the process's headless context current when it can; false with the reason otherwise (no
// EGL, no surfaceless platform, no OpenGL API, no framebuffer objects).
bool GlContextAvailable(std::string* reason = nullptr);
// GL_RENDERER of the headless context ("" without one).
std::string GlRendererName();

// A surface device on the headless context drawing into target; null with reason without one.
std::unique_ptr<Device3D> CreateGlDevice3D(Surface* target, std::string* reason = nullptr);
// A device on context: a window device when window is set (the context must be a window's),
// else a surface device. Null for a null or dead context.
std::unique_ptr<Device3D> CreateGlDevice3D(const std::shared_ptr<GlContext>& context, Surface* target, bool window);

// The adapter behind the OpenGL context: the target window's own context when it can take one,
// else the headless one. Video memory is asked of the driver (GLX_MESA_query_renderer,
// GL_NVX_gpu_memory_info, GL_ATI_meminfo), with videoMemory as the fallback; the driver's file is
// the loaded driver library (its date is the driver's date), with driverPath as the fallback.
class GlDriver3D final : public Driver3D {
public:
    uint64_t videoMemory = 256ull << 20;
    std::string driverPath = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";
    DesktopMode desktop{1024, 768, 0, 32};

    bool ProbeNewerAdapterIdentity(AdapterIdentity& out) override;
    HRESULT GetDeviceIdentifier(AdapterIdentity& out) override;
    HRESULT GetAvailableVidMem(uint64_t& total) override;
    DesktopMode GetDesktopMode() override { return desktop; }
    HRESULT CreateRenderTarget(int32_t width, int32_t height, Surface** out) override;
    HRESULT CreateDevice(Surface* target, std::unique_ptr<Device3D>& out) override;
    void SetTargetWindow(WindowId window) override;
    HRESULT CreateWindowDevice(Surface* target, std::unique_ptr<Device3D>& out) override;

    // The context devices are made on (null when none can be made); why it is the one it is.
    std::shared_ptr<GlContext> Context();
    const std::string& ContextNote() const { return note_; }

private:
    std::shared_ptr<GlContext> context_;
    WindowId window_ = 0;
    std::string note_;
};

// The loaded OpenGL driver library's path ("" when none is recognised among the loaded objects).
std::string LoadedGlDriverPath();
// Video memory in bytes as the current context's driver reports it; 0 when it cannot be asked.
uint64_t QueryGlVideoMemory(GlContext& context);

} // namespace Platform
