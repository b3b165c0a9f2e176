// What the processor offers beyond the SSE2 baseline, asked once. Kernels with a wider form choose
// it at run time only where it gives the same bits. Internal to framework/graphics.
#pragma once
#include <atomic>

#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
// Functions built with this attribute may use AVX2; call them only when CpuHasAvx2() holds.
#define FW_HAS_AVX2_FORMS 1
#define FW_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace Fw::detail {

// Whether the processor runs AVX2 (false where no AVX2 forms are built).
bool CpuHasAvx2();

// Whether the kernels take their AVX2 forms: CpuHasAvx2() unless tests turned them off (false,
// the SSE2 forms, until set as the program starts). Read on every span: one relaxed load.
extern std::atomic<bool> gAvx2Forms;
inline bool Avx2FormsOn()
{
    return gAvx2Forms.load(std::memory_order_relaxed);
}
// Lets tests run the SSE2 forms on a processor with AVX2 (false), or go back to the default (true).
void AllowAvx2Forms(bool allowed);

} // namespace Fw::detail
