// Temporary working folder for tests that read and write real files.
#include "support/ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace TestSupport {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "fwtest-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::current_path(previous, ec);
    std::filesystem::remove_all(path, ec);
}

std::string ScratchFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::filesystem::path target = path / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
    return name;
}

std::string ScratchFolder::Write(const std::string& name, std::string_view text) const
{
    return Write(name, BytesOf(text));
}

std::vector<uint8_t> BytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace TestSupport
