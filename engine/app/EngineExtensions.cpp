// The engine's call sites for the particle-system registry and the effect catalogue.
#include "engine/app/EngineExtensions.h"

#include "engine/app/Engine.h"
#include "engine/effects/EffectCatalogue.h"
#include "engine/effects/EffectParticles.h"
#include "engine/effects/ParticleSystemRegistry.h"

VTParticleSystemRegistry* CreateEngineParticleRegistry()
{
    auto* registry = new VTParticleSystemRegistry;
    // Effects register the systems they make here, and widgets advance them from here.
    SetEffectParticleRegistry(registry);
    if (VTEngine* engine = VTEngine::GetInstance())
        SetEffectTextureCatalogue(&engine->GetTextureCatalogue());
    return registry;
}

void DestroyEngineParticleRegistry(VTParticleSystemRegistry* registry)
{
    if (GetEffectParticleRegistry() == registry)
        SetEffectParticleRegistry(nullptr);
    SetEffectTextureCatalogue(nullptr);
    delete registry;
}

void LoadEngineEffectCatalogue()
{
    LoadEffectCatalogue();
}

void FreeEngineEffectCatalogue()
{
    FreeEffectCatalogue();
}
