// The span kernels give the same bits as their scalar twins: exhaustive over alpha x channel
// pairs at each lane position, then random spans of every length with a fixed seed.
#include "framework/graphics/detail/PixelSpans.h"

#include "framework/graphics/detail/CpuFeatures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Fw::detail;

using SpanFn = void (*)(uint32_t*, const uint32_t*, int32_t);

struct Kernel {
    const char* name;
    SpanFn fast, scalar;
};

const Kernel kKernels[] = {
    {"BlendOpaque", BlendOpaqueSpan, BlendOpaqueSpanScalar},
    {"Add", AddSpan, AddSpanScalar},
    {"AddAlpha", AddAlphaSpan, AddAlphaSpanScalar},
    {"OverOpaque", OverOpaqueSpan, OverOpaqueSpanScalar},
};

void ExpectSame(const Kernel& k, const std::vector<uint32_t>& dst, const std::vector<uint32_t>& src,
                const char* what)
{
    std::vector<uint32_t> a = dst, b = dst;
    k.fast(a.data(), src.data(), int32_t(src.size()));
    k.scalar(b.data(), src.data(), int32_t(src.size()));
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i], b[i]) << k.name << " " << what << " at " << i << " d " << std::hex << dst[i] << " s "
                              << src[i];
}

TEST(PixelSpans, EveryAlphaAndChannelPair)
{
    // Source alpha a, source channel v, destination channel 255 - v ^ a; each channel byte in a
    // different lane position of the group of four.
    for (const Kernel& k : kKernels)
        for (uint32_t a = 0; a < 256; ++a) {
            std::vector<uint32_t> src, dst;
            for (uint32_t v = 0; v < 256; ++v) {
                src.push_back(a << 24 | v << 16 | (255 - v) << 8 | (v * 7 & 0xFF));
                dst.push_back((v ^ a) << 24 | (255 - v) << 16 | v << 8 | (v ^ 0x3C));
            }
            ExpectSame(k, dst, src, "sweep");
        }
}

TEST(PixelSpans, RandomSpans)
{
    uint32_t seed = 2024;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (const Kernel& k : kKernels)
        for (int32_t n = 0; n < 72; ++n)
            for (int rep = 0; rep < 50; ++rep) {
                std::vector<uint32_t> src(static_cast<size_t>(n)), dst(static_cast<size_t>(n));
                // Every other span in runs of zero, random and clear-alpha words: the kernels
                // may skip groups whose source adds or blends nothing.
                for (int32_t i = 0; i < n; ++i) {
                    const uint32_t word = next(), cls = rep % 2 ? 3 : uint32_t(i / 17 + rep) % 3;
                    src[size_t(i)] = cls == 0 ? 0 : cls == 1 ? word & 0xFFFFFF : word;
                    dst[size_t(i)] = next();
                }
                ExpectSame(k, dst, src, ("seed 2024 n " + std::to_string(n)).c_str());
            }
}

TEST(PixelSpans, AddOntoItsOwnSourceGoesGroupByGroup)
{
    // An image added onto itself shifted right: each group of four reads its source after the
    // groups before it were written, blocks that add nothing or not.
    auto groupByGroup = [](uint32_t* d, const uint32_t* s, int32_t n) {
        int32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const uint32_t read[4] = {s[i], s[i + 1], s[i + 2], s[i + 3]};
            AddSpanScalar(d + i, read, 4);
        }
        AddSpanScalar(d + i, s + i, n - i);
    };
    uint32_t seed = 5;
    std::vector<uint32_t> buf(90);
    for (size_t i = 0; i < buf.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        buf[i] = (i / 20) % 2 ? seed : seed & 0xFF000000u; // runs of 20 that add nothing
    }
    for (int32_t shift = 1; shift < 7; ++shift)
        for (int32_t n : {5, 19, 37, 64, 80}) {
            std::vector<uint32_t> fast = buf, want = buf;
            AddSpan(fast.data() + shift, fast.data(), n);
            groupByGroup(want.data() + shift, want.data(), n);
            ASSERT_EQ(fast, want) << "shift " << shift << " n " << n;
        }
}

