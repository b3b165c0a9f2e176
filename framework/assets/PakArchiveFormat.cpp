// Bounds-checked directory parser of the archive format (see PakArchiveFormat.h): every read is
// checked against the archive's size before it happens, so no input can make it read outside.
#include "framework/assets/PakArchiveFormat.h"

namespace Pak {
namespace {

class StoredReader {
public:
    explicit StoredReader(std::span<const uint8_t> bytes) : bytes(bytes) {}

    bool Has(size_t count) const { return count <= bytes.size() - pos; }
    size_t Position() const { return pos; }

    uint8_t U8() { return bytes[pos++] ^ kScrambleKey; }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(U8()) << (8 * i);
        return v;
    }
    uint64_t U64()
    {
        const uint64_t low = U32();
        return low | uint64_t(U32()) << 32;
    }
    std::string Text(size_t count)
    {
        std::string s(count, '\0');
        for (size_t i = 0; i < count; ++i)
            s[i] = char(U8());
        return s;
    }

private:
    std::span<const uint8_t> bytes;
    size_t pos = 0;
};

std::nullopt_t Fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::optional<std::vector<DirectoryEntry>> ParseDirectory(std::span<const uint8_t> archive,
                                                          std::string* error)
{
    if (archive.size() > kMaxArchiveSize)
        return Fail(error, "archive larger than 2 GiB");
    StoredReader in(archive);
    if (!in.Has(8))
        return Fail(error, "file shorter than the archive header");
    if (in.U32() != kMagic)
        return Fail(error, "not an archive (wrong magic)");
    if (in.U32() != kVersion)
        return Fail(error, "unsupported archive version");

    std::vector<DirectoryEntry> entries;
    uint64_t dataBytes = 0;
    for (;;) {
        if (!in.Has(1))
            return Fail(error, "directory ends without its end mark");
        if (in.U8() & kEndOfDirectoryFlag)
            break;
        if (!in.Has(1))
            return Fail(error, "directory record cut short");
        const size_t nameLength = in.U8();
        if (!in.Has(nameLength + 12))
            return Fail(error, "directory record cut short");
        DirectoryEntry e;
        e.name = in.Text(nameLength);
        e.size = in.U32();
        e.fileTime = in.U64();
        e.start = uint32_t(dataBytes); // relative to the data area until the loop ends
        dataBytes += e.size;
        if (dataBytes > archive.size())
            return Fail(error, "entry data past the end of the archive");
        entries.push_back(std::move(e));
    }
    const uint64_t dataStart = in.Position();
    if (dataStart + dataBytes > archive.size())
        return Fail(error, "entry data past the end of the archive");
    for (DirectoryEntry& e : entries)
        e.start += uint32_t(dataStart);
    return entries;
}

} // namespace Pak
