#include "framework/assets/XmlReader.h"

#include "framework/core/PakFile.h"
#include "framework/core/StringUtils.h"

#include <algorithm>

namespace Fw {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsControl(wchar_t c) { return c < 0x20 && !IsSpace(c); }

// UTF-8 to wide; positions of undecodable bytes go to illegal.
std::wstring DecodeUtf8(const std::string& bytes, std::vector<size_t>& illegal)
{
    std::wstring out;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + size_t(extra) < bytes.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char cont = static_cast<unsigned char>(bytes[i + size_t(k)]);
            ok = (cont & 0xC0) == 0x80;
            cp = (cp << 6) | (cont & 0x3F);
        }
        if (!ok) {
            illegal.push_back(out.size());
            out.push_back(L'?');
            ++i;
            continue;
        }
        out.push_back(wchar_t(cp));
        i += size_t(extra) + 1;
    }
    return out;
}

} // namespace

void XmlReaderNode::Clear()
{
    kind = None;
    section.clear();
    value.clear();
    instruction.clear();
    attributes.clear();
}

XmlReader::XmlReader(std::wstring text, std::string fileName, std::vector<size_t> illegalAt)
    : input_(std::move(text)), illegalAt_(std::move(illegalAt)), fileName_(std::move(fileName))
{
}

