#include "engine/scripting/Bar3.h"

#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "framework/graphics/Graphics.h"

void VTBar3::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    const float s = VTAccumulatedScale(*this);
    VTTexture& fill = FillTexture();
    VTTexture& empty = EmptyTexture();
    if (!TextureHasImage(&fill) || !TextureHasImage(&empty))
        return;
    const float half = float(empty.width) * 0.5f;
    fill.Draw(*g, Fw::Rect(int32_t(half), int32_t(0.5f * float(empty.height) + 1.5f),
                           int32_t(float(width) * s - 2.0f * half), fill.height));
    empty.Draw(*g,
               Fw::Rect(int32_t(float(GetValue()) - half), 0, int32_t(float(empty.width) * s), empty.height));
}
