// The installed engine services.
#include "engine/scripting/EngineServices.h"

#include <atomic>

namespace {

std::atomic<VTEngineServices*> gInstalled{nullptr};

} // namespace

VTEngineServices* GetEngineServices()
{
    if (VTEngineServices* installed = gInstalled.load())
        return installed;
    return GetEngineAppServices();
}

ScopedEngineServices::ScopedEngineServices(VTEngineServices& services) : previous_(gInstalled.exchange(&services)) {}

ScopedEngineServices::~ScopedEngineServices() { gInstalled.store(previous_); }
