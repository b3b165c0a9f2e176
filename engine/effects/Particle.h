// One live particle of a particle system, taken from the system's pool.
#pragma once
#include "framework/graphics/Color.h"

#include <cstdint>

struct VTParticle {
    double x = 0.0, y = 0.0; // position
    float age = 0.0f;        // seconds
    Fw::Color color;
    float size = 0.0f;       // size factor
    int32_t keyIndex = 0;    // the colour key reached so far
    float startSize = 0.0f, endSize = 0.0f, lifeTime = 0.0f; // randomised at birth
    double directionX = 0.0, directionY = 0.0;                // -sin and cos of the emission angle
    float startSpeed = 0.0f;                                  // randomised at birth
    float frictionLeft = 0.0f;                                // seconds
};
