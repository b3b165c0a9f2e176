// Installed typefaces, measured and rendered as grey coverage: the stand-in for the system's font
// rasterizer that system fonts draw through. Real: fontconfig picks the file, FreeType renders
// (platform/linux/FreeTypeFonts.cpp). Fake: fixed box glyphs (platform/fake/FakeSystemFonts.h).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Platform {

struct SystemFontRequest {
    std::string faceName;    // family name, e.g. "DejaVu Sans"
    int32_t pixelHeight = 0; // character (em) height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const SystemFontRequest&) const = default;
};

// One typeface opened at one size. Every operation may run on any thread (faces lock themselves).
class SystemFontFace {
public:
    virtual ~SystemFontFace() = default;
    // Pixels from the top of a line to the baseline, and of one whole line (ascent + descent).
    virtual int32_t Ascent() = 0;
    virtual int32_t Height() = 0;
    // Pen advance of the whole text in pixels (no kerning); 0 for an empty text.
    virtual int32_t TextWidth(std::wstring_view text) = 0;
    // Renders text with the top-left of its line cell at (x, y) into cover (width x height bytes,
    // rows from the top, 0 none .. 255 full). Each pixel keeps the larger of its value and the
    // text's; parts outside the buffer are dropped.
    virtual void RenderCoverage(std::wstring_view text, int32_t x, int32_t y, uint8_t* cover, int32_t width,
                                int32_t height) = 0;
};

class SystemFonts {
public:
    virtual ~SystemFonts() = default;
    // The installed typeface that best matches the request (a common sans-serif when nothing does),
    // with bold and italic simulated where the family has no such face. Null only when no typeface
    // at all can be opened. Any thread.
    virtual std::shared_ptr<SystemFontFace> Open(const SystemFontRequest& request) = 0;
};

// The process's typefaces: the real ones unless a test installed others. Never null.
SystemFonts& GetSystemFonts();
// Installs fonts (nullptr restores the real ones); returns the one installed before.
SystemFonts* SetSystemFonts(SystemFonts* fonts);

} // namespace Platform
