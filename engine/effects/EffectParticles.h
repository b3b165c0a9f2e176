// The particle-system registry that effects use: effect functions register the systems they make
// under their effect, and widgets advance the systems registered under their effect. The engine
// installs its registry when it makes it and removes it before deleting it; tests install their own.
// Main thread.
#pragma once

class VTParticleSystemRegistry;
class VTTextureCatalogue;

// The installed registry, or null.
VTParticleSystemRegistry* GetEffectParticleRegistry();
// Installs registry (null removes it); returns the one installed before.
VTParticleSystemRegistry* SetEffectParticleRegistry(VTParticleSystemRegistry* registry);

// The texture catalogue particle systems of effects take their images from, or null.
VTTextureCatalogue* GetEffectTextureCatalogue();
VTTextureCatalogue* SetEffectTextureCatalogue(VTTextureCatalogue* catalogue);
