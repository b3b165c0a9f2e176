// Surface-image blits in the surface's own format: the volatile-source blend, the opaque copy of
// native pixels (or a surface-to-surface copy), the run-driven blend with colour modulation,
// the additive blit through the saturation tables, and the mirrored forms of the last two.
// Sources give premultiplied native pixels (alpha in the top byte) and run-length maps.
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfaceBlendRules.h"
#include "framework/graphics/detail/SurfaceLock.h"
#include "framework/graphics/detail/SurfaceSpans.h"
#include "platform/BlockCopy.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace Fw {

using namespace detail;

namespace {

// Native pixel of source pixel index k: direct, or through the colour indices of a palette.
struct DirectFetch {
    const uint32_t* native;
    uint32_t operator()(size_t k) const { return native[k]; }
};
struct PaletteFetch {
    const uint32_t* native;
    const uint8_t* indices;
    uint32_t operator()(size_t k) const { return native[indices[k]]; }
};

// Calls fn with the fetch of the source's kind, chosen once per call.
template <class Fn>
void WithFetch(const uint32_t* native, const uint8_t* indices, Fn&& fn)
{
    if (indices)
        fn(PaletteFetch{native, indices});
    else
        fn(DirectFetch{native});
}

// Run-driven copy: runs of transparent pixels are skipped, opaque runs written (or blended with
// the rule's opaque form), partial pixels blended one by one. An additive rule (kAdditive) runs
// over the additive run map instead: runs whose first pixel has zero colour are skipped, every
// other pixel takes the rule's partial form.
template <class Rule>
concept SpanRule = Rule::kSpans;

template <class P, class Fetch, class Rule>
void RunRows(const SurfaceView& v, const BlitSpan& b, const Fetch& src, const uint8_t* runs, int32_t srcW,
             const Rule& rule)
{
    if constexpr (SpanRule<Rule> && std::is_same_v<P, uint32_t> && std::is_same_v<Fetch, DirectFetch>) {
        // Whole rows of stored words at once, left to right (the mirror takes the run loop).
        if (b.step == 1 && rule.spanOk()) {
            const size_t first = size_t(b.j0) * size_t(srcW) + size_t(b.i0);
            if constexpr (requires { rule.rect(nullptr, 0, nullptr, 0, 0, 0); }) {
                rule.rect(v.Row<uint32_t>(b.dy0) + b.dx0, v.pitch, src.native + first, ptrdiff_t(srcW) * 4, b.count,
                          b.rows);
                return;
            }
            for (int32_t j = 0; j < b.rows; ++j)
                rule.span(v.Row<uint32_t>(b.dy0 + j) + b.dx0, src.native + first + size_t(j) * size_t(srcW), b.count);
            return;
        }
    }
    for (int32_t j = 0; j < b.rows; ++j) {
        const size_t base = size_t(b.j0 + j) * size_t(srcW) + size_t(b.i0);
        P* d = v.Row<P>(b.dy0 + j) + b.dx0;
        int32_t i = 0;
        while (i < b.count) {
            const int32_t run = std::max(std::min<int32_t>(runs[base + size_t(i)], b.count - i), 1);
            const uint32_t first = src(base + size_t(i));
            const bool skip = Rule::kAdditive ? (first & 0xFFFFFFu) == 0 : (first >> 24) == 0;
            if (skip) {
                // nothing drawn
            } else if (!Rule::kAdditive && (first >> 24) == 255) {
                for (int32_t k = i; k < i + run; ++k) {
                    P& px = d[ptrdiff_t(k) * b.step];
                    px = P(rule.opaque(src(base + size_t(k)), px));
                }
            } else {
                for (int32_t k = i; k < i + run; ++k) {
                    P& px = d[ptrdiff_t(k) * b.step];
                    px = P(rule.partial(src(base + size_t(k)), px));
                }
            }
            i += run;
        }
    }
}

template <class P, class Fetch>
void RunBlend(const SurfaceView& v, const PixelFormat& fmt, const BlitSpan& b, const Fetch& src, const uint8_t* runs,
              int32_t srcW, const Color& color)
{
    const bool white = color == Color::White;
    const uint32_t ca = uint32_t(color.alpha);
    const uint32_t f[3] = {uint32_t(color.red) * ca / 255, uint32_t(color.green) * ca / 255,
                           uint32_t(color.blue) * ca / 255};
    const uint32_t spread = v.SpreadMask();
    const bool wide = sizeof(P) == 4;
    if (white) {
        if (wide)
            RunRows<P>(v, b, src, runs, srcW, PlainRule32{});
        else if (spread)
            RunRows<P>(v, b, src, runs, srcW, PlainRuleSpread{spread});
        else
            RunRows<P>(v, b, src, runs, srcW, PlainRuleChannels<RuntimeLayout>{{{v.rm, v.gm, v.bm}, {0, 0, 0}}});
        return;
    }
    // A modulated opaque pixel under a colour alpha below 255 blends like a partial one.
    auto run = [&](const auto& rule) {
        using R = std::decay_t<decltype(rule)>;
        if (ca >= 255) {
            RunRows<P>(v, b, src, runs, srcW, rule);
        } else {
            struct Blend : R {
                uint32_t opaque(uint32_t n, uint32_t d) const { return R::partial(n, d); }
            };
            RunRows<P>(v, b, src, runs, srcW, Blend{rule});
        }
    };
    const bool grey = f[0] == f[1] && f[1] == f[2];
    if (grey && wide)
        run(GreyRule32{f[0], ca});
    else if (grey && spread)
        run(GreyRuleSpread{spread, f[0], ca});
    else
        WithLayout(v, fmt, [&](auto lay) { run(ChannelRule<decltype(lay)>{lay, {f[0], f[1], f[2]}, ca}); });
}

// Runs the additive pixel of the colour, layout and fetch chosen once.
template <class P, class Fetch>
void AddBlend(const SurfaceView& v, const NativeDisplay& f, const BlitSpan& b, const Fetch& src, const uint8_t* runs,
              int32_t srcW, const Color& c)
{
    const uint32_t ca = uint32_t(c.alpha);
    const int32_t* t[3] = {f.redAddTable.data(), f.greenAddTable.data(), f.blueAddTable.data()};
    const uint32_t fac[3] = {uint32_t(c.red) * ca / 255, uint32_t(c.green) * ca / 255, uint32_t(c.blue) * ca / 255};
    if constexpr (sizeof(P) == 4) {
        if (v.rm == 0xFF0000 && v.gm == 0xFF00 && v.bm == 0xFF && f.redShift == 16 && f.greenShift == 8 &&
            f.blueShift == 0 && SaturatesBytes(f.redAddTable) && SaturatesBytes(f.greenAddTable) &&
            SaturatesBytes(f.blueAddTable)) {
            if (c == Color::White)
                RunRows<P>(v, b, src, runs, srcW, AddRule32<false>{{0, 0, 0}});
            else
                RunRows<P>(v, b, src, runs, srcW, AddRule32<true>{{fac[0], fac[1], fac[2]}});
            return;
        }
    }
    WithLayout(v, f, [&](auto lay) {
        using L = decltype(lay);
        if (c == Color::White)
            RunRows<P>(v, b, src, runs, srcW, AddPixel<L, false>{lay, {t[0], t[1], t[2]}, {0, 0, 0}});
        else
            RunRows<P>(v, b, src, runs, srcW, AddPixel<L, true>{lay, {t[0], t[1], t[2]}, {fac[0], fac[1], fac[2]}});
    });
}

// Volatile source: blends its own ARGB pixels, each with its alpha a = p >> 24.
template <class P>
void VolatileRows(const SurfaceView& v, const BlitSpan& b, const uint32_t* px, const uint32_t* table,
                  const uint8_t* idx, int32_t srcW)
{
    const bool fast = gDisplayRGBOrdered.load(std::memory_order_relaxed);
    const uint32_t spread = fast ? v.SpreadMask() : 0;
    const uint32_t m[3] = {v.rm, v.gm, v.bm};
    for (int32_t j = 0; j < b.rows; ++j) {
        const size_t base = size_t(b.j0 + j) * size_t(srcW) + size_t(b.i0);
        P* d = v.Row<P>(b.dy0 + j) + b.dx0;
        for (int32_t i = 0; i < b.count; ++i) {
            const uint32_t s = table ? table[idx[base + size_t(i)]] : px[base + size_t(i)];
            const uint32_t a = s >> 24;
            const uint32_t dp = d[i];
            uint32_t out;
            if (sizeof(P) == 4 && fast) {
                // d + (s - d) * a >> 8 on both groups, in wrapping 32-bit arithmetic
                out = (((((s & 0xFF00u) - (dp & 0xFF00u)) * a) >> 8) + (dp & 0xFF00u)) & 0xFF00u;
                out |= (((((s & 0xFF00FFu) - (dp & 0xFF00FFu)) * a) >> 8) + (dp & 0xFF00FFu)) & 0xFF00FFu;
            } else if (spread) {
                const uint32_t D = Spread(dp, spread);
                const uint32_t S = spread == kSpread565
                                       ? ((s & 0xFC00u) << 11) + ((s >> 3) & 0x1Fu) + ((s >> 8) & 0xF800u)
                                       : ((s >> 3) & 0x1Fu) + ((s >> 9) & 0x7C00u) + ((s & 0xF800u) << 10);
                out = Fold(((((S - D) * (s >> 27)) >> 5) + D) & spread);
            } else {
                const uint32_t ch[3] = {(s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF};
                out = 0;
                for (int k = 0; k < 3; ++k) {
                    const uint64_t dm = uint64_t(dp & m[k]) * (256 - a);
                    const uint64_t sm = sizeof(P) == 4 ? uint64_t((ch[k] * a) >> 8) * m[k] + (m[k] >> 1)
                                                       : ((uint64_t(ch[k]) * a * m[k]) >> 8) + (m[k] >> 1);
                    out += uint32_t((dm + sm) >> 8) & m[k];
                }
            }
            d[i] = P(out);
        }
    }
}

// The common start of every software blit: a memory-image source (marked as drawn), the locked
// surface and the part of the blit inside both; fn(source, view, span) draws it.
template <class Fn>
void BlitOnSurface(DDImage& dst, Image* src, int32_t x, int32_t y, const Rect& srcRect, bool mirror, Fn&& fn)
{
    if (dst.noReadBack || !src)
        return;
    auto* source = dynamic_cast<MemoryImage*>(src);
    if (!source)
        return;
    src->drawnFlag = true;
    OnSurface(dst, true, [&](const SurfaceView& v) {
        BlitSpan b;
        if (ClipBlit(source->width, source->height, v.width, v.height, x, y, srcRect, mirror, b))
            fn(*source, v, b);
    });
}

// The run-driven blend of Blt's third case and of the mirror.
void RunBlendFrom(MemoryImage& source, NativeDisplay& f, const SurfaceView& v, const BlitSpan& b, const Color& color)
{
    source.CommitBits();
    const uint32_t* native = source.GetNativeAlphaData(&f);
    const bool palette = source.colorTable != nullptr;
    // A white blit onto 32 bits from stored words, left to right, goes by whole rows (RunRows)
    // and reads no run map: none is built for it.
    const bool rowsOnly = color == Color::White && v.bitCount == 32 && !palette && b.step == 1;
    const uint8_t* runs = rowsOnly ? nullptr : source.GetRLAlphaData();
    if (!native || (!runs && !rowsOnly))
        return;
    DispatchPixel(v, [&](auto* tag) {
        WithFetch(native, palette ? source.colorIndices.get() : nullptr, [&](const auto& fetch) {
            RunBlend<std::remove_pointer_t<decltype(tag)>>(v, f, b, fetch, runs, source.width, color);
        });
    });
}

// The additive blit, plain or mirrored.
void AdditiveFrom(MemoryImage& source, NativeDisplay& f, const SurfaceView& v, const BlitSpan& b, const Color& color)
{
    source.CommitBits();
    const uint32_t* native = source.GetNativeAlphaData(&f);
    const uint8_t* runs = source.GetRLAdditiveData(&f);
    if (!native || !runs)
        return;
    DispatchPixel(v, [&](auto* tag) {
        WithFetch(native, source.colorTable ? source.colorIndices.get() : nullptr, [&](const auto& fetch) {
            AddBlend<std::remove_pointer_t<decltype(tag)>>(v, f, b, fetch, runs, source.width, color);
        });
    });
}

} // namespace

void DDImage::NormalBlt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color)
{
    BlitOnSurface(*this, src, x, y, srcRect, false, [&](MemoryImage& source, const SurfaceView& v, const BlitSpan& b) {
        NativeDisplay& f = GetDisplay()->GetPixelFormat();
        const bool white = color == Color::White;
        // Whether the source is a surface image holding a surface: asked only where it matters, as
        // the cast costs more than the rest of a small blit's set-up.
        auto surfaceSourceOf = [&]() -> DDImage* {
            auto* dd = dynamic_cast<DDImage*>(&source);
            return dd && dd->surface ? dd : nullptr;
        };
        if (source.isVolatile && white && !surfaceSourceOf()) {
            source.CommitBits();
            const bool palette = source.colorTable && source.colorIndices;
            const uint32_t* px = palette ? nullptr : source.GetBits();
            if (!palette && !px)
                return;
            DispatchPixel(v, [&](auto* tag) {
                VolatileRows<std::remove_pointer_t<decltype(tag)>>(v, b, px, source.colorTable.get(),
                                                                   source.colorIndices.get(), source.width);
            });
            return;
        }
        source.CommitBits();
        if (source.hasAlpha || !white) {
            RunBlendFrom(source, f, v, b, color);
            return;
        }
        DDImage* ddSource = surfaceSourceOf();
        if (ddSource && (videoMemoryWanted || !ddSource->videoMemoryWanted) && ddSource != this) {
            HardwareBlt(ddSource, Platform::SurfaceRect{b.dx0, b.dy0, b.dx0 + b.count, b.dy0 + b.rows},
                        Platform::SurfaceRect{b.i0, b.j0, b.i0 + b.count, b.j0 + b.rows});
            return;
        }
        // Opaque or keyed copy of the native words: transparent ones (top byte 0) are not written.
        const uint32_t* native = source.GetNativeAlphaData(&f);
        if (!native)
            return;
        const bool keyed = source.hasTrans;
        // Opaque 16-bit copies read the narrowed copy kept beside the native words, a row or the
        // whole block at a time.
        const uint16_t* narrow = !keyed && v.bitCount == 16 ? source.GetNative16Data(&f) : nullptr;
        if (narrow) {
            if (b.count == source.width && v.pitch == b.count * 2) { // rows follow each other in both
                Platform::CopyBlock(v.Row<uint16_t>(b.dy0) + b.dx0,
                                    narrow + size_t(b.j0) * size_t(source.width),
                                    size_t(b.count) * size_t(b.rows) * 2);
                return;
            }
            for (int32_t j = 0; j < b.rows; ++j)
                std::memcpy(v.Row<uint16_t>(b.dy0 + j) + b.dx0,
                            narrow + size_t(b.j0 + j) * size_t(source.width) + size_t(b.i0), size_t(b.count) * 2);
            return;
        }
        DispatchPixel(v, [&](auto* tag) {
            using P = std::remove_pointer_t<decltype(tag)>;
            WithFetch(native, source.colorTable ? source.colorIndices.get() : nullptr, [&](const auto& fetch) {
                constexpr bool kDirect = std::is_same_v<std::decay_t<decltype(fetch)>, DirectFetch>;
                for (int32_t j = 0; j < b.rows; ++j) {
                    const size_t base = size_t(b.j0 + j) * size_t(source.width) + size_t(b.i0);
                    P* d = v.Row<P>(b.dy0 + j) + b.dx0;
                    if (kDirect && !keyed) {
                        if constexpr (sizeof(P) == 4) {
                            if (j == 0 && b.count == source.width && v.pitch == b.count * 4) {
                                // Rows follow each other in both: the whole block at once.
                                Platform::CopyBlock(d, native + base, size_t(b.count) * size_t(b.rows) * 4);
                                return;
                            }
                            std::memcpy(d, native + base, size_t(b.count) * 4);
                        } else {
                            NarrowSpan16(d, native + base, b.count);
                        }
                        continue;
                    }
                    for (int32_t i = 0; i < b.count; ++i) {
                        const uint32_t n = fetch(base + size_t(i));
                        if (!keyed || (n >> 24) != 0)
                            d[i] = P(n);
                    }
                }
            });
        });
    });
}

void DDImage::NormalBltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color)
{
    BlitOnSurface(*this, src, x, y, srcRect, true, [&](MemoryImage& source, const SurfaceView& v, const BlitSpan& b) {
        RunBlendFrom(source, GetDisplay()->GetPixelFormat(), v, b, color);
    });
}

void DDImage::AdditiveBlt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color)
{
    BlitOnSurface(*this, src, x, y, srcRect, false, [&](MemoryImage& source, const SurfaceView& v, const BlitSpan& b) {
        AdditiveFrom(source, GetDisplay()->GetPixelFormat(), v, b, color);
    });
}

void DDImage::AdditiveBltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color)
{
    BlitOnSurface(*this, src, x, y, srcRect, true, [&](MemoryImage& source, const SurfaceView& v, const BlitSpan& b) {
        AdditiveFrom(source, GetDisplay()->GetPixelFormat(), v, b, color);
    });
}

} // namespace Fw
