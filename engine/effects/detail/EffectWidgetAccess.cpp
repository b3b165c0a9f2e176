// The text facts DlgTypeIn reads of the effect's widget.
#include "engine/effects/TypeInTarget.h"
#include "engine/effects/detail/EffectFunctionSupport.h"

#include <cmath>

namespace EffectSupport {

VTTypeInTarget* TextOf(VTEffectWidget& widget)
{
    return dynamic_cast<VTTypeInTarget*>(&widget);
}

void SetShownFraction(VTTypeInTarget& text, float fraction)
{
    const float shown = static_cast<float>(text.DisplayedTextLength()) * fraction;
    text.SetShownLength(Trunc(std::ceil(shown)));
}

} // namespace EffectSupport
