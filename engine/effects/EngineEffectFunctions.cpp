// The effect functions that act on the engine rather than on one widget: taking and giving back all
// mouse input with the engine's full-screen root dialog. Either calling form; the argument is
// ignored.
#include "engine/effects/EffectFunctions.h"

#include "engine/core/Engine.h"

extern "C" {

int32_t WidgetsLock(void*)
{
    VTEngine* engine = VTEngine::GetInstance();
    if (engine == nullptr)
        return 0;
    engine->WidgetsLock();
    return 1;
}

int32_t WidgetsUnlock(void*)
{
    VTEngine* engine = VTEngine::GetInstance();
    if (engine == nullptr)
        return 0;
    engine->WidgetsUnlock();
    return 1;
}

} // extern "C"
