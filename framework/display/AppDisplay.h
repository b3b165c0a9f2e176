// What the application object asks of its display: initialisation for a window (result codes
// below), presentation of the draw buffer, the screen image, the 3-D flag, the refresh rate, the
// software cursor and the display lock. The DirectDraw-style display implements it; the
// application's stub display stands in until one is installed (framework/app/DisplayFactory.h).
#pragma once
#include "framework/core/CritSect.h"
#include "framework/graphics/Rect.h"
#include "platform/WindowMessages.h"

#include <memory>
#include <string>

namespace Fw {

class Image;
class MemoryImage;
class NativeDisplay;

// Results of AppDisplay::Init.
enum DisplayResult : int {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
    RESULT_3D_FAIL = 7,
};

// "RESULT_OK" ... "RESULT_INVALID_COLORDEPTH" for 0..6, "RESULT_UNKNOWN" otherwise (7 included).
const char* DisplayResultToString(int result);

class AppDisplay {
public:
    virtual ~AppDisplay() = default;

    // (Re)initialises for window in the given mode; a DisplayResult. Main thread.
    virtual int Init(Platform::WindowId window, bool windowed) = 0;
    // Presents the draw buffer (clip null: all of it); false when the surfaces are lost.
    virtual bool Redraw(const Rect* clip) = 0;
    // The image the frame is drawn into; null before a successful Init.
    virtual Image* GetScreenImage() = 0;
    // Pixel format for memory images; null before a successful Init.
    virtual NativeDisplay* GetNativeDisplay() = 0;

    virtual bool Is3D() const = 0;
    virtual void Set3D(bool on) = 0;
    // Refresh rate in Hz, already clamped to 60..100, and milliseconds per refresh.
    virtual int32_t GetRefreshRate() const = 0;
    virtual int32_t GetMillisPerRefresh() const = 0;
    // Size of the screen mode (full screen) or the window's client area (windowed).
    virtual int32_t GetDisplayWidth() const = 0;
    virtual int32_t GetDisplayHeight() const = 0;
    // Where the draw buffer lands in the window's client area.
    virtual Rect GetPresentationRect() const = 0;
    // The last failure, "<operation>: <error name>".
    virtual std::string GetErrorText() const = 0;

    // Software cursor. SetCursorImage: false when image already is the cursor. SetCursorPos moves
    // it now (any thread); SetPendingCursorPos keeps it for the next presentation.
    virtual bool SetCursorImage(Image* image) = 0;
    virtual void SetCursorPos(int32_t x, int32_t y) = 0;
    virtual void SetPendingCursorPos(int32_t x, int32_t y) = 0;
    virtual void GetCursorPos(int32_t& x, int32_t& y) const = 0;

    // Full screen held an exclusive mode that must be given back at shutdown.
    virtual bool HasExclusiveMode() const = 0;
    virtual void RestoreDisplayMode() = 0;
    virtual void SetVideoOnlyDraw(bool on) = 0;
    virtual void RemoveTextureData(MemoryImage* image) = 0;
    // Reads a dropped image's pixels back from its 3-D texture; false without a renderer.
    virtual bool RecoverTextureBits(MemoryImage* /*image*/) { return false; }
    // 3-D capability test results: ran, and failed / warned.
    virtual bool D3DTestRan() const { return false; }
    virtual bool D3DTestFailed() const { return false; }
    virtual bool D3DTestWarned() const { return false; }
    // A Direct3D scene failed to start since the display was last lost.
    virtual bool D3DSceneFailed() const { return false; }

    // Shows what the cursor thread painted since the last presentation. Main thread.
    virtual void PresentPending() {}

    // Guards surfaces, the cursor and the application's image set and shared images. Recursive.
    CritSect& Lock() { return lock_; }

private:
    CritSect lock_;
};

} // namespace Fw
