// Image whose pixels live in memory as 32-bit 0xAARRGGBB words (straight alpha, rows top to
// bottom without gaps). Draws into them in software and keeps derived forms for the display:
// premultiplied native pixels, run-length alpha and additive maps and an 8-bit palette form.
// Every memory image is registered in its application's image set for its whole life.
#pragma once
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/Image.h"

#include <cstdint>
#include <memory>

namespace Fw {

class ImageRegistry;
struct GlyphPlacement;

class MemoryImage : public Image {
public:
    // Written after the last pixel of bits; a changed guard means something wrote past the image.
    static constexpr uint32_t kGuard = 0x4BEEFADE;

    // Joins the default registry (the application), if one is installed.
    MemoryImage();
    // Joins the given registry; null joins none.
    explicit MemoryImage(ImageRegistry* app);
    MemoryImage(const MemoryImage& other);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    // Software drawing on the 32-bit pixels. Coordinates are clamped to the image once per call.
    void FillRect(const Rect& rect, const Color& color, int32_t drawMode) override;
    void ClearRect(const Rect& rect) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode) override;
    void FillScanLinesWithCoverage(const Span* spans, int32_t count, const Color& color, int32_t drawMode,
                                   const uint8_t* coverage, int32_t coverX, int32_t coverY, int32_t coverWidth,
                                   int32_t coverHeight) override;
    void Blt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color, int32_t drawMode) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
              int32_t drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int32_t drawMode, double angle, float cx, float cy) override;
    void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                    int32_t drawMode, bool fastStretch) override;
    void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                   int32_t drawMode, const Rect& srcRect, bool blend, const SecondTexture& second) override;
    void BltTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count, const Rect& clip,
                         const Color& color, int32_t drawMode, float tx, float ty, bool blend) override;

    // Normal blits of the glyph rectangles of a palette memory image (destinations already
    // clipped by the drawing context) in one pass, with the bits Blt gives. False, with nothing
    // drawn, when Blt must draw them (not a palette source, the source itself, a colour channel
    // outside 0..255). Surface images draw them on their surface.
    virtual bool BltPaletteGlyphs(MemoryImage* src, const GlyphPlacement* glyphs, size_t count, const Color& color);

    // Premultiplied pixels in the display's format (alpha kept in the top byte); 256 entries in
    // palette form, else width * height. Cached until BitsChanged.
    virtual uint32_t* GetNativeAlphaData(NativeDisplay* display);
    // The native pixels of a 16-bit display narrowed to 16 bits (its opaque copies), width * height
    // of them; null in palette form or when the display's pixels are not 16-bit. Built from the
    // native data and dropped with them.
    const uint16_t* GetNative16Data(NativeDisplay* display);
    // One byte per pixel: how many pixels, itself included, remain in its run of equal alpha
    // class (0 clear, 255 opaque, partial), capped at 255. Cached until BitsChanged.
    virtual uint8_t* GetRLAlphaData();
    // The same run scheme over the native pixels, class = colour zero / non-zero.
    virtual uint8_t* GetRLAdditiveData(NativeDisplay* display);
    // What a white additive blit adds for each pixel: each colour channel times the pixel's alpha
    // >> 8, alpha byte 0; width * height words, null for no pixels. Cached until BitsChanged or
    // until the bits are rebuilt.
    const uint32_t* GetAdditiveAmounts();
    virtual void PurgeBits();
    virtual void DeleteSWBuffers();
    virtual void DeleteTextureData();
    virtual void DeleteExtraBuffers();
    virtual void ApplyPendingFlags();
    // Must follow every change of the pixels: drops derived data, counts the change.
    virtual void BitsChanged();
    // Recomputes hasTrans / hasAlpha after a change, unless the mode is forced.
    virtual void CommitBits();
    virtual void DeleteNativeData();
    virtual void Clear();
    // Copies width * height pixels in; commit runs CommitBits afterwards.
    virtual void SetBits(const uint32_t* pixels, int32_t width, int32_t height, bool commit = true);
    // Sets the size; the pixels (all 0) are made by the first GetBits.
    virtual void Create(int32_t width, int32_t height);
    // The 32-bit pixels, rebuilt from the palette or native data when missing.
    virtual uint32_t* GetBits();
    virtual void SetImageMode(bool hasTrans, bool hasAlpha);
    virtual void SetVolatile(bool isVolatile);
    // Converts to a palette of the exact colours; false for no image or more than 256 colours.
    virtual bool Palletize();

    // Runs the triangle rasterizer on destination bits for the matrix and triangle blits; also
    // used by surface images on their locked surfaces. formatCode: 0x8888, 0x888, 0x565, 0x555.
    static void BltMatrixHelper(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip,
                                const Color& color, int32_t drawMode, const Rect& srcRect, void* bits,
                                int32_t pitch, int32_t formatCode, bool bilinear);
    static void BltTrianglesTexHelper(Image* texture, const TriVertexTriangle* triangles, int32_t count,
                                      const Rect& clip, const Color& color, int32_t drawMode, void* bits,
                                      int32_t pitch, int32_t formatCode, float tx, float ty, bool bilinear);

    ImageRegistry* GetApp() const { return app; }

    std::unique_ptr<uint32_t[]> bits;            // width * height pixels + guard, or null
    int32_t bitsChangedCount = 0;                // raised by each BitsChanged
    void* textureData = nullptr;                 // the 3-D renderer's texture record, not owned
    int32_t d3dFlags = 8;                        // texture-format hints for the 3-D renderer
    std::unique_ptr<uint32_t[]> colorTable;      // palette form: 256 colours
    std::unique_ptr<uint8_t[]> colorIndices;     // palette form: one index per pixel
    bool forcedMode = false;                     // hasTrans/hasAlpha set by SetImageMode
    bool hasTrans = false;                       // some pixel has alpha 0
    bool hasAlpha = false;                       // some pixel has alpha 1..254
    bool isVolatile = false;                     // changes often
    bool purgeBits = false;                      // bits may be dropped once derived data exist
    bool wantPalette = false;                    // stays in palette form
    std::unique_ptr<uint16_t[]> native16Data;    // see GetNative16Data
    std::unique_ptr<uint32_t[]> nativeAlphaData; // see GetNativeAlphaData
    std::unique_ptr<uint8_t[]> rlAlphaData;      // see GetRLAlphaData
    std::unique_ptr<uint8_t[]> rlAdditiveData;   // see GetRLAdditiveData
    std::unique_ptr<uint32_t[]> additiveAmounts; // see GetAdditiveAmounts
    bool bitsChanged = false;                    // pixels changed since the last CommitBits

protected:
    int32_t PixelCount() const { return width * height; }
    // r limited to this image's own pixels (empty when outside): callers may pass any rectangle.
    Rect ClampToImage(const Rect& r) const;
    // Every blit marks its source as drawn; only memory images (and derived) can be drawn from.
    // Returns null for a null or other source.
    static MemoryImage* MarkSource(Image* src);
    // Frees the derived software buffers.
    void FreeDerivedData();

    ImageRegistry* app = nullptr; // the application whose image set holds this image

private:
    // Pixel format the native data were built in, so GetBits turns them back in that format
    // even when the display changed since.
    PixelFormat nativeFormat;
};

} // namespace Fw
