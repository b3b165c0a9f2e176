// Descriptor files: command splitting, tokenizing, Defines and argument conversions.
#include "framework/assets/DescParser.h"

#include "framework/core/PakFile.h"
#include "framework/core/StringUtils.h"

#include <algorithm>
#include <optional>

namespace Fw {

namespace {

constexpr int kEndOfFile = 0xFFFF; // what FGetWC returns at the end

bool IsSeparator(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L',';
}

bool IsBlank(int c)
{
    return c == ' ' || c == '\t';
}

// Closes the file on every way out of the loader.
struct PakFileCloser {
    PakFile* file;
    ~PakFileCloser() { PakFClose(file); }
};

} // namespace

bool DescParser::Error(const std::wstring& text)
{
    error = text;
    return false;
}

DataElement* DescParser::FindDefine(const std::wstring& name)
{
    const auto it = defineMap.find(StringToUpper(name));
    return it == defineMap.end() ? nullptr : it->second.get();
}

bool DescParser::ReportUndeclared(const std::wstring& name)
{
    return Error(L"Unable to Dereference \"" + name + L"\"");
}

bool DescParser::LoadDescriptor(const std::string& fileName)
{
    error.clear();
    currentLineNum = 0;
    PakFile* file = PakFOpen(fileName.c_str(), "rb");
    if (!file)
        return false;
    PakFileCloser closer{file};

    bool ok = true;
    bool endOfFile = false;
    int32_t lineCounter = 0;        // line feeds read so far
    std::optional<int> heldBack;    // first character of the next command (flag bit 1)
    while (ok && !endOfFile) {
        bool atLineStart = true, hadLeadingBlank = false, inComment = false;
        bool inSingle = false, inDouble = false, escapePending = false;
        currentLine.clear();

        auto append = [&](wchar_t c) {
            if (currentLine.empty())
                currentLineNum = lineCounter + 1;
            if (escapePending) {
                currentLine += L'\\';
                escapePending = false;
            }
            currentLine += c;
        };

        for (;;) {
            int c;
            if (heldBack) {
                c = *heldBack;
                heldBack.reset();
            } else {
                c = PakFGetWC(file);
                if (c == kEndOfFile) {
                    endOfFile = true;
                    break;
                }
            }
            if (c == '\r')
                continue;
            if (c == '\n')
                ++lineCounter;

            if (atLineStart) {
                if (IsBlank(c)) {
                    hadLeadingBlank = true;
                    continue;
                }
                if (c == '\n')
                    continue;
                atLineStart = false;
                if ((cmdFlags & kCmdLineStartBegins) && !hadLeadingBlank && !currentLine.empty()) {
                    heldBack = c;
                    break;
                }
                if (c == '#') {
                    inComment = true;
                    continue;
                }
            }

            if (c == '\n') {
                hadLeadingBlank = false;
                atLineStart = true;
                if (inComment)
                    inComment = false;
                else
                    append(L'\n');
                continue;
            }
            if (inComment)
                continue;

            const bool inQuotes = inSingle || inDouble;
            if (c == '\\' && inQuotes) {
                if (escapePending)
                    append(L'\\'); // appends the pending one and this one
                else
                    escapePending = true;
                continue;
            }
            if (c == '\'' && !inDouble) {
                if (!escapePending)
                    inSingle = !inSingle;
                append(L'\'');
                continue;
            }
            if (c == '"' && !inSingle) {
                if (!escapePending)
                    inDouble = !inDouble;
                append(L'"');
                continue;
            }
            if (c == ';' && (cmdFlags & kCmdSemicolonEnds) && !inQuotes)
                break;
            append(wchar_t(c));
        }

        if (!currentLine.empty() && !ParseLine(currentLine))
            ok = false;
        currentLine.clear();
    }
    currentLine.clear();
    currentLineNum = 0;
    return ok;
}

bool DescParser::ParseLine(const std::wstring& line)
{
    ListDataElement command;
    if (!ParseList(line, command, false))
        return false;
    if (command.children.empty())
        return true;
    if (command.children.front()->isList)
        return Error(L"Missing Command");
    return HandleCommand(command);
}

bool DescParser::ParseList(const std::wstring& text, ListDataElement& dest, bool expectListEnd, size_t* pos)
{
    size_t localPos = 0;
    size_t& p = pos ? *pos : localPos;
    bool inSingle = false, inDouble = false, escaped = false;
    SingleDataElement* token = nullptr;

    auto append = [&](wchar_t c) {
        if (!token) {
            auto fresh = std::make_unique<SingleDataElement>();
            token = fresh.get();
            dest.children.push_back(std::move(fresh));
        }
        token->value += c;
    };

    while (p < text.size()) {
        const wchar_t c = text[p++];
        if (escaped) {
            escaped = false;
            append(c);
            continue;
        }
        if (c == L'\\') {
            escaped = true;
            continue;
        }
        if (c == L'\'' && !inDouble) {
            inSingle = !inSingle;
            append(c);
            continue;
        }
        if (c == L'"' && !inSingle) {
            inDouble = !inDouble;
            append(c);
            continue;
        }
        if (inSingle || inDouble) {
            append(c);
            continue;
        }
        if (c == L')') {
            if (expectListEnd)
                return true;
            return Error(L"Unexpected List End");
        }
        if (c == L'(') {
            if (token)
                return Error(L"Unexpected List Start");
            auto list = std::make_unique<ListDataElement>();
            if (!ParseList(text, *list, true, &p))
                return false;
            dest.children.push_back(std::move(list));
            continue;
        }
        if (IsSeparator(c)) {
            token = nullptr;
            continue;
        }
        append(c);
    }
    if (inSingle)
        return Error(L"Unterminated Single Quotes");
    if (inDouble)
        return Error(L"Unterminated Double Quotes");
    if (expectListEnd)
        return Error(L"Unterminated List");
    return true;
}

std::wstring DescParser::Unquote(const std::wstring& token)
{
    if (token.empty() || (token[0] != L'\'' && token[0] != L'"'))
        return token;
    const wchar_t q = token[0];
    std::wstring out;
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] != q || (i > 0 && token[i - 1] == q))
            out += token[i];
    }
    return out;
}

