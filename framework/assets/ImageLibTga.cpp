// TGA reader: only uncompressed true-colour files of 32 bits per pixel with 8 alpha bits and the
// top-left origin (descriptor 0x28), the format our art pipeline writes.
#include "framework/assets/ImageLib.h"
#include "framework/assets/ImageLibFile.h"

namespace ImageLib {

std::unique_ptr<Image> ReadTga(const std::string& name)
{
    PakFileHandle file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ByteReader in(file.get());
    uint8_t idLength, colourMapType, imageType, colourMapEntrySize, depth, descriptor;
    uint16_t colourMapFirst, colourMapLength, xOrigin, yOrigin, width, height;
    const bool header = in.U8(idLength) && in.U8(colourMapType) && in.U8(imageType) &&
                        in.U16(colourMapFirst) && in.U16(colourMapLength) && in.U8(colourMapEntrySize) &&
                        in.U16(xOrigin) && in.U16(yOrigin) && in.U16(width) && in.U16(height) &&
                        in.U8(depth) && in.U8(descriptor);
    constexpr uint8_t kUncompressedTrueColour = 2;
    if (!header || depth != 32 || descriptor != 0x28 || imageType != kUncompressedTrueColour ||
        colourMapType != 0)
        return nullptr;
    // Uncompressed: four bytes a pixel, so a stream shorter than a pixel a byte is no such image.
    auto image = CreateImageFor(file.get(), width, height, 1);
    if (!image || !in.Skip(idLength))
        return nullptr;
    // Bytes B, G, R, A per pixel are the pixel's little-endian 0xAARRGGBB. Data that ends early
    // leaves the remaining pixels 0.
    in.Bytes(image->GetBits(), image->Pixels().size() * 4);
    return image;
}

} // namespace ImageLib
