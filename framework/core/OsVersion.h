// The two operating-system version tests the code branches on, answered for this platform: it is
// never the Windows 9x family and always has the newer per-user folders.
#pragma once

namespace Fw {

constexpr bool IsWin9x()
{
    return false;
}
constexpr bool IsVistaOrLater()
{
    return true;
}

} // namespace Fw
