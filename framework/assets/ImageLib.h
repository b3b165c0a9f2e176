// Image files to 32-bit ARGB pixels and back. LoadImageFile picks a reader by extension (or tries
// them all), reads through the archive layer (PakFOpen and friends) and merges a companion alpha
// file ("_name"). Readers: TGA and GIF of our own, PNG (libpng), JPEG (libjpeg), JPEG 2000
// (platform codec). Writers go straight to the file system. No shared state except the JPEG 2000
// availability switch; every function may run on any thread.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ImageLib {

// A decoded image: width x height pixels 0xAARRGGBB (bytes B, G, R, A in memory), rows from the
// top, straight alpha.
class Image {
public:
    Image() = default;
    Image(int width, int height) : width(width), height(height), bits(size_t(width) * size_t(height), 0) {}
    virtual ~Image() = default;

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    uint32_t* GetBits() { return bits.data(); }
    const uint32_t* GetBits() const { return bits.data(); }
    uint32_t Pixel(int x, int y) const { return bits[size_t(y) * size_t(width) + size_t(x)]; }
    // The pixel array itself, for a caller that takes the pixels over.
    std::vector<uint32_t>& Pixels() { return bits; }

private:
    int width = 0;
    int height = 0;
    std::vector<uint32_t> bits;
};

// Colour of images made from an alpha file alone (0x00RRGGBB).
inline constexpr uint32_t kDefaultAlphaComposeColor = 0x00FFFFFF;
// Files declaring larger images are rejected before anything is allocated: at most this many
// pixels on either side, and at most kMaxImagePixels in all (256 MiB of pixels).
inline constexpr int kMaxImageDimension = 16384;
inline constexpr uint64_t kMaxImagePixels = uint64_t(1) << 26;

// A zeroed image of the given size, or null when a side is 0 or the size is over the limits.
std::unique_ptr<Image> CreateImage(uint64_t width, uint64_t height);

// Loads name: by its extension (.tga, .jpg, .png, .gif, .j2k, .jp2; letter case ignored), or with
// every reader in that order when it has none. With lookForAlpha, the blue channel of "_name" (in
// name's folder), else of "name_", becomes the alpha channel; an alpha file alone gives
// (blue << 24) | alphaComposeColor. Null when nothing loads.
std::unique_ptr<Image> LoadImageFile(const std::string& name, bool lookForAlpha,
                                     uint32_t alphaComposeColor = kDefaultAlphaComposeColor);

// Why LoadImageFile(name, ...) gives no image, for messages: the file each reader tried, where it
// was found (PakDescribeSource) and why it gave nothing (empty, does not decode as its kind, JPEG
// 2000 reading off), or that none of the names was found and where they were looked for.
std::string DescribeLoadFailure(const std::string& name);

// Each reader opens name through the archive layer and returns null when the file is missing, not
// of its kind, or damaged beyond its header (pixels the data never reaches stay 0).
std::unique_ptr<Image> ReadTga(const std::string& name);  // 32-bit, top-left origin, uncompressed
std::unique_ptr<Image> ReadJpeg(const std::string& name); // grey, RGB or CMYK
std::unique_ptr<Image> ReadPng(const std::string& name);
std::unique_ptr<Image> ReadGif(const std::string& name); // first image of the file
std::unique_ptr<Image> ReadJ2k(const std::string& name); // .j2k codestream or .jp2; alpha 0xFF

// Write image to name on the file system: PNG as 8-bit RGBA, JPEG as baseline RGB at quality 80
// (alpha dropped). False when the file cannot be written.
bool WritePng(const std::string& name, const Image& image);
bool WriteJpeg(const std::string& name, const Image& image);

// Switch JPEG 2000 reading on (the application does this once at start) and off again; ReadJ2k
// returns null while it is off.
void LoadJ2kCodec();
void FreeJ2kCodec();
bool IsJ2kCodecLoaded();

} // namespace ImageLib
