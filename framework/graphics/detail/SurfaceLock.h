// Scope of one software primitive on a surface image: gets and locks the surface on entry,
// unlocks on exit. Internal to framework/graphics.
#pragma once
#include "framework/graphics/DDImage.h"
#include "framework/graphics/detail/SurfacePixels.h"

namespace Fw::detail {

class SurfaceLock {
public:
    explicit SurfaceLock(DDImage& image) : image_(image), locked_(image.LockSurface())
    {
        if (locked_)
            view_ = SurfaceView::Of(image.lockDesc);
    }
    ~SurfaceLock()
    {
        if (locked_)
            image_.UnlockSurface();
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    bool Locked() const { return locked_; }
    // Locked, with a pixel pointer and a 16- or 32-bit format.
    bool Ok() const { return locked_ && view_.Usable(); }
    const SurfaceView& View() const { return view_; }

private:
    DDImage& image_;
    bool locked_;
    SurfaceView view_;
};

// Runs fn(view) on the image's locked surface, then unlocks. Nothing happens when the surface
// cannot be locked, or when honourNoReadBack is set and the image is never drawn by software.
template <class Fn>
void OnSurface(DDImage& image, bool honourNoReadBack, Fn&& fn)
{
    if (honourNoReadBack && image.noReadBack)
        return;
    SurfaceLock lock(image);
    if (lock.Ok())
        fn(lock.View());
}

} // namespace Fw::detail
