// Where a windowed main window goes: at a preferred position kept inside the work area with a
// 4-pixel margin, or (no preference) centred horizontally with 38.2 % of the free height above it.
#pragma once
#include "framework/core/Point.h"
#include "platform/WindowSystem.h"

namespace Fw {

// workArea: usable desktop; outerWidth/outerHeight: window size with its frame; preferred (-1, y)
// means none. Returns the outer top-left corner.
Point PlaceMainWindow(const Platform::IntRect& workArea, int32_t outerWidth, int32_t outerHeight,
                      int32_t preferredX, int32_t preferredY);

} // namespace Fw
