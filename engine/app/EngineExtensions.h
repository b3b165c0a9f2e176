// Where the engine plugs in the parts built beside it: the particle-system registry and the effect
// catalogue. Each function is the engine's one call site for its part; until the part exists its
// body here does nothing.
#pragma once

class VTParticleSystemRegistry;

// Made by the engine's constructor (null while particle systems are not built in).
VTParticleSystemRegistry* CreateEngineParticleRegistry();
// Deleted by the engine's destructor, after the texture catalogue's users are gone.
void DestroyEngineParticleRegistry(VTParticleSystemRegistry* registry);
// The effect catalogue of "cfg\effect.xml" (engine Init) and its release (engine destructor).
void LoadEngineEffectCatalogue();
void FreeEngineEffectCatalogue();
