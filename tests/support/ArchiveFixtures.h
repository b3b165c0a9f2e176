// Archives for tests, written with the project's archive writer: well-formed ones from a list of
// (name, contents) pairs, and deliberately broken ones the reader must reject.
#pragma once
#include "framework/assets/PakArchiveWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

using ArchiveFiles = std::vector<std::pair<std::string, std::string>>; // name, contents

// The stored bytes of an archive holding files in the order given (duplicates allowed).
std::vector<uint8_t> MakeArchive(const ArchiveFiles& files, uint64_t fileTime = 0);

enum class BrokenArchive {
    BadMagic,           // first four plain bytes are not the magic
    Version1,           // version field 1
    TruncatedDirectory, // file ends inside a directory record
    MissingEndMark,     // directory runs to the end of the file without its end byte
    EntryPastEnd,       // last entry's size reaches past the end of the file
    HugeEntry,          // an entry claims 4 GiB - 1 bytes
    HeaderOnly,         // 6 bytes: not even a whole header
    Empty,              // 0 bytes
};
inline constexpr BrokenArchive kAllBrokenArchives[] = {
    BrokenArchive::BadMagic,       BrokenArchive::Version1,     BrokenArchive::TruncatedDirectory,
    BrokenArchive::MissingEndMark, BrokenArchive::EntryPastEnd, BrokenArchive::HugeEntry,
    BrokenArchive::HeaderOnly,     BrokenArchive::Empty,
};
const char* Describe(BrokenArchive kind);

// An archive damaged as kind says; apart from the damage it holds "cfg\broken.txt".
std::vector<uint8_t> MakeBrokenArchive(BrokenArchive kind);

} // namespace TestSupport
