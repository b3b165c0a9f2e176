// Layout of the game's archive files and a bounds-checked reader of their directory. Every stored
// byte is the plain byte XOR kScrambleKey; the parser works on the stored (scrambled) bytes.
// Shared by the archive reader, the archive writer and the archive tool.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Pak {

inline constexpr uint32_t kMagic = 0xBAC04AC0;
inline constexpr uint32_t kVersion = 0;
inline constexpr uint8_t kScrambleKey = 0xA6;
inline constexpr uint8_t kEndOfDirectoryFlag = 0x80;
// Positions inside an archive are 32-bit signed, so no archive may be larger than this.
inline constexpr uint64_t kMaxArchiveSize = 0x7FFFFFFF;

// One file of an archive, as its directory describes it.
struct DirectoryEntry {
    std::string name;      // path as stored, folders separated by '\'
    uint64_t fileTime = 0; // FILETIME: 100 ns units since 1601
    uint32_t start = 0;    // offset of the first data byte in the archive
    uint32_t size = 0;     // bytes
};

// Copies count stored bytes to plain bytes (or back: the scrambling is its own inverse).
inline void Descramble(uint8_t* dst, const uint8_t* src, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        dst[i] = src[i] ^ kScrambleKey;
}

// Converts Unix time (seconds and nanoseconds since 1970) to a FILETIME count (0 before 1601).
inline uint64_t UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds)
{
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    const int64_t ticks = (seconds + kSecondsFrom1601To1970) * 10000000 + nanoseconds / 100;
    return ticks < 0 ? 0 : uint64_t(ticks);
}

// Reads the directory of a whole stored archive. Returns nothing (and a reason in error, when
// given) for a wrong magic or version, a record or directory cut short by the end of the file,
// an entry whose data lies past the end, or an archive larger than kMaxArchiveSize. Entries come
// in directory order; duplicates are kept (the later one is meant to win).
std::optional<std::vector<DirectoryEntry>> ParseDirectory(std::span<const uint8_t> archive,
                                                          std::string* error = nullptr);

} // namespace Pak
