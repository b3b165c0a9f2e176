// Memory-image blits at integer positions, normal and additive, from a source with 32-bit bits
// or in palette form. The pixel rule and the source kind are chosen once per call.
#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/PixelMath.h"
#include "framework/graphics/detail/PixelSpans.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace Fw {

using namespace detail;

namespace {

// Source pixel access: straight from the bits, or through the palette.
struct BitsRow {
    const uint32_t* row;
    uint32_t operator[](int32_t i) const { return row[i]; }
    void CopyTo(uint32_t* dst, int32_t start, int32_t count) const
    {
        // Rows apart from the destination's go through the library copy; short runs (glyphs,
        // sprite edges) copy faster in fixed 16-byte moves, which compile inline. Rows that
        // overlap (an image onto itself) keep those moves in order, long ones move as a whole.
        const uint32_t* src = row + start;
        const bool apart = dst + count <= src || src + count <= dst;
        if (apart && count >= 32) {
            std::memcpy(dst, src, size_t(count) * sizeof(uint32_t));
            return;
        }
        if (count >= 256) {
            std::memmove(dst, src, size_t(count) * sizeof(uint32_t));
            return;
        }
        int32_t i = 0;
        for (; i + 4 <= count; i += 4)
            std::memcpy(dst + i, src + i, 16);
        for (; i < count; ++i)
            dst[i] = src[i];
    }
    void BlendOpaqueTo(uint32_t* dst, int32_t start, int32_t count) const
    {
        BlendOpaqueSpan(dst, row + start, count);
    }
};

struct PaletteRow {
    const uint32_t* table;
    const uint8_t* indices;
    uint32_t operator[](int32_t i) const { return table[indices[i]]; }
    void CopyTo(uint32_t* dst, int32_t start, int32_t count) const
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = table[indices[start + i]];
    }
    void BlendOpaqueTo(uint32_t* dst, int32_t start, int32_t count) const
    {
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t p = table[indices[start + i]];
            dst[i] = BlendOpaque(dst[i], p, p >> 24);
        }
    }
};

struct BitsSource {
    const uint32_t* bits;
    int32_t stride;
    BitsRow Row(int32_t y, int32_t x) const { return {bits + size_t(y) * size_t(stride) + size_t(x)}; }
};

struct PaletteSource {
    const uint32_t* table;
    const uint8_t* indices;
    int32_t stride;
    PaletteRow Row(int32_t y, int32_t x) const
    {
        return {table, indices + size_t(y) * size_t(stride) + size_t(x)};
    }
};

// Per-pixel rules of the normal blit onto a destination that may be translucent.
struct OverWhite {
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t a = s >> 24;
        return a ? OverFast(d, s, a) : d;
    }
};

struct OverGrey {
    uint32_t alpha, grey; // colour alpha, colour red (= green = blue)
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t a = (s >> 24) * alpha / 255;
        return a ? OverFast(d, ScaleRGB(s, grey), a) : d;
    }
};

struct OverColour {
    uint32_t alpha, r, g, b;
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t a = (s >> 24) * alpha / 255;
        return a ? OverFast(d, ModulateRGB(s, r, g, b), a) : d;
    }
};

// Additive rules: channel = min(d + amount, 255), the destination alpha kept.
struct AddWhite {
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        return AddRGB(d, (s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF);
    }
};

struct AddWhiteAlpha {
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t a = s >> 24;
        return AddRGB(d, (((s >> 16) & 0xFF) * a) >> 8, (((s >> 8) & 0xFF) * a) >> 8, ((s & 0xFF) * a) >> 8);
    }
};

struct AddColour {
    uint32_t r, g, b; // colour channels already times colour alpha / 255
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        return AddRGB(d, (((s >> 16) & 0xFF) * r) >> 8, (((s >> 8) & 0xFF) * g) >> 8, ((s & 0xFF) * b) >> 8);
    }
};

struct AddColourAlpha {
    uint32_t r, g, b;
    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t a = s >> 24;
        return AddRGB(d, ((((s >> 16) & 0xFF) * r >> 8) * a) >> 8, ((((s >> 8) & 0xFF) * g >> 8) * a) >> 8,
                      (((s & 0xFF) * b >> 8) * a) >> 8);
    }
};

struct BltArea {
    uint32_t* dst;       // first destination pixel
    int32_t dstStride;
    int32_t srcX, srcY;  // first source pixel
    int32_t width, height;
};

template <class Source, class Rule>
void BlendRows(const BltArea& area, const Source& src, const Rule& rule)
{
    for (int32_t j = 0; j < area.height; ++j) {
        uint32_t* d = area.dst + size_t(j) * size_t(area.dstStride);
        const auto s = src.Row(area.srcY + j, area.srcX);
        // The white additive rules have span kernels computing the same bits.
        if constexpr (std::is_same_v<Source, BitsSource> && std::is_same_v<Rule, AddWhite>)
            AddSpan(d, s.row, area.width);
        else if constexpr (std::is_same_v<Source, BitsSource> && std::is_same_v<Rule, AddWhiteAlpha>)
            AddAlphaSpan(d, s.row, area.width);
        else if constexpr (std::is_same_v<Source, BitsSource> && std::is_same_v<Rule, OverColour>)
            ModulateOverSpan(d, s.row, area.width, rule.r, rule.g, rule.b, rule.alpha);
        else if constexpr (std::is_same_v<Source, BitsSource> && std::is_same_v<Rule, OverGrey>)
            ModulateOverSpan(d, s.row, area.width, rule.grey, rule.grey, rule.grey, rule.alpha);
        else
            for (int32_t i = 0; i < area.width; ++i)
                d[i] = rule(d[i], s[i]);
    }
}

