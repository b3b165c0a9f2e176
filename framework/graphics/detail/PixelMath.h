// Pixel arithmetic of the memory-image drawing code, on 0xAARRGGBB words with straight alpha.
// Internal to framework/graphics (and surface images later): other folders call the images.
//
// Rounding rules, in one place:
//  - x / 255 truncates toward zero (integer division; the compiler's multiply form is exact).
//  - Channel products with a weight out of 256 are shifted right by 8 (truncating). Red and blue
//    are multiplied together on the mask 0xFF00FF and green on 0xFF00; this gives the same bits
//    as one channel at a time because each product stays below 2^16 within its lane.
//  - Saturating adds clamp each channel at 255 through a 512-entry table (entry i = min(i, 255)).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace Fw::detail {

inline constexpr uint32_t kRB = 0x00FF00FFu;
inline constexpr uint32_t kG = 0x0000FF00u;

// d * (256 - w) + q * w, >> 8, per channel of the colour part (w 0..256); the alpha byte is 0.
inline uint32_t LerpRGB(uint32_t d, uint32_t q, uint32_t w)
{
    const uint32_t iw = 256 - w;
    const uint32_t rb = (((d & kRB) * iw + (q & kRB) * w) >> 8) & kRB;
    const uint32_t g = (((d & kG) * iw + (q & kG) * w) >> 8) & kG;
    return rb | g;
}

// Over-compositing of colour q with effective alpha a (1..255) onto d:
//   newA = da + (255 - da) * a / 255;  w = a * 255 / newA;
//   channel = (d * (256 - w) + q * w) >> 8;  alpha = newA.
// A transparent destination takes q fully (w = 255); an opaque one keeps alpha 255 (w = a).
struct OverWeights {
    uint32_t newAlpha; // already shifted to bits 24..31
    uint32_t weight;   // w, 0..255
};

inline OverWeights OverFor(uint32_t da, uint32_t a)
{
    const uint32_t newA = da + (255 - da) * a / 255;
    return {newA << 24, newA ? a * 255 / newA : 0}; // newA is 0 only for a = 0 onto alpha 0
}

inline uint32_t Over(uint32_t d, uint32_t q, uint32_t a)
{
    const OverWeights ow = OverFor(d >> 24, a);
    return ow.newAlpha | LerpRGB(d, q, ow.weight);
}

// Over with the common destination alphas handled without a division (same bits as Over).
inline uint32_t OverFast(uint32_t d, uint32_t q, uint32_t a)
{
    const uint32_t da = d >> 24;
    if (da == 255)
        return 0xFF000000u | LerpRGB(d, q, a); // newA = 255, w = a
    if (da == 0)
        return (a << 24) | LerpRGB(d, q, 255); // newA = a, w = 255
    return Over(d, q, a);
}

// Opaque-destination blend: channel = (d * (256 - a) >> 8) + (q * a >> 8), each product
// truncated on its own; alpha 255.
inline uint32_t BlendOpaque(uint32_t d, uint32_t q, uint32_t a)
{
    const uint32_t ia = 256 - a;
    const uint32_t rb = ((((d & kRB) * ia) >> 8) & kRB) + ((((q & kRB) * a) >> 8) & kRB);
    const uint32_t g = ((((d & kG) * ia) >> 8) & kG) + ((((q & kG) * a) >> 8) & kG);
    return 0xFF000000u | rb | g;
}

// Entry i = min(i, 255): the sum of two channels clamped.
struct SaturationTable {
    std::array<uint8_t, 512> entry;
    constexpr SaturationTable() : entry{}
    {
        for (int i = 0; i < 512; ++i)
            entry[std::size_t(i)] = uint8_t(i < 255 ? i : 255);
    }
};
inline constexpr SaturationTable kSaturate{};

// Saturating add of the three colour channels of q onto d (each q channel 0..255); d's alpha stays.
inline uint32_t AddRGB(uint32_t d, uint32_t qr, uint32_t qg, uint32_t qb)
{
    const uint8_t* t = kSaturate.entry.data();
    return (d & 0xFF000000u) | (uint32_t(t[((d >> 16) & 0xFF) + qr]) << 16) |
           (uint32_t(t[((d >> 8) & 0xFF) + qg]) << 8) | uint32_t(t[(d & 0xFF) + qb]);
}

// Colour modulation of s: each channel s * colour channel >> 8 (alpha byte left 0).
inline uint32_t ModulateRGB(uint32_t s, uint32_t r, uint32_t g, uint32_t b)
{
    return ((((s >> 16) & 0xFF) * r >> 8) << 16) | ((((s >> 8) & 0xFF) * g >> 8) << 8) | ((s & 0xFF) * b >> 8);
}

// Grey modulation (equal channels): both lanes at once with one weight.
inline uint32_t ScaleRGB(uint32_t s, uint32_t f)
{
    return ((((s & kRB) * f) >> 8) & kRB) | ((((s & kG) * f) >> 8) & kG);
}

// kRecip[n] = ceil(2^24 / n): (s * kRecip[n]) >> 24 == s / n exactly for 1 <= n <= 255 and
// 0 <= s <= 255 * n: the product stays within 32 bits and the rounding error s / 2^24 stays
// below 1 / 255. A sum of channel times coverage never exceeds 255 times the coverage.
constexpr std::array<uint32_t, 256> MakeReciprocals()
{
    std::array<uint32_t, 256> r{};
    for (uint32_t n = 1; n < 256; ++n)
        r[n] = ((1u << 24) + n - 1) / n;
    return r;
}
inline constexpr std::array<uint32_t, 256> kRecip = MakeReciprocals();

// floor(c / t) by one multiplication, exact for 1 <= t <= 2^17 and 0 <= c <= 255 * t:
// m = ceil(2^42 / t) = (2^42 + e) / t with 0 <= e < t, so c * m / 2^42 exceeds c / t by
// c * e / (t * 2^42) < 255 * t^2 / (t * 2^42) <= 1 / t, less than the distance from c / t to the next
// integer above it; c * m stays below 2^50.
struct ExactDivisor {
    static constexpr uint32_t kMax = 1u << 17;
    uint64_t m = 0;
    ExactDivisor() = default;
    explicit ExactDivisor(uint32_t t) : m(((uint64_t(1) << 42) + t - 1) / t) {}
    uint32_t operator()(uint32_t c) const { return uint32_t((uint64_t(c) * m) >> 42); }
};

} // namespace Fw::detail
