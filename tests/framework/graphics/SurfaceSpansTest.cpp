// The surface kernels against their plain definitions over random words, at every length from 0
// to 40 (the vector bodies and every tail); the over, additive and modulate spans in their SSE2 and
// AVX2 forms.
#include "framework/graphics/detail/SurfaceSpans.h"

#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/PixelSpans.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Fw::detail;

uint32_t gSeed = 91;
uint32_t Next()
{
    gSeed = gSeed * 1664525u + 1013904223u;
    return gSeed ^ (gSeed >> 15);
}

std::vector<uint32_t> Words(size_t n)
{
    std::vector<uint32_t> w(n);
    for (uint32_t& x : w)
        x = Next();
    return w;
}

TEST(SurfaceSpans, FillOverMatchesTheRuleAtEveryAlpha)
{
    for (uint32_t alpha = 0; alpha < 255; ++alpha) {
        const int32_t n = int32_t(alpha % 41);
        const uint32_t s = Next() & 0x7F7F7F; // a colour share: the sum may still carry between channels
        std::vector<uint32_t> d = Words(size_t(n) + 1), ref = d;
        FillOverSpan32(d.data(), n, s, 256 - alpha);
        for (int32_t i = 0; i < n; ++i) {
            const uint32_t x = ref[size_t(i)];
            uint32_t want = s;
            for (int shift = 0; shift < 24; shift += 8)
                want += (((x >> shift) & 0xFF) * (256 - alpha) >> 8) << shift;
            ASSERT_EQ(d[size_t(i)], want) << "alpha " << alpha << " i " << i;
        }
        FillOverSpan32Scalar(ref.data(), n, s, 256 - alpha);
        ASSERT_EQ(d, ref) << "alpha " << alpha; // the word past the span untouched by both
    }
}

TEST(SurfaceSpans, NarrowDoubleAndGatherMatchTheirDefinitions)
{
    for (int32_t n = 0; n <= 40; ++n)
        for (int rep = 0; rep < 20; ++rep) {
            const std::vector<uint32_t> s = Words(size_t(n) + 1);
            std::vector<uint16_t> narrow(size_t(n) + 1, 0xABCD), narrowScalar = narrow;
            NarrowSpan16(narrow.data(), s.data(), n);
            NarrowSpan16Scalar(narrowScalar.data(), s.data(), n);
            ASSERT_EQ(narrow, narrowScalar) << "n " << n;
            for (int32_t i = 0; i < n; ++i)
                ASSERT_EQ(narrow[size_t(i)], uint16_t(s[size_t(i)]));
            ASSERT_EQ(narrow[size_t(n)], 0xABCD) << "written past the end, n " << n;

            std::vector<uint32_t> twice(size_t(n) + 1, 7), twiceScalar = twice;
            DoubleSpan32(twice.data(), s.data(), n);
            DoubleSpan32Scalar(twiceScalar.data(), s.data(), n);
            ASSERT_EQ(twice, twiceScalar) << "n " << n;
            ASSERT_EQ(twice[size_t(n)], 7u) << "written past the end, n " << n;

            std::vector<int32_t> cols(static_cast<size_t>(n));
            for (int32_t& c : cols)
                c = int32_t(Next() % uint32_t(n + 1));
            std::vector<uint32_t> gathered(static_cast<size_t>(n));
            std::vector<uint16_t> gathered16(static_cast<size_t>(n));
            GatherSpan32(gathered.data(), s.data(), cols.data(), n);
            GatherSpan16(gathered16.data(), s.data(), cols.data(), n);
            for (int32_t i = 0; i < n; ++i) {
                ASSERT_EQ(gathered[size_t(i)], s[size_t(cols[size_t(i)])]);
                ASSERT_EQ(gathered16[size_t(i)], uint16_t(s[size_t(cols[size_t(i)])]));
            }
        }
}

// Words of the blit's kinds in runs: clear (0), opaque, and partial with any colour bits, so that
// groups of four and eight are all clear, all opaque or mixed.
std::vector<uint32_t> RunWords(size_t n)
{
    std::vector<uint32_t> w(n);
    for (size_t i = 0; i < n;) {
        const uint32_t kind = Next() % 3;
        for (size_t k = 1 + Next() % 9; k > 0 && i < n; --k, ++i) {
            const uint32_t x = Next();
            w[i] = kind == 0 ? 0 : kind == 1 ? (x | 0xFF000000u) : x;
        }
    }
    return w;
}

TEST(SurfaceSpans, OverSpanFormsMatchTheScalarRule)
{
    using Span = void (*)(uint32_t*, const uint32_t*, int32_t);
    std::vector<std::pair<const char*, Span>> forms{{"SSE2", SurfaceOverSpan32Sse2}, {"dispatched", SurfaceOverSpan32}};
    if (CpuHasAvx2())
        forms.emplace_back("AVX2", SurfaceOverSpan32Avx2);
    for (const auto& [name, span] : forms)
        for (int32_t n = 0; n <= 40; ++n)
            for (int rep = 0; rep < 100; ++rep) {
                const std::vector<uint32_t> src = rep % 2 ? RunWords(size_t(n)) : Words(size_t(n));
                const std::vector<uint32_t> dst = Words(size_t(n) + 8); // words past n stay
                std::vector<uint32_t> fast = dst, rule = dst;
                span(fast.data(), src.data(), n);
                SurfaceOverSpan32Scalar(rule.data(), src.data(), n);
                ASSERT_EQ(fast, rule) << name << " n " << n << " rep " << rep;
            }
}

