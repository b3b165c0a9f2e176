// The engine's XML byte loader (byte-order marks, UTF-8 and UTF-16 texts) and a walk over every
// element and attribute of what it accepts.
#include "FuzzSupport.h"

#include "engine/core/XmlAccess.h"

namespace {

void Walk(const Platform::XmlNode& node, int depth)
{
    FuzzSupport::Check(depth < 100000, "the tree ends");
    for (Platform::XmlNode child = node.FirstChild(); child; child = child.NextSibling()) {
        child.Name();
        child.Text();
        child.WideText();
        FuzzSupport::Check(child.Parent() == node, "a child's parent is the node walked");
        Walk(child, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlBytes(data, size, document))
        return 0;
    Walk(document.Root(), 0);
    document.SelectNodes("//@*");
    return 0;
}