TEST(PixelSpans, FillOverMatchesScalar)
{
    for (uint32_t a = 1; a < 255; ++a)
        for (uint32_t q : {0x00000000u, 0x00FFFFFFu, 0x12345678u, 0xFF80FF01u}) {
            std::vector<uint32_t> d;
            for (uint32_t v = 0; v < 256; ++v) // mostly opaque groups, some translucent pixels
                d.push_back((v % 7 == 3 ? v : 255u) << 24 | v << 16 | (255 - v) << 8 | (v ^ 0x5A));
            std::vector<uint32_t> fast = d, scalar = d;
            FillOverSpan(fast.data(), int32_t(d.size()), q, a);
            FillOverSpanScalar(scalar.data(), int32_t(d.size()), q, a);
            ASSERT_EQ(fast, scalar) << "a " << a << " q " << std::hex << q;
        }
}

} // namespace

namespace {

TEST(PixelSpans, ModulateOverMatchesScalar)
{
    struct Tint { uint32_t r, g, b; };
    const Tint tints[] = {{255, 255, 255}, {128, 128, 128}, {200, 17, 0}, {0, 255, 99}, {255, 0, 255}};
    uint32_t seed = 77;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const Tint& t : tints)
        for (uint32_t ca = 0; ca < 256; ++ca) {
            // Every source alpha against this colour alpha; destinations mostly opaque, some
            // groups with a translucent pixel to take the per-pixel path.
            // Every third colour alpha takes extreme colours (white and black both ways round).
            std::vector<uint32_t> src, dst;
            for (uint32_t v = 0; v < 256; ++v) {
                const uint32_t extreme = v & 1 ? 0xFFFFFF : 0;
                src.push_back(v << 24 | (ca % 3 == 0 ? extreme : next() & 0xFFFFFF));
                dst.push_back((v % 13 == 5 ? next() & 0xFF : 255u) << 24 |
                              (ca % 3 == 0 ? extreme ^ (v & 2 ? 0xFFFFFF : 0) : next() & 0xFFFFFF));
            }
            std::vector<uint32_t> fast = dst, scalar = dst;
            ModulateOverSpan(fast.data(), src.data(), 256, t.r, t.g, t.b, ca);
            ModulateOverSpanScalar(scalar.data(), src.data(), 256, t.r, t.g, t.b, ca);
            ASSERT_EQ(fast, scalar) << "seed 77, tint " << t.r << "," << t.g << "," << t.b << " ca " << ca;
        }
}

TEST(PixelSpans, OverGatherMatchesScalar)
{
    uint32_t seed = 99;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    // A source row of clear, opaque and partial runs (extreme colours among them), read through
    // columns that repeat, skip and go back; destinations mostly opaque, some groups with clear
    // or translucent pixels.
    std::vector<uint32_t> row(300);
    for (size_t i = 0; i < row.size(); ++i) {
        const uint32_t cls = uint32_t(i / 6) % 3;
        const uint32_t colour = i % 11 == 0 ? 0xFFFFFF : i % 11 == 1 ? 0 : next() & 0xFFFFFF;
        row[i] = (cls == 0 ? 0 : cls == 1 ? 255 : next() % 256) << 24 | colour;
    }
    for (int32_t n = 0; n < 70; ++n)
        for (int rep = 0; rep < 20; ++rep) {
            std::vector<int32_t> cols(static_cast<size_t>(n));
            std::vector<uint32_t> dst(static_cast<size_t>(n));
            for (int32_t i = 0; i < n; ++i) {
                cols[size_t(i)] = rep % 2 ? int32_t(next() % 300) : i * 5 / 4 + rep;
                const uint32_t da = rep % 3 == 0 && next() % 9 == 0 ? next() % 256 : 255;
                dst[size_t(i)] = da << 24 | (i % 7 == 3 ? 0xFFFFFF : next() & 0xFFFFFF);
            }
            std::vector<uint32_t> fast = dst, scalar = dst;
            OverSpanGather(fast.data(), row.data(), cols.data(), n);
            OverSpanGatherScalar(scalar.data(), row.data(), cols.data(), n);
            ASSERT_EQ(fast, scalar) << "seed 99, n " << n << " rep " << rep;
        }
}

} // namespace

