// The engine's uniform random float, drawn from the engine's 15-bit generator (Fw::Rand), so
// levels and effects replay the same way when a demo seeds it.
#pragma once

// min + (max - min) x r, r = Rand() / 32767 rounded to a float: both ends can come out.
float RandomFloat(float min, float max);
