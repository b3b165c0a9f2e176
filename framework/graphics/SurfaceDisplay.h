// What a surface image needs from the display that made it: the pixel format with its tables, the
// display lock, the set of live surface images, the 3-D state and surface creation. The display
// implements it; tests drive surface images through a fake. The 3-D renderer is reached through
// Renderer3D, which the display may leave absent (software drawing only).
#pragma once
#include "framework/core/CritSect.h"
#include "framework/display/NativeDisplay.h"
#include "platform/Surface.h"

namespace Fw {

class DDImage;
class ImageRegistry;
class Renderer3D;

class SurfaceDisplay {
public:
    // The screen's pixel format, its saturation and conversion tables.
    virtual NativeDisplay& GetPixelFormat() = 0;
    // Guards every surface, the image set and the cursor; recursive.
    virtual CritSect& GetDisplayLock() = 0;
    // Called under the display lock by the image's constructor and destructor.
    virtual void AddDDImage(DDImage* image) = 0;
    virtual void RemoveDDImage(DDImage* image) = 0;
    // Direct3D draws the frame.
    virtual bool Is3D() = 0;
    // The surface the frame is drawn into, or null.
    virtual Platform::Surface* GetDrawSurface() = 0;
    // The image is one of the two cursor save areas (they take surface blits even in 3-D mode).
    virtual bool IsCursorAreaImage(const DDImage* image) = 0;
    // Makes a surface in the screen format of desc's width and height (DDSD_WIDTH | DDSD_HEIGHT)
    // with desc's caps; the caller owns the one reference of *out. Refuses with the surface
    // layer's result code, *out null.
    virtual Platform::HRESULT CreateSurface(const Platform::SurfaceDesc& desc, Platform::Surface** out) = 0;
    // The application the image's memory part registers with (null for none).
    virtual ImageRegistry* GetImageRegistry() = 0;
    // The 3-D renderer, or null while there is none: then no image counts as the 3-D target.
    virtual Renderer3D* GetRenderer3D() { return nullptr; }
    // Brings the draw surface's pixels up to date with what the 3-D renderer drew (a read-back,
    // done once per call: screenshots and reading the screen's pixels ask for it). False when the
    // pixels cannot be had.
    virtual bool ReadBackDrawSurface() { return true; }

protected:
    ~SurfaceDisplay() = default;
};

} // namespace Fw
