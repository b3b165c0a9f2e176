// Texture records of memory images: piece grid, format choice, upload and read-back.
#include "framework/display/TextureData.h"

#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Fw {

using namespace Platform;

namespace {

constexpr int32_t kTableSize = 4096;

int32_t NextPow2(int32_t n)
{
    int32_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

bool IsPow2(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

const std::array<int32_t, kTableSize>& PieceTable()
{
    static const std::array<int32_t, kTableSize> table = [] {
        std::array<int32_t, kTableSize> t{};
        for (int32_t n = 0; n < kTableSize; ++n) {
            int32_t p = NextPow2(n);
            if (p - n > 64) {
                p /= 2;
                while (p > 1 && n % p >= 64 && !IsPow2(n % p))
                    p /= 2;
            }
            t[size_t(n)] = p;
        }
        return t;
    }();
    return table;
}

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// Upload converters: one 0xAARRGGBB pixel to one texel.
uint16_t To565(uint32_t c) { return uint16_t(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F)); }

// Read-back twins: alpha is not read back from 16-bit texels; channels return to the top of their byte.
uint32_t From4444(uint16_t t)
{
    return 0xFF000000u | (uint32_t(t & 0x0F00) << 12) | (uint32_t(t & 0x00F0) << 8) | (uint32_t(t & 0x000F) << 4);
}
uint32_t From565(uint16_t t)
{
    return 0xFF000000u | (uint32_t(t & 0xF800) << 8) | (uint32_t(t & 0x07E0) << 5) | (uint32_t(t & 0x001F) << 3);
}

} // namespace

void RendererLimits::SetFromCaps(const Device3DCaps& caps)
{
    if (caps.maxTextureWidth == 0) {
        minWidth = minHeight = maxWidth = maxHeight = 64;
        maxAspect = 1;
        return;
    }
    minWidth = std::max(caps.minTextureWidth, 1);
    minHeight = std::max(caps.minTextureHeight, 1);
    maxWidth = std::min(caps.maxTextureWidth, 4096);
    maxHeight = std::min(caps.maxTextureHeight, 4096);
    maxAspect = caps.maxTextureAspectRatio == 0 ? 65536 : caps.maxTextureAspectRatio;
}

int32_t PieceSizeFor(int32_t n) { return PieceTable()[size_t(std::clamp(n, 0, kTableSize - 1))]; }

void GetBestTextureDimensions(const RendererLimits& limits, int32_t& width, int32_t& height, bool isEdge,
                              bool usePow2, int32_t d3dFlags)
{
    if (d3dFlags & kD3DPieces64) {
        width = height = 64;
        return;
    }
    auto fit = [&](int32_t v, int32_t maxSize) {
        if (v >= maxSize)
            return maxSize;
        if (!usePow2)
            return v;
        if (!isEdge && !(d3dFlags & kD3DNoPieceTable))
            return PieceSizeFor(v);
        return v < 2 ? 1 : NextPow2(v);
    };
    width = std::max(fit(width, limits.maxWidth), limits.minWidth);
    height = std::max(fit(height, limits.maxHeight), limits.minHeight);
    // Doubling stops at the maximum: a limit the device cannot meet must not loop forever.
    const int64_t aspect = std::max(limits.maxAspect, 1);
    while (height < width && width > aspect * height && height < limits.maxHeight)
        height *= 2;
    while (width < height && height > aspect * width && width < limits.maxWidth)
        width *= 2;
}

TextureData::~TextureData() { ReleaseTextures(); }

void TextureData::CreateTextureDimensions(const RendererLimits& limits, MemoryImage& image)
{
    const int32_t w = image.GetWidth(), h = image.GetHeight();
    pieceWidth = w;
    pieceHeight = h;
    GetBestTextureDimensions(limits, pieceWidth, pieceHeight, false, true, d3dFlags);
    int32_t rightW = pieceWidth, rightH = pieceHeight;
    if (const int32_t rw = w % pieceWidth; rw > 0) {
        rightW = rw;
        GetBestTextureDimensions(limits, rightW, rightH, true, true, d3dFlags);
    }
    int32_t bottomW = pieceWidth, bottomH = pieceHeight;
    if (const int32_t bh = h % pieceHeight; bh > 0) {
        bottomH = bh;
        GetBestTextureDimensions(limits, bottomW, bottomH, true, true, d3dFlags);
    }
    int32_t cornerW = rightW, cornerH = bottomH;
    GetBestTextureDimensions(limits, cornerW, cornerH, true, true, d3dFlags);
    columns = (w + pieceWidth - 1) / pieceWidth;
    rows = (h + pieceHeight - 1) / pieceHeight;
    pieces.assign(size_t(columns) * size_t(rows), TexturePiece{});
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            TexturePiece& p = pieces[size_t(r) * size_t(columns) + size_t(c)];
            const bool lastC = c == columns - 1, lastR = r == rows - 1;
            if (lastC && lastR) {
                p.width = cornerW;
                p.height = cornerH;
            } else if (lastC) {
                p.width = rightW;
                p.height = rightH;
            } else if (lastR) {
                p.width = bottomW;
                p.height = bottomH;
            } else {
                p.width = pieceWidth;
                p.height = pieceHeight;
            }
        }
    maxTotalU = float(w) / float(pieceWidth);
    maxTotalV = float(h) / float(pieceHeight);
}

