// What the widget manager and its widgets ask of the application that owns it: the 3-D flag for
// drawing, the after-widgets overlay hook, the cursor, and the steps of a dialog's modal wait. The application object implements it; a manager made
// without a host (tests, tools) draws with the 2-D settings, skips the overlay and leaves the cursor.
#pragma once
#include <cstdint>

namespace Fw {

class Graphics;

class WidgetHost {
public:
    virtual ~WidgetHost() = default;
    // Whether the display draws through the 3-D renderer (linear blending instead of fast stretching).
    virtual bool Is3DAccelerated() = 0;
    // Runs after the dirty widgets were drawn, with the context translated to drawing coordinates.
    virtual void DrawOverlay(Graphics* g) = 0;
    // Selects the application cursor by number (0 pointer, 1 hand).
    virtual void SetCursor(int32_t cursorNum) = 0;
    // One step of the application's loop while a dialog waits modally; false once it quits.
    virtual bool UpdateAppStep(bool* updated) = 0;
    // Removes the dialog with that id from the application (false: none).
    virtual bool KillDialog(int32_t id) = 0;
};

} // namespace Fw
