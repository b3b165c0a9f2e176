// Surface-image rotated and mirrored blits. The rotated blit maps each destination pixel back
// into the source in 16.16 fixed point and filters four taps bilinearly; its pixel loops are
// instantiated per source kind (bits or palette), destination pixel size and pixel rule, chosen
// once per call. Span set-up and bounds are shared with the memory image (BlitGeometry).
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Renderer3D.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfaceLock.h"

#include <memory>
#include <vector>

namespace Fw {

using namespace detail;

namespace {

// Filtered taps of one destination pixel. With fx = (u & 0xFFFE) + 1, fy likewise, the weights
// w00 = ((65536 - fx)(65536 - fy)) >> 16, w10 = (fx (65536 - fy)) >> 16, w01 = ((65536 - fx) fy) >> 16,
// w11 = (fx fy) >> 16 stay below 65536; coverage a = (w * alpha) >> 16 (0..254), times the colour
// alpha >> 8 when the colour modulates a normal blit. D = 256 - sum of a; the channel sums
// Sb = sum of (p & 0xFF) a, Sg = sum of (p & 0xFF00) a, Sr = sum of (p & 0xFF0000) a fit in 32 bits.
struct Sums {
    uint32_t D, Sb, Sg, Sr;
};

template <bool ColourAlpha>
inline Sums Filter(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, int32_t u, int32_t v, uint32_t colA)
{
    const uint32_t fx = (uint32_t(u) & 0xFFFE) + 1, fy = (uint32_t(v) & 0xFFFE) + 1;
    const uint32_t gx = 65536 - fx, gy = 65536 - fy;
    const uint32_t p[4] = {p00, p10, p01, p11};
    const uint32_t w[4] = {(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
    Sums s{256, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        uint32_t a = (w[k] * (p[k] >> 24)) >> 16;
        if (ColourAlpha)
            a = (a * colA) >> 8;
        s.D -= a;
        s.Sb += (p[k] & 0xFFu) * a;
        s.Sg += (p[k] & 0xFF00u) * a;
        s.Sr += (p[k] & 0xFF0000u) * a;
    }
    return s;
}

// Pixel rules of the rotated blit (see the data model of the sums above).
struct Rule565 {
    uint32_t operator()(uint32_t d, const Sums& s) const
    {
        const uint32_t x = ((((s.D >> 3) * Spread(d, kSpread565)) >> 5) & kSpread565) + (((s.Sr >> 24) >> 3) << 11) +
                           (((s.Sg >> 16) >> 2) << 21) + ((s.Sb >> 8) >> 3);
        return Fold(x);
    }
};
struct Rule555 {
    uint32_t operator()(uint32_t d, const Sums& s) const
    {
        const uint32_t x = ((((s.D >> 3) * Spread(d, kSpread555)) >> 5) & kSpread555) + (((s.Sr >> 24) >> 3) << 10) +
                           (((s.Sg >> 16) >> 3) << 21) + ((s.Sb >> 8) >> 3);
        return Fold(x);
    }
};
// Each 8-bit channel: (source + ((d_channel * D) >> 8)) & 0xFF; the top byte becomes 0.
struct RuleDirect32 {
    uint32_t operator()(uint32_t d, const Sums& s) const
    {
        const uint32_t b = ((s.Sb >> 8) + (((d & 0xFF) * s.D) >> 8)) & 0xFF;
        const uint32_t g = ((s.Sg >> 16) + ((((d >> 8) & 0xFF) * s.D) >> 8)) & 0xFF;
        const uint32_t r = ((s.Sr >> 24) + ((((d >> 16) & 0xFF) * s.D) >> 8)) & 0xFF;
        return (r << 16) | (g << 8) | b;
    }
};
// Per channel c: source (S_c >> (k_c - n_c)) << s_c, k = 32 / 24 / 16 for red / green / blue,
// colourised ((((S_c >> 8) * (colour_c + 1)) >> (k_c - n_c)) << s_c); plus the destination part
// (((d & m_c) * D) >> 8) & m_c. Bits outside the masks become 0.
template <bool Colourised>
struct RuleGeneric {
    uint32_t m[3];
    int32_t sh[3], drop[3]; // shift s_c, and k_c - n_c
    uint32_t col[3];        // colour_c + 1
    uint32_t operator()(uint32_t d, const Sums& s) const
    {
        const uint32_t S[3] = {s.Sr, s.Sg, s.Sb};
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k) {
            const uint32_t src = Colourised ? uint32_t((uint64_t(S[k] >> 8) * col[k]) >> drop[k]) : S[k] >> drop[k];
            out |= (src << sh[k]) + (uint32_t((uint64_t(d & m[k]) * s.D) >> 8) & m[k]);
        }
        return out;
    }
};
// Additive: f_c = colour_c * alpha / 255; i_r = (((Sr >> (32 - n_r)) * f_r) >> 8) + d_r,
// i_g = ((Sg * f_g) >> (32 - n_g)) + d_g, i_b = ((Sb * f_b) >> (24 - n_b)) + d_b; result
// OR of T_c[i_c] << s_c.
struct RuleAdd {
    uint32_t m[3], f[3];
    int32_t sh[3], n[3];
    const int32_t* t[3];
    uint32_t operator()(uint32_t d, const Sums& s) const
    {
        const uint32_t ir = (((s.Sr >> (32 - n[0])) * f[0]) >> 8) + ((d & m[0]) >> sh[0]);
        const uint32_t ig = ((s.Sg * f[1]) >> (32 - n[1])) + ((d & m[1]) >> sh[1]);
        const uint32_t ib = ((s.Sb * f[2]) >> (24 - n[2])) + ((d & m[2]) >> sh[2]);
        return (uint32_t(t[0][ir]) << sh[0]) | (uint32_t(t[1][ig]) << sh[1]) | (uint32_t(t[2][ib]) << sh[2]);
    }
};

// Source pixels: 32-bit bits, or colour indices through the colour table.
struct BitsSource {
    const uint32_t* origin;
    int32_t stride;
    uint32_t at(size_t k) const { return origin[k]; }
};
struct PaletteSource {
    const uint8_t* origin;
    const uint32_t* table;
    int32_t stride;
    uint32_t at(size_t k) const { return table[origin[k]]; }
};

template <class P, bool ColourAlpha, class Src, class Rule>
void RotateRows(const SurfaceView& view, const RotatedSpans& spans, const Src& src, uint32_t colA, const Rule& rule)
{
    const int32_t du = spans.stepU(), dv = spans.stepV();
    const size_t stride = size_t(src.stride);
    for (int32_t r = 0; spans.HasRow(r); ++r) {
        RotatedSpans::Span sp;
        if (!spans.RowSpan(r, sp))
            continue;
        P* d = view.Row<P>(spans.firstY() + r) + (spans.firstX() + sp.first);
        int32_t u = sp.u, v = sp.v;
        for (int32_t k = sp.first; k <= sp.last; ++k, ++d, u += du, v += dv) {
            const size_t at = size_t(v >> 16) * stride + size_t(u >> 16);
            const Sums s = Filter<ColourAlpha>(src.at(at), src.at(at + 1), src.at(at + stride),
                                               src.at(at + stride + 1), u, v, colA);
            *d = P(rule(uint32_t(*d), s));
        }
    }
}

} // namespace

void DDImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                         int32_t drawMode, double angle, float cx, float cy)
{
    if (!src)
        return;
    src->drawnFlag = true;
    if (noReadBack)
        return;
    CommitBits();
    if (Check3D()) {
        Matrix3 m;
        m.Translate(-cx, -cy);
        m.RotateRad(float(angle));
        m.Translate(x + cx, y + cy);
        GetRenderer()->BltTransformed(src, &clip, color, drawMode, srcRect, m, true, 0.0f, 0.0f, nullptr);
        return;
    }
    if (drawToBits || hasAlpha || (hasTrans && !colorKeyWanted) || !GetDisplay() || GetDisplay()->Is3D()) {
        MemoryImage::BltRotated(src, x, y, srcRect, clip, color, drawMode, angle, cx, cy);
        return;
    }
    DRect bounds;
    if (!RotatedBounds(x, y, srcRect, clip.Intersection(Rect(0, 0, width, height)), angle, cx, cy, bounds))
        return;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteMemoryData();
        return;
    }
    // Every tap must lie inside the source image, not only inside the rectangle.
    if (srcRect.Intersection(Rect(0, 0, source->width, source->height)) != srcRect)
        return;
    source->CommitBits();
    const bool palette = source->colorTable && source->colorIndices;
    const size_t start = size_t(srcRect.y) * size_t(source->width) + size_t(srcRect.x);
    const uint32_t* bitsPtr = palette ? nullptr : source->GetBits();
    if (!palette && !bitsPtr)
        return;
    const RotatedSpans spans(x, y, srcRect, angle, cx, cy, bounds);

