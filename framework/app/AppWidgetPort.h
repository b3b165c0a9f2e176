// Everything the application object asks of its widget tree, in one place: input entry points,
// focus, the per-update walk, drawing and the screen geometry. The widget manager stands behind it;
// tests put a recorder there to see what the window procedure and the main loop hand on.
#pragma once
#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Fw {

class Image;
class Widget;

class AppWidgetPort {
public:
    virtual ~AppWidgetPort() = default;

    virtual bool UpdateFrame() = 0;
    virtual bool UpdateFrameF(float fraction) = 0;
    // Draws every dirty top-level widget; true when anything was drawn.
    virtual bool DrawScreen() = 0;

    virtual void MouseMove(int32_t x, int32_t y) = 0;
    virtual void MouseDown(int32_t x, int32_t y, int32_t clickCode) = 0;
    virtual void MouseUp(int32_t x, int32_t y, int32_t clickCode) = 0;
    virtual void MouseExit(int32_t x, int32_t y) = 0;
    virtual void MouseWheel(int32_t notches) = 0;
    virtual void KeyDown(uint32_t key) = 0;
    virtual void KeyUp(uint32_t key) = 0;
    virtual void KeyChar(char16_t ch) = 0;
    virtual bool IsKeyDown(uint32_t key) const = 0;
    virtual void ClearKeysDown() = 0;
    // Buttons held on the widget that has the mouse (bits 1 left, 2 right, 4 middle).
    virtual int32_t DownButtons() const = 0;

    virtual void GotFocus() = 0;
    virtual void LostFocus() = 0;
    virtual void ReleaseDownWidget() = 0;
    virtual void MarkAllDirty() = 0;
    virtual void SystemColorsChangedAll() = 0;

    virtual void SetScreenRects(const Rect& appRect, const Rect& windowRect) = 0;
    virtual void MapMouseCoords(int32_t& x, int32_t& y) const = 0;
    virtual void SetScreenImage(Image* image) = 0;
    // Deletes a widget through its virtual destructor (the delete-later list ends here).
    virtual void DestroyWidget(Widget* widget) = 0;
};

} // namespace Fw
