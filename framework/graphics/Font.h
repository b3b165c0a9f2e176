// Abstract font: four vertical metrics and the measuring/drawing operations that the drawing
// context and its text layout call. Image fonts and system fonts derive from it; the base measures
// every string as 0 wide and draws nothing.
#pragma once
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>

namespace Fw {

class Graphics;

class Font {
public:
    Font() = default;
    Font(const Font&) = default; // copies the four metrics
    Font& operator=(const Font&) = default;
    virtual ~Font() = default;

    virtual int32_t GetAscent() { return ascent; }
    virtual int32_t GetAscentPadding() { return ascentPadding; }
    virtual int32_t GetDescent() { return height - ascent; }
    virtual int32_t GetHeight() { return height; }
    virtual int32_t GetLineSpacingOffset() { return lineSpacingOffset; }
    virtual int32_t GetLineSpacing() { return height + lineSpacingOffset; }
    // Width in pixels of the whole string.
    virtual int32_t StringWidth(const std::wstring& /*text*/) { return 0; }
    virtual int32_t CharWidth(wchar_t ch) { return StringWidth(std::wstring(1, ch)); }
    // Width of ch drawn after prev, kerning included (the base ignores prev).
    virtual int32_t CharWidthKern(wchar_t ch, wchar_t /*prev*/) { return CharWidth(ch); }
    // Draws text with its baseline at y through g, which applies its own translation and clip.
    virtual void DrawString(Graphics* /*g*/, int32_t /*x*/, int32_t /*y*/, const std::wstring& /*text*/,
                            const Color& /*color*/, const Rect& /*clip*/)
    {
    }
    // A new copy, owned by the caller.
    virtual Font* Duplicate() = 0;

    int32_t ascent = 0;            // pixels from the top of a line to the baseline
    int32_t ascentPadding = 0;     // subtracted from the ascent when a text's first line is placed
    int32_t height = 0;            // pixels of one line
    int32_t lineSpacingOffset = 0; // added to height to give the line spacing
};

} // namespace Fw