    {
        SurfaceLock lock(*this);
        if (!lock.Locked())
            return; // memory copies kept
        if (lock.Ok()) {
            const SurfaceView& v = lock.View();
            const NativeDisplay& f = GetDisplay()->GetPixelFormat();
            const bool white = color == Color::White;
            const uint32_t colA = uint32_t(color.alpha);
            const bool ordered = gDisplayRGBOrdered.load(std::memory_order_relaxed);
            auto run = [&](auto* tag, auto colourAlpha, const auto& rule) {
                using P = std::remove_pointer_t<decltype(tag)>;
                constexpr bool CA = decltype(colourAlpha)::value;
                if (palette)
                    RotateRows<P, CA>(v, spans,
                                      PaletteSource{source->colorIndices.get() + start, source->colorTable.get(),
                                                    source->width},
                                      colA, rule);
                else
                    RotateRows<P, CA>(v, spans, BitsSource{bitsPtr + start, source->width}, colA, rule);
            };
            using Plain = std::false_type;
            using WithAlpha = std::true_type;
            const uint32_t masks[3] = {v.rm, v.gm, v.bm};
            const int32_t shifts[3] = {f.redShift, f.greenShift, f.blueShift};
            const int32_t nbits[3] = {f.redBits, f.greenBits, f.blueBits};
            const RuleGeneric<false> generic{{masks[0], masks[1], masks[2]},
                                             {shifts[0], shifts[1], shifts[2]},
                                             {32 - nbits[0], 24 - nbits[1], 16 - nbits[2]},
                                             {0, 0, 0}};
            const RuleGeneric<true> colourised{{masks[0], masks[1], masks[2]},
                                               {shifts[0], shifts[1], shifts[2]},
                                               {32 - nbits[0], 24 - nbits[1], 16 - nbits[2]},
                                               {uint32_t(color.red) + 1, uint32_t(color.green) + 1,
                                                uint32_t(color.blue) + 1}};
            DispatchPixel(v, [&](auto* tag) {
                using P = std::remove_pointer_t<decltype(tag)>;
                if (drawMode != DRAWMODE_NORMAL) {
                    const RuleAdd add{{masks[0], masks[1], masks[2]},
                                      {uint32_t(color.red) * colA / 255, uint32_t(color.green) * colA / 255,
                                       uint32_t(color.blue) * colA / 255},
                                      {shifts[0], shifts[1], shifts[2]},
                                      {nbits[0], nbits[1], nbits[2]},
                                      {f.redAddTable.data(), f.greenAddTable.data(), f.blueAddTable.data()}};
                    run(tag, Plain{}, add);
                } else if (!white) {
                    run(tag, WithAlpha{}, colourised);
                } else if (!ordered) {
                    run(tag, Plain{}, generic);
                } else if (sizeof(P) == 4) {
                    run(tag, Plain{}, RuleDirect32{});
                } else if (v.gm == 0x7E0) {
                    run(tag, Plain{}, Rule565{});
                } else if (v.gm == 0x3E0) {
                    run(tag, Plain{}, Rule555{});
                } else {
                    run(tag, Plain{}, generic);
                }
            });
        }
    }
    DeleteMemoryData();
}

