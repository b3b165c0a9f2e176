// Translation of SDL key codes into the framework's virtual-key codes.
#pragma once
#include <SDL.h>
#include <cstdint>

namespace Platform {

// 0 when the key has no virtual-key code.
uint32_t SdlKeyToVirtualKey(SDL_Keycode key);

} // namespace Platform