// The X888 surface spans against the surface blits' per-pixel rules themselves (the blend's
// partial pixel and the additive pixel through the display's own saturation tables).
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/detail/SurfaceBlendRules.h"

namespace {

// Random words; about one in four is clear (alpha 0, colour 0, as native words of clear pixels are),
// one in four opaque, so every mix of four lanes occurs.
std::vector<uint32_t> RandomWords(uint32_t& seed, size_t n)
{
    std::vector<uint32_t> out(n);
    for (uint32_t& w : out) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t kind = seed >> 30;
        w = kind == 0 ? 0 : kind == 1 ? (seed | 0xFF000000u) : seed;
    }
    return out;
}

TEST(PixelSpans, SurfaceOverMatchesTheBlendRule)
{
    uint32_t seed = 31;
    for (int32_t n = 0; n < 40; ++n)
        for (int rep = 0; rep < 200; ++rep) {
            const std::vector<uint32_t> src = RandomWords(seed, size_t(n)), dst = RandomWords(seed, size_t(n));
            std::vector<uint32_t> fast = dst, rule = dst;
            SurfaceOverSpan32(fast.data(), src.data(), n);
            for (int32_t i = 0; i < n; ++i) // clear pixels are the skipped runs
                if (src[size_t(i)] >> 24)
                    rule[size_t(i)] = PlainRule32{}.partial(src[size_t(i)], dst[size_t(i)]);
            ASSERT_EQ(fast, rule) << "seed 31, n " << n << " rep " << rep;
        }
}

TEST(PixelSpans, SurfaceAddMatchesTheAdditiveRule)
{
    Fw::NativeDisplay display;
    display.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF);
    ASSERT_TRUE(SaturatesBytes(display.redAddTable) && SaturatesBytes(display.greenAddTable) &&
                SaturatesBytes(display.blueAddTable));
    const int32_t* t[3] = {display.redAddTable.data(), display.greenAddTable.data(), display.blueAddTable.data()};
    struct Factors {
        uint32_t r, g, b;
    };
    const Factors factors[] = {{0, 0, 0}, {255, 255, 255}, {254, 128, 1}, {17, 0, 200}};
    uint32_t seed = 57;
    for (bool modulate : {false, true})
        for (const Factors& f : factors)
            for (int32_t n = 0; n < 40; ++n)
                for (int rep = 0; rep < 100; ++rep) {
                    const std::vector<uint32_t> src = RandomWords(seed, size_t(n)), dst = RandomWords(seed, size_t(n));
                    std::vector<uint32_t> fast = dst, rule = dst;
                    SurfaceAddSpan32(fast.data(), src.data(), n, modulate, f.r, f.g, f.b);
                    for (int32_t i = 0; i < n; ++i) // pixels of colour 0 are the skipped runs
                        if (src[size_t(i)] & 0xFFFFFF)
                            rule[size_t(i)] =
                            modulate ? AddPixel<LayoutX888, true>{{}, {t[0], t[1], t[2]}, {f.r, f.g, f.b}}.partial(
                                           src[size_t(i)], dst[size_t(i)])
                                     : AddPixel<LayoutX888, false>{{}, {t[0], t[1], t[2]}, {0, 0, 0}}.partial(
                                           src[size_t(i)], dst[size_t(i)]);
                    ASSERT_EQ(fast, rule) << "seed 57, modulate " << modulate << " n " << n << " rep " << rep;
                }
}

} // namespace

