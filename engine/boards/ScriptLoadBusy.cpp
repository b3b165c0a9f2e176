#include "engine/boards/ScriptLoadBusy.h"

#include "engine/scripting/GameScript.h"

#include <mutex>

namespace {
// Count and flag change together: a leaf lock, nothing is called while it is held.
std::mutex gBusyLock;
int gBusyHolders = 0;
} // namespace

void RaiseScriptLoadBusy()
{
    std::lock_guard<std::mutex> hold(gBusyLock);
    ++gBusyHolders;
    gScriptLoadBusy = true;
}

void LowerScriptLoadBusy()
{
    std::lock_guard<std::mutex> hold(gBusyLock);
    if (gBusyHolders > 0 && --gBusyHolders == 0)
        gScriptLoadBusy = false;
}
