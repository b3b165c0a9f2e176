// The record a particle system is made from: image, colour keys over the particle's life, emission,
// motion and randomisation. Filled in code by its creator (script glue, effect functions) and copied
// whole into the system; there is no file format.
#pragma once
#include "framework/graphics/Color.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A colour reached at an age given as a fraction of the particle's life.
struct VTColorAgeKey {
    float age = 0.0f;
    Fw::Color color;
};

// Which values are randomised at a particle's birth (VTParticleSystemDesc::randomFlags).
namespace VTParticleRandom {
constexpr int32_t StartSize = 1;
constexpr int32_t EndSize = 2;
constexpr int32_t StartSpeed = 4;
constexpr int32_t LifeTime = 8;
} // namespace VTParticleRandom

// Emitter shapes (VTParticleSystemDesc::emitterShape).
namespace VTParticleEmitter {
constexpr int32_t Point = 0;
constexpr int32_t Rectangle = 1;
constexpr int32_t HalfDisc = 2; // the half below the position (+y)
} // namespace VTParticleEmitter

struct VTParticleSystemDesc {
    static constexpr int32_t kMaxKeys = 8;

    std::string textA, textB;   // carried along, never read by the system
    std::string textureName;    // the particle image's name in the texture catalogue
    int32_t keyCount = 0;       // colour keys in use: 0 (plain white) or 2 to kMaxKeys
    std::array<VTColorAgeKey, kMaxKeys> keys{}; // ascending by age
    float emissionRate = 0.0f;  // particles per second
    float startSpeed = 0.0f;    // pixels per second at birth
    float startSize = 0.0f;     // size factor at birth (1.0: the image's own size)
    float endSize = 0.0f;       // size factor at the end of life
    float lifeTime = 0.0f;      // seconds
    int32_t emitterShape = VTParticleEmitter::Point;
    float rectWidth = 0.0f, rectHeight = 0.0f; // rectangular emitter
    float radius = 0.0f;        // half-disc emitter
    float positionX = 0.0f, positionY = 0.0f;  // emitter position
    double driftX = 0.0, driftY = 0.0;         // constant drift, pixels per second
    float baseAngle = 0.0f;     // direction of emission in degrees, 0 = straight down (+y)
    float angleSpread = 0.0f;   // width of the emission cone in degrees
    float frictionTime = 0.0f;  // seconds over which the start speed decays linearly to 0
    float randomFactor = 0.0f;  // relative randomisation of the flagged values
    int32_t randomFlags = 0;    // VTParticleRandom bits
    int32_t capacity = 0;       // the most live particles; computed by the system's setup

    // The descriptor a script's CreatePS starts from: white keys at 0.0 and 1.01, 30 per second, speed
    // 400, size 0.3 to 1.2 over 1 s, point emitter at (800, 500), drift (0, 20), full circle, friction
    // 1.3 s, random factor 0.5 on all four values.
    static VTParticleSystemDesc ScriptDefaults(const std::string& textureName);

    // Replaces the colour keys (a script's "age_clr"): sorted by ascending age, the last one's age set to
    // 1.01; an empty list leaves no keys. More than kMaxKeys keys are refused: false, nothing changed.
    bool SetAgeColors(std::vector<VTColorAgeKey> keys);
};
