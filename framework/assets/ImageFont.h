// Font drawn from the layers of a font description (FontData). For its point size, scale and tags
// it picks the matching layers, prepares each as an ActiveFontLayer (the layer's glyph image, or a
// copy scaled to the size), derives the metrics, measures with widths, spacing and kerning, and
// draws by collecting one glyph per layer and character and issuing them by drawing order, under
// the global text lock.
#pragma once
#include "framework/graphics/Font.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Fw {

class FontData;
struct FontCharInfo;
struct FontLayer;
class MemoryImage;
class SharedImageSource;

// One description layer prepared for drawing at the font's current size.
class ActiveFontLayer {
public:
    ActiveFontLayer() = default;
    // Copies everything; an owned (scaled) image is duplicated.
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
    virtual ~ActiveFontLayer() = default;

    // The rectangle of ch in image; empty when the layer has none.
    Rect CharRect(wchar_t ch) const;
    // Fills the table of the characters below 256 (their layer records and rectangles) once
    // baseLayer and charRects are set; drawing looks those characters up there.
    void IndexChars();

    // One character of the table: the layer's record of it (its empty record when it has none)
    // and its rectangle in image.
    struct CharSlot {
        const FontCharInfo* info = nullptr;
        Rect rect;
    };
    static constexpr wchar_t kIndexedChars = 256;
    // The slot of ch when the table holds it, else null.
    const CharSlot* Slot(wchar_t ch) const
    {
        return size_t(ch) < indexed.size() ? &indexed[size_t(ch)] : nullptr;
    }

    const FontLayer* baseLayer = nullptr;    // not owned
    MemoryImage* image = nullptr;            // the layer's own image, or ownedImage
    std::unique_ptr<MemoryImage> ownedImage; // the scaled copy, when one was made
    std::map<wchar_t, Rect> charRects;
    double layerScale = 1.0;                 // S: point size x scale / layer point size
    std::vector<CharSlot> indexed;           // see IndexChars; empty until it runs
};

class ImageFont : public Font {
public:
    // Loads the description fileName (images through app); callers test IsLoaded.
    ImageFont(SharedImageSource* app, const std::string& fileName);
    // Shares the description; the active layers are copied when current, else rebuilt on use.
    ImageFont(const ImageFont& other);
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    int32_t StringWidth(const std::wstring& text) override;
    int32_t CharWidth(wchar_t ch) override;
    int32_t CharWidthKern(wchar_t ch, wchar_t prev) override;
    void DrawString(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    virtual void GenerateActiveFontLayers();
    // Draws text with its baseline at y. clip is not used (g clips). rects (may be null) receives
    // each glyph's destination rectangle; drawnWidth (may be null) the pen's advance.
    virtual void DrawStringEx(Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Color& color,
                              const Rect& clip, std::vector<Rect>* rects, int32_t* drawnWidth);
    virtual void SetPointSize(int32_t size);
    virtual int32_t GetPointSize() { return pointSize; }
    virtual void SetScale(double newScale);
    virtual int32_t GetDefaultPointSize();
    // Tags are compared upper-cased. AddTag: false when present; RemoveTag: false when absent.
    virtual bool AddTag(const std::string& tag);
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    // The text of the description's Define: a value as stored, a list as "(a, b, (c, d))"; empty
    // when there is none.
    virtual std::wstring GetDefine(const std::wstring& name);
    // Rebuilds the active layers when the size, scale or tags changed since the last build.
    virtual void Prepare();

    bool IsLoaded() const;

    std::shared_ptr<FontData> fontData;
    int32_t pointSize = 0;
    std::vector<std::string> tags; // upper case
    bool activeLayersCurrent = false;
    std::list<ActiveFontLayer> activeLayers; // in the description's layer order
    double scale = 1.0;
    bool whitenScaledImages = false; // scaled glyph images get white colour (alpha kept)
};

} // namespace Fw
