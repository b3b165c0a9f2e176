// Scalar reference of the triangle fillers; see ReferenceRasterizer.h.
#include "ReferenceRasterizer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace Fw::test {
namespace {

enum class Dst { A8888, X888, R565, R555 };

struct Flags {
    Dst dst;
    bool textured, blend, vc, col, bil;
};

using i128 = __int128;

int64_t Floor32(i128 v) { return int64_t(v >> 32); }
int64_t Floor16(i128 v) { return int64_t(v >> 16); }

int64_t CeilPixel(int64_t v) { return (v + 0xFFFF) >> 16; } // pixel number of ceil(v)

uint32_t Channel(uint32_t v) // interpolated 8.16 channel as used: below 0 -> 0, from 256.0 -> 255.99
{
    const int32_t s = int32_t(v);
    if (s < 0)
        return 0;
    if (s > 0xFFFFFF)
        return 0xFFFFFF;
    return uint32_t(s);
}

uint32_t Byte(uint32_t word, int which) { return (word >> (8 * which)) & 0xFF; } // 0 b, 1 g, 2 r, 3 a

struct Pixel {
    Dst dst;
    unsigned char* p;
    uint32_t Read() const
    {
        if (dst == Dst::A8888 || dst == Dst::X888)
            return *reinterpret_cast<uint32_t*>(p);
        return *reinterpret_cast<uint16_t*>(p);
    }
    void Write(uint32_t v) const
    {
        if (dst == Dst::A8888 || dst == Dst::X888)
            *reinterpret_cast<uint32_t*>(p) = v;
        else
            *reinterpret_cast<uint16_t*>(p) = uint16_t(v);
    }
};

// Channel bytes (r, g, b) stored without reading the destination.
void WriteOpaque(const Pixel& px, uint32_t r, uint32_t g, uint32_t b)
{
    switch (px.dst) {
    case Dst::A8888:
    case Dst::X888: px.Write(0xFF000000u | (r << 16) | (g << 8) | b); break;
    case Dst::R565: px.Write(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); break;
    case Dst::R555: px.Write(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)); break;
    }
}

// Source terms s (already weighted by a) added to the scaled destination; 0x8888 composites.
void WriteBlend(const Pixel& px, const uint32_t s[3], uint32_t a)
{
    const uint32_t d = px.Read();
    switch (px.dst) {
    case Dst::A8888: {
        const uint32_t da = d >> 24;
        const uint32_t q = 256 - (((256 - da) * (256 - a)) >> 8);
        if (q == 0)
            return;
        uint32_t out = (q - 1) << 24;
        for (int c = 0; c < 3; ++c) {
            const uint32_t dc = Byte(d, 2 - c);
            out |= ((((dc * da) >> 8) * (256 - a) + s[c] * 256) / q & 0xFF) << (8 * (2 - c));
        }
        px.Write(out);
        break;
    }
    case Dst::X888: {
        uint32_t out = 0xFF000000u;
        for (int c = 0; c < 3; ++c)
            out |= (((Byte(d, 2 - c) * (255 - a)) >> 8) + s[c]) << (8 * (2 - c));
        px.Write(out);
        break;
    }
    case Dst::R565:
    case Dst::R555: {
        const bool six = px.dst == Dst::R565;
        const uint32_t f = (255 - a) >> 3;
        const uint32_t dr = six ? (d >> 11) & 31 : (d >> 10) & 31;
        const uint32_t dg = six ? (d >> 5) & 63 : (d >> 5) & 31;
        const uint32_t db = d & 31;
        const uint32_t r = ((dr * f) >> 5) + (s[0] >> 3);
        const uint32_t g = ((dg * f) >> 5) + (six ? s[1] >> 2 : s[1] >> 3);
        const uint32_t b = ((db * f) >> 5) + (s[2] >> 3);
        px.Write(six ? (r << 11) | (g << 5) | b : (r << 10) | (g << 5) | b);
        break;
    }
    }
}

void UntexturedPixel(const Flags& fl, const Pixel& px, const uint32_t k[6])
{
    const uint32_t alpha = Channel(k[2]);
    const uint32_t R = Channel(k[3]), G = Channel(k[4]), B = Channel(k[5]);
    if (alpha <= 0x80000)
        return;
    if (alpha > 0xF00000) {
        WriteOpaque(px, R >> 16, G >> 16, B >> 16);
        return;
    }
    const uint32_t sa = alpha >> 16;
    if (fl.dst == Dst::A8888) {
        const uint32_t d = px.Read();
        const uint32_t da = d >> 24;
        const uint32_t kk = 256 - sa;
        const uint32_t q = 256 - (((256 - da) * kk) >> 8);
        const uint32_t db = (d & 0xFF) * da >> 8, dg = (Byte(d, 1) * da) >> 8, dr = (Byte(d, 2) * da) >> 8;
        // Source precision differs by channel: blue whole, green 8 fraction bits, red 16.
        const uint32_t blue = (db * kk + (((B >> 16) * sa) & 0xFF00)) / q;
        const uint32_t green = ((dg << 8) * kk + (((G >> 8) * sa) & 0xFF0000)) / q;
        const uint32_t red = ((dr << 16) * kk + ((R * sa) & 0xFF000000u)) / q;
        px.Write(((q - 1) << 24) | (red & 0xFF0000) | (green & 0xFF00) | (blue & 0xFF));
        return;
    }
    const uint32_t s[3] = {((R >> 16) * sa) >> 8, ((G >> 16) * sa) >> 8, ((B >> 16) * sa) >> 8};
    WriteBlend(px, s, sa);
}

