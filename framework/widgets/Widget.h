// A node of the widget tree that the user sees: visibility, enabled state, focus and mouse state, a
// colour table, mouse insets, Tab neighbours and the input hooks (empty here) that concrete widgets
// override. Mouse coordinates handed to the hooks are local to the widget (0,0 = its top-left corner).
// Click codes: 1 left, 2 left double, -1 right, -2 right double, 3 middle; buttons: 0 left, 1 right, 2
// middle.
#pragma once
#include "framework/graphics/Color.h"
#include "framework/widgets/WidgetContainer.h"

#include <string>
#include <vector>

namespace Fw {

class Image;

class Widget : public WidgetContainer {
public:
    Widget() = default;
    // Takes itself out of its parent first when still attached.
    ~Widget() override;

    void Update() override;

    virtual void OrderChanged() {}
    virtual void SetVisible(bool v);
    // Rows of four (r, g, b, a) or three (r, g, b; alpha 255) values; the table is replaced.
    virtual void SetColorsRGBA(const int (*table)[4], int count);
    virtual void SetColorsRGB(const int (*table)[3], int count);
    // Grows the table with opaque black entries when index lies beyond it. Negative indexes are ignored.
    virtual void SetColor(int index, const Color& color);
    virtual Color GetColorOr(int index, const Color& fallback) const;
    // Opaque black for an index outside the table.
    virtual const Color& GetColor(int index) const;
    virtual void SetDisabled(bool d);
    virtual void ShowHandCursor(bool on);
    virtual void ResizeToRect(const Rect& r);
    virtual void Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight);
    virtual void Move(int32_t newX, int32_t newY);
    virtual bool WantsFocus() { return wantsFocus; }
    // Neither overlay operation is called by the framework's walks.
    virtual void DrawOverlayAtPriority(Graphics* g, int priority);
    virtual void DrawOverlay(Graphics* /*g*/) {}
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(wchar_t /*c*/) {}
    // Tab (9) moves the focus to tabNext, or with Shift held to tabPrev (no fallback to the other).
    virtual void KeyDown(int keyCode);
    virtual void KeyUp(int /*keyCode*/) {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseMove(int32_t /*mx*/, int32_t /*my*/) {}
    virtual void MouseDown(int32_t /*mx*/, int32_t /*my*/, int /*button*/, int /*clickCount*/) {}
    virtual void MouseDownByClickCode(int32_t mx, int32_t my, int clickCode);
    virtual void MouseUp(int32_t /*mx*/, int32_t /*my*/, int /*button*/, int /*clickCount*/) {}
    // MouseUpAny first, then the button-specific MouseUp.
    virtual void MouseUpByClickCode(int32_t mx, int32_t my, int clickCode);
    virtual void MouseUpAny(int32_t /*mx*/, int32_t /*my*/) {}
    virtual void MouseDrag(int32_t /*mx*/, int32_t /*my*/) {}
    virtual void MouseWheel(int /*delta*/) {}
    // Finer hit test in local coordinates, after the inset rectangle matched.
    virtual bool HitTest(int32_t /*mx*/, int32_t /*my*/) { return true; }

    // Text helpers; all draw with the context's current font and return the area written.
    virtual Rect DrawCenteredLineShadowed(Graphics* g, int32_t ly, const std::wstring& s, const Color& color,
                                          const Color& shadowColor, const Point& offset);
    virtual Rect DrawCenteredLine(Graphics* g, int32_t ly, const std::wstring& s);
    // Colour tags are on for the call whatever the context's setting; returns the writer's result.
    virtual int DrawJustifiedString(Graphics* g, const std::wstring& s, int32_t lx, int32_t ly, int32_t w,
                                    int justification, bool drawString, int offset, int length);
    virtual int DrawWordWrapped(Graphics* g, const Rect& r, const std::wstring& s, int lineSpacing,
                                int justification);
    virtual int GetWordWrappedHeight(Graphics* g, int32_t w, const std::wstring& s, int lineSpacing);
    // Decimal digits of n; 1 for anything below 10.
    virtual int CountDigits(int n);
    // Draws n with the digit cells of a strip image holding 0-9 side by side.
    virtual void DrawNumberFromStrip(Graphics* g, int n, int32_t lx, int32_t ly, Image* strip, int spacing);
    // Point in the parent's coordinates; right and bottom edges exclusive.
    virtual bool Contains(int32_t px, int32_t py) const;
    // The rectangle less the mouse insets, in the parent's coordinates.
    virtual Rect GetInsetRect() const;

    bool visible = true;
    bool mouseVisible = true; // the widget itself (not its children) can be hit
    bool disabled = false;
    bool hasFocus = false;
    bool isDown = false;
    bool isOver = false;
    bool hasTransparencies = false;
    std::vector<Color> colors;
    Insets mouseInsets;
    bool handCursor = false; // show the hand cursor while the mouse is over the widget
    bool wantsFocus = false; // a press gives the widget the keyboard focus
    Widget* tabPrev = nullptr;
    Widget* tabNext = nullptr;
};

} // namespace Fw
