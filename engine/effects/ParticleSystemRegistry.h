// The engine's record of live particle systems, keyed by owner: the effect for systems that effect
// functions make (so they advance with the widget that runs the effect, and go with the effect), the
// owner widget for script systems (which their widget advances itself, so they are never advanced
// twice). Refers to the systems; owns none. One per engine. Main thread.
#pragma once
#include <cstddef>
#include <map>

class VTParticleSystem;

class VTParticleSystemRegistry {
public:
    VTParticleSystemRegistry() = default;
    // Systems still registered forget the registry (they are not deleted).
    ~VTParticleSystemRegistry();
    VTParticleSystemRegistry(const VTParticleSystemRegistry&) = delete;
    VTParticleSystemRegistry& operator=(const VTParticleSystemRegistry&) = delete;

    void Add(const void* owner, VTParticleSystem* system);
    // Erases every entry under owner (the systems stay alive).
    void Remove(const void* owner);
    // Erases every entry of system, whatever its owner (its destructor calls this).
    void RemoveSystem(const VTParticleSystem* system);
    // Update(seconds) on every system under owner, in registration order.
    void UpdateByOwner(const void* owner, float seconds);
    // Deletes every system under owner (an effect being destroyed takes its systems with it).
    void DestroyByOwner(const void* owner);
    // Reset on every registered system.
    void ResetAll();

    size_t Count(const void* owner) const { return systems_.count(owner); }
    size_t Size() const { return systems_.size(); }

private:
    std::multimap<const void*, VTParticleSystem*> systems_;
};
