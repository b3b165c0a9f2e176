// Surface-image stretch blits: nearest-pixel stepping in 16.16 fixed point over the source's
// premultiplied native pixels (plain and mirrored; rows of opaque pixels copied), a
// surface-to-surface copy for opaque surface sources, and the smooth stretch (straight onto X888
// and 565 surfaces, through a filtered temporary image onto the others).
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Renderer3D.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfaceBlendRules.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/NearestStretch.h"
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SmoothStretch.h"
#include "framework/graphics/detail/SmoothStretchSpans.h"
#include "framework/graphics/detail/SurfaceLock.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

namespace Fw {

using namespace detail;

namespace {

// The smooth stretch composites onto the temporary's transparent black, leaving each channel
// multiplied by its alpha (c = acc * a >> 8); the blit multiplies by alpha again. Back to straight
// colour: the smallest acc giving c, ceil(c * 256 / a), at most 255; alpha 0 stays as it is.
void Unpremultiply(MemoryImage& img)
{
    uint32_t* px = img.GetBits();
    if (!px)
        return;
    for (int32_t i = 0; i < img.width * img.height; ++i) {
        const uint32_t p = px[i], a = p >> 24;
        if (a == 0)
            continue;
        auto ch = [&](int shift) { return std::min<uint32_t>(((((p >> shift) & 0xFF) << 8) + a - 1) / a, 255) << shift; };
        px[i] = (a << 24) | ch(16) | ch(8) | ch(0);
    }
    img.BitsChanged();
}

} // namespace

// The smooth stretch of a white, normal blit straight onto an X888 or 565 surface: the same bits
// as filtering into a transparent temporary image, unpremultiplying it and blitting it (the
// temporary's pixel a << 24 | (acc * a >> 8) per channel, then its native word, blended by the
// surface blend's rule), without the temporary's pixels, native copy and run map. False when the
// formats differ: the caller takes the general way.
bool DDImage::SmoothStretchOnSurface(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& r)
{
    NativeDisplay& f = GetDisplay()->GetPixelFormat();
    const bool x888 = f.bitCount == 32 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF &&
                      f.redShift == 16 && f.greenShift == 8 && f.blueShift == 0;
    const bool r565 = f.bitCount == 16 && f.redMask == 0xF800 && f.greenMask == 0x7E0 && f.blueMask == 0x1F &&
                      f.redShift == 11 && f.greenShift == 5 && f.blueShift == 0 && f.redBits == 5 &&
                      f.greenBits == 6 && f.blueBits == 5;
    if (!x888 && !r565)
        return false;
    // What the temporary's stretch would work out: the destination moved to its origin.
    const Rect tempBounds(0, 0, r.width, r.height);
    Rect tr;
    DRect sd;
    MemoryImage* source = MarkSource(src);
    if (!source)
        return false;
    const Rect s = srcRect.Intersection(Rect(0, 0, source->width, source->height));
    if (s.width <= 0 || s.height <= 0 ||
        !StretchClip(srcRect, tempBounds, Rect(destRect.x - r.x, destRect.y - r.y, destRect.width, destRect.height),
                     tr, sd))
        return false;
    if (noReadBack) {
        DeleteMemoryData();
        return true;
    }
    const uint32_t* sbits = source->GetBits();
    if (!sbits)
        return false;
    {
        SurfaceLock lock(*this);
        if (!lock.Ok())
            return false;
        const SurfaceView& v = lock.View();
        const Rect at(r.x + tr.x, r.y + tr.y, tr.width, tr.height);
        const bool viewOk = x888 ? v.bitCount == 32 && v.rm == 0xFF0000 && v.gm == 0xFF00 && v.bm == 0xFF
                                 : v.bitCount == 16 && v.rm == 0xF800 && v.gm == 0x7E0 && v.bm == 0x1F;
        if (!viewOk || !(at.Intersection(v.Bounds()) == at))
            return false;
        std::vector<uint32_t> native(x888 ? 0 : size_t(tr.width));
        SmoothStretchRows(sbits, source->width, s, tr, sd, [&](int32_t j, const uint32_t* avg) {
            if (x888) {
                SmoothOverX888Span(v.Row<uint32_t>(at.y + j) + at.x, avg, tr.width);
                return;
            }
            SmoothNativeX888Span(native.data(), avg, tr.width);
            SmoothOver565Span(v.Row<uint16_t>(at.y + j) + at.x, native.data(), tr.width);
        });
    }
    DeleteMemoryData();
    return true;
}

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
                const uint32_t fac[3] = {uint32_t(color.red) * ca / 255, uint32_t(color.green) * ca / 255,
                                         uint32_t(color.blue) * ca / 255};
                const int32_t* t[3] = {f.redAddTable.data(), f.greenAddTable.data(), f.blueAddTable.data()};
                const bool white = color == Color::White;
                DispatchPixel(v, [&](auto* tag) {
                    using P = std::remove_pointer_t<decltype(tag)>;
                    WithLayout(v, f, [&](auto lay) {
                        using L = decltype(lay);
                        const StretchSource from{native, indices, source.width};
                        auto go = [&](const auto& rule, auto skip) {
                            StretchRows<P>(v, r, mirror, cols, rows, from, rule, skip);
                        };
                        auto noColour = [](uint32_t s) { return s == 0; };
                        auto clear = [](uint32_t s) { return (s >> 24) == 0; };
                        if (drawMode == DRAWMODE_NORMAL && white && !std::is_same_v<L, RuntimeLayout>)
                            StretchRowsCopyingOpaque<P>(v, r, mirror, cols, rows, from, PlainRuleChannels<L>{lay},
                                                        clear);
                        else if (drawMode == DRAWMODE_NORMAL && white)
                            go(PlainRuleChannels<L>{lay}, clear);
                        else if (drawMode == DRAWMODE_NORMAL)
                            go(ChannelRule<L>{lay, {fac[0], fac[1], fac[2]}, ca},
                               [ca](uint32_t s) { return (s >> 24) * ca / 255 == 0; });
                        else if (white)
                            go(AddPixel<L, false>{lay, {t[0], t[1], t[2]}, {0, 0, 0}}, noColour);
                        else
                            go(AddPixel<L, true>{lay, {t[0], t[1], t[2]}, {fac[0], fac[1], fac[2]}}, noColour);
                    });
                });
            }
        }
    }
    dst.DeleteMemoryData();
}

