// JPEG 2000 decoding (the stand-in for the codec library the image reader used): a .j2k codestream
// or a .jp2 file, told apart by their first bytes, read through the caller's own read and seek,
// delivered as 0xFFRRGGBB pixels. Backed by OpenJPEG. Any thread; no shared state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace Platform {

// The file to decode, as the caller reaches it.
struct J2kSource {
    uint64_t length = 0;                                    // bytes in the file
    std::function<size_t(void* buffer, size_t count)> read; // bytes read; 0 at the end
    std::function<bool(uint64_t offset)> seek;              // from the start; false on failure
};

struct J2kImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels; // width x height, rows from the top, alpha 0xFF
};

// Decodes the full-resolution image. One component gives grey, three or more give red, green,
// blue from the first three; samples of other precisions are scaled to 8 bits. False on a decoder
// error, an unknown format, or an image wider or higher than maxSide or larger than maxPixels
// (checked before the pixels are decoded).
bool DecodeJ2k(const J2kSource& source, uint32_t maxSide, uint64_t maxPixels, J2kImage& out);

} // namespace Platform
