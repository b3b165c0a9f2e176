// Pixel surfaces of the display layer: what the surface images and the display call on a surface
// (nested lock, unlock, same-format blit with source colour key and nearest stretch, colour key,
// description) with DirectX-style result codes. Our own stand-in: no video hardware behind it.
// Deliberately absent: palettes, clippers, overlays, flipping chains (the display owns those).
#pragma once
#include <cstdint>
#include <utility>

namespace Platform {

// Results carry the real DirectX numbers, so the framework's DirectX error names apply to them.
using HRESULT = int32_t;
inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_INVALIDPARAMS = HRESULT(0x80070057u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT DDERR_UNSUPPORTED = HRESULT(0x80004001u);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = HRESULT(0x88760091u);
inline constexpr HRESULT DDERR_INVALIDRECT = HRESULT(0x88760096u);
inline constexpr HRESULT DDERR_NOCOLORKEY = HRESULT(0x887600D7u);
inline constexpr HRESULT DDERR_SURFACEBUSY = HRESULT(0x887601AEu);
inline constexpr HRESULT DDERR_SURFACELOST = HRESULT(0x887601C2u);
inline constexpr HRESULT DDERR_NOTLOCKED = HRESULT(0x88760248u);
inline constexpr bool Failed(HRESULT hr) { return hr < 0; }
inline constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

// Which fields of a SurfaceDesc are valid (given to a creation, filled by a query).
inline constexpr uint32_t DDSD_CAPS = 0x1;
inline constexpr uint32_t DDSD_HEIGHT = 0x2;
inline constexpr uint32_t DDSD_WIDTH = 0x4;
inline constexpr uint32_t DDSD_PITCH = 0x8;
inline constexpr uint32_t DDSD_LPSURFACE = 0x800;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
inline constexpr uint32_t DDSD_CKSRCBLT = 0x10000;

// Capability tag: where the surface lives and what it serves.
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x2000;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

inline constexpr uint32_t DDLOCK_WAIT = 0x1;
inline constexpr uint32_t DDBLT_KEYSRC = 0x8000;
inline constexpr uint32_t DDBLT_WAIT = 0x1000000;
inline constexpr uint32_t DDCKEY_SRCBLT = 0x8;

struct SurfacePixelFormat {
    int32_t bitCount = 0; // 16 or 32 here; other counts exist only to be refused
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    constexpr bool operator==(const SurfacePixelFormat&) const = default;
};

// A source colour key: pixels whose value lies in low..high (masked to the pixel) are not copied.
struct ColorKey {
    uint32_t low = 0, high = 0;
};

// Left, top, right (exclusive), bottom (exclusive).
struct SurfaceRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct SurfaceDesc {
    uint32_t flags = 0; // DDSD_* bits naming the valid fields
    int32_t width = 0, height = 0;
    int32_t pitch = 0;       // bytes from one row to the next, at least width * bytes per pixel
    void* surface = nullptr; // first pixel while locked
    uint32_t caps = 0;       // DDSCAPS_* bits
    SurfacePixelFormat pixelFormat;
    ColorKey srcBltKey; // valid with DDSD_CKSRCBLT
};

// Blit effects record: nothing in it is used yet; kept so callers pass what they always passed.
struct BltFx {
    uint32_t fxFlags = 0;
};

// One surface, reference counted: a new surface has one reference, Release at 0 destroys it.
// Calls come from the drawing thread; the display's lock serialises them.
class Surface {
public:
    virtual uint32_t AddRef() = 0;
    // Returns the references left; the surface is gone when it returns 0.
    virtual uint32_t Release() = 0;

    // Locks the whole surface (rect must be null) and fills desc's size, pitch, pointer, pixel
    // format and caps. Locks nest: each successful Lock needs one Unlock. Fails with
    // DDERR_SURFACELOST when the surface's memory was lost.
    virtual HRESULT Lock(const SurfaceRect* rect, SurfaceDesc& desc, uint32_t flags) = 0;
    // DDERR_NOTLOCKED when no lock is outstanding.
    virtual HRESULT Unlock(const SurfaceRect* rect) = 0;
    // Copies src's srcRect (null = all of it) into dstRect (null = all of this surface), nearest
    // stretch when the sizes differ; DDBLT_KEYSRC skips source pixels matching src's colour key.
    // Both surfaces must have one pixel format, be unlocked and the rectangles lie inside.
    virtual HRESULT Blt(const SurfaceRect* dstRect, Surface* src, const SurfaceRect* srcRect, uint32_t flags,
                        const BltFx* fx) = 0;
    // Only DDCKEY_SRCBLT is supported; a null key removes it.
    virtual HRESULT SetColorKey(uint32_t flags, const ColorKey* key) = 0;
    // Fills every field except the pointer (null while unlocked).
    virtual HRESULT GetSurfaceDesc(SurfaceDesc& desc) = 0;

protected:
    virtual ~Surface() = default;
};

// Holds one reference to a surface.
class SurfaceRef {
public:
    SurfaceRef() = default;
    // Adopts a reference the caller already owns (e.g. from a creation).
    static SurfaceRef Adopt(Surface* s)
    {
        SurfaceRef r;
        r.p_ = s;
        return r;
    }
    // Adds a reference of its own.
    static SurfaceRef Share(Surface* s)
    {
        if (s)
            s->AddRef();
        return Adopt(s);
    }
    SurfaceRef(const SurfaceRef& o) : p_(o.p_)
    {
        if (p_)
            p_->AddRef();
    }
    SurfaceRef(SurfaceRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    SurfaceRef& operator=(SurfaceRef o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~SurfaceRef() { reset(); }
    void reset()
    {
        if (Surface* s = std::exchange(p_, nullptr))
            s->Release();
    }
    Surface* get() const { return p_; }
    Surface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Surface* p_ = nullptr;
};

} // namespace Platform
