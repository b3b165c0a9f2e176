// Resource XML parsing, group loading and lookups.
#include "framework/assets/ResourceManager.h"

#include "framework/assets/ImageFont.h"
#include "framework/assets/ImageLib.h"
#include "framework/assets/SharedImageSource.h"
#include "framework/assets/SysFont.h"
#include "framework/core/Format.h"
#include "framework/core/PathUtils.h"
#include "framework/core/Profiler.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace Fw {

namespace {

const std::wstring* Attr(const XmlReaderNode& node, const wchar_t* name)
{
    auto it = node.attributes.find(name);
    return it == node.attributes.end() ? nullptr : &it->second;
}

bool Has(const XmlReaderNode& node, const wchar_t* name) { return Attr(node, name) != nullptr; }

std::string AttrText(const XmlReaderNode& node, const wchar_t* name)
{
    const std::wstring* v = Attr(node, name);
    return v ? WStringToString(*v) : std::string();
}

int32_t AttrInt(const XmlReaderNode& node, const wchar_t* name, int32_t fallback)
{
    const std::wstring* v = Attr(node, name);
    return v ? int32_t(std::wcstol(v->c_str(), nullptr, 10)) : fallback;
}

// The pieces of text between any of the delimiters; empty pieces only when keepEmpty (then a
// trailing delimiter ends with one).
std::vector<std::string> Split(const std::string& text, const char* delimiters, bool keepEmpty)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find_first_of(delimiters, start), text.size());
        if (keepEmpty || end > start)
            pieces.push_back(text.substr(start, end - start));
        if (end >= text.size())
            return pieces;
        start = end + 1;
    }
}

std::vector<int32_t> AttrIntList(const XmlReaderNode& node, const wchar_t* name)
{
    std::vector<int32_t> out;
    for (const std::string& item : Split(AttrText(node, name), ",", true))
        out.push_back(int32_t(std::strtol(item.c_str(), nullptr, 10)));
    return out;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        c = wchar_t(std::towlower(c));
    return s;
}

} // namespace

void ResourceManager::FontRes::DeleteResource()
{
    font.reset();
    image.reset();
}

ResourceManager::ResourceManager(SharedImageSource* images, ImageRegistry* display)
    : imageSource_(images), display_(display)
{
}

ResourceManager::~ResourceManager() = default;

// ---------------------------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------------------------

