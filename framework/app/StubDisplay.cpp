// Scripted stand-in display.
#include "framework/app/StubDisplay.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>

namespace Fw {

StubDisplay::StubDisplay()
{
    format_.SetPixelFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
}

void StubDisplay::SetReportedRefreshRate(int32_t hz)
{
    // Clamp to 60..100: desktops without a known rate report 0, and callers divide by it.
    refreshRate_ = std::clamp(hz, 60, 100);
}

int StubDisplay::Init(Platform::WindowId w, bool isWindowed)
{
    ++initCalls;
    window = w;
    windowed = isWindowed;
    int result = RESULT_OK;
    if (!initResults.empty()) {
        result = initResults.front();
        initResults.pop_front();
    }
    initialized_ = result == RESULT_OK;
    if (initialized_ && !screenImage_) {
        auto image = std::make_unique<MemoryImage>(nullptr);
        image->Create(displayWidth, displayHeight);
        screenImage_ = std::move(image);
    }
    if (!initialized_)
        errorText = "Init: stub failure";
    return result;
}

bool StubDisplay::Redraw(const Rect*)
{
    if (!initialized_ || failPresent)
        return false;
    ++presents;
    return true;
}

bool StubDisplay::SetCursorImage(Image* image)
{
    if (image == cursorImage)
        return false;
    cursorImage = image;
    return true;
}

void StubDisplay::SetCursorPos(int32_t x, int32_t y)
{
    cursorX_ = x;
    cursorY_ = y;
    ++cursorMoves;
}

void StubDisplay::SetPendingCursorPos(int32_t x, int32_t y)
{
    cursorX_ = x;
    cursorY_ = y;
}

void StubDisplay::GetCursorPos(int32_t& x, int32_t& y) const
{
    x = cursorX_;
    y = cursorY_;
}

} // namespace Fw
