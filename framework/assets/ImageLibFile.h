// What the image codecs share: an owning handle on a file opened through the archive layer, a
// buffered little-endian byte reader over it, and the writers' plain output file. Internal.
#pragma once
#include "framework/core/FileSystemPath.h"
#include "framework/core/PakFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace ImageLib {

struct PakFileCloser {
    void operator()(PakFile* f) const { PakFClose(f); }
};
using PakFileHandle = std::unique_ptr<PakFile, PakFileCloser>;

// name opened with PakFOpen in mode "rb"; null when it cannot be opened.
inline PakFileHandle OpenImageFile(const std::string& name)
{
    return PakFileHandle(PakFOpen(name.c_str(), "rb"));
}

// name created (or emptied) for writing on the file system; null when that fails.
using OutputFile = std::unique_ptr<FILE, int (*)(FILE*)>;
inline OutputFile CreateOutputFile(const std::string& name)
{
    return OutputFile(std::fopen(Fw::ToFileSystemPath(name).c_str(), "wb"), &std::fclose);
}

// Reads a file in 4 KiB blocks. Every read reports whether all its bytes were there.
class ByteReader {
public:
    explicit ByteReader(PakFile* file) : file(file) {}

    bool U8(uint8_t& v) { return Bytes(&v, 1); }
    bool U16(uint16_t& v)
    {
        uint8_t b[2];
        if (!Bytes(b, 2))
            return false;
        v = uint16_t(b[0] | b[1] << 8);
        return true;
    }
    bool Bytes(void* out, size_t count)
    {
        auto* dst = static_cast<uint8_t*>(out);
        while (count > 0) {
            if (pos == end && !Refill())
                return false;
            const size_t n = count < end - pos ? count : end - pos;
            for (size_t i = 0; i < n; ++i)
                dst[i] = buffer[pos + i];
            pos += n;
            dst += n;
            count -= n;
        }
        return true;
    }
    bool Skip(size_t count)
    {
        uint8_t scratch[256];
        while (count > 0) {
            const size_t n = count < sizeof scratch ? count : sizeof scratch;
            if (!Bytes(scratch, n))
                return false;
            count -= n;
        }
        return true;
    }

private:
    bool Refill()
    {
        pos = 0;
        end = PakFRead(buffer, 1, sizeof buffer, file);
        return end > 0;
    }

    PakFile* file;
    uint8_t buffer[4096];
    size_t pos = 0;
    size_t end = 0;
};

} // namespace ImageLib
