// The 3-D device layer: exactly what the framework's renderer, texture management and 3-D tester
// call of a pre-transformed-vertex device (Direct3D 7 style: pixel centres on integer positions,
// no depth buffer, no lighting, no 3-D transform), plus the adapter queries the tester makes.
// Implementations: SoftwareDevice3D (deterministic reference with failure injection, the oracle of
// the tests) and GlDevice3D (OpenGL fixed function; headless through EGL). No palettes.
#pragma once
#include "platform/ScreenDevice.h" // DesktopMode
#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

// Direct3D result numbers the devices report (they share the DirectX error names).
inline constexpr HRESULT D3DERR_INVALIDCALL = HRESULT(0x88760086u);
inline constexpr HRESULT D3DERR_SCENE_IN_SCENE = HRESULT(0x88760B76u);
inline constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = HRESULT(0x88760B77u);
inline constexpr HRESULT DDERR_GENERIC = HRESULT(0x80004005u);

// Texture formats by their codes; the same numbers serve as bits of a supported-formats set.
enum TextureFormat : uint32_t {
    kTexNone = 0,
    kTexA8R8G8B8 = 1, // 32 bits, 0xAARRGGBB
    kTexA4R4G4B4 = 2, // 16 bits, 0xARGB nibbles
    kTexR5G6B5 = 4,   // 16 bits, no alpha
    kTexPalette8 = 8, // 8-bit indices into an alpha palette (no device here offers it)
};
int32_t TextureBytesPerTexel(uint32_t format);

enum class Primitive { TriangleStrip, TriangleFan, TriangleList, LineStrip };

enum class RenderState { AlphaBlendEnable, SrcBlend, DestBlend, Lighting, DitherEnable, SpecularEnable,
                         ZWriteEnable, ZEnable, CullMode };
// Values of SrcBlend / DestBlend.
inline constexpr uint32_t kBlendZero = 1, kBlendOne = 2, kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6;
inline constexpr uint32_t kCullNone = 1;

enum class StageState { ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1, AlphaArg2, TexCoordIndex,
                        AddressU, AddressV, MagFilter, MinFilter, MipFilter };
// Values of the Op states.
inline constexpr uint32_t kOpDisable = 1, kOpSelectArg1 = 2, kOpSelectArg2 = 3, kOpModulate = 4;
// Values of the Arg states.
inline constexpr uint32_t kArgDiffuse = 0, kArgCurrent = 1, kArgTexture = 2;
inline constexpr uint32_t kAddressWrap = 1, kAddressClamp = 3;
// Values of the filter states: none (mip only), point, linear.
inline constexpr uint32_t kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2;
inline constexpr int kStageCount = 2;

// A pre-transformed vertex: screen position (pixel centres on integers), z 0, rhw 1, colours as
// 0xAARRGGBB, one or two pairs of texture coordinates (u1, v1 used only by two-texture draws).
struct Vertex3D {
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t diffuse = 0xFFFFFFFF, specular = 0;
    float u = 0, v = 0;
    float u1 = 0, v1 = 0;
};

struct Device3DCaps {
    int32_t minTextureWidth = 1, minTextureHeight = 1;
    int32_t maxTextureWidth = 0, maxTextureHeight = 0; // 0 = not reported
    int32_t maxTextureAspectRatio = 0;                 // 0 = unlimited
    bool alphaPalette = false;
};

// A texture's pixels while locked: rows of width texels in the texture's format.
struct TextureLock {
    void* bits = nullptr;
    int32_t pitch = 0; // bytes from one row to the next
};

class Texture3D {
public:
    virtual ~Texture3D() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual uint32_t Format() const = 0;
    // Locks all texels (not nested). The pixels are those last written.
    virtual HRESULT Lock(TextureLock& out) = 0;
    // The texels written while locked become what the device samples.
    virtual HRESULT Unlock() = 0;
};
using Texture3DRef = std::shared_ptr<Texture3D>;

