// Memory surface: pixel storage with padded rows, nested locking, keyed nearest-stretch blits.
#include "platform/MemorySurface.h"

#include "platform/BlockCopy.h"

#include <cstring>
#include <new>

namespace Platform {

namespace {

bool RectInside(const SurfaceRect& r, int32_t w, int32_t h)
{
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right && r.top < r.bottom;
}

} // namespace

MemorySurface::MemorySurface(int32_t width, int32_t height, const SurfacePixelFormat& format, uint32_t caps,
                             int32_t pitch)
    : width_(width), height_(height), pitch_(pitch), format_(format), caps_(caps)
{
}

HRESULT MemorySurface::Create(int32_t width, int32_t height, const SurfacePixelFormat& format, uint32_t caps,
                              int32_t rowPadding, Surface** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (width < 1 || height < 1 || rowPadding < 0 || rowPadding % 4 != 0 || width > (1 << 15) || height > (1 << 15))
        return DDERR_INVALIDPARAMS;
    if (format.bitCount != 16 && format.bitCount != 32)
        return DDERR_INVALIDPIXELFORMAT;
    const int32_t pitch = width * (format.bitCount / 8) + rowPadding;
    auto* s = new (std::nothrow) MemorySurface(width, height, format, caps, pitch);
    if (!s)
        return DDERR_OUTOFMEMORY;
    s->pixels_.reset(new (std::nothrow) uint8_t[size_t(pitch) * size_t(height)]());
    if (!s->pixels_) {
        delete s;
        return DDERR_OUTOFMEMORY;
    }
    *out = s;
    return DD_OK;
}

uint32_t MemorySurface::AddRef()
{
    return ++refs_;
}

uint32_t MemorySurface::Release()
{
    const uint32_t left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MemorySurface::GetSurfaceDesc(SurfaceDesc& desc)
{
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | (hasKey_ ? DDSD_CKSRCBLT : 0);
    desc.width = width_;
    desc.height = height_;
    desc.pitch = pitch_;
    desc.surface = nullptr;
    desc.caps = caps_;
    desc.pixelFormat = format_;
    desc.srcBltKey = key_;
    return DD_OK;
}

HRESULT MemorySurface::Lock(const SurfaceRect* rect, SurfaceDesc& desc, uint32_t /*flags*/)
{
    if (rect)
        return DDERR_INVALIDPARAMS; // whole-surface locks only: nothing here needs more
    if (lost_)
        return DDERR_SURFACELOST;
    GetSurfaceDesc(desc);
    desc.flags |= DDSD_LPSURFACE;
    desc.surface = pixels_.get();
    ++lockDepth_;
    ++lockCalls_;
    return DD_OK;
}

HRESULT MemorySurface::Unlock(const SurfaceRect* /*rect*/)
{
    if (lockDepth_ == 0)
        return DDERR_NOTLOCKED;
    --lockDepth_;
    return DD_OK;
}

HRESULT MemorySurface::SetColorKey(uint32_t flags, const ColorKey* key)
{
    if (flags != DDCKEY_SRCBLT)
        return DDERR_UNSUPPORTED;
    hasKey_ = key != nullptr;
    key_ = key ? *key : ColorKey{};
    return DD_OK;
}

uint32_t MemorySurface::PixelAt(int32_t x, int32_t y)
{
    const uint8_t* p = Row(y);
    if (format_.bitCount == 16) {
        uint16_t v;
        std::memcpy(&v, p + size_t(x) * 2, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p + size_t(x) * 4, 4);
    return v;
}

void MemorySurface::SetPixelAt(int32_t x, int32_t y, uint32_t value)
{
    uint8_t* p = Row(y);
    if (format_.bitCount == 16) {
        const uint16_t v = uint16_t(value);
        std::memcpy(p + size_t(x) * 2, &v, 2);
    } else {
        std::memcpy(p + size_t(x) * 4, &value, 4);
    }
}

HRESULT MemorySurface::Blt(const SurfaceRect* dstRect, Surface* srcSurface, const SurfaceRect* srcRect, uint32_t flags,
                           const BltFx* /*fx*/)
{
    auto* src = dynamic_cast<MemorySurface*>(srcSurface);
    if (!src)
        return srcSurface ? DDERR_UNSUPPORTED : DDERR_INVALIDPARAMS; // colour fills are not needed
    if (lost_ || src->lost_)
        return DDERR_SURFACELOST;
    if (lockDepth_ > 0 || src->lockDepth_ > 0)
        return DDERR_SURFACEBUSY;
    if (!(src->format_ == format_))
        return DDERR_INVALIDPIXELFORMAT;
    const SurfaceRect d = dstRect ? *dstRect : SurfaceRect{0, 0, width_, height_};
    const SurfaceRect s = srcRect ? *srcRect : SurfaceRect{0, 0, src->width_, src->height_};
    if (!RectInside(d, width_, height_) || !RectInside(s, src->width_, src->height_))
        return DDERR_INVALIDRECT;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !src->hasKey_)
        return DDERR_NOCOLORKEY;
    const uint32_t pixelMask = format_.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    const uint32_t keyLow = src->key_.low & pixelMask, keyHigh = src->key_.high & pixelMask;
    const int32_t dw = d.right - d.left, dh = d.bottom - d.top;
    const int32_t sw = s.right - s.left, sh = s.bottom - s.top;
    const int32_t bytes = format_.bitCount / 8;
    // Same surface, same size, no key: rows may overlap, so copy through memmove in a safe order.
    if (!keyed && dw == sw && dh == sh) {
        // Two surfaces whose rows follow each other without padding, copied in whole rows: one
        // block.
        const size_t rowBytes = size_t(dw) * size_t(bytes);
        if (src != this && size_t(pitch_) == rowBytes && size_t(src->pitch_) == rowBytes) {
            CopyBlock(Row(d.top), src->Row(s.top), rowBytes * size_t(dh));
            return DD_OK;
        }
        const bool upward = src == this && s.top < d.top;
        for (int32_t k = 0; k < dh; ++k) {
            const int32_t j = upward ? dh - 1 - k : k;
            std::memmove(Row(d.top + j) + size_t(d.left) * size_t(bytes),
                         src->Row(s.top + j) + size_t(s.left) * size_t(bytes), size_t(dw) * size_t(bytes));
        }
        return DD_OK;
    }
    // Nearest stretch: destination pixel i samples source column s.left + i * sw / dw.
    for (int32_t j = 0; j < dh; ++j) {
        const int32_t sy = s.top + int32_t(int64_t(j) * sh / dh);
        for (int32_t i = 0; i < dw; ++i) {
            const int32_t sx = s.left + int32_t(int64_t(i) * sw / dw);
            const uint32_t v = src->PixelAt(sx, sy);
            if (keyed && v >= keyLow && v <= keyHigh)
                continue;
            SetPixelAt(d.left + i, d.top + j, v);
        }
    }
    return DD_OK;
}

} // namespace Platform
