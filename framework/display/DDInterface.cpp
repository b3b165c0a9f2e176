// Display: construction, Init with its screen-mode arithmetic, surfaces, presentation (Redraw) and
// the image set. The software cursor is in DDInterfaceCursor.cpp.
#include "framework/display/DDInterface.h"
#include "framework/core/DirectXErrors.h"
#include "framework/core/Format.h"
#include "framework/core/StringUtils.h"
#include "framework/display/SurfaceRects.h"
#include "framework/graphics/DDImage.h"
#include "platform/MemorySurface.h"
#include "platform/WindowSystem.h"

#include <algorithm>
#include <cstring>

namespace Fw {

namespace {

using Platform::HRESULT;
using Platform::SurfaceRect;

// Two ratios a:b and c:d differ when a*d/b < c or a < c*b/d (integer division). The test is
// one-sided and coarse: a:b is the draw aspect, c:d the screen's (4:3 against 5:4 counts as equal).
bool AspectsDiffer(const Ratio& ab, const Ratio& cd)
{
    const int64_t a = ab.numerator, b = ab.denominator, c = cd.numerator, d = cd.denominator;
    if (b == 0 || d == 0)
        return !(ab == cd);
    return a * d / b < c || a < c * b / d;
}

Platform::SurfacePixelFormat FormatForDepth(int32_t bits)
{
    switch (bits) {
    case 16: return Platform::kFormat565;
    case 32: return Platform::kFormatX8R8G8B8;
    default: return Platform::SurfacePixelFormat{bits, 0xFF0000, 0xFF00, 0xFF};
    }
}

} // namespace

DDInterface::DDInterface(DisplayHost& host) : host_(host), device_(Platform::GetScreenDevice()) {}

DDInterface::~DDInterface()
{
    Cleanup();
    renderer_.reset();
}

void DDInterface::SetRenderer(std::unique_ptr<DisplayRenderer> renderer)
{
    ScopedCritSect lock(Lock());
    if (renderer_)
        renderer_->Cleanup();
    renderer_ = std::move(renderer);
}

std::string DDInterface::GetErrorText() const { return errorText_; }

bool DDInterface::CheckDXError(HRESULT hr, const char* operation)
{
    if (Platform::Succeeded(hr))
        return false;
    errorText_ = FormatString("%s: %s", operation, GetDirectXErrorName(uint32_t(hr)).c_str());
    return true;
}

void DDInterface::Log(const char* label, int32_t w, int32_t h, const Ratio& aspect)
{
    OutputDebugFormatW(L"%-21ls%4lu x %4lu [%2d:%2d]\n", StringToWString(label).c_str(), static_cast<unsigned long>(w),
                       static_cast<unsigned long>(h), aspect.numerator, aspect.denominator);
}

void DDInterface::Cleanup()
{
    ScopedCritSect lock(Lock());
    initialized_ = false;
    presentsToWindow_ = false;
    if (renderer_)
        renderer_->Cleanup();
    oldArea_.reset();
    newArea_.reset();
    oldAreaSurface_.reset();
    newAreaSurface_.reset();
    screenImage_.reset();
    drawSurface_.reset();
    secondary_.reset();
    primary_.reset();
    cursorAreaSaved_ = false;
    pending_ = false;
    if (window_)
        device_.Release(window_);
}

HRESULT DDInterface::CreateSurface(const Platform::SurfaceDesc& desc, Platform::Surface** out)
{
    ScopedCritSect lock(Lock());
    *out = nullptr;
    const HRESULT hr = Platform::MemorySurface::Create(desc.width, desc.height, screenFormat_, desc.caps, 0, out);
    if (Platform::Failed(hr))
        return hr;
    const Platform::SurfacePixelFormat& f = screenFormat_;
    gDisplayRGBOrdered = f.blueMask < f.greenMask && f.greenMask < f.redMask;
    return hr;
}

HRESULT DDInterface::MakeSurface(int32_t width, int32_t height, uint32_t caps, Platform::SurfaceRef& out)
{
    Platform::SurfaceDesc desc;
    desc.flags = Platform::DDSD_CAPS | Platform::DDSD_WIDTH | Platform::DDSD_HEIGHT;
    desc.width = width;
    desc.height = height;
    desc.caps = caps;
    Platform::Surface* s = nullptr;
    const HRESULT hr = CreateSurface(desc, &s);
    out = Platform::SurfaceRef::Adopt(s);
    return hr;
}

void DDInterface::ClearSurface(Platform::Surface* surface)
{
    if (!surface)
        return;
    Platform::SurfaceDesc desc;
    if (Platform::Failed(surface->Lock(nullptr, desc, Platform::DDLOCK_WAIT)))
        return;
    const size_t rowBytes = size_t(desc.width) * size_t(desc.pixelFormat.bitCount / 8);
    for (int32_t y = 0; y < desc.height; ++y)
        std::memset(static_cast<uint8_t*>(desc.surface) + size_t(y) * size_t(desc.pitch), 0, rowBytes);
    surface->Unlock(nullptr);
}

int DDInterface::Init(Platform::WindowId window, bool windowed)
{
    ScopedCritSect lock(Lock());
    initialized_ = false;
    Cleanup();

    if (!device_.IsAvailable()) {
        CheckDXError(Platform::DDERR_NODIRECTDRAWHW, "DirectDrawCreateEx");
        return RESULT_DD_CREATE_FAIL;
    }
    // The capability test: without a renderer there is no 3-D path to test.
    is3D_ = is3D_ && renderer_ && renderer_->TestCapability(window);

    window_ = window;
    const DisplayRequest request = host_.GetDisplayRequest();
    drawWidth_ = request.width;
    drawHeight_ = request.height;
    drawAspect_ = Ratio(drawWidth_, drawHeight_);
    const Platform::DesktopMode desktop = device_.GetDesktopMode();
    desktopWidth_ = desktop.width;
    desktopHeight_ = desktop.height;
    desktopAspect_ = Ratio(desktopWidth_, desktopHeight_);
    displayWidth_ = drawWidth_;
    displayHeight_ = drawHeight_;
    displayAspect_ = drawAspect_;
    presentationRect_ = Rect(0, 0, drawWidth_, drawHeight_);
    requestedDepth_ = request.colorDepth;
    windowed_ = windowed;
    stretched_ = false;
    cursorAreaSaved_ = false;
    Log("Application requests", drawWidth_, drawHeight_, drawAspect_);

    const int r = windowed ? InitWindowed() : InitFullScreen();
    if (r != RESULT_OK)
        return r;
    Log("Draw buffer is", drawWidth_, drawHeight_, drawAspect_);
    return FinishInit();
}

int DDInterface::InitFullScreen()
{
    Log("Desktop is", desktopWidth_, desktopHeight_, desktopAspect_);
    if (is3D_ && AspectsDiffer(drawAspect_, desktopAspect_)) {
        stretched_ = true;
        displayWidth_ = desktopWidth_;
        displayHeight_ = desktopHeight_;
        displayAspect_ = desktopAspect_;
        if (!host_.GetDisplayRequest().fillScreen) {
            // Bars left and right: the picture keeps its aspect at the desktop's height.
            const int32_t w = int32_t(int64_t(drawWidth_) * desktopHeight_ / drawHeight_);
            presentationRect_ = Rect((desktopWidth_ - w) / 2, 0, w, desktopHeight_);
        } else {
            drawAspect_ = desktopAspect_;
            drawWidth_ = int32_t(int64_t(desktopAspect_.numerator) * drawHeight_ / desktopAspect_.denominator);
            presentationRect_ = Rect(0, 0, desktopWidth_, desktopHeight_);
        }
    }
    Log("Display is", displayWidth_, displayHeight_, displayAspect_);

    // Exclusive cooperation is always granted here; the mode is the desktop shown in one window,
    // and only the colour depth can make it impossible.
    if (requestedDepth_ != 16 && requestedDepth_ != 32) {
        CheckDXError(Platform::DDERR_INVALIDMODE, "SetDisplayMode FullScreen");
        return RESULT_DISPCHANGE_FAIL;
    }
    screenFormat_ = FormatForDepth(requestedDepth_);

    uint32_t primaryCaps = Platform::DDSCAPS_PRIMARYSURFACE;
    if (is3D_)
        primaryCaps |= Platform::DDSCAPS_3DDEVICE;
    if (CheckDXError(MakeSurface(displayWidth_, displayHeight_, primaryCaps, primary_),
                     "CreateSurface FullScreen Primary"))
        return RESULT_SURFACE_FAIL;
    // The back buffer: the flip copies it onto the primary.
    if (CheckDXError(MakeSurface(displayWidth_, displayHeight_, Platform::DDSCAPS_VIDEOMEMORY, secondary_),
                     "GetAttachedSurface"))
        return RESULT_SURFACE_FAIL;
    if (stretched_) {
        ClearSurface(primary_.get());
        ClearSurface(secondary_.get());
    }
    const uint32_t drawCaps = is3D_ ? Platform::DDSCAPS_OFFSCREENPLAIN | Platform::DDSCAPS_VIDEOMEMORY |
                                          Platform::DDSCAPS_3DDEVICE
                                    : Platform::DDSCAPS_OFFSCREENPLAIN | Platform::DDSCAPS_SYSTEMMEMORY;
    if (CheckDXError(MakeSurface(drawWidth_, drawHeight_, drawCaps, drawSurface_),
                     "CreateSurface FullScreen DrawSurface"))
        return RESULT_SURFACE_FAIL;
    return RESULT_OK;
}

int DDInterface::InitWindowed()
{
    const DisplayRequest request = host_.GetDisplayRequest();
    const Ratio hack = request.windowAspect;
    OutputDebugFormatW(L"Hack aspect is                   [%2d:%2d]\n", hack.numerator, hack.denominator);
    if (request.useWindowAspect && hack.denominator > 0 && AspectsDiffer(drawAspect_, hack)) {
        stretched_ = true;
        displayWidth_ = int32_t(int64_t(hack.numerator) * drawHeight_ / hack.denominator);
        displayHeight_ = drawHeight_;
        displayAspect_ = hack;
        // The wider client area stays centred on the old one, never off the desktop's top-left.
        Platform::WindowSystem& ws = Platform::GetWindowSystem();
        int32_t oldW = 0, oldH = 0, x = 0, y = 0;
        const bool placed = device_.GetClientSize(window_, oldW, oldH) && ws.GetWindowPosition(window_, x, y);
        device_.SetClientSize(window_, displayWidth_, displayHeight_);
        if (placed)
            ws.MoveWindow(window_, std::max(0, x - (displayWidth_ - oldW) / 2),
                          std::max(0, y - (displayHeight_ - oldH) / 2));
        if (!host_.GetDisplayRequest().fillScreen) {
            presentationRect_ = Rect((displayWidth_ - drawWidth_) / 2, 0, drawWidth_, drawHeight_);
        } else {
            drawWidth_ = displayWidth_;
            drawHeight_ = displayHeight_;
            drawAspect_ = displayAspect_;
            presentationRect_ = Rect(0, 0, displayWidth_, displayHeight_);
        }
    }
    Log("Window is", displayWidth_, displayHeight_, displayAspect_);

    // The windowed primary is the window's client area in the desktop's format.
    screenFormat_ = FormatForDepth(device_.GetDesktopMode().bitDepth);
    uint32_t primaryCaps = Platform::DDSCAPS_PRIMARYSURFACE;
    if (is3D_)
        primaryCaps |= Platform::DDSCAPS_3DDEVICE;
    const HRESULT hr = MakeSurface(displayWidth_, displayHeight_, primaryCaps, primary_);
    if (hr == Platform::DDERR_INVALIDPIXELFORMAT) {
        CheckDXError(hr, "CreateSurface Windowed Primary");
        return RESULT_INVALID_COLORDEPTH;
    }
    if (CheckDXError(hr, "CreateSurface Windowed Primary"))
        return RESULT_SURFACE_FAIL;
    const uint32_t drawCaps = is3D_ ? Platform::DDSCAPS_OFFSCREENPLAIN | Platform::DDSCAPS_VIDEOMEMORY |
                                          Platform::DDSCAPS_3DDEVICE
                                    : Platform::DDSCAPS_OFFSCREENPLAIN | Platform::DDSCAPS_SYSTEMMEMORY;
    if (CheckDXError(MakeSurface(drawWidth_, drawHeight_, drawCaps, drawSurface_),
                     "CreateSurface Windowed DrawSurface"))
        return RESULT_SURFACE_FAIL;
    return RESULT_OK;
}

int DDInterface::FinishInit()
{
    const RefreshRate refresh = ClampRefreshRate(device_.GetDesktopMode().refreshRate);
    if (refresh.unreliable)
        host_.ReportVSyncBroken();
    refreshRate_ = refresh.hz;
    millisPerRefresh_ = refresh.millis;

    const uint32_t areaCaps = Platform::DDSCAPS_OFFSCREENPLAIN | Platform::DDSCAPS_SYSTEMMEMORY;
    if (CheckDXError(MakeSurface(kCursorAreaSize, kCursorAreaSize, areaCaps, oldAreaSurface_),
                     "CreateSurface OldCursorArea"))
        return RESULT_SURFACE_FAIL;
    if (CheckDXError(MakeSurface(kCursorAreaSize, kCursorAreaSize, areaCaps, newAreaSurface_),
                     "CreateSurface NewCursorArea"))
        return RESULT_SURFACE_FAIL;
    oldArea_ = std::make_unique<DDImage>(this);
    oldArea_->SetSurface(oldAreaSurface_.get());
    oldArea_->SetImageMode(false, false);
    newArea_ = std::make_unique<DDImage>(this);
    newArea_->SetSurface(newAreaSurface_.get());
    newArea_->SetImageMode(false, false);

    Platform::SurfaceDesc desc;
    primary_->GetSurfaceDesc(desc);
    const Platform::SurfacePixelFormat& f = desc.pixelFormat;
    if (f.bitCount != 16 && f.bitCount != 32)
        return RESULT_INVALID_COLORDEPTH;
    SetPixelFormat(f.bitCount, f.redMask, f.greenMask, f.blueMask);

    SetVideoOnlyDraw(videoOnlyDraw_);

    if (is3D_ && renderer_ && !renderer_->Init(*this)) {
        errorText_ = "3D init error: " + renderer_->GetErrorText();
        return RESULT_3D_FAIL;
    }
    presentsToWindow_ = is3D_ && renderer_ && renderer_->PresentsToWindow();
    ++initCount_;
    initialized_ = true;
    return RESULT_OK;
}

DDInterface::RefreshRate DDInterface::ClampRefreshRate(int32_t reported)
{
    RefreshRate r{reported, 0, false};
    if (reported < 60) {
        r.hz = 60;
        r.unreliable = true;
    } else if (reported > 100) {
        r.hz = 100;
        r.unreliable = true;
    }
    r.millis = 1000 / r.hz;
    return r;
}

Image* DDInterface::GetScreenImage() { return screenImage_.get(); }

void DDInterface::SetVideoOnlyDraw(bool on)
{
    ScopedCritSect lock(Lock());
    videoOnlyDraw_ = on;
    if (!drawSurface_)
        return;
    if (videoOnlyDraw_ && !secondary_ &&
        Platform::Failed(MakeSurface(drawWidth_, drawHeight_, Platform::DDSCAPS_OFFSCREENPLAIN |
                                                                   Platform::DDSCAPS_VIDEOMEMORY, secondary_)))
        videoOnlyDraw_ = false;
    screenImage_.reset();
    screenImage_ = std::make_unique<DDImage>(this);
    screenImage_->SetSurface(videoOnlyDraw_ ? secondary_.get() : drawSurface_.get());
    screenImage_->noReadBack = videoOnlyDraw_;
    screenImage_->videoMemoryWanted = videoOnlyDraw_;
    screenImage_->SetImageMode(false, false);
}

void DDInterface::RemoveTextureData(MemoryImage* image)
{
    if (renderer_)
        renderer_->RemoveTextureData(image);
}

bool DDInterface::RecoverTextureBits(MemoryImage* image)
{
    ScopedCritSect lock(Lock());
    return renderer_ && renderer_->RecoverTextureBits(image);
}

void DDInterface::AddDDImage(DDImage* image)
{
    ScopedCritSect lock(Lock());
    images_.insert(image);
}

void DDInterface::RemoveDDImage(DDImage* image)
{
    ScopedCritSect lock(Lock());
    images_.erase(image);
}

size_t DDInterface::GetImageCount()
{
    ScopedCritSect lock(Lock());
    return images_.size();
}

bool DDInterface::IsCursorAreaImage(const DDImage* image)
{
    return image && (image == oldArea_.get() || image == newArea_.get());
}

ImageRegistry* DDInterface::GetImageRegistry() { return host_.GetDisplayImageRegistry(); }

Renderer3D* DDInterface::GetRenderer3D() { return renderer_ && is3D_ ? renderer_->GetDrawing() : nullptr; }

bool DDInterface::ReadBackDrawSurface()
{
    ScopedCritSect lock(Lock());
    return !is3D_ || !renderer_ || renderer_->ReadBack();
}

// ---- presentation ----

void DDInterface::MarkPrimary(const SurfaceRect& rect)
{
    if (IsEmpty(rect))
        return;
    pendingRect_ = pending_ ? Union(pendingRect_, rect) : rect;
    pending_ = true;
}

HRESULT DDInterface::PresentPrimary(const SurfaceRect* rect)
{
    SurfaceRect area = rect ? *rect : pendingRect_;
    if (pending_ && rect)
        area = Union(area, pendingRect_);
    pending_ = false;
    return device_.Present(window_, primary_.get(), &area);
}

void DDInterface::PresentPending()
{
    ScopedCritSect lock(Lock());
    if (!initialized_ || !pending_)
        return;
    if (presentsToWindow_) {
        drawnX_ = cursorX_;
        drawnY_ = cursorY_;
        PresentThroughRenderer();
        return;
    }
    PresentPrimary(nullptr);
}

bool DDInterface::PresentThroughRenderer()
{
    pending_ = false;
    Platform::WindowPresentation how;
    how.modeWidth = displayWidth_;
    how.modeHeight = displayHeight_;
    how.frameArea = ToSurfaceRect(presentationRect_);
    if (auto* cursor = dynamic_cast<MemoryImage*>(cursorImage_)) {
        how.cursor = cursor->GetBits();
        how.cursorWidth = cursor->GetWidth();
        how.cursorHeight = cursor->GetHeight();
        how.cursorX = drawnX_ - how.cursorWidth / 2;
        how.cursorY = drawnY_ - how.cursorHeight / 2;
    }
    return renderer_->PresentToWindow(how);
}

bool DDInterface::Redraw(const Rect* clip)
{
    ScopedCritSect lock(Lock());
    if (!initialized_)
        return false;
    inRedraw_ = true;
    if (is3D_ && renderer_) {
        if (!renderer_->GetErrorText().empty()) {
            // A 3-D call failed during the frame: the application re-initialises in 2-D.
            inRedraw_ = false;
            is3D_ = false;
            return false;
        }
        renderer_->Flush();
        if (presentsToWindow_) {
            // The frame stays in the renderer's device, which shows it with the cursor over it.
            drawnX_ = cursorX_;
            drawnY_ = cursorY_;
            const bool shown = PresentThroughRenderer();
            inRedraw_ = false;
            if (!shown) {
                // As for any failed 3-D call: the application re-initialises in 2-D.
                errorText_ = "Redraw 3D: " + renderer_->GetErrorText();
                is3D_ = false;
            }
            return shown;
        }
    }

    const SurfaceRect drawBounds{0, 0, drawWidth_, drawHeight_};
    const SurfaceRect primaryBounds{0, 0, displayWidth_, displayHeight_};
    SurfaceRect src = drawBounds;
    SurfaceRect dst = ToSurfaceRect(presentationRect_);
    if (clip && !stretched_) {
        src = Intersect(Intersect(ToSurfaceRect(*clip), drawBounds), primaryBounds);
        dst = src;
    }
    Platform::BltFx fx;
    HRESULT hr = Platform::DD_OK;
    const char* operation = "Redraw Windowed";
    drawnX_ = cursorX_;
    drawnY_ = cursorY_;

    if (!windowed_) {
        if (host_.IsPopupActive() || !host_.UsesFullScreenFlip()) {
            operation = "Redraw FullScreen Blt";
            hr = BltRect(primary_.get(), dst, drawSurface_.get(), src, &fx);
        } else {
            operation = "Redraw FullScreen Flip";
            if (!videoOnlyDraw_)
                hr = BltRect(secondary_.get(), dst, drawSurface_.get(), src, &fx);
            if (Platform::Succeeded(hr)) {
                DrawCursor(secondary_.get());
                // The flip: the whole back buffer becomes the picture.
                hr = primary_->Blt(nullptr, secondary_.get(), nullptr, Platform::DDBLT_WAIT, nullptr);
                dst = primaryBounds;
            }
        }
    } else {
        // Video-only draw paints the frame in the secondary surface, else in the draw surface; the
        // cursor goes into the frame for the copy and comes out again after it.
        Platform::Surface* frame = videoOnlyDraw_ ? secondary_.get() : drawSurface_.get();
        DrawCursor(frame);
        if (host_.WantsVSyncWait() && !host_.IsVSyncSuppressed() && !videoOnlyDraw_ && vsyncFailures_ < 3) {
            // No beam position can be read here: the tear-free split fails at once and counts one
            // failure; the fallback is one whole copy.
            ++vsyncFailures_;
        }
        hr = BltRect(primary_.get(), dst, frame, src, &fx);
        if (cursorAreaSaved_) {
            RestoreCursorArea(frame);
            cursorAreaSaved_ = true;
        }
    }
    if (Platform::Succeeded(hr))
        hr = PresentPrimary(&dst);
    inRedraw_ = false;
    return !CheckDXError(hr, operation);
}

} // namespace Fw
