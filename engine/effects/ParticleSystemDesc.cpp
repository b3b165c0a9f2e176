#include "engine/effects/ParticleSystemDesc.h"

#include <algorithm>

VTParticleSystemDesc VTParticleSystemDesc::ScriptDefaults(const std::string& textureName)
{
    VTParticleSystemDesc d;
    d.textureName = textureName;
    d.keyCount = 2;
    d.keys[0] = {0.0f, Fw::Color(255, 255, 255, 255)};
    d.keys[1] = {1.01f, Fw::Color(255, 255, 255, 255)};
    d.emissionRate = 30.0f;
    d.startSpeed = 400.0f;
    d.startSize = 0.3f;
    d.endSize = 1.2f;
    d.lifeTime = 1.0f;
    d.emitterShape = VTParticleEmitter::Point;
    d.positionX = 800.0f;
    d.positionY = 500.0f;
    d.driftX = 0.0;
    d.driftY = 20.0;
    d.baseAngle = 0.0f;
    d.angleSpread = 360.0f;
    d.frictionTime = 1.3f;
    d.randomFactor = 0.5f;
    d.randomFlags = VTParticleRandom::StartSize | VTParticleRandom::EndSize | VTParticleRandom::StartSpeed |
                    VTParticleRandom::LifeTime;
    return d;
}

bool VTParticleSystemDesc::SetAgeColors(std::vector<VTColorAgeKey> newKeys)
{
    if (newKeys.size() > static_cast<size_t>(kMaxKeys))
        return false;
    std::stable_sort(newKeys.begin(), newKeys.end(),
                     [](const VTColorAgeKey& a, const VTColorAgeKey& b) { return a.age < b.age; });
    keyCount = static_cast<int32_t>(newKeys.size());
    std::copy(newKeys.begin(), newKeys.end(), keys.begin());
    if (keyCount > 0)
        keys[keyCount - 1].age = 1.01f;
    return true;
}
