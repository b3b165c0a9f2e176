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
    // Read to the end in chunks rather than trusting the size the stream reports: a folder opened
    // as a file reports an absurd one.
    std::vector<unsigned char> bytes;
    constexpr size_t kChunk = 64 * 1024;
    for (;;) {
        const size_t have = bytes.size();
        bytes.resize(have + kChunk);
        const size_t got = PakFRead(bytes.data() + have, 1, kChunk, file);
        bytes.resize(have + got);
        if (got < kChunk)
            break;
    }
    PakFClose(file);
    return LoadXmlBytes(bytes.data(), bytes.size(), document);
}

std::optional<Platform::XmlDocument> OpenXmlFile(const std::string& path)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlFile(path, document))
        return std::nullopt;
    return document;
}
