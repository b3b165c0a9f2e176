// System fonts: typeface selection, measuring, and drawing through two background renderings.
#include "framework/assets/SysFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Fw {

namespace {

// value composited with coverage a (0..255) of colour over it, rounded to nearest.
uint32_t Over(uint32_t value, uint32_t colour, uint32_t a)
{
    return (value * (255 - a) + colour * a + 127) / 255;
}

// The pixel of text coverage t in colour rgb (blue, green, red) over shadow coverage s: the text
// rendered on white and on black, the pixel derived from the two.
uint32_t CoveragePixel(const uint32_t rgb[3], uint32_t s, uint32_t t)
{
    uint32_t onWhite = 0, onBlack = 0;
    for (int k = 0; k < 3; ++k) {
        const uint32_t white = Over(Over(255, 0, s), rgb[k], t);
        const uint32_t black = Over(Over(0, 0, s), rgb[k], t);
        onWhite |= white << (8 * k);
        onBlack |= black << (8 * k);
    }
    return DeriveTextPixel(onWhite, onBlack);
}

// CoveragePixel of every coverage without a shadow, for the last colour used on this thread.
const std::array<uint32_t, 256>& CoverageTable(const uint32_t rgb[3])
{
    struct Last {
        bool valid = false;
        uint32_t rgb[3] = {};
        std::array<uint32_t, 256> table;
    };
    thread_local Last last;
    if (!last.valid || !std::equal(rgb, rgb + 3, last.rgb)) {
        for (uint32_t t = 0; t < 256; ++t)
            last.table[t] = CoveragePixel(rgb, 0, t);
        std::copy_n(rgb, 3, last.rgb);
        last.valid = true;
    }
    return last.table;
}

// A w x h image of the pixels byCover gives each coverage value of cover.
std::unique_ptr<MemoryImage> PixelImage(const uint8_t* cover, int32_t w, int32_t h, const uint32_t* byCover)
{
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(nullptr, w, h, false);
    uint32_t* pixels = image->GetBits();
    if (!pixels)
        return nullptr;
    for (size_t i = 0, count = size_t(w) * size_t(h); i < count; ++i)
        pixels[i] = byCover[cover[i]];
    image->CommitBits();
    return image;
}

} // namespace

uint32_t DeriveTextPixel(uint32_t onWhite, uint32_t onBlack)
{
    const uint32_t w = onWhite & 0xFFFFFF, b = onBlack & 0xFFFFFF;
    if (w == b)
        return 0xFF000000 | w;
    if (w == 0xFFFFFF && (w & b) == 0)
        return 0; // untouched: white stayed white, black stayed black
    uint32_t alpha = 255, pixel = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t wk = int32_t((w >> shift) & 0xFF), bk = int32_t((b >> shift) & 0xFF);
        const int32_t a = bk - wk + 255;
        if (a <= 0)
            return 0; // nothing of this channel shows through: no colour to derive
        alpha = std::min(alpha, uint32_t(a));
        pixel |= uint32_t(bk * 255 / a) << shift;
    }
    return (alpha << 24) | pixel;
}

SysFont::SysFont(const std::string& faceName, int32_t pointSize, bool bold, bool italic, bool underline)
{
    Init(faceName, pointSize, bold, italic, underline);
}

SysFont::SysFont(const std::string& faceName, int32_t pointSize, int32_t /*charSet*/, bool bold, bool italic,
                 bool underline)
{
    Init(faceName, pointSize, bold, italic, underline);
}

SysFont::SysFont(const SysFont& other) : Font(other), request(other.request), face(other.face) {}

SysFont::~SysFont() = default;

Font* SysFont::Duplicate()
{
    return new SysFont(*this);
}

void SysFont::Init(const std::string& faceName, int32_t pointSize, bool bold, bool italic,
                   bool underline)
{
    // Points to pixels, rounded to nearest: 12 points at 96 per inch are 16 pixels.
    const int32_t pixelHeight = int32_t(std::lround(double(pointSize) * kScreenDpi / 72.0));
    request = Platform::SystemFontRequest{faceName, pixelHeight, bold, italic, underline};
    face = Platform::GetSystemFonts().Open(request);
    height = face ? face->Height() : 0;
    ascent = face ? face->Ascent() : 0;
    shadow = simulateBold = false;
}

