// Image-font drawing: one glyph record per layer and character, distributed into 256 order
// buckets and drawn bucket by bucket, so lower orders lie underneath and equal orders keep
// character, then layer, order. The record table is shared by all image fonts and used only under
// the global text lock; it keeps its capacity, so a draw allocates nothing once it has grown.
#include "framework/assets/FontData.h"
#include "framework/assets/ImageFont.h"
#include "framework/assets/TextLock.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <array>

namespace Fw {

namespace {

struct GlyphRecord {
    MemoryImage* image;
    int32_t x, y;
    Rect src;
    int32_t drawMode; // -1 keeps the context's mode
    Color color;
    int32_t next;     // next record of the same bucket, -1 at the tail
};

struct Bucket {
    int32_t head = -1, tail = -1;
};

// 4,096 records cover a long line of a many-layered font; longer texts grow the table once
// instead of losing glyphs.
constexpr size_t kInitialRecords = 4096;
constexpr int32_t kBucketCount = 256; // orders -128..127 map to 0..255; others are clamped

std::vector<GlyphRecord>& Records()
{
    static std::vector<GlyphRecord> records = [] {
        std::vector<GlyphRecord> r;
        r.reserve(kInitialRecords);
        return r;
    }();
    return records;
}

std::array<Bucket, kBucketCount>& Buckets()
{
    static std::array<Bucket, kBucketCount> buckets;
    return buckets;
}

// The glyph colour of each active layer for the text being drawn (used under the text lock).
std::vector<Color>& LayerColors()
{
    static std::vector<Color> colors;
    return colors;
}

// The glyphs of one run of records, kept with its capacity (used under the text lock).
std::vector<GlyphPlacement>& Batch()
{
    static std::vector<GlyphPlacement> batch;
    return batch;
}

int32_t Channel(int32_t mult, int32_t requested, int32_t add)
{
    return std::min(255, mult * requested / 255 + add);
}

} // namespace

void ImageFont::DrawString(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                           const Rect& clip)
{
    DrawStringEx(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                             const Rect& /*clip: g clips*/, std::vector<Rect>* rects, int32_t* drawnWidth)
{
    ScopedCritSect lock(gTextLock);
    std::vector<GlyphRecord>& records = Records();
    std::array<Bucket, kBucketCount>& buckets = Buckets();
    records.clear();
    buckets.fill(Bucket{});
    if (rects)
        rects->clear();
    if (!IsLoaded()) {
        if (drawnWidth)
            *drawnWidth = 0;
        return;
    }
    Prepare();
    const bool savedColorize = g->GetColorizeImages();
    g->SetColorizeImages(true);

    // Each layer's glyph colour: the same for every character.
    std::vector<Color>& layerColors = LayerColors();
    layerColors.clear();
    for (const ActiveFontLayer& active : activeLayers) {
        const FontLayer& layer = *active.baseLayer;
        layerColors.emplace_back(Channel(layer.colorMult.red, color.red, layer.colorAdd.red),
                                 Channel(layer.colorMult.green, color.green, layer.colorAdd.green),
                                 Channel(layer.colorMult.blue, color.blue, layer.colorAdd.blue),
                                 Channel(layer.colorMult.alpha, color.alpha, layer.colorAdd.alpha));
    }

    int32_t pen = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
        int32_t reach = pen;
        size_t layerIndex = 0;
        for (const ActiveFontLayer& active : activeLayers) {
            const FontLayer& layer = *active.baseLayer;
            const ActiveFontLayer::CharSlot* slot = active.Slot(ch);
            const FontCharInfo& info = slot ? *slot->info : layer.CharInfo(ch);
            const double s = active.layerScale;
            int32_t glyphX, glyphY, advance, kern;
            const int32_t kernUnscaled = next ? layer.spacing + info.KerningFor(next) : 0;
            if (s == 1.0) {
                glyphX = pen + info.offsetX + layer.offsetX;
                glyphY = y + info.offsetY + layer.offsetY - layer.ascent;
                advance = info.width;
                kern = kernUnscaled;
            } else {
                glyphX = pen + int32_t((info.offsetX + layer.offsetX) * s);
                glyphY = y - int32_t((layer.ascent - layer.offsetY - info.offsetY) * s);
                advance = int32_t(info.width * s);
                kern = int32_t(kernUnscaled * s);
            }
            const Color& glyphColor = layerColors[layerIndex++];
            const int32_t bucket = std::clamp(info.order + layer.baseOrder + 128, 0, kBucketCount - 1);
            const Rect src = slot ? slot->rect : active.CharRect(ch);
            const int32_t index = int32_t(records.size());
            records.push_back({active.image, glyphX, glyphY, src, layer.drawMode, glyphColor, -1});
            Bucket& b = buckets[size_t(bucket)];
            if (b.tail >= 0)
                records[size_t(b.tail)].next = index;
            else
                b.head = index;
            b.tail = index;
            if (rects)
                rects->push_back(Rect(glyphX, glyphY, src.width, src.height));
            reach = std::max(reach, pen + advance + kern);
        }
        pen = reach;
    }
    if (drawnWidth)
        *drawnWidth = pen - x;

    // Records in drawing order; consecutive ones of one image, mode and colour go to the context
    // together (drawn in one pass where it can), the others one by one.
    const Color savedColor = g->GetColor();
    const int32_t savedMode = g->GetDrawMode();
    std::vector<GlyphPlacement>& batch = Batch();
    auto flush = [&](const GlyphRecord& first) {
        g->SetDrawMode(first.drawMode != -1 ? first.drawMode : savedMode);
        g->SetColor(first.color);
        if (!g->DrawGlyphs(first.image, batch.data(), batch.size()))
            for (const GlyphPlacement& p : batch)
                g->DrawImage(first.image, p.x, p.y, p.src);
        batch.clear();
    };
    const GlyphRecord* first = nullptr;
    for (const Bucket& b : buckets) {
        for (int32_t i = b.head; i >= 0; i = records[size_t(i)].next) {
            const GlyphRecord& r = records[size_t(i)];
            if (!r.image)
                continue;
            if (first && (r.image != first->image || r.drawMode != first->drawMode || r.color != first->color)) {
                flush(*first);
                first = nullptr;
            }
            if (!first)
                first = &r;
            batch.push_back({r.x, r.y, r.src});
        }
    }
    if (first)
        flush(*first);
    g->SetDrawMode(savedMode);
    g->SetColor(savedColor);
    g->SetColorizeImages(savedColorize);
}

} // namespace Fw
