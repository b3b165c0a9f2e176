// Opacity and scale a widget draws with: its own factor times those of all its engine ancestors,
// so a dialog fades (or scales) its whole contents.
#pragma once
#include "engine/widgets/CandyWidget.h"

#include <cstdint>

// The widget's alpha times the alphas of all its engine ancestors.
float VTAccumulatedAlpha(const VTCandyWidget& widget);
// The widget's scale times the scales of all its engine ancestors.
float VTAccumulatedScale(const VTCandyWidget& widget);
// trunc(255 x VTAccumulatedAlpha), kept within 0..255.
int32_t VTDrawAlpha(const VTCandyWidget& widget);
