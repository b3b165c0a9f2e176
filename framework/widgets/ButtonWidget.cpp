// Push button: state handling, fading of the over image and the image and plain drawing.
#include "framework/widgets/ButtonWidget.h"
#include "framework/assets/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"

namespace Fw {

namespace {

// label, label while over, dark edge, light edge, inner shadow, face
constexpr int kButtonColors[6][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};

} // namespace

ButtonWidget::ButtonWidget(int32_t buttonId, ButtonListener* buttonListener) : id(buttonId), listener(buttonListener)
{
    hasAlpha = true;
    SetColorsRGB(kButtonColors, 6);
}

ButtonWidget::~ButtonWidget() { delete ownedFont_; }

void ButtonWidget::SetFont(Font* f) { font = f; }

Font* ButtonWidget::LabelFont(const char* face, int32_t points, int32_t charSet)
{
    if (!font && !label.empty()) {
        delete ownedFont_;
        ownedFont_ = new SysFont(face, points, charSet, false, false, false);
        font = ownedFont_;
    }
    return font;
}

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& srcRect, int32_t px, int32_t py)
{
    if (srcRect.width == 0)
        g->DrawImage(image, px, py);
    else
        g->DrawImage(image, px, py, srcRect);
}

void ButtonWidget::SetDisabled(bool d)
{
    Widget::SetDisabled(d);
    if (HasDisabled())
        MarkDirty();
}

void ButtonWidget::MarkDirtyForHover()
{
    if (isDown || HasOver() || GetColor(1) != GetColor(0))
        MarkDirty();
}

void ButtonWidget::MouseEnter()
{
    if (fadeInStep == 0.0 && overFade > 0.0)
        overFade = 0.0;
    MarkDirtyForHover();
    if (listener)
        listener->ButtonMouseEnter(id);
}

void ButtonWidget::MouseLeave()
{
    if (fadeOutStep == 0.0 && overFade > 0.0)
        overFade = 0.0;
    else if (fadeOutStep > 0.0 && overFade == 0.0)
        overFade = 1.0; // the over image fades out from full strength
    MarkDirtyForHover();
    if (listener)
        listener->ButtonMouseLeave(id);
}

void ButtonWidget::MouseMove(int32_t mx, int32_t my)
{
    if (listener)
        listener->ButtonMouseMove(id, mx, my);
}

void ButtonWidget::MouseDown(int32_t, int32_t, int, int clickCount)
{
    if (listener)
        listener->ButtonDown(id, clickCount);
    MarkDirty();
}

void ButtonWidget::MouseUp(int32_t, int32_t, int, int)
{
    WidgetManager* m = GetManager();
    if (isOver && m && m->HasFocus() && listener)
        listener->ButtonClicked(id);
    MarkDirty();
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (isDown && isOver && listener)
        listener->ButtonHeldTick(id);
    if (!isDown && !isOver && overFade > 0.0) {
        overFade -= fadeOutStep;
        if (fadeOutStep <= 0.0 || overFade < 0.0)
            overFade = 0.0;
        MarkDirty();
    }
    if (isOver && fadeInStep > 0.0 && overFade < 1.0) {
        overFade += fadeInStep;
        if (overFade > 1.0)
            overFade = 1.0;
        MarkDirty();
    }
}

void ButtonWidget::Draw(Graphics* g)
{
    if (skipDraw)
        return;
    LabelFont("Arial Unicode MS", 10, 0);
    const bool pressed = (isDown && isOver && !disabled) != invertLook;
    int32_t lx = 0, ly = 0;
    if (font) {
        const int32_t w = font->StringWidth(label);
        lx = labelAlign == 0 ? (width - w) / 2 : labelAlign == 1 ? width - w : 0;
        ly = (height - font->GetHeight()) / 2 + font->GetAscent();
        g->SetFont(font);
    }
    auto drawLabel = [&](int colorIndex, int32_t dx, int32_t dy) {
        if (!font)
            return;
        g->SetColor(GetColor(colorIndex));
        g->DrawString(label, lx + dx, ly + dy);
    };

    if (!normalImage && !downImage) {
        // Raised: light edge top-left, dark edge bottom-right, shadow inside the bottom-right;
        // pressed: the edges swap and the shadow moves inside the top-left.
        if (!noFrame) {
            g->SetColor(GetColor(5));
            g->FillRect(0, 0, width, height);
            g->SetColor(GetColor(pressed ? 2 : 3));
            g->FillRect(0, 0, width - 1, 1);
            g->FillRect(0, 0, 1, height - 1);
            g->SetColor(GetColor(pressed ? 3 : 2));
            g->FillRect(0, height - 1, width, 1);
            g->FillRect(width - 1, 0, 1, height);
            g->SetColor(GetColor(4));
            if (pressed) {
                g->FillRect(1, 1, width - 3, 1);
                g->FillRect(1, 1, 1, height - 3);
            } else {
                g->FillRect(1, height - 2, width - 2, 1);
                g->FillRect(width - 2, 1, 1, height - 2);
            }
        }
        drawLabel(isOver ? 1 : 0, pressed ? 1 : 0, pressed ? 1 : 0);
        return;
    }

    if (!pressed) {
        if (disabled && HasDisabled()) {
            DrawButtonImage(g, disabledImage, disabledSrc, 0, 0);
        } else if (overFade > 0.0 && HasOver()) {
            if (HasNormal() && overFade < 1.0)
                DrawButtonImage(g, normalImage, normalSrc, 0, 0);
            g->SetColorizeImages(true);
            g->SetColor(Color(255, 255, 255, static_cast<int>(overFade * 255)));
            DrawButtonImage(g, overImage, overSrc, 0, 0);
            g->SetColorizeImages(false);
        } else if ((isOver || isDown) && HasOver()) {
            DrawButtonImage(g, overImage, overSrc, 0, 0);
        } else if (HasNormal()) {
            DrawButtonImage(g, normalImage, normalSrc, 0, 0);
        }
        drawLabel(isOver ? 1 : 0, 0, 0);
        return;
    }
    if (HasDown())
        DrawButtonImage(g, downImage, downSrc, 0, 0);
    else if (HasOver())
        DrawButtonImage(g, overImage, overSrc, 0, 0);
    else
        DrawButtonImage(g, normalImage, normalSrc, 1, 1);
    drawLabel(1, 0, 0);
}

} // namespace Fw
