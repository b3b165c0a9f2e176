#include "engine/effects/ParticleSystemRegistry.h"

#include "engine/effects/ParticleSystem.h"

#include <vector>

VTParticleSystemRegistry::~VTParticleSystemRegistry()
{
    for (auto& [owner, system] : systems_)
        system->ForgetRegistry(this);
}

void VTParticleSystemRegistry::Add(const void* owner, VTParticleSystem* system)
{
    if (system)
        systems_.emplace(owner, system);
}

void VTParticleSystemRegistry::Remove(const void* owner) { systems_.erase(owner); }

void VTParticleSystemRegistry::RemoveSystem(const VTParticleSystem* system)
{
    std::erase_if(systems_, [system](const auto& entry) { return entry.second == system; });
}

void VTParticleSystemRegistry::UpdateByOwner(const void* owner, float seconds)
{
    // Copied first: an update must not be disturbed by a system being added or removed meanwhile.
    std::vector<VTParticleSystem*> systems;
    auto [first, last] = systems_.equal_range(owner);
    for (auto it = first; it != last; ++it)
        systems.push_back(it->second);
    for (VTParticleSystem* system : systems)
        system->Update(seconds);
}

void VTParticleSystemRegistry::DestroyByOwner(const void* owner)
{
    std::vector<VTParticleSystem*> systems;
    auto [first, last] = systems_.equal_range(owner);
    for (auto it = first; it != last; ++it)
        systems.push_back(it->second);
    systems_.erase(owner);
    for (VTParticleSystem* system : systems)
        delete system;
}

void VTParticleSystemRegistry::ResetAll()
{
    for (auto& [owner, system] : systems_)
        system->Reset();
}
