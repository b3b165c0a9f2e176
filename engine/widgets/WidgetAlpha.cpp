// Accumulated alpha and scale of engine widgets.
#include "engine/widgets/WidgetAlpha.h"

#include <algorithm>
#include <cmath>

float VTAccumulatedAlpha(const VTCandyWidget& widget)
{
    float product = 1.0f;
    for (const VTCandyWidget* w = &widget; w; w = w->GetEngineParent())
        product *= w->alpha;
    return product;
}

float VTAccumulatedScale(const VTCandyWidget& widget)
{
    float product = 1.0f;
    for (const VTCandyWidget* w = &widget; w; w = w->GetEngineParent())
        product *= w->scale;
    return product;
}

int32_t VTDrawAlpha(const VTCandyWidget& widget)
{
    const float a = 255.0f * VTAccumulatedAlpha(widget);
    if (!(a > 0.0f)) // NaN too
        return 0;
    return std::min(255, static_cast<int32_t>(a));
}