namespace {

// The X888 native words against the per-format rule of MemoryImage::GetNativeAlphaData (channel
// ((((p & M) * (a + 1)) >> 8) >> (8 * k + 8 - bits) << shift) & M), over every alpha and channel
// value and over random spans of every length.
uint32_t NativeRule(uint32_t p)
{
    const uint32_t a = p >> 24, m = a + 1;
    const uint32_t r = ((((p & 0xFF0000u) * m) >> 8) >> 16 << 16) & 0xFF0000u;
    const uint32_t g = ((((p & 0xFF00u) * m) >> 8) >> 8 << 8) & 0xFF00u;
    const uint32_t b = (((p & 0xFFu) * m) >> 8) & 0xFFu;
    return r | g | b | (a << 24);
}

TEST(PixelSpans, NativeX888MatchesTheNativeRule)
{
    std::vector<uint32_t> src;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t v = 0; v < 256; ++v)
            src.push_back(a << 24 | v << 16 | (255 - v) << 8 | (v * 7 & 0xFF));
    uint32_t seed = 13;
    for (int32_t n = 0; n < 40; ++n)
        for (uint32_t w : RandomWords(seed, size_t(n)))
            src.push_back(w);
    for (int32_t start = 0; start < 5; ++start) { // every alignment and tail length
        const int32_t n = int32_t(src.size()) - start;
        std::vector<uint32_t> fast(size_t(n), 0xDEADBEEF), scalar = fast;
        NativeX888Span(fast.data(), src.data() + start, n);
        NativeX888SpanScalar(scalar.data(), src.data() + start, n);
        for (int32_t i = 0; i < n; ++i) {
            ASSERT_EQ(fast[size_t(i)], NativeRule(src[size_t(start + i)])) << "start " << start << " at " << i;
            ASSERT_EQ(scalar[size_t(i)], fast[size_t(i)]) << "start " << start << " at " << i;
        }
    }
}

} // namespace

namespace {

// The X888 modulate span against the blend's colour rules as the runs apply them: clear pixels
// skipped, opaque ones in the opaque form under a colour alpha of 255, every other in the partial
// form. The grey rule sums red and blue in one word, so blue's carry reaches red there.
TEST(PixelSpans, SurfaceModulateMatchesTheColourRules)
{
    struct Colour {
        uint32_t r, g, b, ca;
    };
    const Colour colours[] = {{255, 255, 255, 255}, {200, 160, 120, 220}, {128, 128, 128, 255}, {255, 0, 17, 1},
                              {0, 0, 0, 0},         {90, 90, 90, 254},    {255, 255, 255, 128}, {3, 250, 77, 255}};
    uint32_t seed = 71;
    for (const Colour& c : colours) {
        const uint32_t f[3] = {c.r * c.ca / 255, c.g * c.ca / 255, c.b * c.ca / 255};
        const ChannelRule<LayoutX888> channel{{}, {f[0], f[1], f[2]}, c.ca};
        const GreyRule32 grey{f[0], c.ca};
        const bool isGrey = f[0] == f[1] && f[1] == f[2];
        for (int32_t n = 0; n < 40; ++n)
            for (int rep = 0; rep < 60; ++rep) {
                const std::vector<uint32_t> src = RandomWords(seed, size_t(n)), dst = RandomWords(seed, size_t(n));
                std::vector<uint32_t> fast = dst, fastGrey = dst, viaChannel = dst, viaGrey = dst;
                SurfaceModulateSpan32(fast.data(), src.data(), n, f[0], f[1], f[2], c.ca, false);
                SurfaceModulateSpan32(fastGrey.data(), src.data(), n, f[0], f[1], f[2], c.ca, true);
                for (int32_t i = 0; i < n; ++i) {
                    const uint32_t s = src[size_t(i)], d = dst[size_t(i)], a = s >> 24;
                    if (a == 0)
                        continue;
                    const bool opaque = a == 255 && c.ca >= 255;
                    viaChannel[size_t(i)] = opaque ? channel.opaque(s, d) : channel.partial(s, d);
                    viaGrey[size_t(i)] = opaque ? grey.opaque(s, d) : grey.partial(s, d);
                }
                ASSERT_EQ(fast, viaChannel) << "seed 71, colour " << c.r << "," << c.g << "," << c.b << "," << c.ca
                                            << " n " << n << " rep " << rep;
                if (isGrey) {
                    ASSERT_EQ(fastGrey, viaGrey) << "grey " << f[0] << " ca " << c.ca << " n " << n << " rep " << rep;
                }
            }
    }
}

TEST(PixelSpans, OverOpaqueFormsMatchScalar)
{
    uint32_t seed = 4242;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 4;
    };
    std::vector<std::pair<const char*, SpanFn>> forms{{"dispatched", OverOpaqueSpan}};
#if defined(__SSE2__)
    forms.emplace_back("SSE2", OverOpaqueSpanSse2);
#endif
    if (CpuHasAvx2())
        forms.emplace_back("AVX2", OverOpaqueSpanAvx2);
    for (const auto& [name, span] : forms)
        for (int32_t n = 0; n <= 40; ++n)
            for (int rep = 0; rep < 100; ++rep) {
                // Source runs of 1..9 clear, opaque or partial pixels (or each pixel its own class),
                // so groups come all clear, all opaque and mixed; destinations of any alpha; the
                // words past n must stay.
                std::vector<uint32_t> source(static_cast<size_t>(n)), dest(static_cast<size_t>(n) + 8);
                for (size_t i = 0; i < source.size();) {
                    const uint32_t cls = next() % 3;
                    for (size_t k = rep % 4 == 0 ? 1 : 1 + next() % 9; k > 0 && i < source.size(); --k, ++i) {
                        const uint32_t c = rep % 4 == 0 ? next() % 3 : cls;
                        const uint32_t a = c == 0 ? 0 : c == 1 ? 255 : 1 + next() % 254;
                        source[i] = a << 24 | (next() & 0xFFFFFF);
                    }
                }
                for (uint32_t& w : dest)
                    w = rep % 3 ? (next() | 0xFF000000u) : next() << 4 ^ next();
                std::vector<uint32_t> fast = dest, scalar = dest;
                span(fast.data(), source.data(), n);
                OverOpaqueSpanScalar(scalar.data(), source.data(), n);
                ASSERT_EQ(fast, scalar) << name << " n " << n << " rep " << rep;
            }
}

