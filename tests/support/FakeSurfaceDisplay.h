// A display for surface-image tests: one pixel format, memory surfaces with padded rows, the
// image set, a switchable 3-D flag and draw surface, and scripted creation failures. No window,
// no presentation; a test may plug in a 3-D renderer.
#pragma once
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "platform/MemorySurface.h"

#include <set>
#include <string>
#include <vector>

namespace FwTest {

// The four surface formats every surface test runs over.
struct SurfaceFormatCase {
    const char* name;
    Platform::SurfacePixelFormat format;
};
inline const SurfaceFormatCase kSurfaceFormats[] = {
    {"R5G6B5", Platform::kFormat565},
    {"X1R5G5B5", Platform::kFormat555},
    {"X8R8G8B8", Platform::kFormatX8R8G8B8},
    {"X4R4G4B4", Platform::kFormatX4R4G4B4},
};

class FakeSurfaceDisplay : public Fw::SurfaceDisplay {
public:
    // rowPadding: extra bytes per row of every surface made (a multiple of 4).
    explicit FakeSurfaceDisplay(const Platform::SurfacePixelFormat& f, int32_t rowPadding = 12)
        : format(f), padding(rowPadding)
    {
        native.SetPixelFormat(f.bitCount, f.redMask, f.greenMask, f.blueMask);
        Fw::gDisplayRGBOrdered = f.blueMask < f.greenMask && f.greenMask < f.redMask;
    }

    Fw::NativeDisplay& GetPixelFormat() override { return native; }
    Fw::CritSect& GetDisplayLock() override { return lock; }
    void AddDDImage(Fw::DDImage* image) override { images.insert(image); }
    void RemoveDDImage(Fw::DDImage* image) override { images.erase(image); }
    bool Is3D() override { return is3D; }
    Platform::Surface* GetDrawSurface() override { return drawSurface; }
    bool IsCursorAreaImage(const Fw::DDImage* image) override { return cursorAreas.count(image) != 0; }
    Fw::ImageRegistry* GetImageRegistry() override { return nullptr; }
    Fw::Renderer3D* GetRenderer3D() override { return renderer; }

    Platform::HRESULT CreateSurface(const Platform::SurfaceDesc& desc, Platform::Surface** out) override
    {
        ++createCalls;
        if (failCreate) {
            *out = nullptr;
            return Platform::HRESULT(0x8876017Cu); // DDERR_OUTOFVIDEOMEMORY
        }
        const Platform::HRESULT hr =
            Platform::MemorySurface::Create(desc.width, desc.height, format, desc.caps, padding, out);
        if (Platform::Succeeded(hr)) {
            lastCaps = desc.caps;
            if (createLost)
                static_cast<Platform::MemorySurface*>(*out)->MarkLost();
        }
        return hr;
    }

    // A surface of this display's format, as the display makes its own (one reference, caller's).
    Platform::MemorySurface* MakeSurface(int32_t w, int32_t h)
    {
        Platform::Surface* s = nullptr;
        Platform::MemorySurface::Create(w, h, format, Platform::DDSCAPS_SYSTEMMEMORY, padding, &s);
        return static_cast<Platform::MemorySurface*>(s);
    }

    Platform::SurfacePixelFormat format;
    int32_t padding;
    Fw::NativeDisplay native;
    Fw::CritSect lock;
    std::set<Fw::DDImage*> images;
    std::set<const Fw::DDImage*> cursorAreas;
    bool is3D = false;
    Platform::Surface* drawSurface = nullptr;
    Fw::Renderer3D* renderer = nullptr;
    bool failCreate = false;
    bool createLost = false; // surfaces are made already lost: their first lock fails
    int createCalls = 0;
    uint32_t lastCaps = 0;
};

// The image's surface as the memory surface behind it (null when it has none).
inline Platform::MemorySurface* MemorySurfaceOf(Fw::DDImage& image)
{
    return dynamic_cast<Platform::MemorySurface*>(image.GetSurface());
}

// The words of the top-left w x h pixels of a surface, row by row.
inline std::vector<uint32_t> SurfaceWords(Platform::MemorySurface& surface, int32_t w, int32_t h)
{
    std::vector<uint32_t> words;
    words.reserve(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            words.push_back(surface.PixelAt(x, y));
    return words;
}

} // namespace FwTest
