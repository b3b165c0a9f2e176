// The smooth stretch's filter: a two-pass area-weighted resampling (weights out of 257, each cell
// divided by the total weight it received), delivered one destination row at a time so callers
// composite it where they draw. Internal to framework/graphics.
#pragma once
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <functional>

namespace Fw::detail {

// Row j (0 .. r.height - 1) of the clipped destination r: avg[i] for column r.x + i is the cell's
// weighted average as straight 0xAARRGGBB, or 0 where the cell gets nothing (no weight or alpha 0).
using SmoothRowSink = std::function<void(int32_t j, const uint32_t* avg)>;

// Source pixels sbits (rows srcWidth apart); taps are clamped into s (the source rectangle inside
// the image); r and sd are the clipped destination and its source area (StretchClip). Enlarging on
// both axes takes a two-tap path, other scales (shrinks) one over taps grouped per pixel, with the
// same results as the general filter; the taps are kept per thread between equal stretches.
void SmoothStretchRows(const uint32_t* sbits, int32_t srcWidth, const Rect& s, const Rect& r, const DRect& sd,
                       const SmoothRowSink& sink);
// The general filter alone (any scale), which the faster paths must match.
void SmoothStretchRowsGeneral(const uint32_t* sbits, int32_t srcWidth, const Rect& s, const Rect& r,
                              const DRect& sd, const SmoothRowSink& sink);

} // namespace Fw::detail
