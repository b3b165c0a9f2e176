// The slot of the effect functions' host.
#include "engine/effects/EffectHost.h"

#include <atomic>

namespace {
std::atomic<VTEffectHost*> gHost{nullptr};
} // namespace

VTEffectHost* GetEffectHost() { return gHost.load(); }

VTEffectHost* SetEffectHost(VTEffectHost* host) { return gHost.exchange(host); }