// How a window device shows its frame: the screen mode's pixels are fitted into the window with
// the aspect kept and centred; the frame goes to frameArea of them (scaled when the sizes differ),
// then the cursor image (0xAARRGGBB, straight alpha; none when null) is blended on top at
// (cursorX, cursorY), cut to frameArea. Everything outside the frame is black.
struct WindowPresentation {
    int32_t modeWidth = 0, modeHeight = 0;
    SurfaceRect frameArea{};
    const uint32_t* cursor = nullptr;
    int32_t cursorWidth = 0, cursorHeight = 0;
    int32_t cursorX = 0, cursorY = 0; // top-left corner in the mode's pixels
};

// One device bound to a render target surface (16 or 32 bits per pixel, see MemorySurface). Calls
// come from one thread. Drawing happens between BeginScene and EndScene; the render target holds
// the result after EndScene, except for window devices (PresentsToWindow): their frame stays in
// the device between frames and reaches the render target only through ReadBack.
class Device3D {
public:
    virtual ~Device3D() = default;
    virtual HRESULT GetCaps(Device3DCaps& caps) = 0;
    // Every texture format code the device can make, in its preferred order.
    virtual HRESULT EnumTextureFormats(std::vector<uint32_t>& formats) = 0;
    virtual HRESULT SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // Fills the viewport of the render target with colour (0xAARRGGBB).
    virtual HRESULT Clear(uint32_t color) = 0;
    // The surface drawing goes to (the device keeps a reference).
    virtual HRESULT SetRenderTarget(Surface* target) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT SetRenderState(RenderState state, uint32_t value) = 0;
    virtual HRESULT SetTextureStageState(int stage, StageState state, uint32_t value) = 0;
    // The texture of a stage (null = none); the device holds it while set.
    virtual HRESULT SetTexture(int stage, const Texture3DRef& texture) = 0;
    // textureCount 0 (untextured), 1 (u, v) or 2 (also u1, v1).
    virtual HRESULT DrawPrimitive(Primitive type, const Vertex3D* vertices, int32_t count, int textureCount) = 0;
    // A managed texture of the size and format (a code of EnumTextureFormats).
    virtual HRESULT CreateTexture(int32_t width, int32_t height, uint32_t format, Texture3DRef& out) = 0;

    // Whether the device shows its frame in a window itself (Present) instead of in its render target.
    virtual bool PresentsToWindow() const { return false; }
    // Copies the frame as drawn so far into the render target surface, once (screenshots, reading
    // the screen's pixels). Devices that draw straight into the surface have nothing to do.
    virtual HRESULT ReadBack() { return DD_OK; }
    // Shows the frame in the window (window devices only), ending with a buffer swap.
    virtual HRESULT Present(const WindowPresentation& how)
    {
        (void)how;
        return DDERR_UNSUPPORTED;
    }
};

// Adapter identity as the tester reads it.
struct AdapterIdentity {
    std::string driverName;  // a path of the driver file whose modification time is read
    std::string description; // matched against the card lists
};

// What stands in for DirectDraw 7 and Direct3D 7 as the framework opens them: the adapter, the
// video memory and device creation.
class Driver3D {
public:
    virtual ~Driver3D() = default;
    // The identification through the newer interface; false when it is not there (silently).
    virtual bool ProbeNewerAdapterIdentity(AdapterIdentity& out) = 0;
    virtual HRESULT GetDeviceIdentifier(AdapterIdentity& out) = 0;
    // Total bytes of video memory (the desktop's share excluded).
    virtual HRESULT GetAvailableVidMem(uint64_t& total) = 0;
    virtual DesktopMode GetDesktopMode() = 0;
    // A surface a device can draw into, in the desktop's format.
    virtual HRESULT CreateRenderTarget(int32_t width, int32_t height, Surface** out) = 0;
    // A device drawing into target.
    virtual HRESULT CreateDevice(Surface* target, std::unique_ptr<Device3D>& out) = 0;
    // The window the display shows its picture in; drivers that can draw into a window's own
    // context bind to it (the capability test then tests that context). 0: none.
    virtual void SetTargetWindow(WindowId window) { (void)window; }
    // A window device for the target window, its frame the size of target (which receives
    // ReadBack); DDERR_UNSUPPORTED when the driver has no window to draw into.
    virtual HRESULT CreateWindowDevice(Surface* target, std::unique_ptr<Device3D>& out)
    {
        (void)target;
        out.reset();
        return DDERR_UNSUPPORTED;
    }
};

} // namespace Platform
