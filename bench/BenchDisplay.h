// A software display for the screen benchmarks: one surface format, memory surfaces.
#pragma once
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "platform/MemorySurface.h"

namespace BenchPixels {

using Fw::DDImage;

// A display of one format whose surfaces are memory surfaces.
class BenchDisplay : public Fw::SurfaceDisplay {
public:
    explicit BenchDisplay(const Platform::SurfacePixelFormat& f) : format(f)
    {
        native.SetPixelFormat(f.bitCount, f.redMask, f.greenMask, f.blueMask);
        Fw::gDisplayRGBOrdered = true;
    }
    Fw::NativeDisplay& GetPixelFormat() override { return native; }
    Fw::CritSect& GetDisplayLock() override { return lock; }
    void AddDDImage(DDImage*) override {}
    void RemoveDDImage(DDImage*) override {}
    bool Is3D() override { return false; }
    Platform::Surface* GetDrawSurface() override { return nullptr; }
    bool IsCursorAreaImage(const DDImage*) override { return false; }
    Fw::ImageRegistry* GetImageRegistry() override { return nullptr; }
    Platform::HRESULT CreateSurface(const Platform::SurfaceDesc& d, Platform::Surface** out) override
    {
        return Platform::MemorySurface::Create(d.width, d.height, format, d.caps, 0, out);
    }
    Platform::SurfacePixelFormat format;
    Fw::NativeDisplay native;
    Fw::CritSect lock;
};

} // namespace BenchPixels
