// GIF reader: the first image of a GIF87a/GIF89a file with its own LZW decoder. Transparency comes
// from the graphic control extension; indices outside the palette give transparent black, and rows
// the data never reaches stay 0.
#include "framework/assets/ImageLib.h"
#include "framework/assets/ImageLibFile.h"

#include <cstring>
#include <vector>

namespace ImageLib {
namespace {

constexpr int kMaxCodes = 4096; // 12-bit codes

// Reads one data sub-block (length byte, then the bytes). Returns its length, or -1 on a read
// failure; 0 is the end of the block sequence.
int ReadSubBlock(ByteReader& in, uint8_t (&block)[256])
{
    uint8_t length;
    if (!in.U8(length) || !in.Bytes(block, length))
        return -1;
    return length;
}

bool ReadPalette(ByteReader& in, uint8_t flags, std::vector<uint32_t>& palette)
{
    const size_t count = size_t(1) << ((flags & 7) + 1);
    palette.assign(count, 0);
    for (uint32_t& entry : palette) {
        uint8_t rgb[3];
        if (!in.Bytes(rgb, 3))
            return false;
        entry = 0xFF000000 | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
    }
    return true;
}

// Where decoded pixels go: rows in file order, or the four interlace passes.
class RowCursor {
public:
    RowCursor(Image& image, bool interlaced) : image(image), interlaced(interlaced) {}

    bool Done() const { return y >= image.GetHeight(); }
    void Put(uint32_t pixel)
    {
        image.GetBits()[size_t(y) * size_t(image.GetWidth()) + size_t(x)] = pixel;
        if (++x < image.GetWidth())
            return;
        x = 0;
        if (!interlaced) {
            ++y;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        y += kStep[pass];
        while (y >= image.GetHeight() && pass < 3) {
            ++pass;
            y = kStart[pass];
        }
    }

private:
    Image& image;
    bool interlaced;
    int x = 0, y = 0, pass = 0;
};

class LzwDecoder {
public:
    LzwDecoder(ByteReader& in, int minCodeSize) : in(in), minCodeSize(minCodeSize)
    {
        clear = 1 << minCodeSize;
        end = clear + 1;
        for (int code = 0; code < clear; ++code) {
            prefix[code] = 0;
            suffix[code] = uint8_t(code);
        }
        Reset();
    }

    // Next palette index, or -1 when the data ends or turns invalid.
    int Next()
    {
        while (stackSize == 0)
            if (!Decode())
                return -1;
        return stack[--stackSize];
    }

private:
    void Reset()
    {
        codeSize = minCodeSize + 1;
        mask = (1 << codeSize) - 1;
        nextFree = clear + 2;
        oldCode = -1;
    }

    // Codes are packed least significant bit first into the data sub-blocks.
    bool ReadCode(int& code)
    {
        while (bitCount < codeSize) {
            if (blockPos == blockLength) {
                blockLength = ReadSubBlock(in, block);
                blockPos = 0;
                if (blockLength < 1)
                    return false;
            }
            accumulator |= uint32_t(block[blockPos++]) << bitCount;
            bitCount += 8;
        }
        code = int(accumulator & uint32_t(mask));
        accumulator >>= codeSize;
        bitCount -= codeSize;
        return true;
    }

    // Decodes one code onto the stack; false at the end of the data.
    bool Decode()
    {
        int code;
        if (!ReadCode(code) || code > nextFree || code == end)
            return false;
        if (code == clear) {
            Reset();
            return true;
        }
        if (oldCode < 0) {
            if (code >= clear)
                return false; // only a literal can follow a clear
            stack[stackSize++] = suffix[code];
            oldCode = code;
            firstChar = code;
            return true;
        }
        const int inCode = code;
        if (code >= nextFree) { // the code being defined right now: old string + its first char
            stack[stackSize++] = uint8_t(firstChar);
            code = oldCode;
        }
        // prefix[c] < c for every defined c, so this chain ends within kMaxCodes steps.
        while (code >= clear) {
            stack[stackSize++] = suffix[code];
            code = prefix[code];
        }
        firstChar = suffix[code];
        stack[stackSize++] = uint8_t(firstChar);
        // A full table is kept as it is until the next clear code (encoders may defer the clear).
        if (nextFree < kMaxCodes) {
            prefix[nextFree] = uint16_t(oldCode);
            suffix[nextFree] = uint8_t(firstChar);
            ++nextFree;
            if ((nextFree & mask) == 0 && nextFree < kMaxCodes) {
                ++codeSize;
                mask += nextFree;
            }
        }
        oldCode = inCode;
        return true;
    }

    ByteReader& in;
    const int minCodeSize;
    int clear = 0, end = 0, codeSize = 0, mask = 0, nextFree = 0, oldCode = -1, firstChar = 0;
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t stack[kMaxCodes + 1];
    int stackSize = 0;
    uint32_t accumulator = 0;
    int bitCount = 0;
    uint8_t block[256];
    int blockLength = 0, blockPos = 0;
};

} // namespace

std::unique_ptr<Image> ReadGif(const std::string& name)
{
    PakFileHandle file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ByteReader in(file.get());
    char signature[6];
    if (!in.Bytes(signature, 6) ||
        (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0))
        return nullptr;

    uint16_t screenWidth, screenHeight;
    uint8_t flags, background, aspect;
    if (!in.U16(screenWidth) || !in.U16(screenHeight) || !in.U8(flags) || !in.U8(background) ||
        !in.U8(aspect))
        return nullptr;
    std::vector<uint32_t> palette;
    if ((flags & 0x80) && !ReadPalette(in, flags, palette))
        return nullptr;

    int transparent = -1;
    uint8_t block[256];
    for (;;) {
        uint8_t introducer;
        if (!in.U8(introducer) || introducer == ';')
            return nullptr;
        if (introducer == ',')
            break;
        if (introducer != '!')
            continue;
        uint8_t label;
        if (!in.U8(label))
            return nullptr;
        for (bool first = true;; first = false) {
            const int length = ReadSubBlock(in, block);
            if (length < 0)
                return nullptr;
            if (length == 0)
                break;
            if (first && label == 0xF9 && length >= 4 && (block[0] & 0x01))
                transparent = block[3];
        }
    }

    uint16_t left, top, width, height;
    uint8_t imageFlags;
    if (!in.U16(left) || !in.U16(top) || !in.U16(width) || !in.U16(height) || !in.U8(imageFlags))
        return nullptr;
    if ((imageFlags & 0x80) && !ReadPalette(in, imageFlags, palette))
        return nullptr;
    // An LZW code takes at least 2 bits and stands for at most 4096 pixels.
    auto image = CreateImageFor(file.get(), width, height, 4096 * 4);
    if (!image)
        return nullptr;

    uint8_t minCodeSize;
    if (!in.U8(minCodeSize) || minCodeSize < 1 || minCodeSize > 11)
        return image; // no usable data: every pixel stays 0
    auto decoder = std::make_unique<LzwDecoder>(in, minCodeSize);
    RowCursor rows(*image, (imageFlags & 0x40) != 0);
    while (!rows.Done()) {
        const int index = decoder->Next();
        if (index < 0)
            break;
        const bool visible = index != transparent && size_t(index) < palette.size();
        rows.Put(visible ? palette[size_t(index)] : 0);
    }
    return image;
}

} // namespace ImageLib
