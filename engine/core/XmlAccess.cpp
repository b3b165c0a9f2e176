// Decoding of XML file bytes and the node helpers of XmlAccess.h. Reading files through the archive
// layer is in XmlFile.cpp.
#include "engine/core/XmlAccess.h"

Platform::XmlDocument CreateXmlDocument() { return Platform::XmlDocument(); }

bool LoadXmlBytes(const void* bytes, size_t size, Platform::XmlDocument& document)
{
    const auto* b = static_cast<const unsigned char*>(bytes);
    if (size >= 2 && b[0] == 0xEF && b[1] == 0xBB) {
        const size_t skip = size < 3 ? size : 3;
        return document.LoadBuffer(b + skip, size - skip, Platform::XmlTextEncoding::Utf8);
    }
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return document.LoadBuffer(b + 2, size - 2, Platform::XmlTextEncoding::Utf16LE);
    if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return document.LoadBuffer(b + 2, size - 2, Platform::XmlTextEncoding::Utf16BE);
    return document.LoadBuffer(b, size, Platform::XmlTextEncoding::Latin1);
}

bool XmlForEachNode(const Platform::XmlNode& node, std::string_view xpath, const XmlNodeCallback& callback,
                    Platform::XmlVariables variables)
{
    std::optional<Platform::XmlNodeList> list = node.SelectNodes(xpath, variables);
    if (!list)
        return false;
    for (Platform::XmlNode item = list->NextNode(); item; item = list->NextNode())
        if (!callback(item))
            break;
    return true;
}

Platform::XmlNode XmlInsertNewElement(Platform::XmlNode parent, std::string_view name,
                                      const Platform::XmlNode& reference)
{
    return parent.InsertNewElement(name, reference);
}

Platform::XmlNode XmlGetAttributeNode(const Platform::XmlNode& node, std::string_view name)
{
    return node.Attribute(name);
}
