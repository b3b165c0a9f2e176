// Processor features, asked once (see CpuFeatures.h).
#include "framework/graphics/detail/CpuFeatures.h"

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

} // namespace Fw::detail
