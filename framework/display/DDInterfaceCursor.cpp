// The software cursor: painted over the picture on a surface with what it covers kept in the old
// cursor area, moved on the primary without flicker, and taken out again. Areas hold the 64 x 64
// square centred on the cursor; a square clipped at an edge keeps its pixels at their place in
// the area, so areas of two positions line up by the difference of the positions.
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceRects.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"

namespace Fw {

namespace {

using Platform::SurfaceRect;

constexpr int32_t kHalf = DDInterface::kCursorAreaSize / 2;

SurfaceRect SurfaceBounds(Platform::Surface* surface)
{
    Platform::SurfaceDesc desc;
    surface->GetSurfaceDesc(desc);
    return {0, 0, desc.width, desc.height};
}

} // namespace

bool DDInterface::SetCursorImage(Image* image)
{
    ScopedCritSect lock(Lock());
    if (image == cursorImage_)
        return false;
    cursorImage_ = image;
    return true;
}

void DDInterface::SetCursorPos(int32_t x, int32_t y)
{
    cursorX_ = x;
    cursorY_ = y;
    // Redraw paints the cursor itself (read without the lock: Redraw holds it).
    if (inRedraw_)
        return;
    ScopedCritSect lock(Lock());
    if (!initialized_ || !primary_)
        return;
    if (presentsToWindow_) {
        // The renderer draws the cursor over the frame when the main thread presents.
        pending_ = true;
        return;
    }
    if (!cursorAreaSaved_) {
        drawnX_ = x;
        drawnY_ = y;
        DrawCursor(primary_.get());
    } else {
        MoveCursor(primary_.get(), x, y);
    }
}

void DDInterface::SetPendingCursorPos(int32_t x, int32_t y)
{
    cursorX_ = x;
    cursorY_ = y;
}

void DDInterface::GetCursorPos(int32_t& x, int32_t& y) const
{
    x = cursorX_;
    y = cursorY_;
}

SurfaceRect DDInterface::CursorRect(int32_t x, int32_t y) const
{
    const SurfaceRect square{x - kHalf, y - kHalf, x + kHalf, y + kHalf};
    return Intersect(square, ToSurfaceRect(presentationRect_));
}

void DDInterface::DrawCursorImage(DDImage* area, int32_t x, int32_t y)
{
    Graphics g(area);
    g.DrawImage(cursorImage_, x - cursorImage_->GetWidth() / 2, y - cursorImage_->GetHeight() / 2);
}

void DDInterface::DrawCursor(Platform::Surface* surface)
{
    cursorAreaSaved_ = false;
    if (!cursorImage_ || !primary_ || !surface || !oldArea_)
        return;
    const SurfaceRect rect = Intersect(CursorRect(drawnX_, drawnY_), SurfaceBounds(surface));
    if (IsEmpty(rect))
        return;
    const int32_t ox = drawnX_ - kHalf, oy = drawnY_ - kHalf;
    const SurfaceRect areaRect = Offset(rect, -ox, -oy);
    // Keep what the cursor covers; without it the cursor could never be taken out again.
    if (Platform::Failed(BltRect(oldAreaSurface_.get(), areaRect, surface, rect)))
        return;
    cursorAreaSaved_ = true;
    savedRect_ = rect;
    savedOriginX_ = ox;
    savedOriginY_ = oy;

    if (surface == drawSurface_.get() && !is3D_ && screenImage_) {
        // The frame itself takes the cursor, straight through its image.
        Graphics g(screenImage_.get());
        g.DrawImage(cursorImage_, drawnX_ - cursorImage_->GetWidth() / 2, drawnY_ - cursorImage_->GetHeight() / 2);
    } else {
        BltRect(newAreaSurface_.get(), areaRect, oldAreaSurface_.get(), areaRect);
        DrawCursorImage(newArea_.get(), kHalf, kHalf);
        BltRect(surface, rect, newAreaSurface_.get(), areaRect);
    }
    if (surface == primary_.get())
        MarkPrimary(rect);
}

void DDInterface::MoveCursor(Platform::Surface* surface, int32_t x, int32_t y)
{
    if (!cursorAreaSaved_ || !cursorImage_ || !surface || !oldArea_) {
        drawnX_ = x;
        drawnY_ = y;
        DrawCursor(surface);
        return;
    }
    const SurfaceRect oldRect = savedRect_;
    const int32_t oox = savedOriginX_, ooy = savedOriginY_;
    const SurfaceRect newRect = Intersect(CursorRect(x, y), SurfaceBounds(surface));
    const int32_t nox = x - kHalf, noy = y - kHalf;

    // The new area takes the picture under the new square; where the squares overlap the picture
    // shows the old cursor, so that part comes from the old area (the true background).
    BltRect(newAreaSurface_.get(), Offset(newRect, -nox, -noy), surface, newRect);
    const SurfaceRect overlap = Intersect(oldRect, newRect);
    BltRect(newAreaSurface_.get(), Offset(overlap, -nox, -noy), oldAreaSurface_.get(), Offset(overlap, -oox, -ooy));
    // Old area: background plus the cursor at its new place; over the old square it erases the
    // old cursor and shows the overlapping part of the new one in one copy.
    DrawCursorImage(oldArea_.get(), x - oox, y - ooy);
    BltRect(surface, oldRect, oldAreaSurface_.get(), Offset(oldRect, -oox, -ooy));
    // The new background becomes the old area; the new area gets the cursor and goes on screen.
    BltRect(oldAreaSurface_.get(), SurfaceRect{0, 0, kCursorAreaSize, kCursorAreaSize}, newAreaSurface_.get(),
            SurfaceRect{0, 0, kCursorAreaSize, kCursorAreaSize});
    DrawCursorImage(newArea_.get(), kHalf, kHalf);
    BltRect(surface, newRect, newAreaSurface_.get(), Offset(newRect, -nox, -noy));

    drawnX_ = x;
    drawnY_ = y;
    savedRect_ = newRect;
    savedOriginX_ = nox;
    savedOriginY_ = noy;
    cursorAreaSaved_ = !IsEmpty(newRect);
    if (surface == primary_.get())
        MarkPrimary(Union(oldRect, newRect));
}

void DDInterface::RestoreCursorArea(Platform::Surface* surface)
{
    if (!cursorAreaSaved_ || !primary_ || !surface)
        return;
    const SurfaceRect rect = Intersect(savedRect_, SurfaceBounds(surface));
    BltRect(surface, rect, oldAreaSurface_.get(), Offset(rect, -savedOriginX_, -savedOriginY_));
    cursorAreaSaved_ = false;
    if (surface == primary_.get())
        MarkPrimary(rect);
}

} // namespace Fw
