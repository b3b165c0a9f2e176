#include "engine/core/FrameSeconds.h"

float gFrameSeconds = 0.0f;
