// Placeholder widget access for the effect functions until the engine widget base is in the tree:
// every widget fact reads as absent, so the functions that need one return 0.
#include "engine/effects/detail/EffectFunctionSupport.h"

namespace EffectSupport {

WidgetGeometry Geometry(const VTCandyWidget&)
{
    return {};
}

void SetAngle(VTCandyWidget&, float) {}

bool IsMouseOver(const VTCandyWidget&)
{
    return false;
}

VTIEffect* ChildTarget(VTCandyWidget&, std::string_view)
{
    return nullptr;
}

bool SetShownFraction(VTCandyWidget&, float)
{
    return false;
}

} // namespace EffectSupport

extern "C" {
int32_t RenderPSFunc(void*)
{
    return 0;
}
int32_t StopPSFunc(void*)
{
    return 0;
}
int32_t FuncOnWorkerWorkingPSEffect(void*)
{
    return 0;
}
int32_t FuncOnGoalExpertPSEffect(void*)
{
    return 0;
}
int32_t WidgetsLock(void*)
{
    return 0;
}
int32_t WidgetsUnlock(void*)
{
    return 0;
}
}
