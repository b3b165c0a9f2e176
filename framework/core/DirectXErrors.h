// Names of the DirectDraw, Direct3D and DirectSound result codes the display and renderer report.
#pragma once
#include <cstdint>
#include <string>

namespace Fw {

// The symbol of a known result code ("DDERR_SURFACELOST"); for any other code (0 included) its
// value in lower-case hexadecimal without prefix ("887601c2").
std::string GetDirectXErrorName(uint32_t code);

} // namespace Fw
