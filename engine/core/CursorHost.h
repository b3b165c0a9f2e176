// What the cursor manager needs of the application: its cursor machinery (cursor numbers, the
// custom-cursor switch, the images of the cursor slots) and the widget manager's last mouse
// position. The engine object implements it over the framework application.
#pragma once
#include <cstdint>

namespace Fw {
class Image;
}

class VTCursorHost {
public:
    // Cursor numbers of the framework application that the cursor manager uses.
    static constexpr int32_t kStandardCursor = 0;
    static constexpr int32_t kHiddenCursor = 11;
    static constexpr int32_t kCustomCursor = 12; // the custom-image slot

    // The application's custom-cursor switch (AppBase::EnableCustomCursors).
    virtual void SetCustomCursorsEnabled(bool on) = 0;
    // Selects the application's cursor number (AppBase::SetCursor).
    virtual void SelectCursorNumber(int32_t number) = 0;
    // The image of cursor slot 0..12, or none (AppBase::SetCursorImage).
    virtual void SetCursorSlotImage(int32_t slot, Fw::Image* image) = 0;
    // The widget manager's last mouse position, in window pixels.
    virtual void GetLastMousePosition(int32_t& x, int32_t& y) = 0;

protected:
    ~VTCursorHost() = default;
};
