// Text layout of the drawing context: one line with inline colour tags (WriteString) and word
// wrapping inside a rectangle (WriteWordWrapped, GetWordWrappedHeight).
//
// A colour tag is eight characters: '^' + RRGGBB + one more character, or '^' + "oldclr" + one
// more; "^^" writes one '^'. Tags keep the current alpha.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/GlyphPlacement.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <vector>

namespace Fw {

namespace {

constexpr int32_t kTagLength = 8;

int32_t HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return 0; // any other character counts as 0
}

// The colour a tag at text[i] sets, alpha taken from current.
Color ParseTag(const std::wstring& text, size_t i, const Color& current, uint32_t oldColor)
{
    Color c = current;
    if (text[i + 1] == L'o') {
        if (text.compare(i + 1, 6, L"oldclr") == 0) {
            c.red = int32_t((oldColor >> 16) & 0xFF);
            c.green = int32_t((oldColor >> 8) & 0xFF);
            c.blue = int32_t(oldColor & 0xFF);
        } else {
            c.red = c.green = c.blue = 0;
        }
        return c;
    }
    auto pair = [&](size_t k) { return HexDigit(text[k]) * 16 + HexDigit(text[k + 1]); };
    c.red = pair(i + 1);
    c.green = pair(i + 3);
    c.blue = pair(i + 5);
    return c;
}

} // namespace

bool Graphics::DrawGlyphs(MemoryImage* image, const GlyphPlacement* glyphs, size_t count)
{
    auto* memory = dynamic_cast<MemoryImage*>(destImage);
    if (!image || !memory || drawMode != DRAWMODE_NORMAL || scaleX != 1.0f || scaleY != 1.0f)
        return false;
    // Each glyph placed and clipped as DrawImage(image, x, y, src) places and clips it.
    std::vector<GlyphPlacement> placed;
    placed.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        Rect s = glyphs[k].src;
        int32_t x = glyphs[k].x, y = glyphs[k].y;
        if (s.x + s.width > image->GetWidth() || s.y + s.height > image->GetHeight())
            continue;
        CutNegativeStart(s.x, x, s.width);
        CutNegativeStart(s.y, y, s.height);
        if (s.width < 1 || s.height < 1)
            continue;
        const int32_t tx = int32_t(float(x) + transX), ty = int32_t(float(y) + transY);
        const Rect r = Rect(tx, ty, s.width, s.height).Intersection(clipRect);
        if (r.width < 1 || r.height < 1)
            continue;
        placed.push_back({r.x, r.y, Rect(s.x + r.x - tx, s.y + r.y - ty, r.width, r.height)});
    }
    return memory->BltPaletteGlyphs(image, placed.data(), placed.size(), ImageColor());
}

int32_t Graphics::WriteString(const std::wstring& text, int32_t x, int32_t y, int32_t width, int32_t justification,
                              bool draw, int32_t offset, int32_t length, int32_t oldColor)
{
    if (!font)
        return 0;
    if (oldColor == -1)
        oldColor = int32_t(color.ToInt());
    if (draw && (justification == 0 || justification == 1)) {
        const int32_t w = WriteString(text, x, y, width, -1, false, offset, length, oldColor);
        x += justification == 0 ? (width - w) / 2 : width - w;
    }
    const int32_t size = int32_t(text.size());
    int32_t end = length < 0 ? size : int32_t(std::min<int64_t>(int64_t(offset) + length, size));
    int32_t widthSoFar = 0;
    std::wstring run;
    auto flush = [&]() {
        if (draw && !run.empty())
            font->DrawString(this, x + widthSoFar, y, run, color, clipRect);
    };
    for (int32_t i = std::max(offset, 0); i < end;) {
        const wchar_t ch = text[size_t(i)];
        if (ch != L'^' || !colorTagsEnabled) {
            run += ch;
            ++i;
        } else if (i + 1 < end && text[size_t(i) + 1] == L'^') {
            run += L'^';
            i += 2;
        } else if (i > end - kTagLength) {
            break; // a tag cut off by the end: the rest is dropped
        } else {
            const Color tagColor = ParseTag(text, size_t(i), color, uint32_t(oldColor));
            flush();
            if (draw)
                color = tagColor;
            widthSoFar += font->StringWidth(run);
            run.clear();
            i += kTagLength;
        }
    }
    flush();
    return widthSoFar + font->StringWidth(run);
}

