// The effect functions that drive particle systems: the goal and worker-smoke systems that they
// create under the effect (registered in the effects' particle registry, deleted with the effect),
// and drawing and stopping every system bound to the effect.
#include "engine/effects/EffectFunctions.h"

#include "engine/effects/EffectParticles.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemDesc.h"
#include "engine/effects/detail/EffectFunctionSupport.h"
#include "framework/graphics/Graphics.h"

#include <cstring>

using namespace EffectSupport;

namespace {

constexpr int32_t kParticleIds[] = {VTEffectValueId::ParticleSystem0, VTEffectValueId::ParticleSystem1,
                                    VTEffectValueId::ParticleSystem2, VTEffectValueId::ParticleSystem3};

VTParticleSystem* BoundSystem(const VTEffect& effect, int32_t id)
{
    return effect.Value<VTParticleSystem>(id);
}

// The system bound under id, made from desc and bound first when there is none; null without a
// registry to keep it in.
VTParticleSystem* EnsureSystem(VTEffect& effect, int32_t id, const VTParticleSystemDesc& desc)
{
    if (VTParticleSystem* bound = BoundSystem(effect, id))
        return bound;
    VTParticleSystemRegistry* registry = GetEffectParticleRegistry();
    if (registry == nullptr)
        return nullptr;
    // Owned by the registry under the effect's key; the effect deletes it from there.
    auto* system = new VTParticleSystem(&desc, effect.ParticleOwnerKey(), registry, GetEffectTextureCatalogue());
    effect.SetParticleRegistry(registry);
    effect.SetValue(id, system);
    return system;
}

VTParticleSystemDesc GoalStars(const char* texture, float speed, float life, double driftY)
{
    VTParticleSystemDesc d;
    d.textureName = texture;
    d.keyCount = 3;
    d.keys[0] = {0.0f, Fw::Color(255, 255, 255, 1)};
    d.keys[1] = {0.1f, Fw::Color(255, 255, 255, 255)};
    d.keys[2] = {1.01f, Fw::Color(255, 255, 255, 1)};
    d.emissionRate = 30.0f;
    d.startSpeed = speed;
    d.startSize = 0.3f;
    d.endSize = 1.2f;
    d.lifeTime = life;
    d.emitterShape = VTParticleEmitter::Point;
    d.positionX = 400.0f;
    d.positionY = 300.0f;
    d.driftX = 0.0;
    d.driftY = driftY;
    d.baseAngle = 0.0f;
    d.angleSpread = 360.0f;
    d.frictionTime = 1.3f;
    d.randomFactor = 0.5f;
    d.randomFlags = 15;
    return d;
}

} // namespace

extern "C" {

int32_t FuncOnGoalExpertPSEffect(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    VTEffect& effect = call->effect;
    if (call->v == 0.0f) {
        VTParticleSystem* small = EnsureSystem(effect, VTEffectValueId::ParticleSystem0,
                                               GoalStars("fx_goal_star_small", 400.0f, 1.0f, 20.0));
        VTParticleSystem* big = EnsureSystem(effect, VTEffectValueId::ParticleSystem1,
                                             GoalStars("fx_goal_star_big", 300.0f, 0.8f, 50.0));
        if (small == nullptr || big == nullptr)
            return 0;
        small->Play();
        big->Play();
    } else if (call->v == 1.0f) {
        for (int32_t id : {VTEffectValueId::ParticleSystem0, VTEffectValueId::ParticleSystem1}) {
            if (VTParticleSystem* system = BoundSystem(effect, id))
                system->Stop();
        }
    }
    return 1;
}

int32_t FuncOnWorkerWorkingPSEffect(void* argument)
{
    VTEffect* effect = ReadMessage(argument);
    if (effect == nullptr)
        return 0;
    const auto* corner = effect->Value<const char>(VTEffectValueId::WorkerPositionCode);
    const auto* mirror = effect->Value<const uint8_t>(VTEffectValueId::WorkerMirror);
    const auto* baseX = effect->Value<const int32_t>(VTEffectValueId::WorkerBaseX);
    const auto* baseY = effect->Value<const int32_t>(VTEffectValueId::WorkerBaseY);
    if (corner == nullptr || mirror == nullptr || baseX == nullptr || baseY == nullptr)
        return 0;

    const bool top = std::strncmp(corner, "tr", 2) == 0;
    const bool bottom = std::strncmp(corner, "br", 2) == 0;
    int32_t dx = 0, dy = 0;
    float angle = 0.0f;
    if (top) {
        dx = *mirror ? -25 : 25;
        dy = -5;
        angle = *mirror ? 139.0f : 228.0f;
    } else if (bottom) {
        dx = *mirror ? -24 : 24;
        dy = 2;
        angle = *mirror ? 20.0f : -60.0f;
    }

    VTParticleSystemDesc d;
    d.textureName = "fx_work_smoke";
    d.keyCount = 4;
    d.keys[0] = {0.0f, Fw::Color(255, 255, 255, 1)};
    d.keys[1] = {0.2f, Fw::Color(255, 255, 255, 255)};
    d.keys[2] = {0.8f, Fw::Color(255, 255, 255, 255)};
    d.keys[3] = {1.01f, Fw::Color(255, 255, 255, 1)};
    d.emissionRate = 5.0f;
    d.startSpeed = 30.0f;
    d.startSize = 0.5f;
    d.endSize = 1.0f;
    d.lifeTime = 1.5f;
    d.emitterShape = VTParticleEmitter::Point;
    d.positionX = static_cast<float>(*baseX + dx);
    d.positionY = static_cast<float>(*baseY + dy);
    d.baseAngle = angle;
    d.angleSpread = 180.0f;
    d.frictionTime = 1.5f;
    d.randomFactor = 0.5f;
    d.randomFlags = 10;
    VTParticleSystem* system = EnsureSystem(*effect, VTEffectValueId::ParticleSystem0, d);
    if (system == nullptr)
        return 0;
    system->Play();
    return 1;
}

int32_t RenderPSFunc(void* argument)
{
    VTEffect* effect = ReadMessage(argument);
    if (effect == nullptr)
        return 0;
    auto* graphics = effect->Value<Fw::Graphics>(VTEffectValueId::Graphics);
    if (graphics == nullptr)
        return 0;
    for (int32_t id : kParticleIds) {
        if (VTParticleSystem* system = BoundSystem(*effect, id))
            system->Draw(*graphics);
    }
    return 1;
}

int32_t StopPSFunc(void* argument)
{
    VTEffect* effect = ReadMessage(argument);
    if (effect == nullptr || effect->GetValue(VTEffectValueId::Graphics) == nullptr)
        return 0;
    for (int32_t id : kParticleIds) {
        if (VTParticleSystem* system = BoundSystem(*effect, id))
            system->Stop();
    }
    return 1;
}

} // extern "C"
