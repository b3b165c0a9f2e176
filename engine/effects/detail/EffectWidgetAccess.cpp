// The widget facts the effect functions read, from the engine widget base.
#include "engine/effects/TypeInTarget.h"
#include "engine/effects/detail/EffectFunctionSupport.h"
#include "engine/widgets/CandyWidget.h"

#include <cmath>
#include <string>

namespace EffectSupport {

WidgetGeometry Geometry(const VTCandyWidget& widget)
{
    WidgetGeometry g;
    g.x = widget.exactX;
    g.y = widget.exactY;
    g.width = widget.exactWidth;
    g.height = widget.exactHeight;
    g.intWidth = widget.width;
    g.intHeight = widget.height;
    return g;
}

void SetAngle(VTCandyWidget& widget, float degrees)
{
    widget.angle = degrees;
}

bool IsMouseOver(const VTCandyWidget& widget)
{
    return widget.hover;
}

VTIEffect* ChildTarget(VTCandyWidget& widget, std::string_view name)
{
    return widget.FindChild(std::string(name));
}

VTTypeInTarget* TextOf(VTCandyWidget& widget)
{
    return dynamic_cast<VTTypeInTarget*>(&widget);
}

void SetShownFraction(VTTypeInTarget& text, float fraction)
{
    const float shown = static_cast<float>(text.DisplayedTextLength()) * fraction;
    text.SetShownLength(Trunc(std::ceil(shown)));
}

} // namespace EffectSupport
