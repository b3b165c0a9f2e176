// Archive writer: header, directory records, end mark, then the data of every entry in order,
// everything XORed with the scrambling key (see PakArchiveFormat.h).
#include "framework/assets/PakArchiveWriter.h"

#include "framework/assets/PakArchiveFormat.h"

#include <cstdio>
#include <memory>

namespace Pak {
namespace {

class StoredWriter {
public:
    explicit StoredWriter(std::vector<uint8_t>& out) : out(out) {}
    void U8(uint8_t v) { out.push_back(v ^ kScrambleKey); }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            U8(uint8_t(v >> (8 * i)));
    }
    void U64(uint64_t v)
    {
        U32(uint32_t(v));
        U32(uint32_t(v >> 32));
    }
    void Bytes(const void* data, size_t count)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < count; ++i)
            U8(p[i]);
    }

private:
    std::vector<uint8_t>& out;
};

} // namespace

std::vector<uint8_t> BuildArchive(std::span<const WriterEntry> entries, std::string* error)
{
    uint64_t total = 9; // header and end mark
    for (const WriterEntry& e : entries) {
        if (e.name.size() > 255) {
            if (error)
                *error = "name longer than 255 bytes: " + e.name;
            return {};
        }
        total += 14 + e.name.size() + e.data.size();
    }
    if (total > kMaxArchiveSize) {
        if (error)
            *error = "archive would be larger than 2 GiB";
        return {};
    }

    std::vector<uint8_t> out;
    out.reserve(size_t(total));
    StoredWriter w(out);
    w.U32(kMagic);
    w.U32(kVersion);
    for (const WriterEntry& e : entries) {
        w.U8(0);
        w.U8(uint8_t(e.name.size()));
        w.Bytes(e.name.data(), e.name.size());
        w.U32(uint32_t(e.data.size()));
        w.U64(e.fileTime);
    }
    w.U8(kEndOfDirectoryFlag);
    for (const WriterEntry& e : entries)
        w.Bytes(e.data.data(), e.data.size());
    return out;
}

bool WriteArchive(const std::string& path, std::span<const WriterEntry> entries, std::string* error)
{
    const std::vector<uint8_t> bytes = BuildArchive(entries, error);
    if (bytes.empty())
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() ||
        std::fflush(f.get()) != 0) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace Pak
