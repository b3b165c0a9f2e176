// The smooth stretch's faster paths give the general filter's rows bit for bit: random sources
// (clear, opaque and partial pixels), odd sizes, source rectangles reaching outside the image,
// clipped destinations (sub-pixel source areas), enlargements, shrinks (a table of factors) and
// mixes of the two, stretches started from inside a sink; the kernels that composite its rows
// give the bits of their scalar rules.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/detail/CpuFeatures.h"
#include "framework/graphics/detail/SmoothStretch.h"
#include "framework/graphics/detail/SmoothStretchSpans.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Fw::DRect;
using Fw::Rect;
using namespace Fw::detail;

struct Lcg {
    uint32_t seed;
    uint32_t operator()()
    {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    }
};

// Runs body with the SSE2 kernels and again with the AVX2 ones (where the processor has them).
template <class Body>
void ForEachSimd(Body&& body)
{
    for (bool wide : {false, true}) {
        AllowAvx2Forms(wide);
        body(wide);
    }
    AllowAvx2Forms(true);
}

// Every row the filter delivers, in order; rows it leaves out stay empty.
std::vector<std::vector<uint32_t>> Rows(bool general, const std::vector<uint32_t>& px, int32_t sw, const Rect& s,
                                        const Rect& r, const DRect& sd)
{
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(r.height));
    auto sink = [&](int32_t j, const uint32_t* avg) { rows[size_t(j)].assign(avg, avg + r.width); };
    if (general)
        SmoothStretchRowsGeneral(px.data(), sw, s, r, sd, sink);
    else
        SmoothStretchRows(px.data(), sw, s, r, sd, sink);
    return rows;
}

void ExpectFastPathsMatchTheGeneralFilter(bool wide)
{
    Lcg next{77};
    for (int rep = 0; rep < 400; ++rep) {
        const int32_t sw = 1 + int32_t(next() % 37), sh = 1 + int32_t(next() % 29);
        std::vector<uint32_t> px(size_t(sw) * size_t(sh));
        for (uint32_t& p : px) {
            const uint32_t kind = next() % 5;
            const uint32_t a = kind == 0 ? 0u : kind == 1 ? 255u : kind == 2 ? 1 + next() % 3 : next() & 0xFF;
            p = a << 24 | (next() & 0xFFFFFF);
        }
        // Source rectangle: mostly inside, sometimes reaching past the image.
        const Rect from(int32_t(next() % 5) - 1, int32_t(next() % 5) - 1, 1 + int32_t(next() % uint32_t(sw + 2)),
                        1 + int32_t(next() % uint32_t(sh + 2)));
        // Destination: each axis enlarged (most cases), kept or shrunk.
        auto extent = [&](int32_t n) {
            const uint32_t k = next() % 6;
            return k < 4 ? n * int32_t(1 + k) + int32_t(next() % 7) : k == 4 ? n : 1 + int32_t(next() % uint32_t(n));
        };
        const Rect dest(int32_t(next() % 21) - 10, int32_t(next() % 21) - 10, extent(from.width), extent(from.height));
        const Rect clip(int32_t(next() % 9), int32_t(next() % 9), 1 + int32_t(next() % 150), 1 + int32_t(next() % 120));
        const Rect s = from.Intersection(Rect(0, 0, sw, sh));
        Rect r;
        DRect sd;
        if (s.width <= 0 || s.height <= 0 || !StretchClip(from, clip, dest, r, sd))
            continue;
        const auto want = Rows(true, px, sw, s, r, sd);
        const auto got = Rows(false, px, sw, s, r, sd);
        for (int32_t j = 0; j < r.height; ++j)
            ASSERT_EQ(got[size_t(j)], want[size_t(j)]) << "wide " << wide << ", rep " << rep << " row " << j;
    }
}

// Large opaque and clear areas (whole groups of clear cells are skipped) and the largest sums.
void ExpectExtremeValuesKept(bool wide)
{
    const int32_t sw = 23, sh = 7;
    std::vector<uint32_t> px(size_t(sw) * size_t(sh));
    for (int32_t i = 0; i < sw * sh; ++i)
        px[size_t(i)] = (i / 5) % 3 == 0 ? 0xFFFFFFFFu : (i / 5) % 3 == 1 ? 0x00FFFFFFu : 0x01000000u;
    const Rect s(0, 0, sw, sh);
    for (int32_t scale = 2; scale <= 5; ++scale) {
        Rect r;
        DRect sd;
        ASSERT_TRUE(StretchClip(s, Rect(0, 0, 200, 200), Rect(0, 0, sw * scale + 1, sh * scale), r, sd));
        EXPECT_EQ(Rows(false, px, sw, s, r, sd), Rows(true, px, sw, s, r, sd)) << "wide " << wide << ", " << scale;
    }
}

