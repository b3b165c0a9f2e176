// The text facts DlgTypeIn reads of the effect's widget.
#include "engine/effects/TypeInTarget.h"
#include "engine/effects/detail/EffectFunctionSupport.h"

#include <cmath>

namespace EffectSupport {

bool SetShownFraction(VTEffectWidget& widget, float fraction)
{
    auto* text = dynamic_cast<VTTypeInTarget*>(&widget);
    if (text == nullptr)
        return false;
    const float shown = static_cast<float>(text->DisplayedTextLength()) * fraction;
    text->SetShownLength(Trunc(std::ceil(shown)));
    return true;
}

} // namespace EffectSupport
