// Dialog button: the 3 x 3 box drawing of its states and its label placement.
#include "framework/widgets/DialogButton.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

namespace Fw {

namespace {

// label, label while over, dark edge, light edge, inner shadow, face
constexpr int kDialogButtonColors[6][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                           {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};

} // namespace

DialogButton::DialogButton(Image* box, int32_t buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener), boxImage(box)
{
    handCursor = true;
    SetColorsRGB(kDialogButtonColors, 6);
}

void DialogButton::Draw(Graphics* g)
{
    if (skipDraw)
        return;
    if (!boxImage) {
        ButtonWidget::Draw(g);
        return;
    }
    LabelFont("Arial Unicode MS", 12, 1);
    const bool down = IsButtonDown();
    const Rect whole(0, 0, width, height);
    if (normalSrc.width == 0) {
        if (down)
            g->Translate(pressShiftX, pressShiftY);
        g->DrawImageBox(whole, boxImage);
    } else {
        if (!disabled || disabledSrc.width < 1 || disabledSrc.height < 1) {
            if (down) {
                g->DrawImageBox(downSrc, whole, boxImage);
            } else if (overFade <= 0.0) {
                g->DrawImageBox(isOver ? overSrc : normalSrc, whole, boxImage);
            } else {
                if (overFade < 1.0)
                    g->DrawImageBox(normalSrc, whole, boxImage);
                g->SetColorizeImages(true);
                g->SetColor(Color(255, 255, 255, static_cast<int>(overFade * 255)));
                g->DrawImageBox(overSrc, whole, boxImage);
                g->SetColorizeImages(false);
            }
        } else {
            g->DrawImageBox(disabledSrc, whole, boxImage);
        }
        if (down)
            g->Translate(pressShiftX, pressShiftY);
    }
    if (font) {
        g->SetFont(font);
        g->SetColor(GetColor(isOver ? 1 : 0));
        const int32_t ascent = font->GetAscent();
        const int32_t lx = labelShiftX + (width - font->StringWidth(label)) / 2;
        const int32_t ly = labelShiftY + (ascent + height - ascent / 6 - font->GetAscentPadding() - 1) / 2;
        g->DrawString(label, lx, ly);
    }
    if (down)
        g->Translate(-pressShiftX, -pressShiftY);
}

} // namespace Fw
