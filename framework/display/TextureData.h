// A memory image as 3-D textures: the renderer's limits, the choice of texture format, the grid of
// pieces whose sizes the device accepts, upload through per-format converters with the edge texels
// repeated, and read-back into 32-bit pixels. One TextureData per image, owned by the renderer.
// No palette textures: no device here offers the alpha-palette capability.
#pragma once
#include "platform/Device3D.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Fw {

class MemoryImage;

// d3dFlags bits of a memory image.
inline constexpr int32_t kD3DNoPieceTable = 1; // pieces round up to powers of two
inline constexpr int32_t kD3DPieces64 = 2;     // always 64 x 64 pieces
inline constexpr int32_t kD3DPrefer4444 = 4;   // prefer A4R4G4B4
inline constexpr int32_t kD3DNo565 = 8;        // never R5G6B5

// The renderer's limits: 64 x 64 and aspect 1 until a device reports its own.
struct RendererLimits {
    int32_t minWidth = 64, minHeight = 64, maxWidth = 64, maxHeight = 64;
    int32_t maxAspect = 1;
    uint32_t formats = 0; // supported format codes as bits
    void SetFromCaps(const Platform::Device3DCaps& caps);
    bool Supports(uint32_t format) const { return (formats & format) != 0; }
};

// A 0xAARRGGBB pixel as an A4R4G4B4 texel (the top four bits of each channel).
inline uint16_t ArgbTo4444(uint32_t c)
{
    return uint16_t(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F));
}

// The piece size for an inner dimension n (0..4095): the power of two wasting at most 64 texels,
// else a smaller one leaving a remainder below 64 or a power of two.
int32_t PieceSizeFor(int32_t n);

// Adjusts a requested piece size to what the limits allow.
void GetBestTextureDimensions(const RendererLimits& limits, int32_t& width, int32_t& height, bool isEdge,
                              bool usePow2, int32_t d3dFlags);

// How texture failures are reported: true when hr is a failure (then recorded under label).
class D3DErrorCheck {
public:
    virtual bool CheckDXError(Platform::HRESULT hr, const std::string& label) = 0;

protected:
    ~D3DErrorCheck() = default;
};

struct TexturePiece {
    Platform::Texture3DRef texture;
    int32_t width = 0, height = 0;
};

class TextureData {
public:
    ~TextureData();

    void CreateTextureDimensions(const RendererLimits& limits, MemoryImage& image);
    // Chooses the format, (re)creates the pieces when needed and uploads; the format, 0 on failure.
    uint32_t CreateTextures(MemoryImage& image, Platform::Device3D& device, const RendererLimits& limits,
                            D3DErrorCheck& check);
    // CreateTextures unless the format is set and size, bitsChangedCount and d3dFlags are unchanged.
    void CheckCreateTextures(MemoryImage& image, Platform::Device3D& device, const RendererLimits& limits,
                             D3DErrorCheck& check);
    // The piece holding image pixel (x, y); width and height shrink to the part inside that piece;
    // the texture coordinates of that part within the piece.
    Platform::Texture3D* GetTexture(int32_t x, int32_t y, int32_t& width, int32_t& height, float& left, float& top,
                                    float& right, float& bottom);
    const TexturePiece& Piece(int32_t column, int32_t row) const
    {
        return pieces[size_t(row) * size_t(columns) + size_t(column)];
    }
    void ReleaseTextures();
    // Writes the textures back into image's bits; false when the record is stale or a lock fails.
    bool RecoverBits(MemoryImage& image, D3DErrorCheck& check);

    uint32_t format = 0;
    int32_t width = 0, height = 0;
    int32_t bitsChangedCount = 0;
    int32_t d3dFlags = 0;
    int32_t pieceWidth = 0, pieceHeight = 0;
    int32_t columns = 0, rows = 0;
    float maxTotalU = 0, maxTotalV = 0;
    uint64_t textureMemory = 0; // bytes
    std::vector<TexturePiece> pieces;

private:
    // Both results null / false on failure.
    Platform::Texture3DRef CreateTexture(Platform::Device3D& device, int32_t w, int32_t h, uint32_t fmt,
                                         D3DErrorCheck& check);
    void CopyImageToTexture(Platform::Texture3D& texture, const uint32_t* bits, int32_t imageWidth,
                            int32_t imageHeight, int32_t x, int32_t y, D3DErrorCheck& check);
};

} // namespace Fw