// Shrinks by a table of factors (awkward ones among them), on each axis or one axis only, whole
// and clipped (sub-pixel source areas), from sources with clear, partial and opaque pixels, and
// the same stretch twice in a row (the taps are kept between equal stretches).
void ExpectShrinksMatchTheGeneralFilter(bool wide)
{
    struct Factor {
        int32_t from, to;
    };
    const Factor factors[] = {{5, 4},   {7, 3},   {1024, 1023}, {40, 39}, {9, 2}, {100, 1},
                              {13, 13}, {31, 17}, {64, 51},     {15, 12}, {3, 2}, {300, 7}};
    Lcg next{4242};
    for (const Factor& fx : factors)
        for (const Factor& fy : factors) {
            if (fx.from * fy.from > 40000)
                continue;
            const int32_t sw = fx.from + 3, sh = fy.from + 2;
            std::vector<uint32_t> px(size_t(sw) * size_t(sh));
            for (uint32_t& p : px) {
                const uint32_t kind = next() % 4;
                const uint32_t a = kind == 0 ? 0u : kind == 1 ? 255u : 1 + next() % 254;
                p = a << 24 | (next() & 0xFFFFFF);
            }
            const Rect from(1, 1, fx.from, fy.from);
            const Rect s = from.Intersection(Rect(0, 0, sw, sh));
            // The whole destination and one clipped on every side; below, a source reaching past the image.
            const Rect clips[] = {Rect(0, 0, 2000, 2000),
                                  Rect(3, 2, fx.to > 6 ? fx.to - 5 : 1, fy.to > 5 ? fy.to - 4 : 1)};
            for (const Rect& clip : clips) {
                Rect r;
                DRect sd;
                if (!StretchClip(from, clip, Rect(0, 0, fx.to, fy.to), r, sd))
                    continue;
                const auto want = Rows(true, px, sw, s, r, sd);
                for (int twice = 0; twice < 2; ++twice)
                    ASSERT_EQ(Rows(false, px, sw, s, r, sd), want)
                        << "wide " << wide << ", " << fx.from << "/" << fx.to << " x " << fy.from << "/"
                        << fy.to << ", clip " << clip.x;
            }
            const Rect past(-2, sh - fy.from + 3, fx.from, fy.from);
            const Rect sPast = past.Intersection(Rect(0, 0, sw, sh));
            Rect r;
            DRect sd;
            if (sPast.width > 0 && sPast.height > 0 &&
                StretchClip(past, Rect(0, 0, 2000, 2000), Rect(0, 0, fx.to, fy.to), r, sd)) {
                ASSERT_EQ(Rows(false, px, sw, sPast, r, sd), Rows(true, px, sw, sPast, r, sd))
                    << "wide " << wide << ", past the image, " << fx.from << "/" << fx.to << " x " << fy.from
                    << "/" << fy.to;
            }
        }
}

// Every alpha with every channel value, in each channel and lane position (runs of four opaque
// cells included), and spans of every
// length up to 37 from random values (clear, opaque and partial), against the scalar rules.
void ExpectNativeX888MatchesTheScalarRule(bool wide)
{
    std::vector<uint32_t> avg;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t v = 0; v < 256; ++v)
            avg.push_back(a << 24 | v << 16 | (255 - v) << 8 | ((v * 7 + a) & 0xFF));
    for (int32_t shift = 0; shift < 4; ++shift) {
        std::vector<uint32_t> fast(avg.size() + 4, 1), scalar(avg.size() + 4, 1);
        SmoothNativeX888Span(fast.data() + shift, avg.data(), int32_t(avg.size()));
        SmoothNativeX888SpanScalar(scalar.data() + shift, avg.data(), int32_t(avg.size()));
        ASSERT_EQ(fast, scalar) << "wide " << wide << ", " << shift;
        std::vector<uint32_t> under(avg.size() + 4);
        for (size_t i = 0; i < under.size(); ++i)
            under[i] = uint32_t(i * 2654435761u);
        fast = under;
        scalar = under;
        SmoothOverX888Span(fast.data() + shift, avg.data(), int32_t(avg.size()));
        SmoothOverX888SpanScalar(scalar.data() + shift, avg.data(), int32_t(avg.size()));
        ASSERT_EQ(fast, scalar) << "wide " << wide << ", over, " << shift;
        // The same cells between clear ones: no group of them is opaque or clear throughout.
        std::vector<uint32_t> spaced(avg.size() * 2, 0);
        for (size_t i = 0; i < avg.size(); ++i)
            spaced[2 * i + 1] = avg[i];
        std::vector<uint32_t> under2(spaced.size() + 4);
        for (size_t i = 0; i < under2.size(); ++i)
            under2[i] = uint32_t(i * 2246822519u);
        fast = under2;
        scalar = under2;
        SmoothOverX888Span(fast.data() + shift, spaced.data(), int32_t(spaced.size()));
        SmoothOverX888SpanScalar(scalar.data() + shift, spaced.data(), int32_t(spaced.size()));
        ASSERT_EQ(fast, scalar) << "wide " << wide << ", over between clear cells, " << shift;
    }
}

