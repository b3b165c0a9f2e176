// The effect functions that act on the application rather than on one widget: taking and giving
// back all mouse input with its full-screen root dialog (the effect host). Either calling form; the
// argument is ignored.
#include "engine/effects/EffectFunctions.h"

#include "engine/effects/EffectHost.h"

extern "C" {

int32_t WidgetsLock(void*)
{
    VTEffectHost* host = GetEffectHost();
    if (host == nullptr)
        return 0;
    host->WidgetsLock();
    return 1;
}

int32_t WidgetsUnlock(void*)
{
    VTEffectHost* host = GetEffectHost();
    if (host == nullptr)
        return 0;
    host->WidgetsUnlock();
    return 1;
}

} // extern "C"
