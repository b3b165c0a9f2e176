// The display: screen mode arithmetic (draw buffer, desktop, presentation rectangle), the primary,
// back and draw surfaces in the screen's pixel format, presentation of each frame, the software
// cursor painted over the picture, and the set of live surface images. Its surfaces are memory
// surfaces; the platform screen device shows the primary in the window. One recursive lock guards
// surfaces, cursor and image set: the main thread draws and presents, the cursor thread moves
// the cursor (painting into the primary only; the main thread shows it with PresentPending).
#pragma once
#include "framework/display/AppDisplay.h"
#include "framework/core/Ratio.h"
#include "framework/display/DisplayHost.h"
#include "framework/display/DisplayRenderer.h"
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "platform/ScreenDevice.h"

#include <atomic>
#include <memory>
#include <set>
#include <string>

namespace Fw {

class DDImage;

class DDInterface : public NativeDisplay, public AppDisplay, public SurfaceDisplay {
public:
    // host must outlive the display.
    explicit DDInterface(DisplayHost& host);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // "RESULT_OK" .. "RESULT_INVALID_COLORDEPTH" for 0..6, else "RESULT_UNKNOWN" (7 included).
    static const char* ResultToString(int result) { return DisplayResultToString(result); }

    // Attaches the 3-D renderer (null: 2-D only). Takes effect at the next Init.
    void SetRenderer(std::unique_ptr<DisplayRenderer> renderer);

    // ---- AppDisplay ----
    int Init(Platform::WindowId window, bool windowed) override;
    bool Redraw(const Rect* clip) override;
    Image* GetScreenImage() override;
    NativeDisplay* GetNativeDisplay() override { return initialized_ ? this : nullptr; }
    bool Is3D() const override { return is3D_; }
    void Set3D(bool on) override { is3D_ = on; }
    int32_t GetRefreshRate() const override { return refreshRate_; }
    int32_t GetMillisPerRefresh() const override { return millisPerRefresh_; }
    int32_t GetDisplayWidth() const override { return displayWidth_; }
    int32_t GetDisplayHeight() const override { return displayHeight_; }
    Rect GetPresentationRect() const override { return presentationRect_; }
    std::string GetErrorText() const override;
    bool SetCursorImage(Image* image) override;
    void SetCursorPos(int32_t x, int32_t y) override;
    void SetPendingCursorPos(int32_t x, int32_t y) override;
    void GetCursorPos(int32_t& x, int32_t& y) const override;
    bool HasExclusiveMode() const override { return initialized_ && !windowed_; }
    void RestoreDisplayMode() override {}
    void SetVideoOnlyDraw(bool on) override;
    void RemoveTextureData(MemoryImage* image) override;
    bool RecoverTextureBits(MemoryImage* image) override;
    void PresentPending() override;
    // Whether the frame goes to the window through the 3-D renderer (no draw-surface copies).
    bool PresentsToWindow() const { return presentsToWindow_; }

    // ---- SurfaceDisplay ----
    NativeDisplay& GetPixelFormat() override { return *this; }
    CritSect& GetDisplayLock() override { return Lock(); }
    void AddDDImage(DDImage* image) override;
    void RemoveDDImage(DDImage* image) override;
    bool Is3D() override { return is3D_; }
    Platform::Surface* GetDrawSurface() override { return drawSurface_.get(); }
    bool IsCursorAreaImage(const DDImage* image) override;
    Platform::HRESULT CreateSurface(const Platform::SurfaceDesc& desc, Platform::Surface** out) override;
    ImageRegistry* GetImageRegistry() override;
    Renderer3D* GetRenderer3D() override;
    bool ReadBackDrawSurface() override;

    // Releases every surface and image of the display; initialised = false.
    void Cleanup();
    // Zeroes every pixel of surface (nothing for null).
    void ClearSurface(Platform::Surface* surface);
    // False for a success code; otherwise keeps "<operation>: <error name>" and returns true.
    bool CheckDXError(Platform::HRESULT hr, const char* operation);

    // Software cursor on surface: paints the cursor at the drawn position, keeping what it covers
    // in the old cursor area; moves it without flicker; puts the background back.
    void DrawCursor(Platform::Surface* surface);
    void MoveCursor(Platform::Surface* surface, int32_t x, int32_t y);
    void RestoreCursorArea(Platform::Surface* surface);

