// A TempFolder that is also the current directory while the object lives, so that relative names
// in a test resolve inside it (the archive layer resolves names against the current directory).
#pragma once
#include "support/TempFolder.h"

#include <cstdint>
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

    const std::string& Path() const { return folder.Path(); }
    // Writes bytes to relative path name ('/' separated), creating its folders; returns name.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string Write(const std::string& name, std::string_view text) const;

private:
    TempFolder folder;
    std::string previous;
};

} // namespace TestSupport
