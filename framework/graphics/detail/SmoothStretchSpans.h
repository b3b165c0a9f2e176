// Span kernels that composite the smooth stretch's filtered rows (straight 0xAARRGGBB averages,
// 0 where a cell is clear; see SmoothStretch.h) onto their destinations, each with a Scalar twin
// holding the rule that the tests compare it with. Internal to framework/graphics.
#pragma once
#include <cstdint>

namespace Fw::detail {

// Memory-image destination: where a = avg >> 24 is not 0, each channel (c * a >> 8) +
// (d * (256 - a) >> 8) and alpha da + (255 - da) * a / 255.
void SmoothOverSpan(uint32_t* d, const uint32_t* avg, int32_t n);
void SmoothOverSpanScalar(uint32_t* d, const uint32_t* avg, int32_t n);

// The premultiplied X888 native words a surface blit takes from a temporary image the average
// was composited into over transparent black (channel c * a >> 8) and unpremultiplied
// (u = ceil(that * 256 / a), at most 255): a << 24 | each channel u * (a + 1) >> 8; 0 for a = 0.
void SmoothNativeX888Span(uint32_t* d, const uint32_t* avg, int32_t n);
void SmoothNativeX888SpanScalar(uint32_t* d, const uint32_t* avg, int32_t n);

// The X888 surface blend of those native words (SurfaceOverSpan32) in the same pass.
void SmoothOverX888Span(uint32_t* d, const uint32_t* avg, int32_t n);
void SmoothOverX888SpanScalar(uint32_t* d, const uint32_t* avg, int32_t n);

// The 565 surface blend of such X888 native words: where a = s >> 24 is not 0, the 565 word of
// s's channels (red >> 3, green >> 2, blue >> 3) is added to each destination field times
// ((256 - a) >> 3) >> 5, in 16 bits.
void SmoothOver565Span(uint16_t* d, const uint32_t* s, int32_t n);
void SmoothOver565SpanScalar(uint16_t* d, const uint32_t* s, int32_t n);

} // namespace Fw::detail
