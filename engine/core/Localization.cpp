// VTLocalization: loading "cfg\loc.xml" and the locked lookups, with the debug-mode
// "HARDCODE " keys.
#include "engine/core/Localization.h"

#include "engine/core/DebugSettings.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "framework/core/StringUtils.h"

namespace {

constexpr std::string_view kHardcodePrefix = "HARDCODE ";
constexpr size_t kIdBufferBytes = 128;    // ids: their first 127 bytes
constexpr size_t kTextBufferChars = 2048; // texts: their first 2047 characters

// Texts made for "HARDCODE " keys, for the whole process.
struct HardcodedTexts {
    std::mutex lock;
    std::map<std::string, std::wstring, std::less<>> texts;
};

HardcodedTexts& Hardcoded()
{
    static HardcodedTexts table;
    return table;
}

std::wstring HardcodedText(std::string_view key)
{
    HardcodedTexts& table = Hardcoded();
    std::lock_guard lock(table.lock);
    auto it = table.texts.find(key);
    if (it == table.texts.end()) {
        const std::wstring text = Fw::StringToWString(key.substr(kHardcodePrefix.size()));
        it = table.texts.emplace(std::string(key), text).first;
    }
    return it->second;
}

} // namespace

bool VTLocalization::LoadFromXml(const std::string& path)
{
    std::optional<Platform::XmlDocument> document = OpenXmlFile(path);
    if (!document)
        return true;
    Platform::XmlNode root = document->SelectSingleNode("root");
    XmlForEachNode(root, "loc", [this](const Platform::XmlNode& element) {
        std::string id;
        std::wstring text;
        if (XmlGetAttributeString(element, "id", id, kIdBufferBytes) &&
            XmlGetAttributeWideString(element, "text", text, kTextBufferChars) && !text.empty()) {
            std::lock_guard lock(lock_);
            texts_.emplace(std::move(id), std::move(text));
        }
        return true;
    });
    return true;
}

std::wstring VTLocalization::GetText(std::string_view key) const
{
    if (gDebugSettings && gDebugSettings->debugMode && key.starts_with(kHardcodePrefix))
        return HardcodedText(key);
    std::lock_guard lock(lock_);
    auto it = texts_.find(key);
    return it == texts_.end() ? std::wstring() : it->second;
}

std::wstring VTLocalization::GetTextRef(std::string_view key)
{
    std::lock_guard lock(lock_);
    auto it = texts_.find(key);
    if (it == texts_.end())
        it = texts_.emplace(std::string(key), std::wstring()).first;
    return it->second;
}

void VTLocalization::SetText(std::string_view key, std::wstring_view text)
{
    std::lock_guard lock(lock_);
    auto it = texts_.find(key);
    if (it == texts_.end())
        texts_.emplace(std::string(key), std::wstring(text));
    else
        it->second.assign(text);
}

void VTLocalization::SetInt(std::string_view key, int32_t value)
{
    SetText(key, std::to_wstring(value));
}
