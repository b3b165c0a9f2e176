// The slots of the engine services: the installed ones (tests) and the running engine's.
#include "engine/scripting/EngineServices.h"

#include <atomic>

namespace {

std::atomic<VTEngineServices*> gInstalled{nullptr};
std::atomic<VTEngineServices*> gApp{nullptr};

} // namespace

VTEngineServices* GetEngineServices()
{
    if (VTEngineServices* installed = gInstalled.load())
        return installed;
    return GetEngineAppServices();
}

VTEngineServices* GetEngineAppServices() { return gApp.load(); }

VTEngineServices* SetEngineAppServices(VTEngineServices* services) { return gApp.exchange(services); }

ScopedEngineServices::ScopedEngineServices(VTEngineServices& services) : previous_(gInstalled.exchange(&services)) {}

ScopedEngineServices::~ScopedEngineServices() { gInstalled.store(previous_); }
