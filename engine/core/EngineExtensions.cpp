// The engine's call sites for the particle-system registry and the effect catalogue: each body is
// the one line to change when its part lands.
#include "engine/core/EngineExtensions.h"

#include "engine/effects/ParticleSystemRegistry.h"

VTParticleSystemRegistry* CreateEngineParticleRegistry() { return new VTParticleSystemRegistry(); }

void DestroyEngineParticleRegistry(VTParticleSystemRegistry* registry) { delete registry; }

void LoadEngineEffectCatalogue() {} // LoadEffectCatalogue("cfg\\effect.xml")

void FreeEngineEffectCatalogue() {} // FreeEffectCatalogue()
