// Colour record: four signed channels (red, green, blue, alpha), 0..255 by convention, never clamped.
// Packed form is 0xAARRGGBB.
#pragma once
#include <cstdint>

namespace Fw {

struct Color {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t alpha = 255;

    constexpr Color() = default;
    // Takes the top byte as alpha as it stands: 0xRRGGBB without an alpha byte is transparent.
    constexpr explicit Color(uint32_t packed)
        : red(int32_t((packed >> 16) & 0xFF)), green(int32_t((packed >> 8) & 0xFF)),
          blue(int32_t(packed & 0xFF)), alpha(int32_t(packed >> 24))
    {
    }
    constexpr Color(int32_t r, int32_t g, int32_t b) : red(r), green(g), blue(b), alpha(255) {}
    constexpr Color(int32_t r, int32_t g, int32_t b, int32_t a) : red(r), green(g), blue(b), alpha(a) {}

    // Takes the other colour's red, green and blue with full alpha.
    constexpr void FromRGB(const Color& other)
    {
        red = other.red;
        green = other.green;
        blue = other.blue;
        alpha = 255;
    }
    constexpr uint32_t ToInt() const
    {
        return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    }
    constexpr int32_t GetRed() const { return red; }
    constexpr int32_t GetGreen() const { return green; }
    constexpr int32_t GetBlue() const { return blue; }
    constexpr int32_t GetAlpha() const { return alpha; }

    constexpr bool operator==(const Color&) const = default;

    static const Color White;
    static const Color Black;
};

inline constexpr Color Color::White{255, 255, 255, 255};
inline constexpr Color Color::Black{0, 0, 0, 255};

} // namespace Fw