bool DDImage::StretchStart(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                           int32_t drawMode, bool fastStretch, bool mirror, Rect& r, DRect& sd)
{
    if (!src)
        return false;
    src->drawnFlag = true;
    CommitBits();
    if (Check3D()) {
        const float sx = float(destRect.width) / float(srcRect.width), sy = float(destRect.height) / float(srcRect.height);
        Matrix3 m;
        if (mirror) {
            m.Translate(-float(srcRect.width), 0.0f);
            m.Scale(-sx, sy);
        } else {
            m.Scale(sx, sy);
        }
        m.Translate(float(destRect.x), float(destRect.y));
        GetRenderer()->BltTransformed(src, &clip, color, drawMode, srcRect, m, !fastStretch, 0.0f, 0.0f, nullptr);
        return false;
    }
    const Rect c = clip.Intersection(Rect(0, 0, width, height));
    return mirror ? StretchClipMirror(srcRect, c, destRect, r, sd) : StretchClip(srcRect, c, destRect, r, sd);
}

void DDImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                         int32_t drawMode, bool fastStretch)
{
    Rect r;
    DRect sd;
    if (!StretchStart(src, destRect, srcRect, clip, color, drawMode, fastStretch, false, r, sd))
        return;
    // Images that keep transparency or alpha, or draw to their bits, stretch in memory: their
    // surface has no alpha to draw into.
    if (drawToBits || hasAlpha || hasTrans || !GetDisplay() || GetDisplay()->Is3D()) {
        MemoryImage::StretchBlt(src, destRect, srcRect, clip, color, drawMode, fastStretch);
        return;
    }
    if (!fastStretch) {
        if (color == Color::White && drawMode == DRAWMODE_NORMAL && SmoothStretchOnSurface(src, destRect, srcRect, r))
            return;
        MemoryImage temp(GetApp());
        temp.Create(r.width, r.height);
        temp.GetBits(); // transparent black to filter into
        temp.MemoryImage::StretchBlt(src, Rect(destRect.x - r.x, destRect.y - r.y, destRect.width, destRect.height),
                                     srcRect, Rect(0, 0, r.width, r.height), Color::White, DRAWMODE_NORMAL, false);
        Unpremultiply(temp);
        Blt(&temp, r.x, r.y, Rect(0, 0, r.width, r.height), color, drawMode);
        DeleteMemoryData();
        return;
    }
    auto* dd = dynamic_cast<DDImage*>(src);
    if (dd && dd != this && color == Color::White && drawMode == DRAWMODE_NORMAL && !dd->hasAlpha && dd->GetSurface() &&
        GetSurface()) {
        if (HardwareBlt(dd, Platform::SurfaceRect{r.x, r.y, r.x + r.width, r.y + r.height},
                        Platform::SurfaceRect{int32_t(sd.x), int32_t(sd.y), int32_t(sd.x + sd.width),
                                              int32_t(sd.y + sd.height)}))
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
    Rect r;
    DRect sd;
    if (!StretchStart(src, destRect, srcRect, clip, color, drawMode, fastStretch, true, r, sd))
        return;
    if (!DrawsOnSurface()) {
        // Transparency or alpha live only in the bits: stretch the flipped source there.
        auto* source = dynamic_cast<MemoryImage*>(src);
        Rect inside;
        std::unique_ptr<MemoryImage> flipped = source ? FlippedCopy(*source, srcRect, inside) : nullptr;
        if (flipped && inside == srcRect)
            MemoryImage::StretchBlt(flipped.get(), destRect, Rect(0, 0, inside.width, inside.height), clip, color,
                                    drawMode, fastStretch);
        return;
    }
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source) {
        DeleteMemoryData();
        return;
    }
    SoftwareStretch(*this, *source, r, sd, color, drawMode, true);
}

} // namespace Fw