uint32_t TextureData::CreateTextures(MemoryImage& image, Device3D& device, const RendererLimits& limits,
                                     D3DErrorCheck& check)
{
    image.DeleteSWBuffers();
    image.CommitBits();
    uint32_t fmt = kTexA8R8G8B8;
    if (!image.hasTrans && !image.hasAlpha && limits.Supports(kTexR5G6B5) && !(image.d3dFlags & kD3DNo565))
        fmt = kTexR5G6B5;
    if (fmt == kTexA8R8G8B8 && (((image.d3dFlags & kD3DPrefer4444) && limits.Supports(kTexA4R4G4B4)) ||
                                !limits.Supports(kTexA8R8G8B8)))
        fmt = kTexA4R4G4B4;
    bool create = false;
    if (image.GetWidth() != width || image.GetHeight() != height || fmt != format || image.d3dFlags != d3dFlags) {
        ReleaseTextures();
        format = fmt;
        d3dFlags = image.d3dFlags;
        CreateTextureDimensions(limits, image);
        create = true;
    }
    const uint32_t* bits = image.GetBits();
    const int32_t iw = image.GetWidth(), ih = image.GetHeight();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            TexturePiece& p = pieces[size_t(r) * size_t(columns) + size_t(c)];
            if (create) {
                p.texture = CreateTexture(device, p.width, p.height, format, check);
                if (!p.texture) {
                    format = 0;
                    return 0;
                }
                textureMemory = SaturatingAdd(
                    textureMemory, uint64_t(p.width) * uint64_t(p.height) * uint64_t(TextureBytesPerTexel(format)));
            }
            if (bits)
                CopyImageToTexture(*p.texture, bits, iw, ih, c * pieceWidth, r * pieceHeight, check);
        }
    width = iw;
    height = ih;
    bitsChangedCount = image.bitsChangedCount;
    return format;
}

void TextureData::CheckCreateTextures(MemoryImage& image, Device3D& device, const RendererLimits& limits,
                                      D3DErrorCheck& check)
{
    if (format != 0 && image.GetWidth() == width && image.GetHeight() == height &&
        image.bitsChangedCount == bitsChangedCount && image.d3dFlags == d3dFlags)
        return;
    CreateTextures(image, device, limits, check);
}

Texture3DRef TextureData::CreateTexture(Device3D& device, int32_t w, int32_t h, uint32_t fmt, D3DErrorCheck& check)
{
    if (check.CheckDXError(device.SetTexture(0, nullptr), "SetTexture NULL"))
        return nullptr;
    Texture3DRef t;
    if (Failed(device.CreateTexture(w, h, fmt, t)))
        return nullptr;
    return t;
}

