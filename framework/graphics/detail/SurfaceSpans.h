// Row kernels of the surface copies: opaque-row tests, the narrowing of native words to 16-bit
// pixels and the column gathers of the nearest stretch. SSE2 where available, each with the plain
// loop for the tail. Internal to framework/graphics.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Fw::detail {

// The AVX2 forms below give the same bits as their SSE2 forms; the spans choose them at run time
// (Avx2FormsOn, CpuFeatures.h).
// SurfaceOverSpan32 (PixelSpans.h) eight pixels at a time; call only when CpuHasAvx2() holds.
void SurfaceOverSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n);
// SurfaceOverSpan32 over h rows of w pixels, the rows dPitch and sPitch bytes apart: the kernel is
// chosen and set up once for the whole rectangle.
void SurfaceOverRect32(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int32_t w, int32_t h);
// SurfaceModulateSpan32 (PixelSpans.h) eight pixels at a time; call only when CpuHasAvx2() holds.
void SurfaceModulateSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                               uint32_t ca, bool blueCarry);
// SurfaceAddSpan32 (PixelSpans.h) eight pixels at a time; call only when CpuHasAvx2() holds.
void SurfaceAddSpan32Avx2(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                          uint32_t fb);

// Whether every word of p[0..n) has its top (alpha) byte at 255; true for n <= 0.
bool AllOpaque32(const uint32_t* p, int32_t n);

// d[i] = the low 16 bits of s[i]: native words of a 16-bit display narrowed to its pixels.
void NarrowSpan16(uint16_t* d, const uint32_t* s, int32_t n);
void NarrowSpan16Scalar(uint16_t* d, const uint32_t* s, int32_t n);

// d[i] = s[cols[i]] (narrowed to 16 bits for the 16-bit form).
void GatherSpan32(uint32_t* d, const uint32_t* s, const int32_t* cols, int32_t n);
void GatherSpan16(uint16_t* d, const uint32_t* s, const int32_t* cols, int32_t n);

// Each source word twice: d[2k] = d[2k + 1] = s[k] for 2k < n (the odd last one alone).
void DoubleSpan32(uint32_t* d, const uint32_t* s, int32_t n);
void DoubleSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n);

// X888 fill under a colour of alpha below 255: d[i] = s + (each colour channel of d times ia >> 8,
// top byte 0) as one 32-bit sum, ia = 256 - alpha.
void FillOverSpan32(uint32_t* d, int32_t n, uint32_t s, uint32_t ia);
void FillOverSpan32Scalar(uint32_t* d, int32_t n, uint32_t s, uint32_t ia);

} // namespace Fw::detail
