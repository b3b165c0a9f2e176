// Font rendered from an installed typeface through the platform's font rasterizer. Measures with
// the typeface's advances; draws by rendering the text over a white and over a black background,
// deriving straight-alpha ARGB pixels from the two, and drawing that image through the context
// (so translation, clipping, colour and draw mode apply as for any image). Onto a surface image
// the coverage goes straight to the surface through a table of those pixels, with the same bits.
#pragma once
#include "framework/graphics/Font.h"
#include "platform/SystemFonts.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Fw {

class MemoryImage;

// The ARGB pixel for one pixel of text rendered on white (onWhite) and on black (onBlack), both
// 0x00RRGGBB: equal renderings are opaque; otherwise per channel a = black - white + 255 and
// colour = black x 255 / a, alpha the smallest a; untouched pixels (white stays white, black stays
// black) and pixels where some a is 0 are transparent black.
uint32_t DeriveTextPixel(uint32_t onWhite, uint32_t onBlack);

class SysFont : public Font {
public:
    // faceName at pointSize points on a 96 pixels-per-inch screen.
    SysFont(const std::string& faceName, int32_t pointSize, bool bold = false, bool italic = false,
            bool underline = false);
    // The same; charSet is accepted for the callers' sake (text is Unicode throughout).
    SysFont(const std::string& faceName, int32_t pointSize, int32_t charSet, bool bold, bool italic,
            bool underline);
    // Same typeface and metrics; shadow and simulated bold start off.
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    int32_t StringWidth(const std::wstring& text) override;
    // Draws text with its baseline at y. clip is not used (g clips).
    void DrawString(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    // The text's cell (StringWidth x height) as straight-alpha pixels in color (its alpha unused):
    // what DrawString draws at (x, y - ascent). Null for an empty text or without a typeface.
    std::unique_ptr<MemoryImage> RenderText(const std::wstring& text, const Color& color);

    // Pixels per inch of the screen fonts are made for.
    static constexpr int32_t kScreenDpi = 96;

    bool shadow = false;                  // a black copy one pixel right and down, under the text
    bool simulateBold = false;            // the text again one pixel to the right
    Platform::SystemFontRequest request;  // what the typeface was opened with
    std::shared_ptr<Platform::SystemFontFace> face; // null when no typeface could be opened

private:
    // DrawString without a shadow or simulated bold: the text's coverage goes straight onto a
    // surface image where it can, else RenderText's image made from it is drawn.
    void DrawCoverage(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color);
    void Init(const std::string& faceName, int32_t pointSize, bool bold, bool italic,
              bool underline);
};

} // namespace Fw
