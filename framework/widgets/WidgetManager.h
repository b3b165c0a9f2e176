// Root of the widget tree and the one place where input enters it: tracks the widget under the mouse
// (hover), the widget holding pressed buttons (capture), the keyboard focus, the modal layers that cut
// the widgets under a modal one off from mouse and focus, and the table of keys held. Runs the update
// walk once per update and draws the dirty top-level widgets onto the screen image. Main thread only.
#pragma once
#include "framework/widgets/WidgetContainer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Fw {

class Image;
class WidgetHost;

// One pushed modal layer and what it replaced.
struct ModalLayer {
    Widget* widget = nullptr;
    Widget* previousBase = nullptr;
    Widget* previousFocus = nullptr;
    FlagsMod previousUnderMod;
};

class WidgetManager : public WidgetContainer {
public:
    // Mouse button bits of downButtons and allDownButtons.
    static constexpr int kLeftBit = 1;
    static constexpr int kRightBit = 2;
    static constexpr int kMiddleBit = 4;
    static constexpr int kKeyCount = 255;

    // app may be null: no overlay, no cursor changes, 2-D drawing settings.
    explicit WidgetManager(WidgetHost* app);
    // Takes the remaining top-level widgets out of the tree (they are not deleted).
    ~WidgetManager() override;

    // Stores both rectangles; the manager covers the drawing rectangle plus its margins on both sides.
    void SetScreenRects(const Rect& appRect, const Rect& windowRect);
    // Window pixels to widget coordinates (multiply before divide). An empty window rectangle leaves the
    // point unchanged.
    void MapMouseCoords(int32_t& mx, int32_t& my) const;
    uint32_t GetWidgetFlags() const;
    void InitModalFlags(ModalFlags* mf) const;
    // The topmost widget the mouse can reach at (mx, my); local (may be null) receives the point
    // relative to it.
    Widget* GetAnyWidgetAt(int32_t mx, int32_t my, Point* local);
    // Like GetAnyWidgetAt, but a disabled widget yields null (the point does not fall through it).
    Widget* GetWidgetAt(int32_t mx, int32_t my, Point* local);

    // Mouse entry points: (mx, my) already mapped to widget coordinates. All return true.
    bool MouseMove(int32_t mx, int32_t my);
    bool MouseDrag(int32_t mx, int32_t my);
    bool MouseDown(int32_t mx, int32_t my, int clickCode);
    bool MouseUp(int32_t mx, int32_t my, int clickCode);
    bool MouseExit(int32_t mx, int32_t my);
    bool MouseWheel(int delta);

    // Keyboard entry points: only the focus widget receives keys. All return true.
    bool KeyDown(int keyCode);
    bool KeyUp(int keyCode);
    bool KeyChar(wchar_t c);
    bool IsKeyDown(int keyCode) const;

    void SetFocus(Widget* w) override;
    // The application window gained or lost the input focus.
    void GotFocus();
    // Releases every key held (KeyUp in ascending code order) before telling the focus widget.
    void LostFocus();
    void ReleaseDownWidget();

    void EnterWidget(Widget* w);
    void LeaveWidget(Widget* w);
    void TrackMouse(int32_t mx, int32_t my);
    // Re-runs hover tracking after any change of shape, visibility or membership in the tree.
    void RefreshMouseOver();
    // Sends the release of each button bit (left, right, middle) at the last mouse position.
    void ReleaseMouseButtons(Widget* w, int buttons);
    void DropWidgetReferences(Widget* w) override;

    void SetModalBase(Widget* w, const FlagsMod& mod);
    void PushModalLayer(Widget* w);
    void PushModalLayerWithFlags(Widget* w, const FlagsMod& mod);
    void PopModalLayer(Widget* w);

    // One update: walks the tree once (each widget updates at most once). Returns the dirty flag.
    bool UpdateFrame();
    bool UpdateFrameF(float fraction);
    // Draws every dirty visible top-level widget with its subtree, then the application's overlay.
    // Returns whether anything was drawn.
    bool DrawScreen();

    WidgetHost* GetApp() const { return app_; }
    bool HasFocus() const { return hasFocus_; }
    Widget* GetFocusWidget() const { return focusWidget_; }
    Widget* GetDownWidget() const { return downWidget_; }
    Widget* GetOverWidget() const { return overWidget_; }
    Widget* GetModalBase() const { return modalBase_; }
    const FlagsMod& GetBelowModalMod() const { return belowModalMod_; }
    const std::vector<ModalLayer>& GetModalLayers() const { return modalLayers_; }
    const Rect& GetAppRect() const { return appRect_; }
    const Rect& GetWindowRect() const { return windowRect_; }
    bool IsMouseInWindow() const { return mouseInWindow_; }
    int32_t GetLastMouseX() const { return lastMouseX_; }
    int32_t GetLastMouseY() const { return lastMouseY_; }
    int GetDownButtons() const { return downButtons_; }
    int GetAllDownButtons() const { return allDownButtons_; }
    int32_t GetLastInputUpdate() const { return lastInputUpdate_; }
    int GetLastButtonId() const { return lastButtonId_; }

    Image* image = nullptr; // the screen image DrawScreen draws on
    FlagsMod lostFocusMod;  // applied while the application lacks focus
    FlagsMod defaultModalMod{0, WidgetFlags::AllowMouse | WidgetFlags::AllowFocus}; // for PushModalLayer
    uint32_t widgetFlags = WidgetFlags::Default;
    std::array<bool, kKeyCount> keysDown{};

private:
    friend class WidgetContainer;

    // Forgets the capture and its buttons, then sends their releases.
    void DropDownWidget();
    void ClearOver();
    void TrackMouseUnlessCaptured(int32_t mx, int32_t my);

    WidgetHost* app_;
    bool hasFocus_ = true;
    Widget* focusWidget_ = nullptr;
    Widget* downWidget_ = nullptr;
    Widget* overWidget_ = nullptr;
    Widget* modalBase_ = nullptr;
    FlagsMod belowModalMod_;
    std::vector<ModalLayer> modalLayers_;
    Rect appRect_;
    Rect windowRect_;
    bool mouseInWindow_ = false;
    int32_t lastMouseX_ = 0;
    int32_t lastMouseY_ = 0;
    int downButtons_ = 0;
    int allDownButtons_ = 0;
    int32_t lastInputUpdate_ = 0;
    int lastButtonId_ = 0;
};

} // namespace Fw
