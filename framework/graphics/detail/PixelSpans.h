// Span kernels of the hottest blit and fill loops, each computing exactly the bits of the scalar
// rule it replaces (PixelMath.h): SSE2 four pixels at a time where available, the plain loop
// otherwise and for the tail. Each kernel has a Scalar twin that the tests compare it with.
#pragma once
#include <cstdint>

namespace Fw::detail {

// d[i] = BlendOpaque(d[i], s[i], s[i] >> 24): channel (d(256-a) >> 8) + (s a >> 8), alpha 255.
void BlendOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n);
void BlendOpaqueSpanScalar(uint32_t* d, const uint32_t* s, int32_t n);

// Straight-alpha source over a destination taken as opaque, a = s[i] >> 24: a = 0 leaves d[i],
// a = 255 writes s[i], others d[i] = BlendOpaque(d[i], s[i], a). SSE2, or AVX2 where the
// processor has it: the same bits.
void OverOpaqueSpan(uint32_t* d, const uint32_t* s, int32_t n);
void OverOpaqueSpanScalar(uint32_t* d, const uint32_t* s, int32_t n);
#if defined(__SSE2__)
void OverOpaqueSpanSse2(uint32_t* d, const uint32_t* s, int32_t n);
#endif
// The AVX2 form; call only when CpuHasAvx2() holds (elsewhere it is the SSE2 form).
void OverOpaqueSpanAvx2(uint32_t* d, const uint32_t* s, int32_t n);

// d[i] = each colour channel min(d + s, 255), d's alpha kept. d may overlap s: groups of four
// in order, each reading its source after the groups before it were written.
void AddSpan(uint32_t* d, const uint32_t* s, int32_t n);
void AddSpanScalar(uint32_t* d, const uint32_t* s, int32_t n);

// d[i] = each colour channel min(d + (s * (s >> 24) >> 8), 255), d's alpha kept.
void AddAlphaSpan(uint32_t* d, const uint32_t* s, int32_t n);
void AddAlphaSpanScalar(uint32_t* d, const uint32_t* s, int32_t n);

// Fill with colour q at alpha a (1..254) over d: over-compositing, where destinations of alpha
// 255 take channel (d(256-a) + q a) >> 8 and stay opaque.
void FillOverSpan(uint32_t* d, int32_t n, uint32_t q, uint32_t a);
void FillOverSpanScalar(uint32_t* d, int32_t n, uint32_t q, uint32_t a);

// Colourised normal blit: a = (s >> 24) * ca / 255; when a > 0, the source modulated per channel
// (s * colour >> 8) is over-composited with alpha a (channels r, g, b, ca in 0..255).
void ModulateOverSpan(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b, uint32_t ca);
void ModulateOverSpanScalar(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b,
                            uint32_t ca);

// Nearest-pixel row onto a destination that may be translucent: p = row[cols[i]]; where
// a = p >> 24 is not 0, d[i] = OverFast(d[i], p, a) (opaque destinations: channel
// (d (256 - a) + p a) >> 8, alpha 255). SSE2, or AVX2 where the processor has it: the same bits.
void OverSpanGather(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n);
void OverSpanGatherScalar(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n);
#if defined(__SSE2__)
void OverSpanGatherSse2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n);
#endif
// The AVX2 form; call only when CpuHasAvx2() holds (elsewhere it is the SSE2 form).
void OverSpanGatherAvx2(uint32_t* d, const uint32_t* row, const int32_t* cols, int32_t n);

// X888 surface words (colour in the low three bytes; sources premultiplied with their alpha in the
// top byte). Over: where a = s[i] >> 24 is not 0, d[i] = (each colour channel d * (256 - a) >> 8,
// top byte 0) + s[i] as one 32-bit sum (the surface blend's pixel; a = 255 gives s[i]).
// SSE2, or AVX2 (SurfaceSpans.h) where the processor has it: the same bits.
void SurfaceOverSpan32(uint32_t* d, const uint32_t* s, int32_t n);
void SurfaceOverSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n);
#if defined(__SSE2__)
void SurfaceOverSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n);
#endif

// X888 additive: where s[i]'s colour is not 0, each colour channel min(d + (s * f >> 8), 255)
// with top byte 0; f per channel (fr, fg, fb), or the source channel itself when modulate is false.
// SSE2, or AVX2 (SurfaceSpans.h) where the processor has it: the same bits.
void SurfaceAddSpan32(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                      uint32_t fb);
void SurfaceAddSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                            uint32_t fb);
#if defined(__SSE2__)
void SurfaceAddSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n, bool modulate, uint32_t fr, uint32_t fg,
                          uint32_t fb);
#endif

// Premultiplied X888 native words of 0xAARRGGBB pixels: alpha a kept in the top byte, each colour
// channel c * (a + 1) >> 8 (MemoryImage::GetNativeAlphaData's form for that display format).
void NativeX888Span(uint32_t* d, const uint32_t* s, int32_t n);
void NativeX888SpanScalar(uint32_t* d, const uint32_t* s, int32_t n);

// X888 colour-modulated blend of premultiplied native words, f per channel (fr, fg, fb) and colour
// alpha ca: where a = s[i] >> 24 is not 0, each colour channel sum_c = d * (256 - a * ca / 255) +
// s * f, and (sum_c >> 8) & 0xFF with top byte 0; pixels of alpha 255 under ca 255 drop the
// destination term. blueCarry: red's sum also takes blue's bit 16 (red and blue summed in one word).
// SSE2, or AVX2 (SurfaceSpans.h) where the processor has it: the same bits.
void SurfaceModulateSpan32(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                           uint32_t ca, bool blueCarry);
void SurfaceModulateSpan32Scalar(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                                 uint32_t ca, bool blueCarry);
#if defined(__SSE2__)
void SurfaceModulateSpan32Sse2(uint32_t* d, const uint32_t* s, int32_t n, uint32_t fr, uint32_t fg, uint32_t fb,
                               uint32_t ca, bool blueCarry);
#endif

} // namespace Fw::detail