// Opaque destination, white colour: the source's run-length alpha map drives the row. Opaque runs
// are copied (neighbouring ones as one copy), clear runs skipped, partial runs blended with each
// pixel's own alpha.
template <class Source>
void RunLengthRows(const BltArea& area, const Source& src, const uint8_t* runs, int32_t runStride)
{
    for (int32_t j = 0; j < area.height; ++j) {
        uint32_t* d = area.dst + size_t(j) * size_t(area.dstStride);
        const auto s = src.Row(area.srcY + j, area.srcX);
        const uint8_t* rl = runs + size_t(area.srcY + j) * size_t(runStride) + size_t(area.srcX);
        int32_t i = 0;
        while (i < area.width) {
            int32_t run = std::min<int32_t>(rl[i], area.width - i);
            const uint32_t a = s[i] >> 24;
            if (a == 255) {
                // Runs stop at 255 pixels: opaque runs that follow one another are one copy.
                while (i + run < area.width && (s[i + run] >> 24) == 255)
                    run += std::min<int32_t>(rl[i + run], area.width - i - run);
                s.CopyTo(d + i, i, run);
            } else if (a != 0) {
                s.BlendOpaqueTo(d + i, i, run);
            }
            i += run;
        }
    }
}

template <class Source>
void NormalBlt(const BltArea& area, const Source& src, MemoryImage& source, bool destOpaque, bool apart,
               const Color& color)
{
    if (color == Color::White) {
        if constexpr (std::is_same_v<Source, BitsSource>) {
            // Every pixel opaque (found by scanning, not forced): each row is one copy.
            if (destOpaque && !source.forcedMode && !source.hasAlpha && !source.hasTrans) {
                for (int32_t j = 0; j < area.height; ++j)
                    src.Row(area.srcY + j, area.srcX).CopyTo(area.dst + size_t(j) * size_t(area.dstStride), 0, area.width);
                return;
            }
            // From another image: the run rule pixel by pixel (clear kept, opaque copied, partial
            // blended), groups of pixels at a time, with no run map to build or walk.
            if (destOpaque && apart) {
                for (int32_t j = 0; j < area.height; ++j)
                    OverOpaqueSpan(area.dst + size_t(j) * size_t(area.dstStride),
                                   src.Row(area.srcY + j, area.srcX).row, area.width);
                return;
            }
        }
        if (destOpaque) {
            if (const uint8_t* runs = source.GetRLAlphaData()) {
                RunLengthRows(area, src, runs, source.width);
                return;
            }
        }
        BlendRows(area, src, OverWhite{});
    } else if (color.red == color.green && color.green == color.blue) {
        BlendRows(area, src, OverGrey{uint32_t(color.alpha), uint32_t(color.red)});
    } else {
        BlendRows(area, src,
                  OverColour{uint32_t(color.alpha), uint32_t(color.red), uint32_t(color.green), uint32_t(color.blue)});
    }
}

template <class Source>
void AdditiveBlt(const BltArea& area, const Source& src, bool sourceAlpha, const Color& color)
{
    if (color == Color::White) {
        if (sourceAlpha)
            BlendRows(area, src, AddWhiteAlpha{});
        else
            BlendRows(area, src, AddWhite{});
        return;
    }
    const uint32_t r = uint32_t(color.red * color.alpha / 255);
    const uint32_t g = uint32_t(color.green * color.alpha / 255);
    const uint32_t b = uint32_t(color.blue * color.alpha / 255);
    if (sourceAlpha)
        BlendRows(area, src, AddColourAlpha{r, g, b});
    else
        BlendRows(area, src, AddColour{r, g, b});
}

} // namespace

void MemoryImage::Blt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color, int32_t drawMode)
{
    MemoryImage* source = MarkSource(src);
    if (!source || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE))
        return;

    // The part inside both the source and this image (the clip the glyph pass and the surface
    // blits use), so no pixel outside either is read or written.
    BlitSpan b;
    if (!ClipBlit(source->width, source->height, width, height, x, y, srcRect, false, b))
        return;

    source->CommitBits();
    const bool palette = source->colorTable && source->colorIndices;
    const uint32_t* sbits = palette ? nullptr : source->GetBits();
    if (!palette && !sbits)
        return;
    uint32_t* px = GetBits();
    if (!px)
        return;

    const BltArea area{px + size_t(b.dy0) * size_t(width) + size_t(b.dx0), width, b.i0, b.j0, b.count, b.rows};
    if (drawMode == DRAWMODE_NORMAL) {
        const bool destOpaque = !hasTrans && !hasAlpha;
        if (palette)
            NormalBlt(area,
                      PaletteSource{source->colorTable.get(), source->colorIndices.get(), source->width},
                      *source, destOpaque, source != this, color);
        else
            NormalBlt(area, BitsSource{sbits, source->width}, *source, destOpaque, source != this, color);
    } else if (color == Color::White && source->hasAlpha && !source->isVolatile && source != this) {
        // The source's cached amounts (colour times alpha) make each pixel one saturating add.
        // Not for images that change often, nor onto the source itself, where later rows may read
        // pixels this blit has already written.
        if (const uint32_t* amounts = source->GetAdditiveAmounts())
            BlendRows(area, BitsSource{amounts, source->width}, AddWhite{});
    } else {
        if (palette)
            AdditiveBlt(area, PaletteSource{source->colorTable.get(), source->colorIndices.get(), source->width},
                        source->hasAlpha, color);
        else
            AdditiveBlt(area, BitsSource{sbits, source->width}, source->hasAlpha, color);
    }
    BitsChanged();
}

} // namespace Fw
