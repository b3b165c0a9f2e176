// The triangle fillers, written once as templates over the destination format (PixelMath.h
// traits) and the slot's flags; the table instantiates one per slot and format, so no flag is
// tested per pixel. Internal to the rasterizer: other folders go through RasterizePolygon.
//
// Slot bits: 16 textured, 8 blend, 4 vertex colour, 2 draw colour (not white), 1 bilinear.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "framework/rasterizer/PixelMath.h"
#include "framework/rasterizer/RasterTypes.h"
#include "framework/rasterizer/TextureSampler.h"
#include "framework/rasterizer/TriangleWalk.h"

namespace Fw::raster {

template <class Fmt>
inline std::ptrdiff_t RowBytes(int32_t pitch)
{
    // Any remainder of the pitch is dropped: (pitch >> 2) pixels of 4 bytes, (pitch >> 1) of 2.
    return std::ptrdiff_t(pitch >> Fmt::kPitchShift) * std::ptrdiff_t(sizeof(typename Fmt::Pixel));
}

// ---------------------------------------------------------------------------------------------
// Untextured fillers: colour and alpha from the vertex colours, optionally times the draw colour.

template <class Fmt>
inline void UntexturedPixel(typename Fmt::Pixel& px, uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    const uint32_t alpha = ClampChannel(a);
    if (alpha <= 0x80000u) // 8.0 or less: untouched
        return;
    r = ClampChannel(r);
    g = ClampChannel(g);
    b = ClampChannel(b);
    const uint32_t rgb = (r & 0xFF0000u) | ((g >> 8) & 0xFF00u) | (b >> 16);
    if (alpha > 0xF00000u) {
        px = Fmt::Opaque(rgb);
        return;
    }
    const uint32_t sa = alpha >> 16; // 8..240
    if constexpr (std::is_same_v<Fmt, Format8888>)
        px = BlendUntextured8888(px, r, g, b, sa);
    else
        px = Fmt::BlendPremul(px, ScaleRgb(rgb, sa), sa);
}

template <class Fmt, bool Modulated>
void UntexturedFiller(const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                      int32_t pitch, const RasterTexture&, const RasterColor& colour)
{
    WalkVertex<4> w[3];
    const RasterVertex* in[3] = {&v0, &v1, &v2};
    for (int i = 0; i < 3; ++i) {
        w[i] = {in[i]->x, in[i]->y, {in[i]->a, in[i]->r, in[i]->g, in[i]->b}};
        if constexpr (Modulated) {
            // Modulate copies: the caller's records serve further triangles of a fan.
            const int32_t factor[4] = {colour.alpha, colour.red, colour.green, colour.blue};
            for (int c = 0; c < 4; ++c)
                w[i].k[c] = int32_t((uint32_t(w[i].k[c]) * uint32_t(factor[c])) >> 8);
        }
    }
    WalkTriangle<4>(w[0], w[1], w[2], bits, RowBytes<Fmt>(pitch),
                    [](unsigned char* row, int32_t x, int32_t n, const uint32_t* s, const uint32_t* d) {
                        auto* px = reinterpret_cast<typename Fmt::Pixel*>(row) + x;
                        uint32_t a = s[0], r = s[1], g = s[2], b = s[3];
                        for (int32_t i = 0; i < n; ++i) {
                            UntexturedPixel<Fmt>(px[i], a, r, g, b);
                            a += d[0];
                            r += d[1];
                            g += d[2];
                            b += d[3];
                        }
                    });
}

// ---------------------------------------------------------------------------------------------
// Textured fillers. Channels: u, v, and a, r, g, b when the slot has vertex colours.

template <int Slot>
struct SlotFlags {
    static constexpr bool kBlend = (Slot & 8) != 0;
    static constexpr bool kVertexColour = (Slot & 4) != 0;
    static constexpr bool kDrawColour = (Slot & 2) != 0;
    static constexpr bool kBilinear = (Slot & 1) != 0;
    static constexpr bool kModulated = kVertexColour || kDrawColour;
};

// The modulation factors of one pixel, 0..255 each.
struct Factors {
    uint32_t a, r, g, b;
};

template <int Slot>
inline Factors PixelFactors(const RasterColor& c, uint32_t va, uint32_t vr, uint32_t vg, uint32_t vb)
{
    using F = SlotFlags<Slot>;
    if constexpr (F::kVertexColour && F::kDrawColour) {
        // The draw colour enters once, keeping the fraction of the interpolated channel.
        return {(uint32_t(c.alpha) * ClampChannel(va)) >> 24, (uint32_t(c.red) * ClampChannel(vr)) >> 24,
                (uint32_t(c.green) * ClampChannel(vg)) >> 24, (uint32_t(c.blue) * ClampChannel(vb)) >> 24};
    } else if constexpr (F::kVertexColour) {
        return {ClampChannel(va) >> 16, ClampChannel(vr) >> 16, ClampChannel(vg) >> 16, ClampChannel(vb) >> 16};
    } else {
        return {uint32_t(c.alpha), uint32_t(c.red), uint32_t(c.green), uint32_t(c.blue)};
    }
}

template <class Fmt, int Slot, bool Checked>
inline void TexturedPixel(typename Fmt::Pixel& px, const RasterTexture& tex, const RasterColor& colour, uint32_t u,
                          uint32_t v, uint32_t va, uint32_t vr, uint32_t vg, uint32_t vb)
{
    using F = SlotFlags<Slot>;
    Factors f{};
    if constexpr (F::kModulated)
        f = PixelFactors<Slot>(colour, va, vr, vg, vb);

    if constexpr (!F::kBilinear) {
        const uint32_t texel = FetchNearest<Checked>(tex, u, v);
        if constexpr (Slot == 16) {
            px = Fmt::Opaque(texel & 0xFFFFFFu); // the texel's alpha plays no part
            return;
        }
        uint32_t a;
        if constexpr (F::kBlend) {
            const uint32_t ta = texel >> 24;
            if (ta <= 8)
                return;
            a = F::kModulated ? (f.a * ta) >> 8 : ta;
        } else {
            a = (f.a * 255) >> 8;
        }
        const uint32_t s = F::kModulated ? ModulateRgb(texel, f.r, f.g, f.b) : (texel & 0xFFFFFFu);
        px = a >= 240 ? Fmt::Opaque(s) : Fmt::BlendPremul(px, ScaleRgb(s, a), a);
    } else {
        const BilinearSample sample = SampleBilinear<Checked>(tex, u, v);
        if constexpr (Slot == 17) {
            px = Fmt::Opaque(sample.rgb); // no alpha test: transparent texels show as black
            return;
        }
        if constexpr (F::kBlend) {
            if (sample.coverage <= 8)
                return;
        }
        // The sample is premultiplied already, so the source term is P itself.
        const uint32_t p = F::kModulated ? ScaleRgb(ModulateRgb(sample.rgb, f.r, f.g, f.b), f.a) : sample.rgb;
        uint32_t a;
        if constexpr (F::kBlend)
            a = F::kModulated ? (f.a * sample.coverage) >> 8 : sample.coverage;
        else
            a = (f.a * 255) >> 8;
        px = a >= 240 ? Fmt::Opaque(p) : Fmt::BlendPremul(px, p, a);
    }
}

template <class Fmt, int Slot, bool Checked>
inline void TexturedSpan(typename Fmt::Pixel* px, int32_t n, const RasterTexture& t, const RasterColor& c, uint32_t u,
                         uint32_t v, uint32_t du, uint32_t dv, const uint32_t* s, const uint32_t* d)
{
    if constexpr (SlotFlags<Slot>::kVertexColour) {
        uint32_t a = s[2], r = s[3], g = s[4], b = s[5];
        const uint32_t da = d[2], dr = d[3], dg = d[4], db = d[5];
        for (int32_t i = 0; i < n; ++i) {
            TexturedPixel<Fmt, Slot, Checked>(px[i], t, c, u, v, a, r, g, b);
            u += du;
            v += dv;
            a += da;
            r += dr;
            g += dg;
            b += db;
        }
    } else {
        for (int32_t i = 0; i < n; ++i) {
            TexturedPixel<Fmt, Slot, Checked>(px[i], t, c, u, v, 0, 0, 0, 0);
            u += du;
            v += dv;
        }
    }
}

template <class Fmt, int Slot>
void TexturedFiller(const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                    int32_t pitch, const RasterTexture& tex, const RasterColor& colour)
{
    using F = SlotFlags<Slot>;
    constexpr int N = F::kVertexColour ? 6 : 2;
    WalkVertex<N> w[3];
    const RasterVertex* in[3] = {&v0, &v1, &v2};
    for (int i = 0; i < 3; ++i) {
        w[i].x = in[i]->x;
        w[i].y = in[i]->y;
        w[i].k[0] = in[i]->u;
        w[i].k[1] = in[i]->v;
        if constexpr (F::kVertexColour) {
            w[i].k[2] = in[i]->a;
            w[i].k[3] = in[i]->r;
            w[i].k[4] = in[i]->g;
            w[i].k[5] = in[i]->b;
        }
    }
    WalkTriangle<N>(w[0], w[1], w[2], bits, RowBytes<Fmt>(pitch),
                    [&tex, &colour](unsigned char* row, int32_t x, int32_t n, const uint32_t* s, const uint32_t* d) {
                        // Local copies: the destination stores could otherwise alias them and
                        // force a reload of every field per pixel.
                        const RasterTexture t = tex;
                        const RasterColor c = colour;
                        auto* px = reinterpret_cast<typename Fmt::Pixel*>(row) + x;
                        // Bilinear samples are taken half a texel back, once per span.
                        const uint32_t half = F::kBilinear ? 0x8000u : 0u;
                        uint32_t u = s[0] - half, v = s[1] - half;
                        const uint32_t du = d[0], dv = d[1];
                        const bool inside = F::kBilinear ? BilinearSpanInside(t, u, v, du, dv, n)
                                                         : NearestSpanInside(t, u, v, du, dv, n);
                        if (inside)
                            TexturedSpan<Fmt, Slot, false>(px, n, t, c, u, v, du, dv, s, d);
                        else
                            TexturedSpan<Fmt, Slot, true>(px, n, t, c, u, v, du, dv, s, d);
                    });
}

// Serves the untextured slots without vertex colours: such a triangle is never drawn.
inline void NullTriangleRasterizer(const RasterVertex&, const RasterVertex&, const RasterVertex&, void*, int32_t,
                                   const RasterTexture&, const RasterColor&)
{
}

} // namespace Fw::raster
