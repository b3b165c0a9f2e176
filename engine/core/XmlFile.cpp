// Loading XML files through the archive layer (archives first, then the file system).
#include "engine/core/XmlAccess.h"

#include "framework/core/PakFile.h"

#include <cstdio>

bool LoadXmlFile(const std::string& path, Platform::XmlDocument& document)
{
    std::string bytes;
    if (!PakReadWholeFile(path.c_str(), bytes))
        return false;
    return LoadXmlBytes(bytes.data(), bytes.size(), document);
}

std::optional<Platform::XmlDocument> OpenXmlFile(const std::string& path)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlFile(path, document))
        return std::nullopt;
    return document;
}