bool DescParser::IsImmediate(const std::wstring& token)
{
    if (token.empty())
        return false;
    const wchar_t c = token[0];
    return (c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L'\'' || c == L'"';
}

bool DescParser::Dereference(const ListDataElement& source, ListDataElement& dest)
{
    dest.children.clear();
    for (const auto& element : source.children) {
        if (element->isList) {
            auto nested = std::make_unique<ListDataElement>();
            if (!Dereference(static_cast<const ListDataElement&>(*element), *nested))
                return false;
            dest.children.push_back(std::move(nested));
            continue;
        }
        const std::wstring& text = static_cast<const SingleDataElement&>(*element).value;
        if (text.empty())
            continue;
        if (text[0] == L'\'' || text[0] == L'"') {
            dest.children.push_back(std::make_unique<SingleDataElement>(Unquote(text)));
        } else if (IsImmediate(text)) {
            dest.children.push_back(element->Duplicate());
        } else {
            DataElement* value = FindDefine(text);
            if (!value)
                return ReportUndeclared(text);
            dest.children.push_back(value->Duplicate());
        }
    }
    return true;
}

bool DescParser::DataToString(const DataElement& source, std::wstring& out)
{
    if (source.isList)
        return false;
    const std::wstring& text = static_cast<const SingleDataElement&>(source).value;
    if (const DataElement* value = FindDefine(text)) {
        if (value->isList)
            return false;
        out = Unquote(static_cast<const SingleDataElement&>(*value).value);
        return true;
    }
    out = Unquote(text);
    return true;
}

bool DescParser::DataToStringVector(const DataElement& source, std::vector<std::wstring>& out)
{
    out.clear();
    ListDataElement resolved;
    const ListDataElement* list = nullptr;
    if (source.isList) {
        if (!Dereference(static_cast<const ListDataElement&>(source), resolved))
            return false;
        list = &resolved;
    } else {
        const std::wstring& name = static_cast<const SingleDataElement&>(source).value;
        const DataElement* value = FindDefine(name);
        if (!value)
            return ReportUndeclared(name);
        if (!value->isList)
            return false;
        list = static_cast<const ListDataElement*>(value);
    }
    for (const auto& element : list->children) {
        if (element->isList) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<const SingleDataElement&>(*element).value);
    }
    return true;
}

namespace {

// The texts of source, each converted by parse; false at the first that does not convert.
template <class T, class Parse>
bool ConvertTexts(DescParser& parser, const DataElement& source, std::vector<T>& out, Parse parse)
{
    out.clear();
    std::vector<std::wstring> texts;
    if (!parser.DataToStringVector(source, texts))
        return false;
    for (const auto& text : texts) {
        T value{};
        if (!parse(text, value))
            return false;
        out.push_back(value);
    }
    return true;
}

} // namespace

bool DescParser::DataToIntVector(const DataElement& source, std::vector<int32_t>& out)
{
    return ConvertTexts(*this, source, out, [](const std::wstring& text, int32_t& value) {
        int v = 0;
        const bool ok = StringToInt(text, v);
        value = v;
        return ok;
    });
}

bool DescParser::DataToDoubleVector(const DataElement& source, std::vector<double>& out)
{
    return ConvertTexts(*this, source, out,
                        [](const std::wstring& text, double& value) { return StringToDouble(text, value); });
}

bool DescParser::DataToList(const DataElement& source, ListDataElement& dest)
{
    if (source.isList)
        return Dereference(static_cast<const ListDataElement&>(source), dest);
    const DataElement* value = FindDefine(static_cast<const SingleDataElement&>(source).value);
    if (!value || !value->isList)
        return false;
    dest = static_cast<const ListDataElement&>(*value);
    return true;
}

bool DescParser::DataToColor(const DataElement& source, Color& out)
{
    if (source.isList) {
        std::vector<double> v;
        if (!DataToDoubleVector(source, v) || v.size() != 4)
            return false;
        // Truncated toward zero, not clamped to 0..255 (only to the integer range, where the
        // conversion would be undefined).
        auto channel = [](double x) { return int32_t(std::clamp(x * 255.0, -2147483648.0, 2147483647.0)); };
        out = Color(channel(v[0]), channel(v[1]), channel(v[2]), channel(v[3]));
        return true;
    }
    int packed = 0;
    if (!StringToInt(static_cast<const SingleDataElement&>(source).value, packed))
        return false;
    out = Color(uint32_t(packed));
    return true;
}

} // namespace Fw
