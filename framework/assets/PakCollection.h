// One opened archive: the whole file mapped read-only into memory for the archive reader, which
// copies from the view and descrambles without further system calls. Unmapped on destruction.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class PakCollection {
public:
    // Maps the file at path; Valid() tells whether it worked.
    explicit PakCollection(const std::string& path);
    ~PakCollection();
    PakCollection(const PakCollection&) = delete;
    PakCollection& operator=(const PakCollection&) = delete;

    bool Valid() const { return valid; }
    // The path the archive was opened with, made absolute.
    const std::string& Path() const { return path; }
    // The stored (scrambled) bytes of the whole archive.
    std::span<const uint8_t> Bytes() const { return {static_cast<const uint8_t*>(view), size}; }

private:
    void* view = nullptr;
    size_t size = 0;
    bool valid = false;
    std::string path;
};
