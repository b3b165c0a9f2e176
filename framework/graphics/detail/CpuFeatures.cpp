// Processor features, asked once (see CpuFeatures.h).
#include "framework/graphics/detail/CpuFeatures.h"

#include <atomic>

namespace Fw::detail {

namespace {

std::atomic<bool>& Avx2Switch()
{
    static std::atomic<bool> on{CpuHasAvx2()};
    return on;
}

} // namespace

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

bool Avx2FormsOn()
{
    return Avx2Switch().load(std::memory_order_relaxed);
}

void AllowAvx2Forms(bool allowed)
{
    Avx2Switch().store(allowed && CpuHasAvx2(), std::memory_order_relaxed);
}

} // namespace Fw::detail
