// Table of SDL key codes to virtual-key codes; letters and digits map to their upper-case ASCII code.
#include "platform/sdl/SdlKeyMap.h"
#include "platform/WindowMessages.h"

namespace Platform {

uint32_t SdlKeyToVirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<uint32_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return Vk::F1 + static_cast<uint32_t>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return Vk::Numpad0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return Vk::Back;
    case SDLK_TAB: return Vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Vk::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return Vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return Vk::Control;
    case SDLK_LALT:
    case SDLK_RALT: return Vk::Menu;
    case SDLK_PAUSE: return Vk::Pause;
    case SDLK_CAPSLOCK: return Vk::Capital;
    case SDLK_ESCAPE: return Vk::Escape;
    case SDLK_SPACE: return Vk::Space;
    case SDLK_PAGEUP: return Vk::Prior;
    case SDLK_PAGEDOWN: return Vk::Next;
    case SDLK_END: return Vk::End;
    case SDLK_HOME: return Vk::Home;
    case SDLK_LEFT: return Vk::Left;
    case SDLK_UP: return Vk::Up;
    case SDLK_RIGHT: return Vk::Right;
    case SDLK_DOWN: return Vk::Down;
    case SDLK_PRINTSCREEN: return Vk::Snapshot;
    case SDLK_INSERT: return Vk::Insert;
    case SDLK_DELETE: return Vk::Delete;
    case SDLK_KP_0: return Vk::Numpad0;
    case SDLK_KP_MULTIPLY: return Vk::Multiply;
    case SDLK_KP_PLUS: return Vk::Add;
    case SDLK_KP_MINUS: return Vk::Subtract;
    case SDLK_KP_PERIOD: return Vk::Decimal;
    case SDLK_KP_DIVIDE: return Vk::Divide;
    case SDLK_NUMLOCKCLEAR: return Vk::NumLock;
    case SDLK_SCROLLLOCK: return Vk::Scroll;
    case SDLK_SEMICOLON: return Vk::Oem1;
    case SDLK_EQUALS: return Vk::OemPlus;
    case SDLK_COMMA: return Vk::OemComma;
    case SDLK_MINUS: return Vk::OemMinus;
    case SDLK_PERIOD: return Vk::OemPeriod;
    case SDLK_SLASH: return Vk::Oem2;
    case SDLK_BACKQUOTE: return Vk::Oem3;
    case SDLK_LEFTBRACKET: return Vk::Oem4;
    case SDLK_BACKSLASH: return Vk::Oem5;
    case SDLK_RIGHTBRACKET: return Vk::Oem6;
    case SDLK_QUOTE: return Vk::Oem7;
    default: return 0;
    }
}

} // namespace Platform