TEST(PixelSpans, OverGatherFormsMatchScalar)
{
    uint32_t seed = 515;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 4;
    };
    using GatherFn = void (*)(uint32_t*, const uint32_t*, const int32_t*, int32_t);
    std::vector<std::pair<const char*, GatherFn>> forms{{"dispatched", OverSpanGather}};
#if defined(__SSE2__)
    forms.emplace_back("SSE2", OverSpanGatherSse2);
#endif
    if (CpuHasAvx2())
        forms.emplace_back("AVX2", OverSpanGatherAvx2);
    for (const auto& [name, span] : forms)
        for (int32_t n = 0; n <= 40; ++n)
            for (int rep = 0; rep < 100; ++rep) {
                // A source row of clear, opaque and partial runs of 1..20 pixels (long clear runs
                // make whole groups that blend nothing), read straight, shrinking, enlarging or
                // at random; destinations opaque, or some of them of any alpha.
                std::vector<uint32_t> row(64);
                for (size_t i = 0; i < row.size();) {
                    const uint32_t cls = next() % 3;
                    for (size_t k = 1 + next() % 20; k > 0 && i < row.size(); --k, ++i)
                        row[i] = (cls == 0 ? 0 : cls == 1 ? 255 : next() % 256) << 24 | (next() & 0xFFFFFF);
                }
                std::vector<int32_t> cols(static_cast<size_t>(n));
                for (int32_t i = 0; i < n; ++i) {
                    const int32_t kind = rep % 4;
                    cols[size_t(i)] = kind == 0   ? i
                                      : kind == 1 ? i * 5 / 4
                                      : kind == 2 ? i * 2 / 3
                                                  : int32_t(next() % 64);
                }
                std::vector<uint32_t> dest(static_cast<size_t>(n) + 8);
                for (uint32_t& w : dest)
                    w = rep % 5 == 4 && next() % 6 == 0 ? next() << 4 ^ next() : (next() | 0xFF000000u);
                std::vector<uint32_t> fast = dest, scalar = dest;
                span(fast.data(), row.data(), cols.data(), n);
                OverSpanGatherScalar(scalar.data(), row.data(), cols.data(), n);
                ASSERT_EQ(fast, scalar) << name << " n " << n << " rep " << rep;
            }
}

} // namespace
