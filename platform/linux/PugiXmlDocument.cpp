// XmlDocument over pugixml: parsing from a decoded buffer, XPath 1.0 queries with bound variables,
// element insertion and saving. pugixml reports bad queries by exception; every such failure is
// turned into the "query cannot be made" result here, so no exception leaves this file.
#include "platform/XmlDocument.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace Platform {

struct XmlDocumentState {
    pugi::xml_document document;
};

namespace {

pugi::xml_node AsNode(pugi::xml_node_struct* node) { return pugi::xml_node(node); }

void AppendCharacterData(const pugi::xml_node& node, std::string& out)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element)
            AppendCharacterData(child, out);
    }
}

// Length in bytes of the text before the first NUL unit of the encoding.
size_t LengthBeforeNul(const unsigned char* bytes, size_t size, XmlTextEncoding encoding)
{
    if (encoding == XmlTextEncoding::Utf16LE || encoding == XmlTextEncoding::Utf16BE) {
        size_t units = size / 2;
        for (size_t i = 0; i < units; ++i)
            if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0)
                return 2 * i;
        return units * 2;
    }
    const void* nul = std::memchr(bytes, 0, size);
    return nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - bytes) : size;
}

// Line and column (from 1, in characters) of the character the parser stopped at. The parser
// reports its stop as an offset in UTF-8 bytes of the text converted from the encoding, so the
// text is walked character by character, counting what each becomes in UTF-8.
void LocateParseStop(const unsigned char* bytes, size_t length, XmlTextEncoding encoding, size_t utf8Offset,
                     XmlParseProblem& problem)
{
    problem.line = 1;
    problem.column = 1;
    const bool wide = encoding == XmlTextEncoding::Utf16LE || encoding == XmlTextEncoding::Utf16BE;
    size_t converted = 0;
    for (size_t i = 0; i + (wide ? 1 : 0) < length && converted < utf8Offset;) {
        uint32_t c = bytes[i];
        size_t step = 1, utf8Bytes = 1;
        if (wide) {
            c = encoding == XmlTextEncoding::Utf16LE ? uint32_t(bytes[i] | bytes[i + 1] << 8)
                                                     : uint32_t(bytes[i] << 8 | bytes[i + 1]);
            const bool pair = c >= 0xD800 && c < 0xDC00 && i + 3 < length;
            step = pair ? 4 : 2;
            utf8Bytes = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        } else if (encoding == XmlTextEncoding::Utf8) {
            step = utf8Bytes = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        } else {
            utf8Bytes = c < 0x80 ? 1 : 2; // Latin-1
        }
        converted += utf8Bytes;
        i += step;
        if (c == '\n') {
            ++problem.line;
            problem.column = 1;
        } else {
            ++problem.column;
        }
    }
}

pugi::xml_encoding ToPugi(XmlTextEncoding encoding)
{
    switch (encoding) {
    case XmlTextEncoding::Utf8: return pugi::encoding_utf8;
    case XmlTextEncoding::Utf16LE: return pugi::encoding_utf16_le;
    case XmlTextEncoding::Utf16BE: return pugi::encoding_utf16_be;
    case XmlTextEncoding::Latin1: return pugi::encoding_latin1;
    }
    return pugi::encoding_utf8;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// XmlNode

XmlNode::XmlNode(std::shared_ptr<XmlDocumentState> document, pugi::xml_node_struct* node,
                 pugi::xml_attribute_struct* attribute)
    : document_(node || attribute ? std::move(document) : nullptr), node_(node), attribute_(attribute)
{
}

bool XmlNode::IsElement() const { return !attribute_ && AsNode(node_).type() == pugi::node_element; }

bool XmlNode::IsDocument() const { return !attribute_ && AsNode(node_).type() == pugi::node_document; }

std::string XmlNode::Name() const
{
    if (attribute_)
        return pugi::xml_attribute(attribute_).name();
    return IsElement() ? AsNode(node_).name() : "";
}

std::string XmlNode::Text() const
{
    if (attribute_)
        return pugi::xml_attribute(attribute_).value();
    std::string text;
    if (node_)
        AppendCharacterData(AsNode(node_), text);
    return text;
}

std::wstring XmlNode::WideText() const { return pugi::as_wide(Text()); }

XmlNode XmlNode::Attribute(std::string_view name) const
{
    if (!IsElement())
        return {};
    // Compared in code rather than through a query, so any name is safe.
    for (pugi::xml_attribute a = AsNode(node_).first_attribute(); a; a = a.next_attribute())
        if (name == a.name())
            return XmlNode(document_, node_, a.internal_object());
    return {};
}

bool XmlNode::SetAttribute(std::string_view name, std::string_view value)
{
    if (!IsElement() || name.empty())
        return false;
    const std::string key(name);
    pugi::xml_node node = AsNode(node_);
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute)
        attribute = node.append_attribute(key.c_str());
    return attribute && attribute.set_value(std::string(value).c_str());
}

bool XmlNode::SetText(std::string_view text)
{
    return IsElement() && AsNode(node_).text().set(std::string(text).c_str());
}

