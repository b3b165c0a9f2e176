// The span kernels give the same bits as their scalar twins: exhaustive over alpha x channel
// pairs at each lane position, then random spans of every length with a fixed seed.
#include "framework/graphics/detail/PixelSpans.h"

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
        for (int32_t n = 0; n < 40; ++n)
            for (int rep = 0; rep < 50; ++rep) {
                std::vector<uint32_t> src(static_cast<size_t>(n)), dst(static_cast<size_t>(n));
                for (int32_t i = 0; i < n; ++i) {
                    src[size_t(i)] = next();
                    dst[size_t(i)] = next();
                }
                ExpectSame(k, dst, src, ("seed 2024 n " + std::to_string(n)).c_str());
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
    const Tint tints[] = {{255, 255, 255}, {128, 128, 128}, {200, 17, 0}, {0, 255, 99}};
    uint32_t seed = 77;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const Tint& t : tints)
        for (uint32_t ca = 0; ca < 256; ++ca) {
            // Every source alpha against this colour alpha; destinations mostly opaque, some
            // groups with a translucent pixel to take the per-pixel path.
            std::vector<uint32_t> src, dst;
            for (uint32_t v = 0; v < 256; ++v) {
                src.push_back(v << 24 | (next() & 0xFFFFFF));
                dst.push_back((v % 13 == 5 ? next() & 0xFF : 255u) << 24 | (next() & 0xFFFFFF));
            }
            std::vector<uint32_t> fast = dst, scalar = dst;
            ModulateOverSpan(fast.data(), src.data(), 256, t.r, t.g, t.b, ca);
            ModulateOverSpanScalar(scalar.data(), src.data(), 256, t.r, t.g, t.b, ca);
            ASSERT_EQ(fast, scalar) << "seed 77, tint " << t.r << "," << t.g << "," << t.b << " ca " << ca;
        }
}

} // namespace