TEST(SurfaceSpans, OverRectMatchesTheRowsOfTheScalarRule)
{
    for (int32_t w = 0; w <= 20; ++w)
        for (int32_t h = 0; h <= 4; ++h)
            for (int32_t pad = 0; pad < 3; ++pad) {
                // Rows of the source and destination pad and pad + 1 words longer than w.
                const int32_t sPitch = w + pad, dPitch = w + pad + 1;
                const std::vector<uint32_t> src = RunWords(size_t(sPitch) * size_t(h));
                const std::vector<uint32_t> dst = Words(size_t(dPitch) * size_t(h) + 8);
                std::vector<uint32_t> fast = dst, rule = dst;
                SurfaceOverRect32(fast.data(), ptrdiff_t(dPitch) * 4, src.data(), ptrdiff_t(sPitch) * 4, w, h);
                for (int32_t j = 0; j < h; ++j)
                    SurfaceOverSpan32Scalar(rule.data() + size_t(j) * size_t(dPitch),
                                            src.data() + size_t(j) * size_t(sPitch), w);
                ASSERT_EQ(fast, rule) << "w " << w << " h " << h << " pad " << pad;
            }
}

TEST(SurfaceSpans, AddSpanFormsMatchTheScalarRule)
{
    using Span = void (*)(uint32_t*, const uint32_t*, int32_t, bool, uint32_t, uint32_t, uint32_t);
    std::vector<std::pair<const char*, Span>> forms{{"SSE2", SurfaceAddSpan32Sse2}, {"dispatched", SurfaceAddSpan32}};
    if (CpuHasAvx2())
        forms.emplace_back("AVX2", SurfaceAddSpan32Avx2);
    const uint32_t factors[][3] = {{255, 255, 255}, {254, 128, 1}, {17, 0, 200}};
    for (const auto& [name, span] : forms)
        for (bool modulate : {false, true})
            for (const auto& f : factors)
                for (int32_t n = 0; n <= 40; ++n)
                    for (int rep = 0; rep < 20; ++rep) {
                        // Colour-0 words are the skipped ones: RunWords' clear words are 0.
                        const std::vector<uint32_t> src = rep % 2 ? RunWords(size_t(n)) : Words(size_t(n));
                        const std::vector<uint32_t> dst = Words(size_t(n) + 8); // words past n stay
                        std::vector<uint32_t> fast = dst, rule = dst;
                        span(fast.data(), src.data(), n, modulate, f[0], f[1], f[2]);
                        SurfaceAddSpan32Scalar(rule.data(), src.data(), n, modulate, f[0], f[1], f[2]);
                        ASSERT_EQ(fast, rule) << name << " modulate " << modulate << " n " << n << " rep " << rep;
                    }
}

TEST(SurfaceSpans, ModulateSpanFormsMatchTheScalarRule)
{
    using Span = void (*)(uint32_t*, const uint32_t*, int32_t, uint32_t, uint32_t, uint32_t, uint32_t, bool);
    std::vector<std::pair<const char*, Span>> forms{{"SSE2", SurfaceModulateSpan32Sse2},
                                                    {"dispatched", SurfaceModulateSpan32}};
    if (CpuHasAvx2())
        forms.emplace_back("AVX2", SurfaceModulateSpan32Avx2);
    // Factors and colour alpha: white, a tint under partial alpha, grey, extremes.
    const uint32_t colours[][4] = {{255, 255, 255, 255}, {172, 138, 103, 220}, {128, 128, 128, 255}, {255, 0, 17, 1},
                                   {0, 0, 0, 0},         {90, 90, 90, 254}};
    for (const auto& [name, span] : forms)
        for (bool blueCarry : {false, true})
            for (const auto& c : colours)
                for (int32_t n = 0; n <= 40; ++n)
                    for (int rep = 0; rep < 20; ++rep) {
                        const std::vector<uint32_t> src = rep % 2 ? RunWords(size_t(n)) : Words(size_t(n));
                        const std::vector<uint32_t> dst = Words(size_t(n) + 8); // words past n stay
                        std::vector<uint32_t> fast = dst, rule = dst;
                        span(fast.data(), src.data(), n, c[0], c[1], c[2], c[3], blueCarry);
                        SurfaceModulateSpan32Scalar(rule.data(), src.data(), n, c[0], c[1], c[2], c[3], blueCarry);
                        ASSERT_EQ(fast, rule) << name << " carry " << blueCarry << " ca " << c[3] << " n " << n
                                              << " rep " << rep;
                    }
}

TEST(SurfaceSpans, AllOpaqueLooksAtEveryAlphaByte)
{
    for (int32_t n = 0; n <= 40; ++n) {
        std::vector<uint32_t> w = Words(size_t(n));
        for (uint32_t& x : w)
            x |= 0xFF000000u;
        EXPECT_TRUE(AllOpaque32(w.data(), n)) << "n " << n;
        // One alpha byte below 255 anywhere, every other bit set.
        for (int32_t k = 0; k < n; ++k) {
            std::vector<uint32_t> one(size_t(n), 0xFFFFFFFFu);
            one[size_t(k)] = (Next() % 255) << 24 | 0xFFFFFFu;
            EXPECT_FALSE(AllOpaque32(one.data(), n)) << "n " << n << " at " << k;
        }
    }
}

} // namespace
