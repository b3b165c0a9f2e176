// Processor features, asked once (see CpuFeatures.h).
#include "framework/graphics/detail/CpuFeatures.h"

namespace Fw::detail {

std::atomic<bool> gAvx2Forms{CpuHasAvx2()};

bool CpuHasAvx2()
{
#if defined(FW_HAS_AVX2_FORMS)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

void AllowAvx2Forms(bool allowed)
{
    gAvx2Forms.store(allowed && CpuHasAvx2(), std::memory_order_relaxed);
}

} // namespace Fw::detail
