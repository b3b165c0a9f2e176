// The nearest stretch's X888 blended row (see NearestStretch.h).
#include "framework/graphics/detail/NearestStretch.h"

#include "framework/graphics/detail/PixelSpans.h"

namespace Fw::detail {

int32_t DoublingPhase(const int32_t* cols, int32_t n)
{
    for (int32_t phase = 0; phase < 2; ++phase) {
        int32_t i = 0;
        while (i < n && cols[i] == cols[0] + ((i + phase) >> 1))
            ++i;
        if (i == n)
            return phase;
    }
    return -1;
}

void StretchOverRowX888(uint32_t* d, int32_t width, bool mirror, const int32_t* cols, const StretchSource& src,
                        size_t base, bool gather, std::vector<uint32_t>& gathered)
{
    if (gather) {
        gathered.resize(size_t(width));
        for (int32_t i = 0; i < width; ++i)
            gathered[size_t(mirror ? width - 1 - i : i)] = src.At(base + size_t(cols[i]));
    }
    SurfaceOverSpan32(d, gathered.data(), width);
}

} // namespace Fw::detail
