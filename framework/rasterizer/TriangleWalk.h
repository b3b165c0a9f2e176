// The triangle walk every filler shares: vertex sort, edge set-up, the two halves, row and span
// limits, interpolation of N fixed-point channels, destination addressing. A pixel (X, Y) is drawn
// when top.y <= Y < bottom.y and left edge <= X < right edge (half-open, sampled at whole numbers).
//
// Set-up products are exact (128-bit) and edge positions are tracked in 64 bits, so a flat sliver
// whose x step does not fit 32 bits (it is under one pixel high and meets at most one row) still
// gets its true first-row edges; for every triangle whose steps fit, the values equal the 32-bit
// rules bit for bit. The per-pixel channel step of a sliver narrower than 1/128 pixel saturates.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>

#include "framework/rasterizer/FixedPoint.h"

namespace Fw::raster {

template <int N>
struct WalkVertex {
    int32_t x, y;  // 16.16
    int32_t k[N];  // channels, each interpolated by the same rules
};

// Span callback: span(row, firstPixel, count, start[N], step[N]) with row the byte address of
// the row, start the channels at the first pixel, step their change per pixel (both modulo 2^32).
template <int N, class Span>
inline void WalkTriangle(const WalkVertex<N>& v0, const WalkVertex<N>& v1, const WalkVertex<N>& v2, void* bits,
                         std::ptrdiff_t rowBytes, Span&& span)
{
    const WalkVertex<N>* t = &v0;
    const WalkVertex<N>* m = &v1;
    const WalkVertex<N>* b = &v2;
    if (t->y > m->y)
        std::swap(t, m);
    if (m->y > b->y)
        std::swap(m, b);
    if (t->y > m->y)
        std::swap(t, m);

    const int64_t topRow = (int64_t(t->y) + 0xFFFF) >> 16;
    const int64_t midRow = (int64_t(m->y) + 0xFFFF) >> 16;
    const int64_t bottomRow = (int64_t(b->y) + 0xFFFF) >> 16;
    if (topRow == bottomRow)
        return;

    // Long edge, top to bottom: change per row of x and of every channel.
    const int64_t rLong = Reciprocal48(int64_t(b->y) - t->y);
    const int64_t dX = StepOf(int64_t(b->x) - t->x, rLong);
    int64_t dK[N];
    for (int i = 0; i < N; ++i)
        dK[i] = StepOf(int64_t(b->k[i]) - t->k[i], rLong);

    // The long edge at the middle vertex's height; the width there gives the per-pixel steps.
    const int64_t dyM = int64_t(m->y) - t->y;
    const int64_t xMid = t->x + MulShift16(dX, dyM);
    if (xMid == m->x)
        return;
    const int64_t rWide = Reciprocal48(int64_t(m->x) - xMid);
    int32_t dKx[N];
    for (int i = 0; i < N; ++i)
        dKx[i] = SaturateToInt32(StepOf(int64_t(m->k[i]) - (t->k[i] + MulShift16(dK[i], dyM)), rWide));

    // Long edge on the first row.
    const int64_t p = topRow * 65536 - t->y;
    int64_t xL = t->x + MulShift16(dX, p);
    int64_t kL[N];
    for (int i = 0; i < N; ++i)
        kL[i] = t->k[i] + MulShift16(dK[i], p);
    const bool longIsLeft = xMid < m->x;

    auto* row = static_cast<unsigned char*>(bits) + std::ptrdiff_t(topRow) * rowBytes;
    uint32_t start[N];
    uint32_t step[N];
    for (int i = 0; i < N; ++i)
        step[i] = uint32_t(dKx[i]);

    auto rows = [&](int64_t from, int64_t to, int64_t xS, int64_t dXs) {
        for (int64_t y = from; y < to; ++y) {
            const int64_t xl = longIsLeft ? xL : xS;
            const int64_t xr = longIsLeft ? xS : xL;
            const int64_t firstX = (xl + 0xFFFF) & ~int64_t(0xFFFF);
            const int64_t count = (((xr + 0xFFFF) & ~int64_t(0xFFFF)) - firstX) >> 16;
            if (count > 0) {
                // Channels are measured from the long edge, also when it is on the right.
                const int64_t fromLong = firstX - xL;
                for (int i = 0; i < N; ++i)
                    start[i] = uint32_t(kL[i] + MulShift16(dKx[i], fromLong));
                span(row, int32_t(firstX >> 16), int32_t(count), start, step);
            }
            xL += dX;
            xS += dXs;
            for (int i = 0; i < N; ++i)
                kL[i] += dK[i];
            row += rowBytes;
        }
    };

    if (midRow > topRow) {
        const int64_t dXs = StepOf(int64_t(m->x) - t->x, Reciprocal48(dyM));
        rows(topRow, midRow, t->x + MulShift16(dXs, p), dXs);
    }
    if (bottomRow > midRow) {
        const int64_t dXs = StepOf(int64_t(b->x) - m->x, Reciprocal48(int64_t(b->y) - m->y));
        rows(midRow, bottomRow, m->x + MulShift16(midRow * 65536 - m->y, dXs), dXs);
    }
}

} // namespace Fw::raster