std::vector<uint32_t> Mixed(Lcg& next, size_t n)
{
    std::vector<uint32_t> v(n);
    for (uint32_t& p : v) {
        const uint32_t kind = next() % 4;
        p = (kind == 0 ? 0u : kind == 1 ? 0xFF000000u : (next() << 24)) | (next() & 0xFFFFFF);
        if (kind == 0 && next() % 2)
            p = 0; // the filter's clear cells
    }
    return v;
}

void ExpectCompositingMatchesTheScalarRules(bool wide)
{
    Lcg next{5};
    for (int32_t n = 0; n <= 37; ++n)
        for (int rep = 0; rep < 40; ++rep) {
            const std::vector<uint32_t> avg = Mixed(next, size_t(n)), dst = Mixed(next, size_t(n));
            std::vector<uint32_t> fast = dst, scalar = dst;
            SmoothOverSpan(fast.data(), avg.data(), n);
            SmoothOverSpanScalar(scalar.data(), avg.data(), n);
            ASSERT_EQ(fast, scalar) << "wide " << wide << ", memory image, length " << n;

            fast = dst;
            scalar = dst;
            SmoothOverX888Span(fast.data(), avg.data(), n);
            SmoothOverX888SpanScalar(scalar.data(), avg.data(), n);
            ASSERT_EQ(fast, scalar) << "wide " << wide << ", X888, length " << n;

            std::vector<uint32_t> native(static_cast<size_t>(n));
            SmoothNativeX888SpanScalar(native.data(), avg.data(), n);
            std::vector<uint16_t> d16(static_cast<size_t>(n));
            for (int32_t i = 0; i < n; ++i)
                d16[size_t(i)] = uint16_t(dst[size_t(i)]);
            std::vector<uint16_t> fast16 = d16, scalar16 = d16;
            SmoothOver565Span(fast16.data(), native.data(), n);
            SmoothOver565SpanScalar(scalar16.data(), native.data(), n);
            ASSERT_EQ(fast16, scalar16) << "wide " << wide << ", 565, length " << n;
        }
    // Every destination alpha under every source alpha (the division by 255 of the new alpha).
    std::vector<uint32_t> avg, dst;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t da = 0; da < 256; ++da) {
            avg.push_back(a << 24 | (a * 3 + da) % 256 << 16 | da << 8 | (255 - a));
            dst.push_back(da << 24 | (da * 5 + a) % 256 << 16 | a << 8 | (255 - da));
        }
    std::vector<uint32_t> fast = dst, scalar = dst;
    SmoothOverSpan(fast.data(), avg.data(), int32_t(avg.size()));
    SmoothOverSpanScalar(scalar.data(), avg.data(), int32_t(avg.size()));
    EXPECT_EQ(fast, scalar) << "wide " << wide;
}

TEST(SmoothStretchRows, FastPathsMatchTheGeneralFilter)
{
    ForEachSimd([](bool wide) { ExpectFastPathsMatchTheGeneralFilter(wide); });
}

TEST(SmoothStretchRows, EnlargingKeepsExtremeValues)
{
    ForEachSimd([](bool wide) { ExpectExtremeValuesKept(wide); });
}

TEST(SmoothStretchRows, ShrinksMatchTheGeneralFilter)
{
    ForEachSimd([](bool wide) { ExpectShrinksMatchTheGeneralFilter(wide); });
}

// A sink that stretches again (another image, another scale) gets the rows it would get alone,
// and so does the outer stretch.
TEST(SmoothStretchRows, StretchingInsideASinkKeepsBothResults)
{
    Lcg next{9};
    std::vector<uint32_t> a(30 * 20), b(17 * 11);
    for (uint32_t& p : a)
        p = next() * 2654435761u;
    for (uint32_t& p : b)
        p = next() * 2246822519u;
    const Rect sa(0, 0, 30, 20), sb(0, 0, 17, 11);
    Rect ra, rb;
    DRect da, db;
    ASSERT_TRUE(StretchClip(sa, Rect(0, 0, 100, 100), Rect(0, 0, 13, 9), ra, da));
    ASSERT_TRUE(StretchClip(sb, Rect(0, 0, 100, 100), Rect(0, 0, 7, 5), rb, db));
    const auto wantA = Rows(true, a, 30, sa, ra, da), wantB = Rows(true, b, 17, sb, rb, db);
    std::vector<std::vector<uint32_t>> gotA(size_t(ra.height));
    SmoothStretchRows(a.data(), 30, sa, ra, da, [&](int32_t j, const uint32_t* avg) {
        EXPECT_EQ(Rows(false, b, 17, sb, rb, db), wantB) << "inner, row " << j;
        gotA[size_t(j)].assign(avg, avg + ra.width);
    });
    EXPECT_EQ(gotA, wantA);
}

TEST(SmoothStretchSpans, NativeX888MatchesTheScalarRule)
{
    ForEachSimd([](bool wide) { ExpectNativeX888MatchesTheScalarRule(wide); });
}

TEST(SmoothStretchSpans, CompositingMatchesTheScalarRules)
{
    ForEachSimd([](bool wide) { ExpectCompositingMatchesTheScalarRules(wide); });
}

} // namespace
