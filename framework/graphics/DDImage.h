// Displayable image: a memory image that can also hold its pixels in a display surface in the
// screen's format. Each drawing operation goes to the 3-D renderer (when the image is the
// display's 3-D target), to software drawing on the locked surface (opaque images), or to the
// memory image's drawing on the 32-bit bits. After drawing on the surface the memory copies are
// dropped: the surface then holds the only current pixels, and GetBits reads them back.
#pragma once
#include "framework/graphics/GlyphPlacement.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Surface.h"

#include <functional>
#include <memory>

namespace Fw {

class SurfaceDisplay;
class Renderer3D;
struct DRect;

class DDImage : public MemoryImage {
public:
    // Joins display's image set and its application's image registry; display must outlive it.
    explicit DDImage(SurfaceDisplay* display);
    DDImage(const DDImage&) = delete;
    DDImage& operator=(const DDImage&) = delete;
    ~DDImage() override;

    // True when the display draws in 3-D and this image's surface is its draw surface.
    bool Check3D() override;
    // The other image's Check3D; false for null and for images that are not surface images.
    static bool Check3D(Image* image);

    // The surface, made from the bits when there is none; null when none can be made.
    Platform::Surface* GetSurface();
    // Makes the surface from the bits (see the .cpp); true when a surface exists afterwards.
    bool CreateSurfaceFromBits();
    // Reads the pixels back into memory when nothing else holds them, then drops the surface.
    void DeleteDDSurface();
    // Frees the memory bits, native and run-length data, colour table and indices.
    void DeleteMemoryData();

    bool PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color, int32_t drawMode,
                  int32_t tx, int32_t ty, bool flag) override;
    void FillRect(const Rect& rect, const Color& color, int32_t drawMode) override;
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
    void BltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color,
                   int32_t drawMode) override;
    // Normal blits of the glyph rectangles of a palette memory image (destinations already
    // clipped by the drawing context) under one surface lock, with the bits Blt gives. False, with
    // nothing drawn, when Blt must draw them (3-D, drawing on the bits, a surface not X888,
    // a volatile, surface or non-palette source, a colour channel outside 0..255).
    bool BltPaletteGlyphs(MemoryImage* src, const GlyphPlacement* glyphs, size_t count,
                          const Color& color) override;
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                          const Color& color, int32_t drawMode, bool fastStretch) override;

    void PurgeBits() override;
    void DeleteExtraBuffers() override;
    void ApplyPendingFlags() override;
    void BitsChanged() override;
    void CommitBits() override;
    void DeleteNativeData() override;
    // Frees the bits and sets the size; keeps the transparency and alpha flags.
    void Create(int32_t width, int32_t height) override;
    uint32_t* GetBits() override;
    bool Palletize() override;

    // Where the next surface made from the bits lives; a change reads the pixels back first.
    virtual void SetVideoMemory(bool videoMemory);
    virtual void GenerateDDSurface();

    // Software primitives on the locked surface, in the surface's own format. Arguments arrive
    // clipped by the drawing context; they are also kept inside the surface here.
    virtual void NormalFillRect(const Rect& rect, const Color& color);
    virtual void AdditiveFillRect(const Rect& rect, const Color& color);
    virtual void NormalBlt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBlt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color);
    virtual void NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual void AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual void NormalDrawLineAA(double x1, double y1, double x2, double y2, const Color& color);
    virtual void AdditiveDrawLineAA(double x1, double y1, double x2, double y2, const Color& color);
    virtual void NormalBltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBltMirror(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color);

    // Nested surface lock; only the outermost pair reaches the surface. False (nothing counted)
    // on the 3-D target, without a surface, or when the surface refuses.
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Adopts a display surface (one reference added); size taken from it. On a new image only.
    virtual void SetSurface(Platform::Surface* surface);

    SurfaceDisplay* GetDisplay() const { return display; }
    int32_t GetLockCount() const { return lockCount; }
    bool HasSurface() const { return static_cast<bool>(surface); }

    bool surfaceExternal = false;   // adopted with SetSurface, not made from the bits
    bool noReadBack = false;        // video-memory-only surface: never read back or drawn by software
    bool videoMemoryWanted = false; // surfaces made from the bits go to video memory
    bool surfaceWanted = false;     // a surface is wanted: PurgeBits / ApplyPendingFlags make it
    bool drawToBits = false;        // always draw on the memory bits (rotated and stretched blits)
    bool colorKeyWanted = false;    // transparent pixels may be drawn through the surface's key
    Platform::SurfaceDesc lockDesc; // filled by the outermost lock; valid while lockCount > 0

protected:
    // The qualifying test of the routing rules: opaque image on a display not in 3-D mode.
    bool DrawsOnSurface(bool allowCursorArea = false);
    // After drawing into a locked surface outside a primitive: unlock and drop the memory copies.
    void FinishSurfaceDraw();
    // Surface-to-surface copy of an opaque (or keyed) surface source, giving up the lock around it;
    // false when the lock could not be taken again afterwards.
    bool HardwareBlt(DDImage* src, const Platform::SurfaceRect& dst, const Platform::SurfaceRect& srcRect);
    Renderer3D* GetRenderer();
    // The locked surface's pixels as 0xFFRRGGBB rows of the image's size, with the guard word.
    std::unique_ptr<uint32_t[]> SurfacePixels(const Platform::SurfaceDesc& desc);
    // The shared start of both stretch blits: marks the source, routes to the 3-D renderer, and
    // clips; true when there is something left to draw in software (r and sd filled).
    bool StretchStart(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                      int32_t drawMode, bool fastStretch, bool mirror, Rect& r, DRect& sd);
    // The white, normal smooth stretch onto the clipped destination r of an X888 or 565 surface,
    // drawn straight onto it; false (nothing drawn) when another way must draw it.
    bool SmoothStretchOnSurface(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& r);
    // Runs the primitive of the draw mode (normal, additive; any other mode draws nothing), then
    // drops the memory copies if it drew on the surface: they stay when the lock failed.
    template <class Normal, class Additive>
    void RunPrimitive(int32_t drawMode, Normal normal, Additive additive)
    {
        const int32_t locks = lockSuccesses;
        if (drawMode == DRAWMODE_NORMAL)
            normal();
        else if (drawMode == DRAWMODE_ADDITIVE)
            additive();
        if (lockSuccesses != locks)
            DeleteMemoryData();
    }
    // Locks, runs the rasterizer on the surface (pixels, pitch, format code, clip inside the
    // surface), unlocks and drops the memory copies. Nothing for a format the rasterizer lacks.
    void RasterOnSurface(const Rect& clip, const std::function<void(void*, int32_t, int32_t, const Rect&)>& draw);
    void CoverageFillOnSurface(const Span* spans, int32_t count, const Color& color, const uint8_t* coverage,
                               int32_t coverX, int32_t coverY, int32_t coverWidth, int32_t coverHeight);

    int32_t lockSuccesses = 0; // successful LockSurface calls: tells whether a primitive drew

private:
    SurfaceDisplay* display = nullptr;
    Platform::SurfaceRef surface;
    int32_t lockCount = 0;
};

// The part of srcRect inside source (returned in inside), flipped left to right, as a new image;
// null when nothing of it is inside.
std::unique_ptr<MemoryImage> FlippedCopy(MemoryImage& source, const Rect& srcRect, Rect& inside);

} // namespace Fw