    // State for tests and the application.
    bool IsInitialized() const { return initialized_; }
    bool IsStretched() const { return stretched_; }
    bool IsWindowed() const { return windowed_; }
    int32_t GetDrawWidth() const { return drawWidth_; }
    int32_t GetDrawHeight() const { return drawHeight_; }
    Ratio GetDrawAspect() const { return drawAspect_; }
    int32_t GetInitCount() const { return initCount_; }
    bool IsCursorAreaSaved() const { return cursorAreaSaved_; }
    Platform::Surface* GetPrimarySurface() { return primary_.get(); }
    Platform::Surface* GetSecondarySurface() { return secondary_.get(); }
    size_t GetImageCount();
    static constexpr int32_t kCursorAreaSize = 64;

    // A reported refresh rate made usable: below 60 (0: unknown) runs at 60, above 100 at 100,
    // both flagged unreliable; millis = 1000 / hz.
    struct RefreshRate {
        int32_t hz = 60, millis = 16;
        bool unreliable = false;
    };
    static RefreshRate ClampRefreshRate(int32_t reported);

private:
    int InitFullScreen();
    int InitWindowed();
    int FinishInit();
    // Makes a surface of the screen's format; the label names a failure.
    Platform::HRESULT MakeSurface(int32_t width, int32_t height, uint32_t caps, Platform::SurfaceRef& out);
    // The 64 x 64 cursor square centred on (x, y), clipped to the presentation rectangle.
    Platform::SurfaceRect CursorRect(int32_t x, int32_t y) const;
    void DrawCursorImage(DDImage* area, int32_t x, int32_t y);
    // Marks part of the primary as changed; PresentPending shows it.
    void MarkPrimary(const Platform::SurfaceRect& rect);
    Platform::HRESULT PresentPrimary(const Platform::SurfaceRect* rect);
    // The renderer shows the frame, with the cursor at the drawn position, in the window.
    bool PresentThroughRenderer();
    void Log(const char* label, int32_t w, int32_t h, const Ratio& aspect);

    DisplayHost& host_;
    Platform::ScreenDevice& device_;
    std::unique_ptr<DisplayRenderer> renderer_;
    bool is3D_ = true;
    bool presentsToWindow_ = false;
    std::atomic<bool> inRedraw_{false};

    Platform::SurfaceRef primary_, secondary_, drawSurface_;
    Platform::SurfacePixelFormat screenFormat_;
    int32_t drawWidth_ = 0, drawHeight_ = 0;
    Ratio drawAspect_;
    int32_t desktopWidth_ = 0, desktopHeight_ = 0;
    Ratio desktopAspect_;
    bool stretched_ = false;
    int32_t displayWidth_ = 0, displayHeight_ = 0;
    Ratio displayAspect_;
    Rect presentationRect_;
    int32_t requestedDepth_ = 0;
    int32_t refreshRate_ = 60, millisPerRefresh_ = 16;
    int32_t vsyncFailures_ = 0;
    bool initialized_ = false;
    Platform::WindowId window_ = 0;
    bool windowed_ = true;
    std::unique_ptr<DDImage> screenImage_;
    std::set<DDImage*> images_;
    bool videoOnlyDraw_ = false;
    int32_t initCount_ = 0;

    std::atomic<int32_t> cursorX_{0}, cursorY_{0};
    int32_t drawnX_ = 0, drawnY_ = 0;
    Image* cursorImage_ = nullptr;
    bool cursorAreaSaved_ = false;
    // What the old cursor area holds: the surface rectangle, and the surface point at the area's
    // top-left corner (the cursor square's corner, clipped or not).
    Platform::SurfaceRect savedRect_{};
    int32_t savedOriginX_ = 0, savedOriginY_ = 0;
    Platform::SurfaceRef oldAreaSurface_, newAreaSurface_;
    std::unique_ptr<DDImage> oldArea_, newArea_;
    // Part of the primary changed outside a presentation (cursor moves); empty when none.
    Platform::SurfaceRect pendingRect_{};
    bool pending_ = false;

    std::string errorText_;
};

} // namespace Fw
