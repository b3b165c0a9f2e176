// Push button: drawn from up to four state images (normal, over, down, disabled; whole images or
// source rectangles within them) with an optional fading "over" image, or as a plain bevelled
// rectangle. Reports presses, clicks and hovering to its listener.
#pragma once
#include "framework/graphics/Rect.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

#include <string>

namespace Fw {

class Font;
class Graphics;
class Image;

class ButtonWidget : public Widget {
public:
    ButtonWidget(int32_t id, ButtonListener* listener);
    ~ButtonWidget() override;

    // font is not owned.
    virtual void SetFont(Font* f);
    virtual bool IsButtonDown() const { return isDown && isOver && !disabled; }
    // Whole image when srcRect has zero width, else the source rectangle, at (x, y).
    virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& srcRect, int32_t x, int32_t y);

    void SetDisabled(bool d) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int32_t x, int32_t y) override;
    void MouseDown(int32_t x, int32_t y, int button, int clickCount) override;
    void MouseUp(int32_t x, int32_t y, int button, int clickCount) override;
    void Update() override;
    void Draw(Graphics* g) override;

    bool HasNormal() const { return normalImage || normalSrc.width != 0; }
    bool HasOver() const { return overImage || overSrc.width != 0; }
    bool HasDown() const { return downImage || downSrc.width != 0; }
    bool HasDisabled() const { return disabledImage || disabledSrc.width != 0; }

    int32_t id;
    std::wstring label;
    int32_t labelAlign = 0; // 0 centred, 1 right, other left
    Font* font = nullptr;
    Image* normalImage = nullptr;
    Image* overImage = nullptr;
    Image* downImage = nullptr;
    Image* disabledImage = nullptr;
    Rect normalSrc, overSrc, downSrc, disabledSrc;
    bool invertLook = false;
    bool skipDraw = false;
    bool noFrame = false;
    ButtonListener* listener;
    double overFade = 0.0;    // strength of the over image, 0..1
    double fadeOutStep = 0.0; // per update
    double fadeInStep = 0.0;  // per update

protected:
    // The label font, created on first use when none was set (then owned).
    Font* LabelFont(const char* face, int32_t points, int32_t charSet);

private:
    void MarkDirtyForHover();
    Font* ownedFont_ = nullptr;
};

} // namespace Fw
