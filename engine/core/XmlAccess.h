// The engine's XML entry points: documents loaded through the archive layer (with the byte-order
// mark deciding the encoding), walking the nodes a query selects, and inserting elements. Typed
// attribute readers are in XmlAttributes.h.
#pragma once
#include "platform/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A new, empty document.
Platform::XmlDocument CreateXmlDocument();

// Parses the raw bytes of an XML file into document. The first bytes choose the decoding: EF BB
// (a UTF-8 mark, three bytes skipped), FF FE (UTF-16 little-endian), FE FF (UTF-16 big-endian);
// without a mark each byte is one character of the same value. The text ends at its first NUL.
bool LoadXmlBytes(const void* bytes, size_t size, Platform::XmlDocument& document);

// Reads path ("rb") through the archive layer (archives first, then the file system) and parses it
// as LoadXmlBytes does. False when the file cannot be opened or does not parse; a file that does
// not parse is reported in one line of the debugger output (its name, where it was read from, the
// line and column and the parser's reason).
bool LoadXmlFile(const std::string& path, Platform::XmlDocument& document);

// A new document holding the file, or nullopt when LoadXmlFile fails.
std::optional<Platform::XmlDocument> OpenXmlFile(const std::string& path);

// Calls callback for every node that xpath selects from node, in document order, until it returns
// false. False only when the query cannot be made (null node, bad query); true otherwise.
using XmlNodeCallback = std::function<bool(const Platform::XmlNode& node)>;
bool XmlForEachNode(const Platform::XmlNode& node, std::string_view xpath, const XmlNodeCallback& callback,
                    Platform::XmlVariables variables = {});

// A new element under parent, before reference when given, else last; null on failure.
Platform::XmlNode XmlInsertNewElement(Platform::XmlNode parent, std::string_view name,
                                      const Platform::XmlNode& reference = Platform::XmlNode());

// The named attribute of node, or a null node when it is absent.
Platform::XmlNode XmlGetAttributeNode(const Platform::XmlNode& node, std::string_view name);
