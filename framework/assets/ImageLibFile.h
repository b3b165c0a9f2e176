// What the image codecs share: an owning handle on a file opened through the archive layer, a
// buffered little-endian byte reader over it, and the writers' plain output file. Internal.
#pragma once
#include "framework/assets/ImageLib.h"
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

// Bytes in the whole of file (its position is kept); 0 when the size cannot be learnt.
inline uint64_t StreamBytes(PakFile* file)
{
    const long at = PakFTell(file);
    if (at < 0 || PakFSeek(file, 0, SEEK_END) != 0)
        return 0;
    const long end = PakFTell(file);
    PakFSeek(file, at, SEEK_SET);
    return end < 0 ? 0 : uint64_t(end);
}

// Images up to this many pixels (256 KiB) are made whatever the stream holds, so small files cut
// short still load with their missing pixels 0.
inline constexpr uint64_t kSmallImagePixels = uint64_t(1) << 16;

// CreateImage, after checking that file could hold data for the declared size: a format whose
// densest encoding yields at most pixelsPerByte pixels per stored byte cannot describe more than
// bytes x pixelsPerByte pixels. Stops a tiny file from costing the largest image's allocation.
inline std::unique_ptr<Image> CreateImageFor(PakFile* file, uint64_t width, uint64_t height,
                                             uint64_t pixelsPerByte)
{
    const uint64_t pixels = width * height; // both sides are below 2^32
    if (pixels > kSmallImagePixels && pixels / pixelsPerByte > StreamBytes(file))
        return nullptr;
    return CreateImage(width, height);
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
