// Skin colours, text attribute slots and localised labels.
#include "engine/widgets/SkinText.h"

#include "engine/core/XmlAttributes.h"
#include "engine/widgets/WidgetServices.h"

#include <cctype>

Fw::Color ParseSkinColor(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        i += 2;
    uint64_t value = 0;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        value = value * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        if (value > 0xFFFFFFFFull)
            value = 0x100000000ull; // stays saturated however many digits follow
    }
    return Fw::Color(value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value));
}

bool ReadSkinTextAttr(const Platform::XmlNode& element, std::string_view id, VTTextAttr& out)
{
    const std::string query = "textattr[@id=$id]";
    const Platform::XmlNode child = element.SelectSingleNode(query, {{"id", id}});
    if (!child)
        return false;
    std::string text;
    if (XmlGetAttributeString(child, "color", text, 128))
        out.color = ParseSkinColor(text);
    out.hoverColor = out.color;
    out.disabledColor = out.color;
    if (XmlGetAttributeString(child, "hcolor", text, 128))
        out.hoverColor = ParseSkinColor(text);
    if (XmlGetAttributeString(child, "dcolor", text, 128))
        out.disabledColor = ParseSkinColor(text);
    out.font = nullptr;
    if (XmlGetAttributeString(child, "font", text, 128))
        out.font = GetWidgetServices().GetFont(text);
    return true;
}

std::wstring ReadSkinLabel(const Platform::XmlNode& element)
{
    std::string key;
    if (!XmlGetAttributeString(element, "label", key, 128))
        return {};
    return GetWidgetServices().Localize(key);
}
