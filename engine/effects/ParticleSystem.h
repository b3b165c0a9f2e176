// A particle system: emits textured particles from a point, a rectangle or a half disc, moves them
// with a linearly decaying start speed plus a constant drift, grows or shrinks them, fades them
// through up to eight colour keys over their life, and draws each as a stretched, colourised copy of
// one image. Randomness comes from the engine's 15-bit generator (Fw::Rand). Particles live in a
// fixed pool sized from the emission rate and life time. Main thread.
#pragma once
#include "engine/core/ImageRef.h"
#include "engine/effects/ParticlePool.h"
#include "engine/effects/ParticleSystemDesc.h"

#include <memory>
#include <string>
#include <vector>

class VTParticleSystemRegistry;
class VTTextureCatalogue;

namespace Fw {
class Graphics;
}

class VTParticleSystem {
public:
    // Sets up from desc (may be null: nothing set up) and registers under owner in registry (under its
    // own address when owner is null). registry and catalogue may be null: then the system is not
    // registered / has no image. Both must outlive the system. Starts inactive.
    VTParticleSystem(const VTParticleSystemDesc* desc, const void* owner, VTParticleSystemRegistry* registry,
                     VTTextureCatalogue* catalogue);
    // The same with the engine's registry and texture catalogue (none without an engine).
    VTParticleSystem(const VTParticleSystemDesc* desc, const void* owner);
    // Leaves the registry, returns every particle and releases the image.
    virtual ~VTParticleSystem();
    VTParticleSystem(const VTParticleSystem&) = delete;
    VTParticleSystem& operator=(const VTParticleSystem&) = delete;

    // Drops particles, pool and image, copies desc, validates its colour keys, sizes the pool
    // (capacity = ceil(rate x life time), pool capacity + 1) and looks up the image. False, with
    // SetupError() telling why, when the keys are invalid: the system then has no pool or image and
    // shows nothing. True for a null desc (nothing done).
    bool Setup(const VTParticleSystemDesc* desc);
    // Ages, moves, colours and sizes the particles, removes the dead, and emits while active.
    virtual void Update(float seconds);
    // Each live particle, clipped to (0, 0, 1024, 768), colourised with its colour. Leaves g's colour
    // and clip rectangle as set (the colourising flag is restored).
    void Draw(Fw::Graphics& g);

    void Play() { active_ = true; }
    // Inactive; live particles run to the end of their lives.
    void Stop();
    // Inactive and empty at once.
    void Reset();

    bool IsActive() const { return active_; }
    const std::vector<VTParticle*>& Particles() const { return particles_; }
    // The system's own descriptor copy; changes take effect from the next update (the capacity stays).
    VTParticleSystemDesc& Desc() { return desc_; }
    const VTParticlePool* Pool() const { return pool_.get(); }
    const std::string& SetupError() const { return setupError_; }
    const VTImageRef& Image() const { return image_; }

    // Called by a registry being destroyed while the system is still in it.
    void ForgetRegistry(const VTParticleSystemRegistry* registry)
    {
        if (registry_ == registry)
            registry_ = nullptr;
    }

private:
    void ReturnAllParticles();
    void UpdateColor(VTParticle& p, float t) const;
    void Emit();
    // value + random factor x value x r, r uniform in [-1, 1] (one draw).
    float Randomised(float value) const;

    std::vector<VTParticle*> particles_;
    std::unique_ptr<VTParticlePool> pool_;
    VTParticleSystemDesc desc_;
    float accumulator_ = 0.0f;
    bool active_ = false;
    VTImageRef image_;
    VTParticleSystemRegistry* registry_ = nullptr;
    VTTextureCatalogue* catalogue_ = nullptr;
    std::string setupError_;
};
