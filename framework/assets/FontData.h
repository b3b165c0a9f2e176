// Font description of an image font: the descriptor-language commands that build named layers,
// each with a glyph image, per-character rectangles, offsets, widths, kerning and drawing orders,
// layer colours and selection rules (point-size range, tags). Shared by an image font and its
// copies; ImageFont picks and scales layers from it when it measures and draws.
#pragma once
#include "framework/assets/DescParser.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SharedImageRef.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace Fw {

class FontData;
class MemoryImage;
class SharedImageSource;

struct FontCharInfo {
    Rect imageRect;                   // in the layer image
    int32_t offsetX = 0, offsetY = 0;
    std::map<wchar_t, int8_t> kerning; // following character -> adjustment in pixels
    int32_t width = 0;                // advance at the layer's own size
    int32_t order = 0;                // drawing order relative to other glyphs

    // The adjustment for next following this character; 0 when none is set.
    int32_t KerningFor(wchar_t next) const;
};

struct FontLayer {
    // The record of ch; a shared empty record when the layer has none (reading never inserts, so
    // fonts may be measured on one thread while another draws).
    const FontCharInfo& CharInfo(wchar_t ch) const;
    MemoryImage* GetImage() const { return image.GetSharedImage(); }

    FontData* owner = nullptr;
    std::vector<std::string> requiredTags; // upper case
    std::vector<std::string> excludedTags; // upper case
    std::map<wchar_t, FontCharInfo> charData;
    Color colorMult{255, 255, 255, 255};
    Color colorAdd{0, 0, 0, 0};
    SharedImageRef image;
    int32_t drawMode = -1;          // -1 keeps the context's mode, 0 normal, 1 additive
    int32_t offsetX = 0, offsetY = 0;
    int32_t spacing = 0;            // added between every two adjacent characters
    int32_t minPointSize = -1, maxPointSize = -1; // maximum -1: no upper bound
    int32_t pointSize = 0;          // 0: the art has no native size
    int32_t ascent = 0;
    int32_t ascentPadding = 0;
    int32_t height = 0;             // 0: use the largest character height
    int32_t defaultHeight = 0;      // largest character height, computed by LayerSetImageMap
    int32_t lineSpacingOffset = 0;
    int32_t baseOrder = 0;          // added to every character's order
};

class FontData : public DescParser {
public:
    FontData() = default;

    // Reads the description file fileName. False only when this object was loaded before; the
    // outcome of reading is in loaded. app supplies the glyph images (null: none can be loaded).
    bool Load(SharedImageSource* app, const std::string& fileName);

    // Shows the error header, text and, while a command runs, its line and text as one popup.
    bool Error(const std::wstring& text) override;
    bool HandleCommand(ListDataElement& command) override;

    // The layer named by the token source (any case); reports "Undefined Layer" when none.
    bool DataToLayer(const DataElement& source, FontLayer*& layer);

    bool loaded = false;
    SharedImageSource* app = nullptr;
    int32_t defaultPointSize = 0;
    std::list<FontLayer> fontLayers;                  // layer order used everywhere
    std::map<std::string, FontLayer*> fontLayerMap;   // upper-cased name -> layer of fontLayers
    std::string sourceFile;
    std::wstring fontErrorHeader;

private:
    using Args = std::vector<std::unique_ptr<DataElement>>;
    bool DoDefine(const Args& args);
    bool DoCreateHorzSpanRectList(const Args& args);
    bool DoCreateLayer(const std::wstring& name, const FontLayer& from);
    bool DoSetImage(FontLayer& layer, const DataElement& file);
    // Per-character commands; returns false after reporting.
    bool DoCharCommand(const std::wstring& command, FontLayer& layer, const DataElement& chars,
                       const DataElement& values);
    bool InvalidParameter();
};

} // namespace Fw
