// Loading XML files through the archive layer (archives first, then the file system).
#include "engine/core/XmlAccess.h"

#include "engine/core/DebugLog.h"
#include "framework/core/PakFile.h"

#include <cstdio>

bool LoadXmlFile(const std::string& path, Platform::XmlDocument& document)
{
    std::string bytes;
    if (!PakReadWholeFile(path.c_str(), bytes))
        return false;
    if (LoadXmlBytes(bytes.data(), bytes.size(), document))
        return true;
    // Without this line a broken file only shows as content missing from the game.
    const Platform::XmlParseProblem& problem = document.LastLoadProblem();
    DebugLog("XML file \"%s\" (%s) does not parse: line %zu, column %zu: %s\n", path.c_str(),
             PakDescribeSource(path.c_str()).c_str(), problem.line, problem.column, problem.reason.c_str());
    return false;
}

std::optional<Platform::XmlDocument> OpenXmlFile(const std::string& path)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlFile(path, document))
        return std::nullopt;
    return document;
}
