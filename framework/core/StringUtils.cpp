#include "framework/core/StringUtils.h"

#include <cctype>
#include <cwctype>

namespace Fw {

namespace {

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

template <class Char, class Fn>
std::basic_string<Char> MapChars(std::basic_string_view<Char> s, Fn fn)
{
    std::basic_string<Char> out(s);
    for (Char& c : out)
        c = fn(c);
    return out;
}

} // namespace

std::string StringToUpper(std::string_view s)
{
    return MapChars(s, AsciiUpper);
}

std::wstring StringToUpper(std::wstring_view s)
{
    return MapChars(s, [](wchar_t c) { return wchar_t(std::towupper(wint_t(c))); });
}

std::string StringToLower(std::string_view s)
{
    return MapChars(s, AsciiLower);
}

std::wstring StringToLower(std::wstring_view s)
{
    return MapChars(s, [](wchar_t c) { return wchar_t(std::towlower(wint_t(c))); });
}

std::wstring StringToWString(std::string_view s)
{
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra = 0;
        uint32_t cp = b0;
        if (b0 >= 0xC2 && b0 <= 0xDF)
            extra = 1, cp = b0 & 0x1F;
        else if (b0 >= 0xE0 && b0 <= 0xEF)
            extra = 2, cp = b0 & 0x0F;
        else if (b0 >= 0xF0 && b0 <= 0xF4)
            extra = 3, cp = b0 & 0x07;
        bool valid = extra > 0 && i + size_t(extra) < s.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((b & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
        if (valid && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                      (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (valid) {
            out.push_back(wchar_t(cp));
            i += size_t(extra) + 1;
        } else {
            out.push_back(wchar_t(b0));
            ++i;
        }
    }
    return out;
}

namespace {

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::string WStringToString(std::wstring_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<uint32_t>(s[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
            const auto low = static_cast<uint32_t>(s[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            out.push_back('?');
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string Trim(std::string_view s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1])))
        --end;
    return std::string(s.substr(begin, end - begin));
}

int StrFindNoCase(const char* haystack, const char* needle)
{
    if (!haystack || !needle || !*haystack)
        return -1;
    for (int i = 0; haystack[i]; ++i) {
        int k = 0;
        while (needle[k] && haystack[i + k] &&
               std::tolower(static_cast<unsigned char>(haystack[i + k])) ==
                   std::tolower(static_cast<unsigned char>(needle[k])))
            ++k;
        if (!needle[k])
            return i;
    }
    return -1;
}

bool StringToInt(std::wstring_view text, int& out)
{
    out = 0;
    if (text.empty())
        return false;
    size_t i = 0;
    const bool negative = text[0] == L'-';
    if (negative)
        i = 1;
    int base = 10;
    // Accumulate in unsigned 32 bits: the wrap of an over-long number is defined, not undefined.
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        int digit = -1;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else if ((c == L'x' || c == L'X') && i == 1 && value == 0 && base == 10) {
            base = 16;
            continue;
        }
        if (digit < 0) {
            out = 0;
            return false;
        }
        value = value * uint32_t(base) + uint32_t(digit);
    }
    out = static_cast<int>(negative ? 0u - value : value);
    return true;
}

bool StringToDouble(std::wstring_view text, double& out)
{
    out = 0;
    if (text.empty())
        return false;
    size_t i = 0;
    const bool negative = text[0] == L'-';
    if (negative)
        i = 1;
    double value = 0, factor = 0.1;
    bool fraction = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'.' && !fraction) {
            fraction = true;
            continue;
        }
        if (c < L'0' || c > L'9')
            return false;
        if (fraction) {
            value += (c - L'0') * factor;
            factor /= 10;
        } else {
            value = value * 10 + (c - L'0');
        }
    }
    out = negative ? -value : value;
    return true;
}

std::wstring DecodeXmlEntities(std::wstring_view text)
{
    struct Entity {
        std::wstring_view name;
        wchar_t value;
    };
    static constexpr Entity kEntities[] = {{L"lt", L'<'},   {L"amp", L'&'},  {L"gt", L'>'}, {L"quot", L'"'},
                                           {L"apos", L'\''}, {L"nbsp", L' '}, {L"cr", L'\n'}};
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            out.push_back(text[i]);
            continue;
        }
        const size_t semi = text.find(L';', i + 1);
        if (semi == std::wstring_view::npos) {
            out.push_back(L'&');
            continue;
        }
        const std::wstring_view name = text.substr(i + 1, semi - i - 1);
        wchar_t replacement = L'&';
        for (const auto& e : kEntities)
            if (e.name == name)
                replacement = e.value;
        out.push_back(replacement);
        i = semi;
    }
    return out;
}

std::wstring FormatWithCommas(int n)
{
    const bool negative = n < 0;
    unsigned magnitude = negative ? 0u - unsigned(n) : unsigned(n);
    std::wstring digits = std::to_wstring(magnitude);
    std::wstring out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(L',');
        out.push_back(digits[i]);
    }
    return negative ? L"-" + out : out;
}

} // namespace Fw
