// A fraction kept reduced (display aspect ratios); 1/1 by default.
#pragma once
#include <cstdint>

namespace Fw {

struct Ratio {
    int32_t numerator = 1;
    int32_t denominator = 1;

    Ratio() = default;
    Ratio(int32_t n, int32_t d) { Set(n, d); }

    // Stores n/d divided by their greatest common divisor (its sign follows C's remainder, so 4/-6
    // becomes -2/3). 0/0 has no divisor and is stored as it stands.
    void Set(int32_t n, int32_t d);

    bool operator==(const Ratio&) const = default;
};

} // namespace Fw
