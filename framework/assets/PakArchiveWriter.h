// Builds archive files in the format the archive reader opens: the archive tool and the tests make
// their archives with it. Entries are written in the order given; no checks on duplicate names
// (the reader lets the later one win).
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Pak {

struct WriterEntry {
    std::string name;          // path inside the archive; '\' separates folders
    std::vector<uint8_t> data; // plain bytes
    uint64_t fileTime = 0;     // FILETIME: 100 ns units since 1601
};

// The stored bytes of an archive holding entries. Empty with a reason in error when a name is
// longer than 255 bytes or the archive would exceed the reader's size limit.
std::vector<uint8_t> BuildArchive(std::span<const WriterEntry> entries, std::string* error = nullptr);

// BuildArchive, then writes the result to path. False with a reason in error on any failure.
bool WriteArchive(const std::string& path, std::span<const WriterEntry> entries,
                  std::string* error = nullptr);

} // namespace Pak
