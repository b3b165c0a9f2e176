// Recording screen device for tests.
#include "platform/fake/FakeScreenDevice.h"

#include <bit>

namespace Platform {

namespace {

uint32_t Widen(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int low = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    uint32_t v = (pixel & mask) >> low;
    if (bits >= 8)
        return v >> (bits - 8);
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits)
        out = (out << bits) | v;
    // Keep the top 8 bits of the repeated pattern.
    const int total = ((8 + bits - 1) / bits) * bits;
    return (out >> (total - 8)) & 0xFF;
}

} // namespace

uint32_t SurfacePixelToArgb(uint32_t pixel, const SurfacePixelFormat& format)
{
    return 0xFF000000u | (Widen(pixel, format.redMask) << 16) | (Widen(pixel, format.greenMask) << 8) |
           Widen(pixel, format.blueMask);
}


bool FakeScreenDevice::GetClientSize(WindowId window, int32_t& width, int32_t& height)
{
    if (auto it = clientSizes.find(window); it != clientSizes.end()) {
        width = it->second.first;
        height = it->second.second;
        return true;
    }
    if (!anyWindow || window == 0)
        return false;
    width = desktop.width;
    height = desktop.height;
    return true;
}

bool FakeScreenDevice::SetClientSize(WindowId window, int32_t width, int32_t height)
{
    if (window == 0)
        return false;
    clientSizes[window] = {width, height};
    return true;
}

HRESULT FakeScreenDevice::Present(WindowId window, Surface* surface, const SurfaceRect* dirty)
{
    if (!surface || window == 0)
        return DDERR_INVALIDPARAMS;
    if (Failed(presentResult))
        return presentResult;
    SurfaceDesc desc;
    if (HRESULT hr = surface->Lock(nullptr, desc, DDLOCK_WAIT); Failed(hr))
        return hr;
    Presented& p = presented[window];
    p.width = desc.width;
    p.height = desc.height;
    p.pixels.resize(size_t(desc.width) * size_t(desc.height));
    for (int32_t y = 0; y < desc.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(desc.surface) + size_t(y) * size_t(desc.pitch);
        for (int32_t x = 0; x < desc.width; ++x) {
            const uint32_t v = desc.pixelFormat.bitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                               : reinterpret_cast<const uint32_t*>(row)[x];
            p.pixels[size_t(y) * size_t(desc.width) + size_t(x)] = SurfacePixelToArgb(v, desc.pixelFormat);
        }
    }
    surface->Unlock(nullptr);
    ++p.count;
    p.lastWasWhole = dirty == nullptr;
    if (dirty)
        p.lastDirty = *dirty;
    return DD_OK;
}

bool FakeScreenDevice::ReadPresentedPixels(WindowId window, std::vector<uint32_t>& pixels, int32_t& width,
                                           int32_t& height)
{
    auto it = presented.find(window);
    if (it == presented.end())
        return false;
    pixels = it->second.pixels;
    width = it->second.width;
    height = it->second.height;
    return true;
}

} // namespace Platform
