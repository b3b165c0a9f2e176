// Typed attribute readers and the decimal parser behind them.
#include "engine/core/XmlAttributes.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kNumberBufferBytes = 128; // numbers are read from their first 127 bytes
constexpr size_t kLongTextBytes = 4096;    // debug-flag texts: their first 4095 bytes
constexpr size_t kBoolBufferChars = 16;

} // namespace

std::string_view XmlCutToBuffer(std::string_view text, size_t bufferSize)
{
    const size_t limit = bufferSize ? bufferSize - 1 : 0;
    if (text.size() <= limit)
        return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

bool XmlGetAttributeString(const Platform::XmlNode& node, std::string_view name, std::string& out,
                           size_t bufferSize)
{
    Platform::XmlNode attribute = node.Attribute(name);
    if (!attribute)
        return false;
    const std::string text = attribute.Text();
    out = XmlCutToBuffer(text, bufferSize);
    return true;
}

bool XmlGetAttributeWideString(const Platform::XmlNode& node, std::string_view name, std::wstring& out,
                               size_t bufferSize)
{
    Platform::XmlNode attribute = node.Attribute(name);
    if (!attribute)
        return false;
    std::wstring text = attribute.WideText();
    const size_t limit = bufferSize ? bufferSize - 1 : 0;
    if (text.size() > limit)
        text.resize(limit);
    out = std::move(text);
    return true;
}

int32_t ParseDecimal(std::string_view text, uint32_t* outPower)
{
    uint32_t value = 0;
    uint32_t power = 1;
    bool negative = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            value = value * 10u + static_cast<uint32_t>(c - '0');
            power *= 10u;
        } else if (c == '-' && i == 0) {
            negative = true;
        } else {
            break;
        }
    }
    if (outPower)
        *outPower = power;
    return static_cast<int32_t>(negative ? 0u - value : value);
}

bool XmlGetAttributeInt(const Platform::XmlNode& node, std::string_view name, int32_t& out)
{
    std::string text;
    if (!XmlGetAttributeString(node, name, text, kNumberBufferBytes))
        return false;
    out = ParseDecimal(text);
    return true;
}

bool XmlGetAttributeInt32(const Platform::XmlNode& node, std::string_view name, int32_t& out)
{
    return XmlGetAttributeInt(node, name, out);
}

bool XmlGetAttributeDecimalParts(const Platform::XmlNode& node, std::string_view name, int32_t& integer,
                                 int32_t& fraction, uint32_t& power)
{
    std::string text;
    if (!XmlGetAttributeString(node, name, text, kNumberBufferBytes))
        return false;
    const size_t point = text.find('.');
    integer = ParseDecimal(std::string_view(text).substr(0, point));
    power = 0;
    fraction = 0;
    if (point != std::string::npos) {
        fraction = ParseDecimal(std::string_view(text).substr(point + 1), &power);
        if (!text.empty() && text[0] == '-')
            fraction = static_cast<int32_t>(0u - static_cast<uint32_t>(fraction));
    }
    return true;
}

bool XmlGetAttributeFloat(const Platform::XmlNode& node, std::string_view name, float& out)
{
    int32_t integer = 0;
    int32_t fraction = 0;
    uint32_t power = 0;
    if (!XmlGetAttributeDecimalParts(node, name, integer, fraction, power))
        return false;
    double value = integer;
    if (power != 0)
        value += static_cast<double>(fraction) / static_cast<double>(power);
    out = static_cast<float>(value);
    return true;
}

int WidePrefixCompare(std::wstring_view a, std::wstring_view b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] < b[i])
            return -1;
        if (a[i] > b[i])
            return 1;
    }
    return 0;
}

bool XmlGetAttributeBool(const Platform::XmlNode& node, std::string_view name, bool& out)
{
    std::wstring text;
    if (XmlGetAttributeWideString(node, name, text, kBoolBufferChars) && WidePrefixCompare(text, L"true") == 0) {
        out = true;
        return true;
    }
    int32_t value = 0;
    if (!XmlGetAttributeInt(node, name, value))
        return false;
    out = value != 0;
    return true;
}

bool XmlGetAttributeFlag(const Platform::XmlNode& node, std::string_view name, bool& out)
{
    std::string text;
    if (!XmlGetAttributeString(node, name, text, kLongTextBytes))
        return false;
    // strtol rather than atoi: same reading, but an out-of-range number is not undefined behaviour.
    out = std::strtol(text.c_str(), nullptr, 10) != 0;
    return true;
}

bool XmlGetAttributeColor4(const Platform::XmlNode& node, std::string_view name, std::array<float, 4>& out)
{
    std::string text;
    if (!XmlGetAttributeString(node, name, text, kLongTextBytes))
        return false;
    return std::sscanf(text.c_str(), "%f %f %f %f", &out[0], &out[1], &out[2], &out[3]) != 0;
}

bool XmlGetAttributeStdString(const Platform::XmlNode& node, std::string_view name, std::string& out)
{
    return XmlGetAttributeString(node, name, out, kLongTextBytes);
}
