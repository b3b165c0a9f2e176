// The registry and texture catalogue slots of effects' particle systems.
#include "engine/effects/EffectParticles.h"

#include <utility>

namespace {
VTParticleSystemRegistry* gRegistry = nullptr;
VTTextureCatalogue* gCatalogue = nullptr;
} // namespace

VTParticleSystemRegistry* GetEffectParticleRegistry()
{
    return gRegistry;
}

VTParticleSystemRegistry* SetEffectParticleRegistry(VTParticleSystemRegistry* registry)
{
    return std::exchange(gRegistry, registry);
}

VTTextureCatalogue* GetEffectTextureCatalogue()
{
    return gCatalogue;
}

VTTextureCatalogue* SetEffectTextureCatalogue(VTTextureCatalogue* catalogue)
{
    return std::exchange(gCatalogue, catalogue);
}
