// A surface whose pixels live in ordinary memory: the system-memory and "video-memory" surfaces
// of the display, and the surface tests draw on. Rows may carry padding beyond width * bytes, so
// code that assumes pitch = width * bytes goes wrong visibly. Loss of the surface's memory can be
// simulated (MarkLost), as a mode switch would cause it.
#pragma once
#include "platform/Surface.h"

#include <atomic>
#include <memory>

namespace Platform {

// Formats the display reports, and one with other masks that takes the per-channel paths.
inline constexpr SurfacePixelFormat kFormat565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr SurfacePixelFormat kFormat555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr SurfacePixelFormat kFormatX8R8G8B8{32, 0xFF0000, 0xFF00, 0xFF};
inline constexpr SurfacePixelFormat kFormatX4R4G4B4{16, 0x0F00, 0x00F0, 0x000F};

class MemorySurface final : public Surface {
public:
    // Makes a width x height surface (pixels all 0) with caps as given. rowPadding extra bytes
    // follow every row (a multiple of 4, so rows stay aligned). Fails with DDERR_INVALIDPARAMS
    // for a size below 1 or above 32768 or a bad padding,
    // DDERR_INVALIDPIXELFORMAT for a bit count other than 16 or 32.
    static HRESULT Create(int32_t width, int32_t height, const SurfacePixelFormat& format, uint32_t caps,
                          int32_t rowPadding, Surface** out);

    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT Lock(const SurfaceRect* rect, SurfaceDesc& desc, uint32_t flags) override;
    HRESULT Unlock(const SurfaceRect* rect) override;
    HRESULT Blt(const SurfaceRect* dstRect, Surface* src, const SurfaceRect* srcRect, uint32_t flags,
                const BltFx* fx) override;
    HRESULT SetColorKey(uint32_t flags, const ColorKey* key) override;
    HRESULT GetSurfaceDesc(SurfaceDesc& desc) override;

    // Test and display hooks. A lost surface refuses Lock and Blt until Restore.
    void MarkLost() { lost_ = true; }
    void Restore() { lost_ = false; }
    int32_t LockDepth() const { return lockDepth_; }
    int32_t LockCalls() const { return lockCalls_; } // successful Lock calls so far
    uint32_t RefCount() const { return refs_.load(); }
    // Pixel row y, locked or not (for presenting and for tests).
    uint8_t* Row(int32_t y) { return pixels_.get() + size_t(y) * size_t(pitch_); }
    int32_t Pitch() const { return pitch_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    const SurfacePixelFormat& Format() const { return format_; }
    uint32_t PixelAt(int32_t x, int32_t y);
    void SetPixelAt(int32_t x, int32_t y, uint32_t value);

private:
    MemorySurface(int32_t width, int32_t height, const SurfacePixelFormat& format, uint32_t caps, int32_t pitch);
    ~MemorySurface() override = default;
    bool HasKey() const { return hasKey_; }

    std::atomic<uint32_t> refs_{1};
    int32_t width_, height_, pitch_;
    SurfacePixelFormat format_;
    uint32_t caps_;
    std::unique_ptr<uint8_t[]> pixels_;
    int32_t lockDepth_ = 0;
    int32_t lockCalls_ = 0;
    bool lost_ = false;
    bool hasKey_ = false;
    ColorKey key_;
};

} // namespace Platform
