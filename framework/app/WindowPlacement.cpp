// Window placement arithmetic.
#include "framework/app/WindowPlacement.h"

namespace Fw {

Point PlaceMainWindow(const Platform::IntRect& work, int32_t outerWidth, int32_t outerHeight, int32_t preferredX,
                      int32_t preferredY)
{
    if (preferredX == -1) {
        const int32_t x = work.left + (work.Width() - outerWidth) / 2;
        // Truncation of a negative product: 38.2 % of the free height, rounded toward the top.
        const int32_t y = work.top - static_cast<int32_t>((work.Height() - outerHeight) * -0.382);
        return Point(x, y);
    }
    int32_t x = preferredX, y = preferredY;
    if (x < work.left + 4)
        x = work.left + 4;
    if (y < work.top + 4)
        y = work.top + 4;
    if (x + outerWidth >= work.right - 4)
        x = work.right - 4 - outerWidth;
    if (y + outerHeight >= work.bottom - 4)
        y = work.bottom - 4 - outerHeight;
    return Point(x, y);
}

} // namespace Fw
