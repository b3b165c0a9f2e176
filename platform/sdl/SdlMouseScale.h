// Mouse positions of windows whose picture is scaled into them without an SDL renderer (OpenGL
// presentation): the presenter records the mode's size and the window system maps mouse events
// from window pixels into the mode's pixels, as SDL does for its renderers' logical size.
// Main thread.
#pragma once
#include "platform/WindowMessages.h"

#include <cstdint>

namespace Platform {

// The mode's size shown in window (fitted with the aspect kept, centred); 0 x 0: no scaling.
void SetWindowMouseScale(WindowId window, int32_t modeWidth, int32_t modeHeight);
// Maps a position in window pixels (client size clientWidth x clientHeight) into mode pixels.
void MapWindowMouse(WindowId window, int32_t clientWidth, int32_t clientHeight, int32_t& x, int32_t& y);

} // namespace Platform
