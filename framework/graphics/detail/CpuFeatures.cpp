// Processor features, asked once (see CpuFeatures.h).
#include "framework/graphics/detail/CpuFeatures.h"

#if defined(FW_HAS_AVX2_FORMS)
#include <cpuid.h>
#endif

namespace Fw::detail {

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

bool CpuHasFastStringMove()
{
#if defined(FW_HAS_AVX2_FORMS)
    // Leaf 7, EBX bit 9.
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && ((b >> 9) & 1) != 0;
    }();
    return has;
#else
    return false;
#endif
}

} // namespace Fw::detail