uint32_t Texel(const RasterTexture& t, uint32_t index) { return index < t.count ? t.texels[index] : 0; }

void TexturedPixel(const Flags& fl, const Pixel& px, const uint32_t k[6], const RasterTexture& tex,
                   const RasterColor& col)
{
    // Modulation factors (alpha, r, g, b).
    uint32_t f[4] = {255, 255, 255, 255};
    const uint32_t drawc[4] = {uint32_t(col.alpha), uint32_t(col.red), uint32_t(col.green), uint32_t(col.blue)};
    const bool modulated = fl.vc || fl.col;
    for (int c = 0; c < 4; ++c) {
        const uint32_t vcv = Channel(k[2 + c]);
        if (fl.vc && fl.col)
            f[c] = (drawc[c] * vcv) >> 24;
        else if (fl.vc)
            f[c] = vcv >> 16;
        else if (fl.col)
            f[c] = drawc[c];
    }
    uint32_t src[3];
    uint32_t a;
    if (!fl.bil) {
        const uint32_t u = k[0], v = k[1];
        const uint32_t t = (int32_t(u) < 0 || int32_t(v) < 0) ? 0 : Texel(tex, (v >> 16) * uint32_t(tex.width) + (u >> 16));
        const uint32_t ta = t >> 24;
        for (int c = 0; c < 3; ++c)
            src[c] = modulated ? (Byte(t, 2 - c) * f[1 + c]) >> 8 : Byte(t, 2 - c);
        if (!fl.blend && !modulated) {
            WriteOpaque(px, Byte(t, 2), Byte(t, 1), Byte(t, 0));
            return;
        }
        if (fl.blend) {
            if (ta <= 8)
                return;
            a = modulated ? (f[0] * ta) >> 8 : ta;
        } else {
            a = (f[0] * 255) >> 8;
        }
        if (a >= 240) {
            WriteOpaque(px, src[0], src[1], src[2]);
            return;
        }
        const uint32_t s[3] = {(src[0] * a) >> 8, (src[1] * a) >> 8, (src[2] * a) >> 8};
        WriteBlend(px, s, a);
        return;
    }
    // Bilinear: half a texel back, floor, four neighbours, alpha-weighted (premultiplied) sum.
    const int32_t u = int32_t(k[0] - 0x8000u), v = int32_t(k[1] - 0x8000u);
    const int32_t fx = int32_t(uint32_t(u) & 0xFFFF0000u), fy = int32_t(uint32_t(v) & 0xFFFF0000u);
    const int32_t x0 = fx >> 16, y0 = fy >> 16;
    const uint32_t base = uint32_t(y0) * uint32_t(tex.width) + uint32_t(x0);
    const uint32_t fu = ((uint32_t(u) - uint32_t(fx)) & 0xFFFE) + 1, fv = ((uint32_t(v) - uint32_t(fy)) & 0xFFFE) + 1;
    const uint32_t idx[4] = {base, base + 1, base + uint32_t(tex.width), base + uint32_t(tex.width) + 1};
    const uint32_t w[4] = {((65536 - fu) * (65536 - fv)) >> 16, (fu * (65536 - fv)) >> 16,
                           ((65536 - fu) * fv) >> 16, (fu * fv) >> 16};
    uint32_t cov = 0, sum[3] = {0, 0, 0};
    for (int n = 0; n < 4; ++n) {
        const uint32_t t = Texel(tex, idx[n]);
        const uint32_t wa = (w[n] * (t >> 24)) >> 16;
        cov += wa;
        for (int c = 0; c < 3; ++c)
            sum[c] += Byte(t, 2 - c) * wa;
    }
    cov &= 0xFF;
    uint32_t S[3];
    for (int c = 0; c < 3; ++c)
        S[c] = sum[c] >> 8;
    if (!fl.blend && !modulated) {
        WriteOpaque(px, S[0], S[1], S[2]);
        return;
    }
    if (fl.blend && cov <= 8)
        return;
    uint32_t P[3];
    for (int c = 0; c < 3; ++c)
        P[c] = modulated ? (((S[c] * f[1 + c]) >> 8) * f[0]) >> 8 : S[c];
    if (fl.blend)
        a = modulated ? (f[0] * cov) >> 8 : cov;
    else
        a = (f[0] * 255) >> 8;
    if (a >= 240)
        WriteOpaque(px, P[0], P[1], P[2]);
    else
        WriteBlend(px, P, a);
}

} // namespace