XmlNode XmlNode::Parent() const
{
    if (attribute_)
        return XmlNode(document_, node_, nullptr);
    return node_ ? XmlNode(document_, AsNode(node_).parent().internal_object(), nullptr) : XmlNode();
}

XmlNode XmlNode::FirstChild() const
{
    if (attribute_ || !node_)
        return {};
    pugi::xml_node child = AsNode(node_).find_child(
        [](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
    return XmlNode(document_, child.internal_object(), nullptr);
}

XmlNode XmlNode::NextSibling() const
{
    if (attribute_ || !node_)
        return {};
    pugi::xml_node next = AsNode(node_).next_sibling();
    while (next && next.type() != pugi::node_element)
        next = next.next_sibling();
    return XmlNode(document_, next.internal_object(), nullptr);
}

XmlNode XmlNode::DocumentElement() const
{
    if (!document_)
        return {};
    return XmlNode(document_, document_->document.document_element().internal_object(), nullptr);
}

XmlNode XmlNode::SelectSingleNode(std::string_view xpath, XmlVariables variables) const
{
    std::optional<XmlNodeList> list = SelectNodes(xpath, variables);
    return list ? list->Item(0) : XmlNode();
}

std::optional<XmlNodeList> XmlNode::SelectNodes(std::string_view xpath, XmlVariables variables) const
{
    if (!*this)
        return std::nullopt;
    try {
        pugi::xpath_variable_set bound;
        for (const XmlVariable& v : variables)
            if (!bound.set(std::string(v.name).c_str(), std::string(v.value).c_str()))
                return std::nullopt;
        const std::string text(xpath);
        pugi::xpath_query query(text.c_str(), &bound);
        if (!query || query.return_type() != pugi::xpath_type_node_set)
            return std::nullopt;
        pugi::xpath_node context = attribute_
            ? pugi::xpath_node(pugi::xml_attribute(attribute_), AsNode(node_))
            : pugi::xpath_node(AsNode(node_));
        pugi::xpath_node_set found = query.evaluate_node_set(context);
        found.sort();
        XmlNodeList list;
        list.items_.reserve(found.size());
        for (const pugi::xpath_node& n : found) {
            if (n.attribute())
                list.items_.push_back(XmlNode(document_, n.parent().internal_object(),
                                              n.attribute().internal_object()));
            else
                list.items_.push_back(XmlNode(document_, n.node().internal_object(), nullptr));
        }
        return list;
    } catch (const pugi::xpath_exception&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

XmlNode XmlNode::InsertNewElement(std::string_view name, const XmlNode& reference)
{
    if (attribute_ || !node_ || name.empty() || (!IsElement() && !IsDocument()))
        return {};
    const std::string key(name);
    pugi::xml_node parent = AsNode(node_);
    pugi::xml_node made;
    if (reference) {
        if (reference.attribute_ || reference.node_ == nullptr ||
            AsNode(reference.node_).parent() != parent)
            return {};
        made = parent.insert_child_before(key.c_str(), AsNode(reference.node_));
    } else {
        made = parent.append_child(key.c_str());
    }
    return XmlNode(document_, made.internal_object(), nullptr);
}

XmlNode XmlNode::InsertNewElement(std::string_view name) { return InsertNewElement(name, XmlNode()); }

bool XmlNode::RemoveChild(const XmlNode& child)
{
    if (attribute_ || !node_ || child.attribute_ || !child.node_)
        return false;
    pugi::xml_node parent = AsNode(node_);
    if (AsNode(child.node_).parent() != parent)
        return false;
    return parent.remove_child(AsNode(child.node_));
}

// ---------------------------------------------------------------------------------------------
// XmlDocument

XmlDocument::XmlDocument() : state_(std::make_shared<XmlDocumentState>()) {}

bool XmlDocument::LoadBuffer(const void* text, size_t size, XmlTextEncoding encoding)
{
    const auto* bytes = static_cast<const unsigned char*>(text);
    const size_t length = bytes ? LengthBeforeNul(bytes, size, encoding) : 0;
    // A fresh tree, so node handles into the old content never point into freed memory.
    auto fresh = std::make_shared<XmlDocumentState>();
    const pugi::xml_parse_result result =
        fresh->document.load_buffer(bytes, length, pugi::parse_default, ToPugi(encoding));
    const bool parsed = bool(result);
    problem_ = XmlParseProblem{};
    if (!parsed) {
        problem_.reason = result.description();
        LocateParseStop(bytes, length, encoding, size_t(std::max<ptrdiff_t>(result.offset, 0)), problem_);
    }
    state_ = parsed ? std::move(fresh) : std::make_shared<XmlDocumentState>();
    return parsed;
}

bool XmlDocument::Save(const std::string& path) const
{
    if (!state_) // moved from
        return false;
    std::string target = path;
    std::replace(target.begin(), target.end(), '\\', '/');
    const std::string temporary = target + ".tmp";
    if (!state_->document.save_file(temporary.c_str(), "\t",
                                    pugi::format_default | pugi::format_write_bom,
                                    pugi::encoding_utf8)) {
        std::remove(temporary.c_str());
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

XmlNode XmlDocument::Root() const
{
    if (!state_) // moved from
        return {};
    return XmlNode(state_, state_->document.internal_object(), nullptr);
}

} // namespace Platform
