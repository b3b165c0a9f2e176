// Pieces the AVX2 span kernels share, inlined into each: the masked tail of a span and the row of
// an over rule. A kernel gives its step on eight pixels as a group, a callable taking the source
// and destination words. Internal to framework/graphics.
#pragma once
#include "framework/graphics/detail/CpuFeatures.h"

#if defined(FW_HAS_AVX2_FORMS)
#include <immintrin.h>

#include <cstdint>

// Compiled into the AVX2 function that calls it.
#define FW_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace Fw::detail {

// The last count (1..7) pixels of a span: masked loads (the pixels past the end read as 0) and a
// masked store, through the kernel's group step.
template <class Group>
FW_AVX2_INLINE void MaskedTail(uint32_t* d, const uint32_t* s, int32_t count, const Group& group)
{
    const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s), mask);
    const __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), mask);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(d), mask, group(sv, dv));
}

// One row of an over rule eight pixels a step: groups whose source alphas are all 0 are left
// alone, groups whose alphas are all 255 take the source words, the others go through the group
// step (which keeps the destination of its clear pixels), the tail through MaskedTail.
template <class Group>
FW_AVX2_INLINE void OverRowAvx2(uint32_t* d, const uint32_t* s, int32_t n, const Group& group)
{
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi32(-1);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        // Byte compares: the top byte of each word tells alpha 0 and alpha 255.
        if ((uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(sv, zero))) & 0x88888888u) == 0x88888888u)
            continue;
        if ((uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(sv, ones))) & 0x88888888u) == 0x88888888u) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
            continue;
        }
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), group(sv, dv));
    }
    if (i < n)
        MaskedTail(d + i, s + i, n - i, group);
}

} // namespace Fw::detail

#endif