bool XmlReader::OpenFile(const std::string& fileName)
{
    std::string bytes;
    if (!PakReadWholeFile(fileName.c_str(), bytes))
        return false;

    *this = XmlReader(L"", fileName);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            input_.push_back(wchar_t(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    } else {
        if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
            bytes.erase(0, 3);
        input_ = DecodeUtf8(bytes, illegalAt_);
    }
    return true;
}

XmlReader::Get XmlReader::NextChar(wchar_t& c)
{
    if (!pushedBack_.empty()) {
        c = pushedBack_.front();
        pushedBack_.pop_front();
    } else {
        if (pos_ >= input_.size())
            return Get::End;
        const bool illegal = std::binary_search(illegalAt_.begin(), illegalAt_.end(), pos_);
        c = input_[pos_++];
        if (illegal)
            return Get::Illegal;
    }
    if (c == L'\n')
        ++line_;
    return Get::Char;
}

void XmlReader::PushBack(const std::wstring& text)
{
    // Pushed-back text is read again: do not count its line feeds twice.
    line_ -= int(std::count(text.begin(), text.end(), L'\n'));
    pushedBack_.insert(pushedBack_.begin(), text.begin(), text.end());
}

bool XmlReader::Fail(const std::string& text)
{
    if (error_.empty())
        error_ = text;
    return false;
}

bool XmlReader::NextElement(XmlReaderNode& node)
{
    if (HadError())
        return false;
    for (;;) {
        node.Clear();
        node.section = section_;

        enum class State { Between, Text, Element, Comment, Instruction } state = State::Between;
        enum class Phase { Name, AttrName, AttrValue } phase = Phase::Name;
        bool first = true;     // next character is the first one inside '<'
        bool quoted = false;
        bool haveValue = false; // an attribute value has started
        std::wstring attrName, attrValue, tail;

        auto storeAttribute = [&] {
            if (!attrName.empty())
                node.attributes[DecodeXmlEntities(attrName)] = DecodeXmlEntities(attrValue);
            attrName.clear();
            attrValue.clear();
            haveValue = false;
            phase = Phase::AttrName;
        };

        for (;;) {
            wchar_t c = 0;
            const Get got = NextChar(c);
            if (got == Get::End) {
                if (state == State::Between)
                    return false;
                return Fail("Unexpected End of File"); // also inside text: it ends only before a '<'
            }
            const bool raw = quoted || state == State::Comment || state == State::Instruction;
            if (!raw && (got == Get::Illegal || IsControl(c)))
                return Fail("Illegal Character");

            if (state == State::Between) {
                if (IsSpace(c))
                    continue;
                if (c == L'<') {
                    state = State::Element;
                    node.kind = XmlReaderNode::StartElement;
                } else if (c == L'>') {
                    return Fail("Unexpected '>'");
                } else {
                    state = State::Text;
                    node.kind = XmlReaderNode::Text;
                    node.value.push_back(c);
                }
                continue;
            }
            if (state == State::Text) {
                if (c == L'<') {
                    PushBack(L"<");
                    break;
                }
                if (c == L'>')
                    return Fail("Unexpected '>'");
                node.value.push_back(c);
                continue;
            }
            if (state == State::Comment) {
                if (c == L'>' && tail.size() >= 2 && tail.compare(tail.size() - 2, 2, L"--") == 0)
                    break;
                tail.push_back(c);
                node.value.push_back(c);
                continue;
            }
            if (state == State::Instruction) {
                if (c == L'>' && !node.instruction.empty() && node.instruction.back() == L'?') {
                    node.instruction.pop_back();
                    break;
                }
                node.instruction.push_back(c);
                continue;
            }

            // Inside an element.
            if (quoted) {
                if (c == L'"') {
                    quoted = false;
                    storeAttribute();
                } else {
                    attrValue.push_back(c);
                }
                continue;
            }
            if (first) {
                first = false;
                if (c == L'/') {
                    node.kind = XmlReaderNode::EndElement;
                    continue;
                }
                if (c == L'?') {
                    node.kind = XmlReaderNode::Instruction;
                    state = State::Instruction;
                    continue;
                }
            }
            if (c == L'<')
                return Fail("Unexpected '<'");
            if (c == L'/') {
                wchar_t next = 0;
                const Get peek = NextChar(next);
                if (peek == Get::Char && next == L'>' && node.kind == XmlReaderNode::StartElement) {
                    if (phase == Phase::AttrValue || !attrName.empty())
                        storeAttribute();
                    PushBack(L"</" + node.value + L">");
                    break;
                }
                if (peek == Get::Char)
                    PushBack(std::wstring(1, next));
                else if (peek == Get::Illegal)
                    return Fail("Illegal Character");
                // Otherwise the '/' is an ordinary character of a name or an unquoted value.
            } else if (c == L'>') {
                if (phase == Phase::AttrValue || !attrName.empty())
                    storeAttribute();
                break;
            } else if (IsSpace(c)) {
                if (phase == Phase::Name && !node.value.empty()) {
                    if (node.value == L"!--") {
                        node.kind = XmlReaderNode::Comment;
                        node.value.clear();
                        state = State::Comment;
                        continue;
                    }
                    phase = Phase::AttrName;
                } else if (phase == Phase::AttrValue && haveValue) {
                    storeAttribute();
                }
                continue;
            } else if (c == L'"' && phase != Phase::Name) {
                quoted = true;
                haveValue = true;
                phase = Phase::AttrValue;
                continue;
            } else if (c == L'=' && phase == Phase::AttrName) {
                phase = Phase::AttrValue;
                continue;
            }
            switch (phase) {
            case Phase::Name:
                node.value.push_back(c);
                break;
            case Phase::AttrName:
                attrName.push_back(c);
                break;
            case Phase::AttrValue:
                haveValue = true;
                attrValue.push_back(c);
                break;
            }
        }
        if (node.kind == XmlReaderNode::Comment && !returnComments_)
            continue;

        node.value = DecodeXmlEntities(node.value);
        if (node.kind == XmlReaderNode::StartElement) {
            open_.push_back(node.value);
            section_ = section_.empty() ? node.value : section_ + L"/" + node.value;
        } else if (node.kind == XmlReaderNode::EndElement) {
            if (open_.empty())
                return Fail("Unexpected End");
            if (open_.back() != node.value)
                return Fail("End '" + WStringToString(node.value) + "' Doesn't Match Start '" +
                            WStringToString(open_.back()) + "'");
            open_.pop_back();
            const size_t slash = section_.rfind(L'/');
            section_ = slash == std::wstring::npos ? std::wstring() : section_.substr(0, slash);
        }
        return true;
    }
}

} // namespace Fw
