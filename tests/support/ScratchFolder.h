// A fresh temporary folder that is the current directory while the object lives (relative names
// in a test resolve inside it); removed with everything in it afterwards.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace TestSupport {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }
    // Writes bytes to relative path name ('/' separated), creating its folders; returns the name.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string Write(const std::string& name, std::string_view text) const;

private:
    std::filesystem::path path;
    std::filesystem::path previous;
};

// The bytes of text, for building file contents.
std::vector<uint8_t> BytesOf(std::string_view text);
// The whole file at path (empty when it cannot be read).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

} // namespace TestSupport
