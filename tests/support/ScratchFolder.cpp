// Temporary working folder for tests that read and write real files by relative names.
#include "support/ScratchFolder.h"

#include <filesystem>

namespace TestSupport {

ScratchFolder::ScratchFolder() : previous(std::filesystem::current_path().string())
{
    std::filesystem::current_path(folder.Path());
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::current_path(previous, ec); // before TempFolder removes the folder
}

std::string ScratchFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ScratchFolder::Write(const std::string& name, std::string_view text) const
{
    const std::filesystem::path target = folder.File(name);
    std::filesystem::create_directories(target.parent_path());
    WriteFileBytes(target.string(), std::string(text));
    return name;
}

} // namespace TestSupport