int32_t Graphics::WriteLine(const std::wstring& text, int32_t x, int32_t y, int32_t width, int32_t justification,
                            int32_t start, int32_t count, int32_t maxChars, int32_t oldColor)
{
    const int32_t limit = maxChars < 0 ? int32_t(text.size()) : maxChars;
    if (start + count > limit) {
        count = limit - start;
        if (count < 1)
            return -1;
    }
    return WriteString(text, x, y, width, justification, true, start, count, oldColor);
}

// The layout always runs from the first character forward; a backward layout has no user, so the
// direction flag is accepted and laid out forward as well.
int32_t Graphics::WriteWordWrapped(const Rect& rect, const std::wstring& text, int32_t lineSpacing,
                                   int32_t justification, int32_t* maxWidthOut, int32_t maxChars,
                                   int32_t* lastWidth, bool /*forward*/)
{
    if (!font)
        return 0;
    const Color savedColor = color;
    const int32_t oldColor = int32_t(color.ToInt());
    if (lineSpacing == -1)
        lineSpacing = font->GetLineSpacing();
    const int32_t ascent = font->GetAscent(), padding = font->GetAscentPadding();

    const int32_t size = int32_t(text.size());
    int32_t i = 0, lineStart = 0, lastSpace = -1;
    int32_t curWidth = lastWidth ? *lastWidth : 0;
    int32_t lineX = curWidth;
    wchar_t prev = 0;
    int32_t lineCount = 0, lineY = 0, maxWidth = 0;
    bool endedOnNewline = false;
    bool stopped = false;

    while (i < size) {
        wchar_t ch = text[size_t(i)];
        if (ch == L' ') {
            lastSpace = i;
        } else if (ch == L'\n') {
            lastSpace = i;
            curWidth = rect.width + 1; // forces a break
        } else if (ch == L'^' && colorTagsEnabled && i + 1 < size) {
            if (text[size_t(i) + 1] != L'^') {
                i += kTagLength; // a tag has no width
                continue;
            }
            ++i; // "^^" counts as one '^'
        }
        curWidth += font->CharWidthKern(ch, prev);
        prev = ch;
        if (curWidth <= rect.width) {
            ++i;
            continue;
        }

        // Break the line.
        const int32_t base = rect.y + ascent - padding + lineY;
        int32_t lineWidth;
        int32_t next;
        if (lastSpace >= 0) {
            const int32_t screenY = int32_t(transY + float(base));
            if (screenY >= clipRect.y && screenY < clipRect.y + clipRect.height + lineSpacing)
                WriteLine(text, rect.x + lineX, base, rect.width, justification, lineStart, lastSpace - lineStart,
                          maxChars, oldColor);
            lineWidth = lineX + curWidth;
            next = lastSpace + 1;
            if (ch != L'\n')
                while (next < size && text[size_t(next)] == L' ')
                    ++next;
            endedOnNewline = ch == L'\n';
        } else {
            if (i < lineStart + 1)
                i = lineStart + 1; // a line holds at least one character
            lineWidth = WriteLine(text, rect.x + lineX, base, rect.width, justification, lineStart, i - lineStart,
                                  maxChars, oldColor);
            if (lineWidth < 0) {
                stopped = true; // the character limit is reached
                break;
            }
            if (maxWidthOut && *maxWidthOut < lineWidth)
                *maxWidthOut = lineWidth;
            if (lastWidth)
                *lastWidth = lineWidth;
            next = i;
            endedOnNewline = false;
        }
        maxWidth = std::max(maxWidth, lineWidth);
        curWidth = 0;
        lineX = 0;
        prev = 0;
        lastSpace = -1;
        ++lineCount;
        lineY += lineSpacing;
        lineStart = next;
        i = next;
    }

    if (!stopped) {
        if (lineStart < size) {
            const int32_t w = WriteLine(text, rect.x + lineX, rect.y + ascent + lineCount * lineSpacing - padding,
                                        rect.width, justification, lineStart, size - lineStart, maxChars, oldColor);
            if (w >= 0) {
                maxWidth = std::max(maxWidth, w);
                if (lastWidth)
                    *lastWidth = w;
            }
        } else if (endedOnNewline && lastWidth) {
            *lastWidth = 0;
        }
    }

    color = savedColor;
    if (maxWidthOut)
        *maxWidthOut = maxWidth;
    return lineCount * lineSpacing + ascent - padding + font->GetDescent();
}

int32_t Graphics::GetWordWrappedHeight(int32_t width, const std::wstring& text, int32_t lineSpacing,
                                       int32_t* maxWidth)
{
    Graphics measure(nullptr);
    measure.font = font;
    return measure.WriteWordWrapped(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth, -1, nullptr, true);
}

} // namespace Fw
