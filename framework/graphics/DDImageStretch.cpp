// Surface-image stretch blits: nearest-pixel stepping in 16.16 fixed point over the source's
// premultiplied native pixels (plain and mirrored), a surface-to-surface copy for opaque surface
// sources, and the smooth stretch through a filtered temporary image.
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Renderer3D.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfaceLock.h"

#include <algorithm>
#include <vector>

namespace Fw {

using namespace detail;

namespace {

// Pixel rules: s the native source word (alpha a = s >> 24), d the destination; false = skip.
//   normal, white:   skip a = 0;  s + sum of (((d & M) * (256 - a)) >> 8) & M
//   normal, colour:  a' = a * ca / 255, skip a' = 0;  sum of (((d & M) * (256 - a') + (s & M) * f_c) >> 8) & M
//   additive, white: skip s = 0;  OR of T_c[((d & M) + (s & M)) >> s_c] << s_c
//   additive, colour: skip s = 0; OR of T_c[((((s & M) >> s_c) * f_c) >> 8) + ((d & M) >> s_c)] << s_c
struct StretchRules {
    uint32_t m[3];
    int32_t sh[3];
    const int32_t* t[3];
    uint32_t f[3];
    uint32_t ca;

    bool NormalWhite(uint32_t s, uint32_t& d) const
    {
        const uint32_t a = s >> 24;
        if (a == 0)
            return false;
        uint32_t out = s;
        for (uint32_t mask : m)
            out += uint32_t((uint64_t(d & mask) * (256 - a)) >> 8) & mask;
        d = out;
        return true;
    }
    bool NormalColour(uint32_t s, uint32_t& d) const
    {
        const uint32_t a = (s >> 24) * ca / 255;
        if (a == 0)
            return false;
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out += uint32_t((uint64_t(d & m[k]) * (256 - a) + uint64_t(s & m[k]) * f[k]) >> 8) & m[k];
        d = out;
        return true;
    }
    bool AddWhite(uint32_t s, uint32_t& d) const
    {
        if (s == 0)
            return false;
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(t[k][((d & m[k]) + (s & m[k])) >> sh[k]]) << sh[k];
        d = out;
        return true;
    }
    bool AddColour(uint32_t s, uint32_t& d) const
    {
        if (s == 0)
            return false;
        uint32_t out = 0;
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(t[k][((((s & m[k]) >> sh[k]) * f[k]) >> 8) + ((d & m[k]) >> sh[k])]) << sh[k];
        d = out;
        return true;
    }
};

// Nearest stretch of ch rows: row v >> 16 of the source, columns from the precomputed table.
template <class P, class Rule>
void StretchRows(const SurfaceView& view, const Rect& r, bool mirror, const std::vector<int32_t>& cols,
                 const std::vector<int32_t>& rows, const uint32_t* native, const uint8_t* indices, int32_t srcW,
                 Rule rule)
{
    for (int32_t j = 0; j < r.height; ++j) {
        P* d = view.Row<P>(r.y + j) + r.x;
        const size_t base = size_t(rows[size_t(j)]) * size_t(srcW);
        for (int32_t i = 0; i < r.width; ++i) {
            const size_t k = base + size_t(cols[size_t(i)]);
            const uint32_t s = indices ? native[indices[k]] : native[k];
            P& px = d[mirror ? r.width - 1 - i : i];
            uint32_t out = px;
            if (rule(s, out))
                px = P(out);
        }
    }
}

} // namespace

// Software nearest stretch onto the locked surface (shared by both stretch operations).
static void SoftwareStretch(DDImage& dst, MemoryImage& source, const Rect& r, const DRect& sd, const Color& color,
                            int32_t drawMode, bool mirror)
{
    NativeDisplay& f = dst.GetDisplay()->GetPixelFormat();
    source.CommitBits();
    const uint32_t* native = source.GetNativeAlphaData(&f);
    if (!native || source.width <= 0 || source.height <= 0)
        return;
    const uint8_t* indices = source.colorTable ? source.colorIndices.get() : nullptr;
    // uStart = trunc(fx * 65536), du = trunc(fw * 65536 / cw), v and dv likewise; taps are kept
    // inside the source image.
    const int32_t uStart = int32_t(sd.x * 65536), du = int32_t(sd.width * 65536 / r.width);
    const int32_t vStart = int32_t(sd.y * 65536), dv = int32_t(sd.height * 65536 / r.height);
    std::vector<int32_t> cols(size_t(r.width)), rows(size_t(r.height));
    for (int32_t i = 0; i < r.width; ++i)
        cols[size_t(i)] = std::clamp(int32_t(uint32_t(uStart) + uint32_t(i) * uint32_t(du)) >> 16, 0, source.width - 1);
    for (int32_t j = 0; j < r.height; ++j)
        rows[size_t(j)] = std::clamp(int32_t(uint32_t(vStart) + uint32_t(j) * uint32_t(dv)) >> 16, 0, source.height - 1);

    {
        SurfaceLock lock(dst);
        if (!lock.Locked())
            return; // memory copies kept
        if (lock.Ok()) {
            const SurfaceView& v = lock.View();
            const Rect rr = r.Intersection(v.Bounds());
            if (rr == r) {
                const uint32_t ca = uint32_t(color.alpha);
                const StretchRules rules{{v.rm, v.gm, v.bm},
                                         {f.redShift, f.greenShift, f.blueShift},
                                         {f.redAddTable.data(), f.greenAddTable.data(), f.blueAddTable.data()},
                                         {uint32_t(color.red) * ca / 255, uint32_t(color.green) * ca / 255,
                                          uint32_t(color.blue) * ca / 255},
                                         ca};
                const bool white = color == Color::White;
                DispatchPixel(v, [&](auto* tag) {
                    using P = std::remove_pointer_t<decltype(tag)>;
                    auto go = [&](auto member) {
                        StretchRows<P>(v, r, mirror, cols, rows, native, indices, source.width,
                                       [&](uint32_t s, uint32_t& d) { return (rules.*member)(s, d); });
                    };
                    if (drawMode == DRAWMODE_NORMAL)
                        go(white ? &StretchRules::NormalWhite : &StretchRules::NormalColour);
                    else
                        go(white ? &StretchRules::AddWhite : &StretchRules::AddColour);
                });
            }
        }
    }
    dst.DeleteMemoryData();
}

void DDImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                         int32_t drawMode, bool fastStretch)
{
    if (!src)
        return;
    src->drawnFlag = true;
    CommitBits();
    if (Check3D()) {
        const float sx = float(destRect.width) / float(srcRect.width), sy = float(destRect.height) / float(srcRect.height);
        Matrix3 m;
        m.Scale(sx, sy);
        m.Translate(float(destRect.x), float(destRect.y));
        GetRenderer()->BltTransformed(src, &clip, color, drawMode, srcRect, m, !fastStretch, 0.0f, 0.0f, nullptr);
        return;
    }
    Rect r;
    DRect sd;
    if (!StretchClip(srcRect, clip.Intersection(Rect(0, 0, width, height)), destRect, r, sd))
        return;
    // Images that keep transparency or alpha, or draw to their bits, stretch in memory: their
    // surface has no alpha to draw into.
    if (drawToBits || hasAlpha || hasTrans || !GetDisplay() || GetDisplay()->Is3D()) {
        MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, fastStretch);
        return;
    }
    if (!fastStretch) {
        MemoryImage temp(GetApp());
        temp.Create(r.width, r.height);
        temp.GetBits(); // transparent black to filter into
        temp.MemoryImage::StretchBlt(src, Rect(destRect.x - r.x, destRect.y - r.y, destRect.width, destRect.height),
                                     srcRect, Rect(0, 0, r.width, r.height), Color::White, DRAWMODE_NORMAL, false);
        Blt(&temp, r.x, r.y, Rect(0, 0, r.width, r.height), color, drawMode);
        DeleteMemoryData();
        return;
    }
    auto* dd = dynamic_cast<DDImage*>(src);
    if (dd && dd != this && color == Color::White && drawMode == DRAWMODE_NORMAL && !dd->hasAlpha && dd->GetSurface() &&
        GetSurface()) {
        const Platform::SurfaceRect dstR{r.x, r.y, r.x + r.width, r.y + r.height};
        const Platform::SurfaceRect srcR{int32_t(sd.x), int32_t(sd.y), int32_t(sd.x + sd.width),
                                         int32_t(sd.y + sd.height)};
        const uint32_t flags = Platform::DDBLT_WAIT | (dd->hasTrans ? Platform::DDBLT_KEYSRC : 0);
        Platform::BltFx fx;
        if (lockCount > 0)
            surface->Unlock(nullptr);
        surface->Blt(&dstR, dd->surface.get(), &srcR, flags, &fx);
        if (lockCount > 0 && Platform::Failed(surface->Lock(nullptr, lockDesc, Platform::DDLOCK_WAIT))) {
            lockCount = 0;
            return;
        }
        DeleteMemoryData();
        return;
    }
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteMemoryData();
        return;
    }
    SoftwareStretch(*this, *source, r, sd, color, drawMode, false);
}

void DDImage::StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                               const Color& color, int32_t drawMode, bool fastStretch)
{
    if (!src)
        return;
    src->drawnFlag = true;
    CommitBits();
    if (Check3D()) {
        const float sx = float(destRect.width) / float(srcRect.width), sy = float(destRect.height) / float(srcRect.height);
        Matrix3 m;
        m.Translate(-float(srcRect.width), 0.0f);
        m.Scale(-sx, sy);
        m.Translate(float(destRect.x), float(destRect.y));
        GetRenderer()->BltTransformed(src, &clip, color, drawMode, srcRect, m, !fastStretch, 0.0f, 0.0f, nullptr);
        return;
    }
    Rect r;
    DRect sd;
    if (!StretchClipMirror(srcRect, clip.Intersection(Rect(0, 0, width, height)), destRect, r, sd))
        return;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteMemoryData();
        return;
    }
    SoftwareStretch(*this, *source, r, sd, color, drawMode, true);
}

} // namespace Fw