void ReferenceFill(int index, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2, void* bits,
                   int32_t pitch, const RasterTexture& texture, const RasterColor& colour)
{
    const int slot = index & 31;
    Flags fl{Dst(index >> 5), (slot & 16) != 0, (slot & 8) != 0, (slot & 4) != 0, (slot & 2) != 0, (slot & 1) != 0};
    if (!fl.textured && !fl.vc)
        return;

    // Channels: u, v, a, r, g, b (unused ones carried along and never read).
    std::array<RasterVertex, 3> vs = {v0, v1, v2};
    if (!fl.textured && fl.col) {
        for (auto& v : vs) {
            v.a = int32_t((uint32_t(v.a) * uint32_t(colour.alpha)) >> 8);
            v.r = int32_t((uint32_t(v.r) * uint32_t(colour.red)) >> 8);
            v.g = int32_t((uint32_t(v.g) * uint32_t(colour.green)) >> 8);
            v.b = int32_t((uint32_t(v.b) * uint32_t(colour.blue)) >> 8);
        }
    }
    auto chans = [](const RasterVertex& v) { return std::array<int64_t, 6>{v.u, v.v, v.a, v.r, v.g, v.b}; };

    // Sort by y, stable for equal y.
    const RasterVertex* T = &vs[0];
    const RasterVertex* M = &vs[1];
    const RasterVertex* B = &vs[2];
    if (T->y > M->y) std::swap(T, M);
    if (M->y > B->y) std::swap(M, B);
    if (T->y > M->y) std::swap(T, M);

    const int64_t topRow = CeilPixel(T->y), midRow = CeilPixel(M->y), bottomRow = CeilPixel(B->y);
    if (topRow == bottomRow)
        return;
    const auto kt = chans(*T), km = chans(*M), kb = chans(*B);
    const int64_t R = (int64_t(1) << 48) / (int64_t(B->y) - T->y);
    const int64_t dX = Floor32(i128(int64_t(B->x) - T->x) * R);
    std::array<int64_t, 6> dK{}, kLM{}, kL{};
    std::array<int32_t, 6> dKx{};
    const int64_t dyM = int64_t(M->y) - T->y;
    const int64_t XM = T->x + Floor16(i128(dX) * dyM);
    if (XM == M->x)
        return;
    const int64_t Rx = (int64_t(1) << 48) / (int64_t(M->x) - XM);
    const int64_t p = topRow * 65536 - T->y;
    for (int c = 0; c < 6; ++c) {
        dK[c] = Floor32(i128(kb[c] - kt[c]) * R);
        kLM[c] = kt[c] + Floor16(i128(dK[c]) * dyM);
        dKx[c] = int32_t(std::clamp<int64_t>(Floor32(i128(km[c] - kLM[c]) * Rx), INT32_MIN, INT32_MAX));
        kL[c] = kt[c] + Floor16(i128(dK[c]) * p);
    }
    int64_t xL = T->x + Floor16(i128(dX) * p);
    const bool longLeft = XM < M->x;
    const bool wide = fl.dst == Dst::A8888 || fl.dst == Dst::X888;
    const int64_t rowBytes = wide ? int64_t(pitch >> 2) * 4 : int64_t(pitch >> 1) * 2;
    const int bpp = wide ? 4 : 2;

    for (int half = 0; half < 2; ++half) {
        const int64_t from = half == 0 ? topRow : midRow;
        const int64_t to = half == 0 ? midRow : bottomRow;
        if (from >= to)
            continue;
        const RasterVertex* s0 = half == 0 ? T : M;
        const RasterVertex* s1 = half == 0 ? M : B;
        const int64_t dXs = Floor32(i128(int64_t(s1->x) - s0->x) * ((int64_t(1) << 48) / (int64_t(s1->y) - s0->y)));
        int64_t xS = s0->x + Floor16(i128(dXs) * (half == 0 ? p : midRow * 65536 - M->y));
        for (int64_t y = from; y < to; ++y) {
            const int64_t xl = longLeft ? xL : xS, xr = longLeft ? xS : xL;
            const int64_t X0 = CeilPixel(xl), X1 = CeilPixel(xr);
            for (int64_t X = X0; X < X1; ++X) {
                uint32_t k[6];
                for (int c = 0; c < 6; ++c) {
                    const uint32_t start = uint32_t(kL[c] + Floor16(i128(dKx[c]) * (X0 * 65536 - xL)));
                    k[c] = start + uint32_t(X - X0) * uint32_t(dKx[c]);
                }
                Pixel px{fl.dst, static_cast<unsigned char*>(bits) + y * rowBytes + X * bpp};
                if (fl.textured)
                    TexturedPixel(fl, px, k, texture, colour);
                else
                    UntexturedPixel(fl, px, k);
            }
            xL += dX;
            xS += dXs;
            for (int c = 0; c < 6; ++c)
                kL[c] += dK[c];
        }
    }
}

} // namespace Fw::test
