// Image files for tests, made by our own code: PNG and JPEG through libpng/libjpeg, JPEG 2000
// through OpenJPEG (lossless), GIF with a small LZW encoder, TGA by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

struct PngFixture {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = 6;                 // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    bool interlaced = false;           // Adam7
    std::vector<uint8_t> rows;         // packed rows as the PNG format lays them out (16-bit: big-endian)
    std::vector<uint8_t> palette;      // red, green, blue triples (colour type 3)
    std::vector<uint8_t> transparency; // tRNS alpha per palette entry
};
void WritePngFixture(const std::string& path, const PngFixture& png);

// components 1 (grey), 3 (RGB) or 4 (CMYK, written with the Adobe marker: stored inverted, as
// Adobe applications do); samples interleaved, rows from the top.
void WriteJpegFixture(const std::string& path, int width, int height, int components,
                      const std::vector<uint8_t>& samples, int quality = 100);

// Lossless JPEG 2000 of 8-bit samples (components 1 or 3, interleaved): a codestream, or a JP2 file.
void WriteJ2kFixture(const std::string& path, int width, int height, int components,
                     const std::vector<uint8_t>& samples, bool jp2);

struct GifFixture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB; padded to a power of two when written
    std::vector<uint8_t> indices;  // width x height, rows from the top
    bool interlaced = false;
    bool localPalette = false; // the palette after the image descriptor instead of globally
    int transparentIndex = -1; // written as a graphic control extension when >= 0
    bool withComment = false;  // a comment extension before the image
};
std::vector<uint8_t> MakeGif(const GifFixture& gif);

// An uncompressed TGA header (id length 0, no colour map) followed by data as given.
std::vector<uint8_t> MakeTga(int width, int height, int depth, int descriptor,
                             const std::vector<uint8_t>& data, int imageType = 2);

} // namespace TestSupport

namespace TestSupport {

// A width x height image whose pixels all differ (colour and alpha vary with x and y).
std::vector<uint32_t> PatternPixels(int width, int height);

} // namespace TestSupport
