// The packed pixel arithmetic against plain one-channel-at-a-time references, exhaustively where
// the input space allows.
#include "framework/graphics/detail/PixelMath.h"

#include <gtest/gtest.h>

namespace {

using namespace Fw::detail;

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Plain over: newA = da + (255 - da) * a / 255, w = a * 255 / newA, channel (d(256-w) + q w) >> 8.
uint32_t RefOver(uint32_t d, uint32_t q, uint32_t a)
{
    const uint32_t da = d >> 24;
    const uint32_t newA = da + (255 - da) * a / 255;
    const uint32_t w = a * 255 / newA;
    uint32_t out = newA << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t dc = (d >> shift) & 0xFF, qc = (q >> shift) & 0xFF;
        out |= ((dc * (256 - w) + qc * w) >> 8) << shift;
    }
    return out;
}

TEST(PixelMath, OverMatchesPlainFormulaForEveryAlphaPair)
{
    // Every destination alpha x source alpha, with channel pairs sweeping 0..255 in steps of 15.
    for (uint32_t da = 0; da < 256; ++da)
        for (uint32_t a = 1; a < 256; ++a) {
            for (uint32_t dc = 0; dc < 256; dc += 15)
                for (uint32_t qc = 0; qc < 256; qc += 15) {
                    const uint32_t d = Pack(da, dc, 255 - dc, dc ^ 0x5A);
                    const uint32_t q = Pack(0, qc, qc ^ 0xA5, 255 - qc);
                    const uint32_t expected = RefOver(d, q, a);
                    ASSERT_EQ(Over(d, q, a), expected) << "da " << da << " a " << a << " d " << d << " q " << q;
                }
        }
}

TEST(PixelMath, OverWorkedValues)
{
    struct Case { uint32_t d, q, a, expected; };
    const Case cases[] = {
        {0x00000000, 0x00FF0000, 128, 0x80FE0000}, // onto transparent: colour taken fully (w = 255)
        {0xFF0000FF, 0x00FF0000, 128, 0xFF7F007F}, // onto opaque: alpha stays 255
        {0xFF000000, 0x00FFFFFF, 255, 0xFFFEFEFE}, // opaque over opaque is not a copy (w = 255)
        {0x80000000, 0x00FFFFFF, 64, 0x9F656565},  // newA = 128 + 127*64/255 = 159, w = 102
    };
    for (const Case& c : cases)
        EXPECT_EQ(Over(c.d, c.q, c.a), c.expected) << std::hex << c.d << " " << c.q << " " << c.a;
}

TEST(PixelMath, BlendOpaqueEveryChannelAndAlpha)
{
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t dc = 0; dc < 256; ++dc)
            for (uint32_t qc = 0; qc < 256; qc += 3) {
                const uint32_t expected = ((dc * (256 - a)) >> 8) + ((qc * a) >> 8);
                const uint32_t got = BlendOpaque(Pack(7, dc, qc, dc), Pack(9, qc, dc, qc), a);
                ASSERT_EQ(got >> 24, 255u);
                ASSERT_EQ((got >> 16) & 0xFF, expected) << "a " << a << " d " << dc << " q " << qc;
                ASSERT_EQ(got & 0xFF, expected);
                ASSERT_EQ((got >> 8) & 0xFF, ((qc * (256 - a)) >> 8) + ((dc * a) >> 8));
            }
}

TEST(PixelMath, ModulateAndAddEveryBytePair)
{
    for (uint32_t s = 0; s < 256; ++s)
        for (uint32_t f = 0; f < 257; ++f) {
            const uint32_t px = Pack(0xAB, s, 255 - s, s);
            const uint32_t m = ModulateRGB(px, f, f, f);
            ASSERT_EQ(m, ScaleRGB(px, f)) << s << " " << f;
            ASSERT_EQ((m >> 16) & 0xFF, (s * f) >> 8);
            ASSERT_EQ((m >> 8) & 0xFF, ((255 - s) * f) >> 8);
        }
    for (uint32_t d = 0; d < 256; ++d)
        for (uint32_t q = 0; q < 256; ++q) {
            const uint32_t got = AddRGB(Pack(0x42, d, d, 255 - d), q, 0, q);
            ASSERT_EQ(got >> 24, 0x42u);
            ASSERT_EQ((got >> 16) & 0xFF, std::min(d + q, 255u));
            ASSERT_EQ((got >> 8) & 0xFF, d);
            ASSERT_EQ(got & 0xFF, std::min(255 - d + q, 255u));
        }
}

TEST(PixelMath, ReciprocalDivisionIsExact)
{
    for (uint32_t n = 1; n < 256; ++n)
        for (uint32_t s = 0; s <= 255 * n; ++s) // a channel sum is at most 255 x its coverage
            ASSERT_EQ((s * kRecip[n]) >> 24, s / n) << s << " / " << n;
}

} // namespace

namespace {

TEST(PixelMath, OverFastIsOver)
{
    for (uint32_t da : {0u, 1u, 128u, 254u, 255u})
        for (uint32_t a = 1; a < 256; ++a)
            for (uint32_t c = 0; c < 256; c += 5) {
                const uint32_t d = da << 24 | c << 16 | (255 - c) << 8 | (c ^ 0x33);
                const uint32_t q = (255 - c) << 16 | c << 8 | (c ^ 0xCC);
                ASSERT_EQ(OverFast(d, q, a), RefOver(d, q, a)) << "da " << da << " a " << a << " c " << c;
            }
}

} // namespace

namespace {

TEST(PixelMath, ExactDivisorIsDivision)
{
    // Every divisor the stretch uses, each against multiples of it, their neighbours and the ends.
    uint32_t seed = 99;
    for (uint32_t t = 1; t <= ExactDivisor::kMax; ++t) {
        const ExactDivisor div(t);
        ASSERT_EQ(div(0), 0u);
        ASSERT_EQ(div(255 * t), 255u) << t;
        ASSERT_EQ(div(255 * t - 1), 254u) << t;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1664525u + 1013904223u;
            const uint32_t q = 1 + (seed >> 8) % 254;
            for (uint32_t c : {q * t - 1, q * t, q * t + 1, q * t + t / 2})
                ASSERT_EQ(div(c), c / t) << c << " / " << t;
        }
    }
}

} // namespace
