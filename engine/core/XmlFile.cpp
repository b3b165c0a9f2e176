// Loading XML files through the archive layer (archives first, then the file system).
#include "engine/core/XmlAccess.h"

#include "framework/core/PakFile.h"

#include <cstdio>
#include <vector>

bool LoadXmlFile(const std::string& path, Platform::XmlDocument& document)
{
    PakFile* file = PakFOpen(path.c_str(), "rb");
    if (!file)
        return false;
    std::vector<unsigned char> bytes;
    bool ok = PakFSeek(file, 0, SEEK_END) == 0;
    const long size = ok ? PakFTell(file) : -1;
    ok = ok && size >= 0 && PakFSeek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        bytes.resize(PakFRead(bytes.data(), 1, bytes.size(), file));
    }
    PakFClose(file);
    return ok && LoadXmlBytes(bytes.data(), bytes.size(), document);
}

std::optional<Platform::XmlDocument> OpenXmlFile(const std::string& path)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlFile(path, document))
        return std::nullopt;
    return document;
}
