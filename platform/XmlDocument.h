// XML document object with XPath 1.0 queries: the system's stand-in for the platform's DOM document.
// Documents, nodes and node lists are handles; every node or list handle shares ownership of its
// document, so a node stays valid after the document handle that produced it is gone. Names and
// query texts are UTF-8. Implemented over pugixml (platform/linux/PugiXmlDocument.cpp).
#pragma once
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
struct xml_node_struct;
struct xml_attribute_struct;
} // namespace pugi

namespace Platform {

struct XmlDocumentState; // the parsed tree, shared by every handle into it
class XmlNodeList;

// Encoding of a text handed to XmlDocument::LoadBuffer.
enum class XmlTextEncoding {
    Utf8,
    Utf16LE,
    Utf16BE,
    Latin1, // each byte is the character of the same value
};

// One value bound to a named XPath variable ($name in the query). Callers bind names and other
// outside text this way instead of pasting them into a query, so quotes in them cannot break it.
struct XmlVariable {
    std::string_view name;
    std::string_view value;
};
using XmlVariables = std::initializer_list<XmlVariable>;

// An element, the document node, or an attribute. A default-constructed node is null.
class XmlNode {
public:
    XmlNode() = default;

    explicit operator bool() const { return node_ != nullptr || attribute_ != nullptr; }
    bool IsAttribute() const { return attribute_ != nullptr; }
    bool IsElement() const;
    bool IsDocument() const;
    // Identity: two handles to the same node compare equal.
    bool operator==(const XmlNode& other) const
    {
        return node_ == other.node_ && attribute_ == other.attribute_;
    }

    // Element or attribute name; "" for the document node and for null.
    std::string Name() const;
    // An attribute's value; for other nodes the concatenated character data of all descendants.
    std::string Text() const;
    std::wstring WideText() const;

    // The named attribute of an element, or a null node.
    XmlNode Attribute(std::string_view name) const;
    // Sets (adds when missing) an attribute of an element; false for other nodes.
    bool SetAttribute(std::string_view name, std::string_view value);
    // Replaces an element's character data; false for other nodes.
    bool SetText(std::string_view text);

    XmlNode Parent() const;
    XmlNode FirstChild() const;    // first child element
    XmlNode NextSibling() const;   // next sibling element
    XmlNode DocumentElement() const; // the root element of the document this node belongs to

    // The first node the query selects, in document order; null when none or when the query cannot
    // be made.
    XmlNode SelectSingleNode(std::string_view xpath, XmlVariables variables = {}) const;
    // Every node the query selects, in document order; nullopt when the query cannot be made
    // (syntax error, unbound variable, result not a node set) or on a null node.
    std::optional<XmlNodeList> SelectNodes(std::string_view xpath, XmlVariables variables = {}) const;

    // Makes a new element named name under this element or document node, before reference when
    // that is one of its children, else as its last child. Null when this node cannot hold one,
    // the reference is not a child of it, or the name is empty.
    XmlNode InsertNewElement(std::string_view name, const XmlNode& reference);
    XmlNode InsertNewElement(std::string_view name);
    // Removes child (with its subtree) from this node; false when it is not a child of it.
    bool RemoveChild(const XmlNode& child);

private:
    friend class XmlDocument;
    friend class XmlNodeList;
    XmlNode(std::shared_ptr<XmlDocumentState> document, pugi::xml_node_struct* node,
            pugi::xml_attribute_struct* attribute);

    std::shared_ptr<XmlDocumentState> document_;
    pugi::xml_node_struct* node_ = nullptr;
    pugi::xml_attribute_struct* attribute_ = nullptr; // set for an attribute (node_ is its owner)
};

// The result of a query: a fixed list of nodes with a cursor.
class XmlNodeList {
public:
    size_t Length() const { return items_.size(); }
    XmlNode Item(size_t index) const { return index < items_.size() ? items_[index] : XmlNode(); }
    // Moves the cursor before the first node.
    void Reset() { cursor_ = 0; }
    // The node at the cursor, advancing it; a null node after the last one.
    XmlNode NextNode() { return cursor_ < items_.size() ? items_[cursor_++] : XmlNode(); }

private:
    friend class XmlNode;
    std::vector<XmlNode> items_;
    size_t cursor_ = 0;
};

// Why a text did not parse: the parser's reason and where it stopped (line and column from 1,
// the column counted in characters). An empty reason: the last load parsed.
struct XmlParseProblem {
    std::string reason;
    size_t line = 0;
    size_t column = 0;
};

// A document: empty when made, filled by LoadBuffer, written by Save. Movable, not copyable: one
// handle owns the content, and the nodes taken from it share that content.
class XmlDocument {
public:
    XmlDocument();
    XmlDocument(XmlDocument&&) noexcept = default;
    XmlDocument& operator=(XmlDocument&&) noexcept = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses text (size bytes) in the given encoding, replacing the document's content. A NUL
    // character ends the text. False, leaving the document empty, when it is not well-formed XML.
    // Nodes taken before keep the old content alive and unchanged.
    bool LoadBuffer(const void* text, size_t size, XmlTextEncoding encoding);
    // Why the last LoadBuffer failed.
    const XmlParseProblem& LastLoadProblem() const { return problem_; }
    // Writes the document as UTF-8 with a byte-order mark (so it reads back unchanged), through a
    // temporary file renamed over path; '\' in path counts as '/'. False when it cannot be written.
    bool Save(const std::string& path) const;

    // The document node: the starting point of absolute queries.
    XmlNode Root() const;
    XmlNode DocumentElement() const { return Root().DocumentElement(); }
    XmlNode SelectSingleNode(std::string_view xpath, XmlVariables variables = {}) const
    {
        return Root().SelectSingleNode(xpath, variables);
    }
    std::optional<XmlNodeList> SelectNodes(std::string_view xpath, XmlVariables variables = {}) const
    {
        return Root().SelectNodes(xpath, variables);
    }

private:
    std::shared_ptr<XmlDocumentState> state_;
    XmlParseProblem problem_;
};

} // namespace Platform