bool ResourceManager::Fail(const std::string& text)
{
    if (hadError_)
        return false;
    hadError_ = true;
    error_ = text;
    if (reader_) {
        if (reader_->GetCurrentLineNum() > 0)
            error_ += " on Line " + std::to_string(reader_->GetCurrentLineNum());
        if (!reader_->GetFileName().empty())
            error_ += " in File '" + reader_->GetFileName() + "'";
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Parsing
// ---------------------------------------------------------------------------------------------

bool ResourceManager::ParseResourcesFile(const std::string& fileName)
{
    XmlReader reader(L"", fileName);
    if (!reader.OpenFile(fileName))
        return Fail("Could not open file '" + fileName + "'");
    reader_ = &reader;
    XmlReaderNode node;
    bool ok = true;
    while (ok && reader.NextElement(node)) {
        if (node.kind == XmlReaderNode::StartElement && node.value == L"Resources") {
            currentGroup_ = AttrText(node, L"id");
            ok = ParseSection();
        }
    }
    if (reader.HadError())
        ok = Fail(reader.GetErrorText());
    reader_ = nullptr;
    return ok && !hadError_;
}

bool ResourceManager::ParseResources(XmlReader& reader, const std::string& group)
{
    reader_ = &reader;
    currentGroup_ = group;
    const bool ok = ParseSection();
    reader_ = nullptr;
    return ok;
}

bool ResourceManager::ParseSection()
{
    XmlReaderNode node;
    for (;;) {
        if (!reader_->NextElement(node)) {
            if (reader_->HadError())
                return Fail(reader_->GetErrorText());
            return Fail("Unexpected end of file in a Resources section.");
        }
        if (node.kind == XmlReaderNode::StartElement) {
            bool handled;
            if (node.value == L"Image")
                handled = ParseImageResource(node);
            else if (node.value == L"Font")
                handled = ParseFontResource(node);
            else if (node.value == L"Sound")
                handled = ParseSoundResource(node);
            else if (node.value == L"SetDefaults")
                handled = ParseSetDefaults(node);
            else
                return Fail("Invalid Section '" + WStringToString(node.value) + "'");
            if (!handled)
                return false;
            if (!reader_->NextElement(node) || node.kind != XmlReaderNode::EndElement) {
                if (reader_->HadError())
                    return Fail(reader_->GetErrorText());
                return Fail("Unexpected element found.");
            }
        } else if (node.kind == XmlReaderNode::Text) {
            return Fail("Element Not Expected '" + WStringToString(node.value) + "'");
        } else if (node.kind == XmlReaderNode::EndElement) {
            return true;
        }
    }
}

bool ResourceManager::ParseCommonResource(const XmlReaderNode& node, std::unique_ptr<BaseRes> record, ResMap& table)
{
    duplicate_ = false;
    const std::string path = AttrText(node, L"path");
    if (path.empty())
        return Fail("No path specified.");
    record->attributes = node.attributes;
    if (path[0] == '!') {
        record->path = path;
        record->fromProgram = path == "!program";
    } else {
        record->path = defaultPath_ + path;
    }
    if (Has(node, L"id"))
        record->id = defaultIdPrefix_ + AttrText(node, L"id");
    else
        record->id = defaultIdPrefix_ + GetPathFileName(record->path, true);
    record->group = currentGroup_;
    if (table.count(record->id)) {
        duplicate_ = true;
        return Fail("Resource already defined.");
    }
    BaseRes* raw = record.get();
    table.emplace(record->id, std::move(record));
    groups_[currentGroup_].push_back(raw);
    return true;
}

bool ResourceManager::ParseSoundResource(const XmlReaderNode&) { return true; }

bool ResourceManager::ParseSetDefaults(const XmlReaderNode& node)
{
    if (Has(node, L"path"))
        defaultPath_ = AddTrailingSlash(RemoveTrailingSlash(AttrText(node, L"path")), false);
    if (Has(node, L"idprefix"))
        defaultIdPrefix_ = AttrText(node, L"idprefix");
    return true;
}

bool ResourceManager::ParseImageResource(const XmlReaderNode& node)
{
    auto owned = std::make_unique<ImageRes>();
    ImageRes* res = owned.get();
    res->type = BaseRes::Image;
    if (!ParseCommonResource(node, std::move(owned), images_))
        return false;

    res->palletize = !Has(node, L"nopal");
    res->useA4R4G4B4 = Has(node, L"a4r4g4b4");
    res->ddSurface = Has(node, L"ddsurface");
    const bool in3D = display_ && display_->Is3DAccelerated();
    res->purgeBits = Has(node, L"nobits") || (in3D && Has(node, L"nobits3d")) || (!in3D && Has(node, L"nobits2d"));
    res->useA8R8G8B8 = Has(node, L"a8r8g8b8");
    res->minSubdivide = Has(node, L"minsubdivide");
    res->alphaAllowed = !Has(node, L"noalpha");
    if (Has(node, L"alphaimage"))
        res->alphaImagePath = defaultPath_ + AttrText(node, L"alphaimage");
    if (Has(node, L"alphacolor")) {
        unsigned int color = 0xFFFFFF;
        std::sscanf(AttrText(node, L"alphacolor").c_str(), "%x", &color);
        res->alphaColor = color;
    }
    res->variant = AttrText(node, L"variant");
    if (Has(node, L"alphagrid"))
        res->alphaGridImagePath = defaultPath_ + AttrText(node, L"alphagrid");
    res->rows = AttrInt(node, L"rows", 1);
    res->cols = AttrInt(node, L"cols", 1);

    if (const std::wstring* anim = Attr(node, L"anim")) {
        static const std::pair<const wchar_t*, int32_t> kTypes[] = {
            {L"none", 0}, {L"once", 1}, {L"pingpong", 2}, {L"loop", 3}};
        const std::wstring name = Lower(*anim);
        auto it = std::find_if(std::begin(kTypes), std::end(kTypes), [&](const auto& t) { return name == t.first; });
        if (it == std::end(kTypes))
            return Fail("Invalid animation type.");
        res->anim.animType = it->second;
    }
    if (res->anim.animType != 0) {
        res->anim.frameDelay = AttrInt(node, L"framedelay", res->anim.frameDelay);
        const int32_t beginDelay = AttrInt(node, L"begindelay", 0);
        const int32_t endDelay = AttrInt(node, L"enddelay", 0);
        if (Has(node, L"perframedelay"))
            res->anim.perFrameDelay = AttrIntList(node, L"perframedelay");
        if (Has(node, L"framemap"))
            res->anim.frameMap = AttrIntList(node, L"framemap");
        res->anim.Compute(std::max(res->rows, res->cols), beginDelay, endDelay);
    }
    return true;
}

bool ResourceManager::ParseFontResource(const XmlReaderNode& node)
{
    auto owned = std::make_unique<FontRes>();
    FontRes* res = owned.get();
    res->type = BaseRes::Font;
    if (!ParseCommonResource(node, std::move(owned), fonts_))
        return false;
    res->imagePath = AttrText(node, L"image");
    res->tags = AttrText(node, L"tags");
    static const std::string kSys = "!sys:";
    if (res->path.compare(0, kSys.size(), kSys) == 0) {
        res->sysFont = true;
        res->path.erase(0, kSys.size());
        res->size = AttrInt(node, L"size", 0);
        if (res->size <= 0)
            return Fail("SysFont needs point size");
        res->bold = Has(node, L"bold");
        res->italic = Has(node, L"italic");
        res->shadow = Has(node, L"shadow");
        res->underline = Has(node, L"underline");
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------------------------

void ResourceManager::StartLoadResources(const std::string& group)
{
    error_.clear();
    currentGroup_ = group;
    loadList_ = &groups_[group];
    loadPos_ = 0;
}

bool ResourceManager::LoadNextResource()
{
    if (hadError_ || !loadList_)
        return false;
    while (loadPos_ < loadList_->size()) {
        BaseRes* res = (*loadList_)[loadPos_++];
        if (res->fromProgram)
            continue;
        if (res->type == BaseRes::Image) {
            auto* image = static_cast<ImageRes*>(res);
            if (image->image.GetSharedImage())
                continue;
            return DoLoadImage(image);
        }
        auto* font = static_cast<FontRes*>(res);
        if (font->font)
            continue;
        return DoLoadFont(font);
    }
    return false;
}

bool ResourceManager::LoadResources(const std::string& group)
{
    error_.clear();
    StartLoadResources(group);
    while (LoadNextResource()) {
    }
    if (hadError_)
        return false;
    loadedGroups_.insert(group);
    return true;
}

bool ResourceManager::DoLoadImage(ImageRes* record)
{
    ProfileScope profile("ResourceManager:GetImage");
    bool isNew = false;
    SharedImageRef ref;
    if (imageSource_)
        ref = imageSource_->AcquireSharedImage(record->path, record->variant, &isNew, record->alphaColor);
    MemoryImage* image = ref.GetSharedImage();
    if (!image)
        return Fail(FormatString("Failed to load image: %s", record->path.c_str()));

    if (isNew) {
        if (!record->alphaImagePath.empty() && !LoadAlphaImage(record, image)) {
            ref.Release();
            return false;
        }
        if (!record->alphaGridImagePath.empty() && !LoadAlphaGridImage(record, image)) {
            ref.Release();
            return false;
        }
        image->CommitBits();
        image->purgeBits = record->purgeBits;
        auto* surfaceImage = dynamic_cast<DDImage*>(image);
        if (record->ddSurface) {
            ProfileScope surfaceProfile("ResourceManager:DDSurface");
            image->CommitBits();
            if (!image->hasAlpha) {
                if (surfaceImage)
                    surfaceImage->surfaceWanted = true;
                image->purgeBits = true;
            }
        }
        if (record->palletize) {
            ProfileScope palletizeProfile("ResourceManager:Palletize");
            if (!surfaceImage || !surfaceImage->HasSurface())
                image->Palletize();
            else
                image->wantPalette = true;
        }
    }
    record->image = ref;

    if (record->useA4R4G4B4)
        image->d3dFlags |= 4;
    if (record->useA8R8G8B8)
        image->d3dFlags |= 8;
    if (record->minSubdivide)
        image->d3dFlags |= 1;
    if (record->anim.animType != 0)
        image->animInfo = std::make_unique<AnimInfo>(record->anim);
    image->numRows = record->rows;
    image->numCols = record->cols;
    if (image->purgeBits)
        image->PurgeBits();
    ResourceLoadedHook(record);
    return true;
}

bool ResourceManager::LoadAlphaImage(ImageRes* record, MemoryImage* image)
{
    std::unique_ptr<ImageLib::Image> alpha;
    {
        ProfileScope profile("ResourceManager::GetImage");
        alpha = ImageLib::LoadImageFile(record->alphaImagePath, true);
    }
    if (!alpha)
        return Fail(FormatString("Failed to load image: %s", record->alphaImagePath.c_str()));
    if (alpha->GetWidth() != image->GetWidth() || alpha->GetHeight() != image->GetHeight())
        return Fail(FormatString("AlphaImage size mismatch between %s and %s", record->path.c_str(),
                                 record->alphaImagePath.c_str()));
    uint32_t* bits = image->GetBits();
    const uint32_t* alphaBits = alpha->GetBits();
    const size_t count = size_t(image->GetWidth()) * size_t(image->GetHeight());
    for (size_t i = 0; i < count; ++i)
        bits[i] = (bits[i] & 0x00FFFFFFu) | ((alphaBits[i] & 0xFFu) << 24);
    image->BitsChanged();
    return true;
}

bool ResourceManager::LoadAlphaGridImage(ImageRes* record, MemoryImage* image)
{
    std::unique_ptr<ImageLib::Image> grid = ImageLib::LoadImageFile(record->alphaGridImagePath, true);
    if (!grid)
        return Fail(FormatString("Failed to load image: %s", record->alphaGridImagePath.c_str()));
    const std::string mismatch = FormatString("GridAlphaImage size mismatch between %s and %s",
                                              record->path.c_str(), record->alphaGridImagePath.c_str());
    // A grid of no rows or columns has no cell size: refuse it rather than divide by zero.
    if (record->rows <= 0 || record->cols <= 0)
        return Fail(mismatch);
    const int32_t cellWidth = image->GetWidth() / record->cols;
    const int32_t cellHeight = image->GetHeight() / record->rows;
    if (grid->GetWidth() != cellWidth || grid->GetHeight() != cellHeight)
        return Fail(mismatch);
    uint32_t* bits = image->GetBits();
    const uint32_t* gridBits = grid->GetBits();
    const int32_t width = image->GetWidth();
    for (int32_t row = 0; row < record->rows; ++row)
        for (int32_t col = 0; col < record->cols; ++col)
            for (int32_t y = 0; y < cellHeight; ++y) {
                uint32_t* dst = bits + size_t(row * cellHeight + y) * size_t(width) + size_t(col * cellWidth);
                const uint32_t* src = gridBits + size_t(y) * size_t(cellWidth);
                for (int32_t x = 0; x < cellWidth; ++x)
                    dst[x] = (dst[x] & 0x00FFFFFFu) | ((src[x] & 0xFFu) << 24);
            }
    image->BitsChanged();
    return true;
}

bool ResourceManager::DoLoadFont(FontRes* record)
{
    ProfileScope profile("ResourceManager:DoLoadFont");
    if (record->sysFont) {
        auto font = std::make_unique<SysFont>(record->path, record->size, record->bold, record->italic,
                                              record->underline);
        font->shadow = record->shadow;
        record->font = std::move(font);
        ResourceLoadedHook(record);
        return true;
    }
    if (!record->imagePath.empty())
        return Fail(FormatString("Failed to load font: %s", record->path.c_str()));

    std::unique_ptr<ImageFont> font;
    static const std::string kRef = "!ref:";
    if (record->path.compare(0, kRef.size(), kRef) == 0) {
        const std::string name = record->path.substr(kRef.size());
        auto* other = dynamic_cast<ImageFont*>(GetFont(name));
        if (!other)
            return Fail("Ref font not found: " + name);
        font.reset(static_cast<ImageFont*>(other->Duplicate()));
    } else {
        font = std::make_unique<ImageFont>(imageSource_, record->path);
    }
    if (!font->IsLoaded())
        return Fail(FormatString("Failed to load font: %s", record->path.c_str()));
    for (const std::string& tag : Split(record->tags, ", \r\n\t", false))
        font->AddTag(tag);
    font->Prepare();
    record->font = std::move(font);
    ResourceLoadedHook(record);
    return true;
}

void ResourceManager::UnloadMap(ResMap& table, const std::string& group)
{
    for (auto& [id, record] : table)
        if (group.empty() || record->group == group)
            record->DeleteResource();
}

void ResourceManager::UnloadResources(const std::string& group)
{
    UnloadMap(images_, group);
    UnloadMap(sounds_, group);
    UnloadMap(fonts_, group);
    loadedGroups_.erase(group);
}

// ---------------------------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------------------------

SharedImageRef ResourceManager::GetImageThrow(const std::string& id)
{
    auto it = images_.find(id);
    if (it != images_.end()) {
        auto* record = static_cast<ImageRes*>(it->second.get());
        if (record->image.GetSharedImage())
            return record->image;
        if (allowMissingProgramImages && record->fromProgram)
            return SharedImageRef();
    }
    Fail(FormatString("Image resource not found: %s", id.c_str()));
    throw ResourceManagerException(error_);
}

Fw::Font* ResourceManager::GetFont(const std::string& id)
{
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : static_cast<FontRes*>(it->second.get())->font.get();
}

Fw::Font* ResourceManager::GetFontThrow(const std::string& id)
{
    if (Fw::Font* font = GetFont(id))
        return font;
    Fail(FormatString("Font resource not found: %s", id.c_str()));
    throw ResourceManagerException(error_);
}

} // namespace Fw
