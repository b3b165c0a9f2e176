// Forwarding of the application's widget-tree calls to the widget manager.
#include "framework/app/ManagerWidgetPort.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

namespace Fw {

bool ManagerWidgetPort::UpdateFrame() { return m_.UpdateFrame(); }
bool ManagerWidgetPort::UpdateFrameF(float fraction) { return m_.UpdateFrameF(fraction); }
bool ManagerWidgetPort::DrawScreen() { return m_.DrawScreen(); }
void ManagerWidgetPort::MouseMove(int32_t x, int32_t y) { m_.MouseMove(x, y); }
void ManagerWidgetPort::MouseDown(int32_t x, int32_t y, int32_t clickCode) { m_.MouseDown(x, y, clickCode); }
void ManagerWidgetPort::MouseUp(int32_t x, int32_t y, int32_t clickCode) { m_.MouseUp(x, y, clickCode); }
void ManagerWidgetPort::MouseExit(int32_t x, int32_t y) { m_.MouseExit(x, y); }
void ManagerWidgetPort::MouseWheel(int32_t notches) { m_.MouseWheel(notches); }
void ManagerWidgetPort::KeyDown(uint32_t key) { m_.KeyDown(static_cast<int>(key)); }
void ManagerWidgetPort::KeyUp(uint32_t key) { m_.KeyUp(static_cast<int>(key)); }
void ManagerWidgetPort::KeyChar(char16_t ch) { m_.KeyChar(static_cast<wchar_t>(ch)); }
bool ManagerWidgetPort::IsKeyDown(uint32_t key) const { return m_.IsKeyDown(static_cast<int>(key)); }
void ManagerWidgetPort::ClearKeysDown() { m_.keysDown.fill(false); }
int32_t ManagerWidgetPort::DownButtons() const { return m_.GetDownButtons(); }
void ManagerWidgetPort::GotFocus() { m_.GotFocus(); }
void ManagerWidgetPort::LostFocus() { m_.LostFocus(); }
void ManagerWidgetPort::ReleaseDownWidget() { m_.ReleaseDownWidget(); }
void ManagerWidgetPort::MarkAllDirty() { m_.MarkAllDirty(); }
void ManagerWidgetPort::SystemColorsChangedAll() { m_.SystemColorsChangedAll(); }
void ManagerWidgetPort::SetScreenRects(const Rect& appRect, const Rect& windowRect)
{
    m_.SetScreenRects(appRect, windowRect);
}
void ManagerWidgetPort::MapMouseCoords(int32_t& x, int32_t& y) const { m_.MapMouseCoords(x, y); }
void ManagerWidgetPort::SetScreenImage(Image* image) { m_.image = image; }
void ManagerWidgetPort::DestroyWidget(Widget* widget) { delete widget; }

} // namespace Fw
