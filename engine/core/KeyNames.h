// Names of virtual-key codes as scripts receive them ("KeyUp" callback, edit-box twins): the
// Windows constant names without their VK_ prefix.
#pragma once
#include <cstdint>
#include <string>

// The key's name (UTF-8): a named key gives its name, 48..90 and 179..224 the one character of
// that code (U+00B3..U+00E0 for the latter), code 0 "UNKNOWN" and anything else "unknown".
std::string KeyCodeToName(int32_t code);