void TextureData::CopyImageToTexture(Texture3D& texture, const uint32_t* bits, int32_t imageWidth,
                                     int32_t imageHeight, int32_t x, int32_t y, D3DErrorCheck& check)
{
    TextureLock lock;
    if (check.CheckDXError(texture.Lock(lock), "Lock Texture"))
        return;
    const int32_t tw = texture.Width(), th = texture.Height();
    const int32_t cw = std::min(tw, imageWidth - x), ch = std::min(th, imageHeight - y);
    const int32_t bpp = TextureBytesPerTexel(texture.Format());
    if (cw >= 1 && ch >= 1) {
        auto* out = static_cast<uint8_t*>(lock.bits);
        // One more column and row than copied when the texture has room: filtering at the image's
        // edge then reads the edge again, not stale texels.
        const int32_t rowsOut = std::min(ch + 1, th), colsOut = std::min(cw + 1, tw);
        for (int32_t ty = 0; ty < rowsOut; ++ty) {
            const uint32_t* src = bits + size_t(y + std::min(ty, ch - 1)) * size_t(imageWidth) + size_t(x);
            uint8_t* row = out + size_t(ty) * size_t(lock.pitch);
            for (int32_t tx = 0; tx < colsOut; ++tx) {
                const uint32_t c = src[std::min(tx, cw - 1)];
                if (bpp == 4) {
                    std::memcpy(row + size_t(tx) * 4, &c, 4);
                } else {
                    const uint16_t v = texture.Format() == kTexR5G6B5 ? To565(c) : ArgbTo4444(c);
                    std::memcpy(row + size_t(tx) * 2, &v, 2);
                }
            }
        }
    }
    check.CheckDXError(texture.Unlock(), "Texture Unlock");
}

Texture3D* TextureData::GetTexture(int32_t x, int32_t y, int32_t& w, int32_t& h, float& left, float& top,
                                   float& right, float& bottom)
{
    if (pieces.empty() || pieceWidth <= 0 || pieceHeight <= 0)
        return nullptr;
    const int32_t column = x / pieceWidth, row = y / pieceHeight;
    if (x < 0 || y < 0 || column >= columns || row >= rows)
        return nullptr;
    const TexturePiece& p = Piece(column, row);
    const int32_t px = x % pieceWidth, py = y % pieceHeight;
    const int32_t r = std::min(px + w, p.width), b = std::min(py + h, p.height);
    w = r - px;
    h = b - py;
    left = float(px) / float(p.width);
    top = float(py) / float(p.height);
    right = float(r) / float(p.width);
    bottom = float(b) / float(p.height);
    return p.texture.get();
}

void TextureData::ReleaseTextures()
{
    pieces.clear();
    textureMemory = 0;
}

bool TextureData::RecoverBits(MemoryImage& image, D3DErrorCheck& check)
{
    if (image.bitsChangedCount != bitsChangedCount || format == 0 || !image.bits || image.GetWidth() != width ||
        image.GetHeight() != height)
        return false;
    uint32_t* bits = image.bits.get();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            const TexturePiece& p = Piece(c, r);
            TextureLock lock;
            if (!p.texture || check.CheckDXError(p.texture->Lock(lock), "Lock Texture"))
                return false;
            const int32_t x0 = c * pieceWidth, y0 = r * pieceHeight;
            const int32_t cw = std::min(p.width, width - x0), ch = std::min(p.height, height - y0);
            for (int32_t ty = 0; ty < ch; ++ty) {
                const uint8_t* row = static_cast<const uint8_t*>(lock.bits) + size_t(ty) * size_t(lock.pitch);
                uint32_t* dst = bits + size_t(y0 + ty) * size_t(width) + size_t(x0);
                for (int32_t tx = 0; tx < cw; ++tx) {
                    if (format == kTexA8R8G8B8) {
                        std::memcpy(&dst[tx], row + size_t(tx) * 4, 4);
                    } else {
                        uint16_t v;
                        std::memcpy(&v, row + size_t(tx) * 2, 2);
                        dst[tx] = format == kTexR5G6B5 ? From565(v) : From4444(v);
                    }
                }
            }
            check.CheckDXError(p.texture->Unlock(), "Texture Unlock");
        }
    return true;
}

} // namespace Fw
