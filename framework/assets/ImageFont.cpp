// Image fonts: layer selection and scaling, metrics, measuring and tags. Drawing is in
// ImageFontDraw.cpp.
#include "framework/assets/ImageFont.h"

#include "framework/assets/FontData.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>

namespace Fw {

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : baseLayer(other.baseLayer), image(other.image), charRects(other.charRects), layerScale(other.layerScale),
      indexed(other.indexed)
{
    if (other.ownedImage) {
        ownedImage = std::make_unique<MemoryImage>(*other.ownedImage);
        image = ownedImage.get();
    }
}

Rect ActiveFontLayer::CharRect(wchar_t ch) const
{
    const auto it = charRects.find(ch);
    return it == charRects.end() ? Rect() : it->second;
}

void ActiveFontLayer::IndexChars()
{
    indexed.assign(size_t(kIndexedChars), CharSlot{});
    if (!baseLayer)
        return;
    for (wchar_t ch = 0; ch < kIndexedChars; ++ch)
        indexed[size_t(ch)] = {&baseLayer->CharInfo(ch), CharRect(ch)};
}

ImageFont::ImageFont(SharedImageSource* app, const std::string& fileName) : fontData(std::make_shared<FontData>())
{
    fontData->Load(app, fileName);
    pointSize = fontData->defaultPointSize;
    GenerateActiveFontLayers();
    activeLayersCurrent = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), fontData(other.fontData), pointSize(other.pointSize), tags(other.tags),
      activeLayersCurrent(other.activeLayersCurrent),
      activeLayers(other.activeLayersCurrent ? other.activeLayers : std::list<ActiveFontLayer>()),
      scale(other.scale), whitenScaledImages(other.whitenScaledImages)
{
}

ImageFont::~ImageFont() = default;

Font* ImageFont::Duplicate()
{
    return new ImageFont(*this);
}

bool ImageFont::IsLoaded() const
{
    return fontData && fontData->loaded;
}

void ImageFont::GenerateActiveFontLayers()
{
    if (!IsLoaded())
        return;
    activeLayers.clear();
    ascent = ascentPadding = height = lineSpacingOffset = 0;

    for (const FontLayer& layer : fontData->fontLayers) {
        if (pointSize < layer.minPointSize || (layer.maxPointSize != -1 && pointSize > layer.maxPointSize))
            continue;
        const bool hasRequired = std::all_of(layer.requiredTags.begin(), layer.requiredTags.end(),
                                             [&](const std::string& t) { return HasTag(t); });
        const bool hasExcluded = std::any_of(layer.excludedTags.begin(), layer.excludedTags.end(),
                                             [&](const std::string& t) { return HasTag(t); });
        if (!hasRequired || hasExcluded)
            continue;

        ActiveFontLayer& active = activeLayers.emplace_back();
        active.baseLayer = &layer;
        MemoryImage* layerImage = layer.GetImage();
        if (scale == 1.0 && (layer.pointSize == 0 || layer.pointSize == pointSize)) {
            active.layerScale = 1.0;
            active.image = layerImage;
            for (const auto& [ch, info] : layer.charData)
                active.charRects[ch] = info.imageRect;
        } else {
            const double s = layer.pointSize != 0 ? pointSize * scale / layer.pointSize : scale;
            active.layerScale = s;
            int32_t totalWidth = 0, imageHeight = 0;
            for (const auto& [ch, info] : layer.charData) {
                const int32_t w = int32_t(info.imageRect.width * s);
                const int32_t h = int32_t(info.imageRect.height * s);
                active.charRects[ch] = Rect(totalWidth, 0, w, h);
                totalWidth += w;
                imageHeight = std::max(imageHeight, h);
            }
            active.ownedImage = std::make_unique<MemoryImage>();
            active.ownedImage->Create(totalWidth, imageHeight);
            active.image = active.ownedImage.get();
            if (layerImage && totalWidth > 0 && imageHeight > 0) {
                Graphics g(active.image);
                for (const auto& [ch, info] : layer.charData)
                    g.DrawImage(layerImage, active.charRects[ch], info.imageRect);
            }
            if (whitenScaledImages) {
                uint32_t* bits = active.image->GetBits();
                for (int32_t i = 0, n = totalWidth * imageHeight; bits && i < n; ++i)
                    bits[i] |= 0x00FFFFFF;
                active.image->BitsChanged();
            }
            active.image->Palletize();
        }

        active.IndexChars();

        const double s = active.layerScale;
        const bool first = activeLayers.size() == 1;
        const int32_t h0 = layer.height != 0 ? layer.height : layer.defaultHeight;
        ascent = std::max(ascent, int32_t(layer.ascent * s));
        height = std::max(height, int32_t(h0 * s));
        const int32_t padding = int32_t(layer.ascentPadding * s);
        const int32_t spacingOffset = int32_t(layer.lineSpacingOffset * s);
        ascentPadding = first ? padding : std::min(ascentPadding, padding);
        lineSpacingOffset = first ? spacingOffset : std::max(lineSpacingOffset, spacingOffset);
    }
}

void ImageFont::Prepare()
{
    if (!activeLayersCurrent) {
        GenerateActiveFontLayers();
        activeLayersCurrent = true;
    }
}

int32_t ImageFont::CharWidthKern(wchar_t ch, wchar_t prev)
{
    Prepare();
    int32_t widest = 0;
    for (const ActiveFontLayer& active : activeLayers) {
        const FontLayer& layer = *active.baseLayer;
        const double s = active.layerScale;
        const int32_t w = int32_t(layer.CharInfo(ch).width * s);
        const int32_t k = prev ? int32_t((layer.spacing + layer.CharInfo(prev).KerningFor(ch)) * s) : 0;
        widest = std::max(widest, w + k);
    }
    return widest;
}

int32_t ImageFont::CharWidth(wchar_t ch)
{
    return CharWidthKern(ch, 0);
}

int32_t ImageFont::StringWidth(const std::wstring& text)
{
    int32_t width = 0;
    wchar_t prev = 0;
    for (const wchar_t ch : text) {
        width += CharWidthKern(ch, prev);
        prev = ch;
    }
    return width;
}

void ImageFont::SetPointSize(int32_t size)
{
    pointSize = size;
    activeLayersCurrent = false;
}

void ImageFont::SetScale(double newScale)
{
    scale = newScale;
    activeLayersCurrent = false;
}

int32_t ImageFont::GetDefaultPointSize()
{
    return fontData->defaultPointSize;
}

bool ImageFont::HasTag(const std::string& tag)
{
    return std::find(tags.begin(), tags.end(), StringToUpper(tag)) != tags.end();
}

bool ImageFont::AddTag(const std::string& tag)
{
    if (HasTag(tag))
        return false;
    tags.push_back(StringToUpper(tag));
    activeLayersCurrent = false;
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag)
{
    const auto it = std::find(tags.begin(), tags.end(), StringToUpper(tag));
    if (it == tags.end())
        return false;
    tags.erase(it);
    activeLayersCurrent = false;
    return true;
}

namespace {

std::wstring DefineText(const DataElement& element)
{
    if (!element.isList)
        return static_cast<const SingleDataElement&>(element).value;
    std::wstring out = L"(";
    bool first = true;
    for (const auto& child : static_cast<const ListDataElement&>(element).children) {
        if (!first)
            out += L", ";
        out += DefineText(*child);
        first = false;
    }
    return out + L")";
}

} // namespace

std::wstring ImageFont::GetDefine(const std::wstring& name)
{
    const DataElement* value = fontData->FindDefine(name);
    return value ? DefineText(*value) : std::wstring();
}

} // namespace Fw
