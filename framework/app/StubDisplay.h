// Display that presents nothing: it counts presentations and answers Init and Redraw from a script,
// so the application's handling of every display result can be exercised. The program uses it
// until the real display is installed (SetDisplayFactory).
#pragma once
#include "framework/display/AppDisplay.h"
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/Image.h"

#include <atomic>
#include <deque>

namespace Fw {

class StubDisplay : public AppDisplay {
public:
    StubDisplay();

    // Script: the next Init calls answer these results in turn, then RESULT_OK.
    std::deque<int> initResults;
    // Redraw answers false while set.
    bool failPresent = false;
    // Refresh rate as reported by the desktop; 0 (unknown) and out-of-range values are clamped.
    void SetReportedRefreshRate(int32_t hz);
    int32_t displayWidth = 800, displayHeight = 600;

    int initCalls = 0;
    std::atomic<int> presents{0};
    Platform::WindowId window = 0;
    bool windowed = true;
    bool restoredMode = false;

    int Init(Platform::WindowId window, bool windowed) override;
    bool Redraw(const Rect* clip) override;
    Image* GetScreenImage() override { return initialized_ ? screenImage_.get() : nullptr; }
    NativeDisplay* GetNativeDisplay() override { return initialized_ ? &format_ : nullptr; }
    bool Is3D() const override { return is3D_; }
    void Set3D(bool on) override { is3D_ = on; }
    int32_t GetRefreshRate() const override { return refreshRate_; }
    int32_t GetMillisPerRefresh() const override { return 1000 / refreshRate_; }
    int32_t GetDisplayWidth() const override { return displayWidth; }
    int32_t GetDisplayHeight() const override { return displayHeight; }
    Rect GetPresentationRect() const override { return Rect(0, 0, displayWidth, displayHeight); }
    std::string GetErrorText() const override { return errorText; }
    bool SetCursorImage(Image* image) override;
    void SetCursorPos(int32_t x, int32_t y) override;
    void SetPendingCursorPos(int32_t x, int32_t y) override;
    void GetCursorPos(int32_t& x, int32_t& y) const override;
    bool HasExclusiveMode() const override { return initialized_ && !windowed; }
    void RestoreDisplayMode() override { restoredMode = true; }
    void SetVideoOnlyDraw(bool) override {}
    void RemoveTextureData(MemoryImage*) override {}

    std::string errorText;
    Image* cursorImage = nullptr;
    std::atomic<int> cursorMoves{0};

private:
    bool initialized_ = false;
    bool is3D_ = true;
    int32_t refreshRate_ = 60;
    std::atomic<int32_t> cursorX_{0}, cursorY_{0};
    NativeDisplay format_;
    std::unique_ptr<Image> screenImage_;
};

} // namespace Fw
