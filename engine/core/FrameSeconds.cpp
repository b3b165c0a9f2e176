#include "engine/boards/FrameSeconds.h"

float gFrameSeconds = 0.0f;
