#include "framework/core/Ratio.h"

namespace Fw {

void Ratio::Set(int32_t n, int32_t d)
{
    int64_t a = n, b = d;
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    if (a == 0) {
        numerator = n;
        denominator = d;
        return;
    }
    numerator = int32_t(n / a);
    denominator = int32_t(d / a);
}

} // namespace Fw