std::unique_ptr<MemoryImage> FlippedCopy(MemoryImage& source, const Rect& srcRect, Rect& inside)
{
    inside = srcRect.Intersection(Rect(0, 0, source.width, source.height));
    if (inside.width <= 0 || inside.height <= 0)
        return nullptr;
    const bool palette = source.colorTable && source.colorIndices;
    const uint32_t* px = palette ? nullptr : source.GetBits();
    if (!palette && !px)
        return nullptr;
    std::vector<uint32_t> out(size_t(inside.width) * size_t(inside.height));
    for (int32_t y = 0; y < inside.height; ++y)
        for (int32_t x = 0; x < inside.width; ++x) {
            const size_t k = size_t(inside.y + y) * size_t(source.width) + size_t(inside.x + inside.width - 1 - x);
            out[size_t(y) * size_t(inside.width) + size_t(x)] =
                palette ? source.colorTable[source.colorIndices[k]] : px[k];
        }
    auto copy = std::make_unique<MemoryImage>(nullptr);
    copy->SetBits(out.data(), inside.width, inside.height);
    return copy;
}

void DDImage::BltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color, int32_t drawMode)
{
    if (!src)
        return;
    CommitBits();
    if (Check3D()) {
        Matrix3 m;
        m.Translate(-float(srcRect.width), 0.0f);
        m.Scale(-1.0f, 1.0f);
        m.Translate(float(x), float(y));
        GetRenderer()->BltTransformed(src, nullptr, color, drawMode, srcRect, m, false, 0.0f, 0.0f, nullptr);
        return;
    }
    if (!DrawsOnSurface()) {
        // Transparency or alpha live only in the bits: draw the flipped source there.
        auto* source = dynamic_cast<MemoryImage*>(src);
        if (source && (drawMode == DRAWMODE_NORMAL || drawMode == DRAWMODE_ADDITIVE)) {
            Rect flippedRect;
            std::unique_ptr<MemoryImage> flipped = FlippedCopy(*source, srcRect, flippedRect);
            if (flipped)
                MemoryImage::Blt(flipped.get(), x + (srcRect.x + srcRect.width) - (flippedRect.x + flippedRect.width),
                                 y + flippedRect.y - srcRect.y, Rect(0, 0, flippedRect.width, flippedRect.height),
                                 color, drawMode);
        }
        return;
    }
    RunPrimitive(
        drawMode, [&] { NormalBltMirror(src, x, y, srcRect, color); },
        [&] { AdditiveBltMirror(src, x, y, srcRect, color); });
}

} // namespace Fw
