// The application's widget-tree port backed by the real widget manager.
#pragma once
#include "framework/app/AppWidgetPort.h"

namespace Fw {

class WidgetManager;

class ManagerWidgetPort : public AppWidgetPort {
public:
    explicit ManagerWidgetPort(WidgetManager& manager) : m_(manager) {}

    bool UpdateFrame() override;
    bool UpdateFrameF(float fraction) override;
    bool DrawScreen() override;
    void MouseMove(int32_t x, int32_t y) override;
    void MouseDown(int32_t x, int32_t y, int32_t clickCode) override;
    void MouseUp(int32_t x, int32_t y, int32_t clickCode) override;
    void MouseExit(int32_t x, int32_t y) override;
    void MouseWheel(int32_t notches) override;
    void KeyDown(uint32_t key) override;
    void KeyUp(uint32_t key) override;
    void KeyChar(char16_t ch) override;
    bool IsKeyDown(uint32_t key) const override;
    void ClearKeysDown() override;
    int32_t DownButtons() const override;
    void GotFocus() override;
    void LostFocus() override;
    void ReleaseDownWidget() override;
    void MarkAllDirty() override;
    void SystemColorsChangedAll() override;
    void SetScreenRects(const Rect& appRect, const Rect& windowRect) override;
    void MapMouseCoords(int32_t& x, int32_t& y) const override;
    void SetScreenImage(Image* image) override;
    void DestroyWidget(Widget* widget) override;

private:
    WidgetManager& m_;
};

} // namespace Fw
