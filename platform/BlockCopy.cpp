// Block copies (see BlockCopy.h).
#include "platform/BlockCopy.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#define PLATFORM_HAS_STRING_MOVE 1
#endif

namespace Platform {

namespace {

#if defined(PLATFORM_HAS_STRING_MOVE)
// Leaf 7, EBX bit 9: enhanced rep movsb.
bool HasFastStringMove()
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && ((b >> 9) & 1) != 0;
    }();
    return has;
}
#endif

} // namespace

void CopyBlock(void* d, const void* s, size_t n)
{
#if defined(PLATFORM_HAS_STRING_MOVE)
    if (HasFastStringMove()) {
        asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(n) : : "memory");
        return;
    }
#endif
    std::memcpy(d, s, n);
}

} // namespace Platform
