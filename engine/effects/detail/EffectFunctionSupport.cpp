// Shared helpers of the exported effect functions.
#include "engine/effects/detail/EffectFunctionSupport.h"

namespace EffectSupport {

std::optional<ControlCall> ReadControl(void* argument)
{
    auto* state = static_cast<VTEffectState*>(argument);
    if (state == nullptr || state->owner == nullptr)
        return std::nullopt;
    return ControlCall{*state->owner, state->value};
}

Parabola FitParabola(float x1f, float y1f)
{
    const double x1 = x1f, y1 = y1f;
    const double a = (x1 - y1) / (x1 - x1 * x1);
    const double b = (y1 - x1 * x1 * a) / x1;
    return {static_cast<float>(a), static_cast<float>(b)};
}

} // namespace EffectSupport
