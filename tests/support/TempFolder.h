// A fresh empty folder under the system's temporary folder, deleted with everything in it when
// the object goes away. For tests that write files.
#pragma once
#include <string>

namespace TestSupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes bytes to path (creating or replacing the file); fails the test on error.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole file, or an empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);

} // namespace TestSupport
