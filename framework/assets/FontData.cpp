// Font descriptions: loading and the layer commands.
#include "framework/assets/FontData.h"

#include "framework/assets/PopupSink.h"
#include "framework/assets/SharedImageSource.h"
#include "framework/core/Format.h"
#include "framework/core/PathUtils.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>

namespace Fw {

namespace {

const std::wstring& TokenText(const DataElement& element)
{
    return static_cast<const SingleDataElement&>(element).value;
}

// "name" arguments: one token, upper-cased; false for a list.
bool NameArg(const DataElement& element, std::wstring& out)
{
    if (element.isList)
        return false;
    out = StringToUpper(TokenText(element));
    return true;
}

// "integer" arguments: the token as written (no Define lookup, no unquoting).
bool IntArg(const DataElement& element, int32_t& out)
{
    int value = 0;
    if (element.isList || !StringToInt(TokenText(element), value))
        return false;
    out = value;
    return true;
}

// Commands of the form: layer, integer -> the field.
const std::map<std::wstring, int32_t FontLayer::*>& LayerIntCommands()
{
    static const std::map<std::wstring, int32_t FontLayer::*> commands = {
        {L"LAYERSETPOINTSIZE", &FontLayer::pointSize},
        {L"LAYERSETHEIGHT", &FontLayer::height},
        {L"LAYERSETASCENT", &FontLayer::ascent},
        {L"LAYERSETASCENTPADDING", &FontLayer::ascentPadding},
        {L"LAYERSETLINESPACINGOFFSET", &FontLayer::lineSpacingOffset},
        {L"LAYERSETSPACING", &FontLayer::spacing},
        {L"LAYERSETBASEORDER", &FontLayer::baseOrder},
    };
    return commands;
}

} // namespace

int32_t FontCharInfo::KerningFor(wchar_t next) const
{
    const auto it = kerning.find(next);
    return it == kerning.end() ? 0 : it->second;
}

const FontCharInfo& FontLayer::CharInfo(wchar_t ch) const
{
    static const FontCharInfo empty;
    const auto it = charData.find(ch);
    return it == charData.end() ? empty : it->second;
}

bool FontData::Load(SharedImageSource* source, const std::string& fileName)
{
    if (loaded)
        return false;
    app = source;
    currentLine.clear();
    fontErrorHeader = L"Font Descriptor Error in " + StringToWString(fileName) + L"\r\n";
    sourceFile = fileName;
    loaded = LoadDescriptor(fileName);
    return true;
}

bool FontData::Error(const std::wstring& text)
{
    DescParser::Error(text);
    std::wstring message = fontErrorHeader + text;
    if (!currentLine.empty())
        message += L" on Line " + FormatWString(L"%d:\r\n\r\n", currentLineNum) + currentLine;
    PopupW(message);
    return false;
}

bool FontData::InvalidParameter()
{
    return Error(L"Invalid Paramater Type");
}

bool FontData::DataToLayer(const DataElement& source, FontLayer*& layer)
{
    layer = nullptr;
    if (source.isList)
        return false;
    const auto it = fontLayerMap.find(WStringToString(StringToUpper(TokenText(source))));
    if (it == fontLayerMap.end())
        return Error(L"Undefined Layer");
    layer = it->second;
    return true;
}

bool FontData::HandleCommand(ListDataElement& command)
{
    const Args& args = command.children;
    const std::wstring name = StringToUpper(TokenText(*args[0]));
    const size_t count = args.size();
    auto countIs = [&](size_t wanted) { return count == wanted || Error(L"Invalid Number of Parameters"); };
    FontLayer* layer = nullptr;
    // Most commands start with a layer; a failed lookup has reported "Undefined Layer" already.
    auto layerArg = [&]() { return count > 1 && DataToLayer(*args[1], layer); };

    if (name == L"LAYERSETCHAROFFSETSSHIFT")
        return true;
    if (name == L"DEFINE")
        return countIs(3) && DoDefine(args);
    if (name == L"CREATEHORZSPANRECTLIST")
        return countIs(4) && DoCreateHorzSpanRectList(args);
    if (name == L"SETDEFAULTPOINTSIZE") {
        if (!countIs(2))
            return false;
        return IntArg(*args[1], defaultPointSize) || InvalidParameter();
    }
    if (name == L"CREATELAYER") {
        std::wstring layerName;
        if (!countIs(2))
            return false;
        if (!NameArg(*args[1], layerName))
            return InvalidParameter();
        return DoCreateLayer(layerName, FontLayer{});
    }
    if (name == L"CREATELAYERFROM") {
        std::wstring layerName;
        if (!countIs(3))
            return false;
        if (!NameArg(*args[1], layerName) || !DataToLayer(*args[2], layer))
            return InvalidParameter();
        return DoCreateLayer(layerName, *layer);
    }
    if (const auto it = LayerIntCommands().find(name); it != LayerIntCommands().end()) {
        if (!countIs(3))
            return false;
        return (layerArg() && IntArg(*args[2], layer->*(it->second))) || InvalidParameter();
    }
    if (name == L"LAYERSETDRAWMODE") {
        int32_t mode = 0;
        if (!countIs(3))
            return false;
        if (!layerArg() || !IntArg(*args[2], mode) || (mode != 0 && mode != 1))
            return InvalidParameter();
        layer->drawMode = mode;
        return true;
    }
    if (name == L"LAYERREQUIRETAGS" || name == L"LAYEREXCLUDETAGS") {
        std::vector<std::wstring> tags;
        if (!countIs(3))
            return false;
        if (!layerArg() || !DataToStringVector(*args[2], tags))
            return InvalidParameter();
        auto& dest = name == L"LAYERREQUIRETAGS" ? layer->requiredTags : layer->excludedTags;
        for (const auto& tag : tags)
            dest.push_back(WStringToString(StringToUpper(tag)));
        return true;
    }
    if (name == L"LAYERPOINTRANGE") {
        int32_t minSize = 0, maxSize = 0;
        if (!countIs(4))
            return false;
        if (!layerArg() || !IntArg(*args[2], minSize) || !IntArg(*args[3], maxSize))
            return InvalidParameter();
        layer->minPointSize = minSize;
        layer->maxPointSize = maxSize;
        return true;
    }
    if (name == L"LAYERSETIMAGE") {
        if (!countIs(3))
            return false;
        if (!layerArg())
            return InvalidParameter();
        return DoSetImage(*layer, *args[2]);
    }
    if (name == L"LAYERSETCOLORMULT" || name == L"LAYERSETCOLORADD") {
        Color color;
        if (!countIs(3))
            return false;
        if (!layerArg() || !DataToColor(*args[2], color))
            return InvalidParameter();
        (name == L"LAYERSETCOLORMULT" ? layer->colorMult : layer->colorAdd) = color;
        return true;
    }
    if (name == L"LAYERSETOFFSET") {
        std::vector<int32_t> offset;
        if (!countIs(3))
            return false;
        if (!layerArg() || !DataToIntVector(*args[2], offset) || offset.size() != 2)
            return InvalidParameter();
        layer->offsetX = offset[0];
        layer->offsetY = offset[1];
        return true;
    }
    if (name == L"LAYERSETCHARWIDTHS" || name == L"LAYERSETIMAGEMAP" || name == L"LAYERSETCHAROFFSETS" ||
        name == L"LAYERSETKERNINGPAIRS" || name == L"LAYERSETCHARORDERS") {
        if (!countIs(4))
            return false;
        if (!layerArg())
            return InvalidParameter();
        return DoCharCommand(name, *layer, *args[2], *args[3]);
    }
    return Error(L"Unknown Command");
}

bool FontData::DoDefine(const Args& args)
{
    std::wstring name;
    if (!NameArg(*args[1], name) || IsImmediate(name))
        return InvalidParameter();
    // The old value goes first: a new value that uses the name itself no longer finds it.
    defineMap.erase(name);
    const DataElement& value = *args[2];
    if (value.isList) {
        auto resolved = std::make_unique<ListDataElement>();
        if (!Dereference(static_cast<const ListDataElement&>(value), *resolved))
            return InvalidParameter();
        defineMap[name] = std::move(resolved);
    } else if (const DataElement* named = FindDefine(TokenText(value))) {
        defineMap[name] = named->Duplicate();
    } else {
        defineMap[name] = value.Duplicate();
    }
    return true;
}

bool FontData::DoCreateHorzSpanRectList(const Args& args)
{
    std::wstring name;
    if (!NameArg(*args[1], name))
        return InvalidParameter();
    defineMap.erase(name);
    std::vector<int32_t> rect, widths;
    if (!DataToIntVector(*args[2], rect) || rect.size() != 4 || !DataToIntVector(*args[3], widths))
        return InvalidParameter();
    auto list = std::make_unique<ListDataElement>();
    int64_t x = rect[0]; // the third rectangle value (its width) is not used
    for (const int32_t w : widths) {
        auto span = std::make_unique<ListDataElement>();
        for (const int64_t v : {x, int64_t(rect[1]), int64_t(w), int64_t(rect[3])})
            span->children.push_back(std::make_unique<SingleDataElement>(std::to_wstring(v)));
        list->children.push_back(std::move(span));
        x += w;
    }
    defineMap[name] = std::move(list);
    return true;
}

bool FontData::DoCreateLayer(const std::wstring& name, const FontLayer& from)
{
    fontLayers.push_back(from);
    fontLayers.back().owner = this;
    const std::string key = WStringToString(name);
    if (fontLayerMap.count(key)) {
        // Reported, but the load goes on: the new layer draws, the name keeps the earlier one.
        Error(L"Layer Already Exists");
        return true;
    }
    fontLayerMap[key] = &fontLayers.back();
    return true;
}

bool FontData::DoSetImage(FontLayer& layer, const DataElement& file)
{
    std::wstring fileName;
    if (!DataToString(file, fileName))
        return InvalidParameter();
    const std::string path = ResolveRelativePath(WStringToString(fileName), GetPathFolder(sourceFile, false));
    bool isNew = false;
    SharedImageRef image;
    if (app)
        image = app->AcquireSharedImage(path, "", &isNew);
    if (!image.GetSharedImage())
        return Error(L"Failed to Load Image");
    if (isNew)
        image.GetSharedImage()->Palletize();
    layer.image = image;
    return true;
}

bool FontData::DoCharCommand(const std::wstring& command, FontLayer& layer, const DataElement& charsArg,
                             const DataElement& valuesArg)
{
    const bool imageMap = command == L"LAYERSETIMAGEMAP";
    const bool offsets = command == L"LAYERSETCHAROFFSETS";
    const bool kerning = command == L"LAYERSETKERNINGPAIRS";
    const bool nested = imageMap || offsets;

    std::vector<std::wstring> chars;
    std::vector<int32_t> values;
    ListDataElement lists;
    if (!DataToStringVector(charsArg, chars))
        return InvalidParameter();
    if (nested ? !DataToList(valuesArg, lists) : !DataToIntVector(valuesArg, values))
        return InvalidParameter();
    if (chars.size() != (nested ? lists.children.size() : values.size()))
        return Error(L"List Size Mismatch");
    MemoryImage* image = layer.GetImage();
    if (imageMap && !image)
        return Error(L"Layer image not set");

    bool invalid = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].size() != (kerning ? 2u : 1u)) {
            invalid = true;
            continue;
        }
        std::vector<int32_t> numbers;
        if (nested && (!DataToIntVector(*lists.children[i], numbers) || numbers.size() != (imageMap ? 4u : 2u))) {
            invalid = true;
            continue;
        }
        FontCharInfo& info = layer.charData[chars[i][0]];
        if (imageMap) {
            const int64_t x = numbers[0], y = numbers[1], w = numbers[2], h = numbers[3];
            // Negative sizes are refused too: they would make drawing and scaling walk backwards.
            if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > image->GetWidth() || y + h > image->GetHeight())
                return Error(L"Image rectangle out of bounds");
            info.imageRect = Rect(numbers[0], numbers[1], numbers[2], numbers[3]);
        } else if (offsets) {
            info.offsetX = numbers[0];
            info.offsetY = numbers[1];
        } else if (kerning) {
            info.kerning[chars[i][1]] = int8_t(uint8_t(values[i] & 0xFF));
        } else if (command == L"LAYERSETCHARWIDTHS") {
            info.width = values[i];
        } else {
            info.order = values[i];
        }
    }
    if (imageMap) {
        // Only the offsets set so far count: offsets given after the image map do not enter it.
        layer.defaultHeight = 0;
        for (wchar_t ch = 0; ch < 256; ++ch) {
            const FontCharInfo& info = layer.CharInfo(ch);
            layer.defaultHeight = std::max(layer.defaultHeight, info.imageRect.height + info.offsetY);
        }
    }
    return !invalid || InvalidParameter();
}

} // namespace Fw