int32_t SysFont::StringWidth(const std::wstring& text)
{
    return face ? face->TextWidth(text) : 0;
}

void SysFont::DrawString(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                         const Rect& /*clip: g clips*/)
{
    if (!g || g->destImage == &Graphics::NullImage)
        return;
    if (!shadow && !simulateBold) {
        DrawCoverage(g, x, y, text, color);
        return;
    }
    if (auto image = RenderText(text, color))
        g->DrawImage(image.get(), x, y - ascent);
}

void SysFont::DrawCoverage(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color)
{
    const int32_t w = StringWidth(text), h = height;
    if (!face || w <= 0 || h <= 0)
        return; // RenderText would make no image either
    // The line's coverage as the indices of a palette image whose colours are RenderText's pixel
    // of each coverage value: drawn as one glyph, it gives the pixels of RenderText's image.
    MemoryImage line(nullptr);
    line.width = w;
    line.height = h;
    line.colorIndices = std::make_unique<uint8_t[]>(size_t(w) * size_t(h)); // zeroed: nothing covered yet
    line.colorTable = std::make_unique_for_overwrite<uint32_t[]>(256);
    face->RenderCoverage(text, 0, 0, line.colorIndices.get(), w, h);
    const uint32_t rgb[3] = {uint32_t(std::clamp(color.blue, 0, 255)), uint32_t(std::clamp(color.green, 0, 255)),
                             uint32_t(std::clamp(color.red, 0, 255))};
    std::copy_n(CoverageTable(rgb).data(), 256, line.colorTable.get());
    line.BitsChanged();
    const GlyphPlacement glyph{x, y - ascent, Rect(0, 0, w, h)};
    if (g->DrawGlyphs(&line, &glyph, 1))
        return;
    // Elsewhere RenderText's image, from the same coverage.
    if (auto image = PixelImage(line.colorIndices.get(), w, h, line.colorTable.get()))
        g->DrawImage(image.get(), x, y - ascent);
}

std::unique_ptr<MemoryImage> SysFont::RenderText(const std::wstring& text, const Color& color)
{
    const int32_t w = StringWidth(text), h = height;
    if (!face || w <= 0 || h <= 0)
        return nullptr;

    const size_t count = size_t(w) * size_t(h);
    std::vector<uint8_t> shadowCover(shadow ? count : 0), textCover(count);
    if (shadow) {
        face->RenderCoverage(text, 1, 1, shadowCover.data(), w, h);
        if (simulateBold)
            face->RenderCoverage(text, 2, 1, shadowCover.data(), w, h);
    }
    face->RenderCoverage(text, 0, 0, textCover.data(), w, h);
    if (simulateBold)
        face->RenderCoverage(text, 1, 0, textCover.data(), w, h);

    // The text's colour without its alpha, as the rasterizer would paint it.
    const uint32_t rgb[3] = {uint32_t(std::clamp(color.blue, 0, 255)), uint32_t(std::clamp(color.green, 0, 255)),
                             uint32_t(std::clamp(color.red, 0, 255))};
    auto pixelOf = [&](uint32_t s, uint32_t t) { return CoveragePixel(rgb, s, t); };
    // Without a shadow a pixel depends on its coverage alone: one table per colour.
    if (!shadow)
        return PixelImage(textCover.data(), w, h, CoverageTable(rgb).data());
    // The pixels are written straight into the image's own bits, then scanned once.
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(nullptr, w, h, false);
    uint32_t* pixels = image->GetBits();
    if (!pixels)
        return nullptr;
    for (size_t i = 0; i < count; ++i)
        pixels[i] = pixelOf(shadowCover[i], textCover[i]);
    image->CommitBits();
    return image;
}

} // namespace Fw
