// Surface image lifecycle and routing: surface creation from the bits (with the source colour
// key), read-back, nested locking, and the choice between the 3-D renderer, the locked surface
// and the memory bits for each drawing operation. The surface kernels live in DDImageSurface*.cpp.
#include "framework/graphics/DDImage.h"

#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/Renderer3D.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "framework/graphics/detail/SurfacePixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Fw {

using namespace Platform;

namespace {

// Converts one 0xAARRGGBB pixel to the surface format, keeping each channel's top bits.
struct ToSurface {
    int32_t rs, gs, bs, rb, gb, bb;
    uint32_t rm, gm, bm;
    uint32_t operator()(uint32_t p) const
    {
        return (((p >> (24 - rb)) << rs) & rm) | (((p >> (16 - gb)) << gs) & gm) | (((p >> (8 - bb)) << bs) & bm);
    }
};

// One bit per value, for the free colour key search.
class ValueSet {
public:
    explicit ValueSet(size_t values) : words_((values + 31) / 32, 0) {}
    void Insert(uint32_t v) { words_[v >> 5] |= 1u << (v & 31); }
    bool Contains(uint32_t v) const { return (words_[v >> 5] >> (v & 31)) & 1; }
    size_t Groups() const { return words_.size(); }
    uint32_t Group(size_t g) const { return words_[g]; }

private:
    std::vector<uint32_t> words_;
};

} // namespace

DDImage::DDImage(SurfaceDisplay* d) : MemoryImage(d ? d->GetImageRegistry() : nullptr), display(d)
{
    if (display) {
        ScopedCritSect lock(display->GetDisplayLock());
        display->AddDDImage(this);
    }
}

DDImage::~DDImage()
{
    if (lockCount > 0 && surface)
        surface->Unlock(nullptr);
    surface.reset();
    if (display) {
        ScopedCritSect lock(display->GetDisplayLock());
        display->RemoveDDImage(this);
    }
}

Renderer3D* DDImage::GetRenderer()
{
    return display ? display->GetRenderer3D() : nullptr;
}

bool DDImage::Check3D()
{
    return display && display->Is3D() && surface && surface.get() == display->GetDrawSurface() &&
           GetRenderer() != nullptr;
}

bool DDImage::Check3D(Image* image)
{
    auto* dd = dynamic_cast<DDImage*>(image);
    return dd && dd->Check3D();
}

// ---------------------------------------------------------------------------------------------
// Surface management

Surface* DDImage::GetSurface()
{
    if (!surface)
        CreateSurfaceFromBits();
    return surface.get();
}

bool DDImage::CreateSurfaceFromBits()
{
    if (surface)
        return true;
    if (!display)
        return false;
    CommitBits();
    if (hasAlpha)
        return false;
    surfaceWanted = true;
    if (colorTable)
        GetBits();

    SurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.width = width;
    desc.height = height;
    desc.caps = videoMemoryWanted ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;

    ScopedCritSect lock(display->GetDisplayLock());
    Surface* made = nullptr;
    if (Failed(display->CreateSurface(desc, &made)) || !made)
        return false;
    surface = SurfaceRef::Adopt(made);
    if (!LockSurface()) {
        surface.reset(); // a surface never filled must not pass for the image's pixels
        return false;
    }

    const NativeDisplay& f = display->GetPixelFormat();
    const SurfacePixelFormat& sf = lockDesc.pixelFormat;
    const ToSurface conv{f.redShift, f.greenShift, f.blueShift, f.redBits, f.greenBits, f.blueBits,
                         sf.redMask,  sf.greenMask, sf.blueMask};
    const detail::SurfaceView view = detail::SurfaceView::Of(lockDesc);
    bool keyed = true;
    if (bits && width > 0 && height > 0) {
        const uint32_t* px = bits.get();
        const size_t count = size_t(width) * size_t(height);
        uint32_t key = 0;
        if (hasTrans) {
            // The key is the converted colour of the first non-opaque pixel, unless an opaque pixel
            // converts to the same value: then the lowest value no opaque pixel uses.
            const bool wide = view.bitCount == 32;
            const uint32_t valueMask = wide ? 0xFFFFFFu : 0xFFFFu;
            bool found = false, clash = false;
            for (size_t i = 0; i < count && !found; ++i)
                if ((px[i] >> 24) < 255) {
                    key = conv(px[i]) & valueMask;
                    found = true;
                }
            for (size_t i = 0; i < count && !clash; ++i)
                clash = (px[i] >> 24) == 255 && (conv(px[i]) & valueMask) == key;
            if (clash) {
                ValueSet used(size_t(valueMask) + 1);
                for (size_t i = 0; i < count; ++i)
                    if (px[i] >> 24)
                        used.Insert(conv(px[i]) & valueMask);
                keyed = false;
                for (size_t g = 0; g < used.Groups(); ++g) {
                    if (used.Group(g) == 0xFFFFFFFFu)
                        continue;
                    key = uint32_t(g * 32) + uint32_t(std::countr_one(used.Group(g)));
                    keyed = true;
                    if (wide)
                        break; // 32-bit: the lowest free value
                    // 16-bit: every group with a free value replaces the key; the last one stays.
                }
            }
        }
        if (keyed) {
            for (int32_t y = 0; y < height; ++y) {
                const uint32_t* row = px + size_t(y) * size_t(width);
                for (int32_t x = 0; x < width; ++x) {
                    const uint32_t p = row[x];
                    view.Put(x, y, (!hasTrans || (p >> 24) == 255) ? conv(p) : key);
                }
            }
            if (hasTrans) {
                const ColorKey ck{key, key};
                surface->SetColorKey(DDCKEY_SRCBLT, &ck);
            }
        }
    }
    UnlockSurface();
    if (!keyed) {
        // Every value is taken by an opaque pixel: no key can mark the transparent ones, so the
        // image stays in memory rather than show them opaque.
        surface.reset();
        return false;
    }
    return true;
}

void DDImage::DeleteDDSurface()
{
    if (!surface)
        return;
    if (!colorTable && !bits && !textureData)
        GetBits();
    if (lockCount > 0)
        surface->Unlock(nullptr);
    lockCount = 0;
    surface.reset();
}

void DDImage::DeleteMemoryData()
{
    bits.reset();
    FreeDerivedData();
    colorTable.reset();
    colorIndices.reset();
}

uint32_t* DDImage::GetBits()
{
    // The 3-D target's pixels are wherever the renderer drew them: read back on every call, as
    // the frame moves on between calls.
    const bool target3D = Check3D();
    if (bits && !target3D)
        return bits.get();
    if (!surface)
        return MemoryImage::GetBits();
    if (noReadBack || width <= 0 || height <= 0)
        return nullptr;
    additiveAmounts.reset(); // the bits are read back anew below
    if (target3D) {
        SurfaceDesc desc;
        if (!display->ReadBackDrawSurface() || Failed(surface->Lock(nullptr, desc, DDLOCK_WAIT)))
            return nullptr;
        bits = SurfacePixels(desc);
        surface->Unlock(nullptr);
        return bits.get();
    }
    if (!LockSurface())
        return nullptr;
    bits = SurfacePixels(lockDesc);
    UnlockSurface();
    return bits.get();
}

std::unique_ptr<uint32_t[]> DDImage::SurfacePixels(const SurfaceDesc& desc)
{
    const detail::SurfaceView view = detail::SurfaceView::Of(desc);
    const NativeDisplay& f = display->GetPixelFormat();
    auto out = std::make_unique<uint32_t[]>(size_t(width) * size_t(height) + 1);
    out[size_t(width) * size_t(height)] = kGuard;
    if (view.bitCount == 16 || view.bitCount == 32) {
        const int32_t w = std::min(width, view.width), h = std::min(height, view.height);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t q = view.Get(x, y);
                const uint32_t r = ((q >> f.redShift) << (8 - f.redBits)) & 0xFF;
                const uint32_t g = ((q >> f.greenShift) << (8 - f.greenBits)) & 0xFF;
                const uint32_t b = ((q >> f.blueShift) << (8 - f.blueBits)) & 0xFF;
                out[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
    }
    return out;
}

bool DDImage::LockSurface()
{
    if (!display || Check3D())
        return false; // without a display there is no format to draw in
    if (lockCount == 0) {
        lockDesc = SurfaceDesc{};
        Surface* s = GetSurface();
        if (!s || Failed(s->Lock(nullptr, lockDesc, DDLOCK_WAIT)))
            return false;
    }
    ++lockCount;
    ++lockSuccesses;
    return true;
}

bool DDImage::UnlockSurface()
{
    if (Check3D() || lockCount == 0)
        return false;
    if (--lockCount == 0 && surface)
        surface->Unlock(nullptr);
    return true;
}

void DDImage::SetSurface(Surface* s)
{
    surfaceExternal = true;
    surface = SurfaceRef::Share(s);
    lockCount = 0;
    if (s) {
        SurfaceDesc desc;
        desc.flags = DDSD_WIDTH | DDSD_HEIGHT;
        if (Succeeded(s->GetSurfaceDesc(desc))) {
            width = desc.width;
            height = desc.height;
        }
    }
    noReadBack = false;
}

void DDImage::SetVideoMemory(bool videoMemory)
{
    if (videoMemory == videoMemoryWanted)
        return;
    videoMemoryWanted = videoMemory;
    GetBits();
    DeleteDDSurface();
}

void DDImage::GenerateDDSurface()
{
    CreateSurfaceFromBits();
}

// ---------------------------------------------------------------------------------------------
// Memory-image hooks

void DDImage::PurgeBits()
{
    if (surfaceExternal)
        return;
    purgeBits = true;
    CommitBits();
    ImageRegistry* reg = GetApp();
    if (reg && reg->Is3DAccelerated()) {
        if (surface) {
            GetBits();
            DeleteDDSurface();
        }
        MemoryImage::PurgeBits();
        return;
    }
    if (surfaceWanted && CreateSurfaceFromBits()) {
        bits.reset();
        colorIndices.reset();
        colorTable.reset();
        return;
    }
    MemoryImage::PurgeBits();
}

void DDImage::DeleteExtraBuffers()
{
    if (surfaceExternal)
        return;
    MemoryImage::DeleteExtraBuffers();
    DeleteDDSurface();
}

void DDImage::ApplyPendingFlags()
{
    MemoryImage::ApplyPendingFlags();
    if (surfaceWanted)
        CreateSurfaceFromBits();
}

void DDImage::BitsChanged()
{
    MemoryImage::BitsChanged();
    if (lockCount > 0 && surface)
        surface->Unlock(nullptr);
    lockCount = 0;
    surface.reset();
}

void DDImage::CommitBits()
{
    if (!surface)
        MemoryImage::CommitBits();
}

void DDImage::DeleteNativeData()
{
    if (surfaceExternal)
        return;
    MemoryImage::DeleteNativeData();
    DeleteDDSurface();
}

void DDImage::Create(int32_t w, int32_t h)
{
    bits.reset();
    width = w;
    height = h;
    BitsChanged();
}

bool DDImage::Palletize()
{
    const bool ok = MemoryImage::Palletize();
    if (ok)
        DeleteDDSurface();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Routing

bool DDImage::DrawsOnSurface(bool allowCursorArea)
{
    if (hasTrans || hasAlpha || !display)
        return false;
    return !display->Is3D() || (allowCursorArea && display->IsCursorAreaImage(this));
}

bool DDImage::PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color, int32_t drawMode,
                       int32_t tx, int32_t ty, bool /*flag*/)
{
    if (!Check3D())
        return false;
    GetRenderer()->PolyFill(points, count, clip, color, drawMode, tx, ty);
    return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int32_t drawMode)
{
    if (Check3D()) {
        GetRenderer()->FillRect(rect, color, drawMode);
        return;
    }
    CommitBits();
    if (!DrawsOnSurface()) {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    RunPrimitive(
        drawMode, [&] { NormalFillRect(rect, color); }, [&] { AdditiveFillRect(rect, color); });
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode)
{
    if (Check3D()) {
        GetRenderer()->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (!DrawsOnSurface()) {
        MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (y1 == y2) {
        const int32_t a = int32_t(std::min(x1, x2)), b = int32_t(std::max(x1, x2));
        FillRect(Rect(a, int32_t(y1), b - a + 1, int32_t(y2 - y1 + 1.0)), color, drawMode);
        return;
    }
    if (x1 == x2) {
        const int32_t a = int32_t(std::min(y1, y2)), b = int32_t(std::max(y1, y2));
        FillRect(Rect(int32_t(x1), a, 1, b - a + 1), color, drawMode);
        return;
    }
    CommitBits();
    RunPrimitive(
        drawMode, [&] { NormalDrawLine(x1, y1, x2, y2, color); }, [&] { AdditiveDrawLine(x1, y1, x2, y2, color); });
}

void DDImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode)
{
    if (Check3D()) {
        GetRenderer()->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (!DrawsOnSurface()) {
        MemoryImage::DrawLineAA(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (y1 == y2 || x1 == x2) {
        DrawLine(x1, y1, x2, y2, color, drawMode); // axis-parallel: the same rectangle fill
        return;
    }
    CommitBits();
    RunPrimitive(
        drawMode, [&] { NormalDrawLineAA(x1, y1, x2, y2, color); }, [&] { AdditiveDrawLineAA(x1, y1, x2, y2, color); });
}

bool DDImage::HardwareBlt(DDImage* src, const SurfaceRect& dst, const SurfaceRect& srcRect)
{
    const uint32_t flags = DDBLT_WAIT | (src->hasTrans ? DDBLT_KEYSRC : 0);
    BltFx fx;
    if (lockCount > 0)
        surface->Unlock(nullptr);
    surface->Blt(&dst, src->surface.get(), &srcRect, flags, &fx);
    if (lockCount > 0 && Failed(surface->Lock(nullptr, lockDesc, DDLOCK_WAIT))) {
        lockCount = 0; // the outstanding lock is gone with the surface's memory
        return false;
    }
    return true;
}

void DDImage::Blt(Image* src, int32_t x, int32_t y, const Rect& srcRect, const Color& color, int32_t drawMode)
{
    if (!src)
        return;
    CommitBits();
    if (Check3D()) {
        src->drawnFlag = true;
        auto* dd = dynamic_cast<DDImage*>(src);
        Renderer3D* r = GetRenderer();
        if (dd && dd->surface && r->TransformStackEmpty() && drawMode == DRAWMODE_NORMAL && color == Color::White &&
            !dd->hasAlpha) {
            HardwareBlt(dd, SurfaceRect{x, y, x + srcRect.width, y + srcRect.height},
                        SurfaceRect{srcRect.x, srcRect.y, srcRect.x + srcRect.width, srcRect.y + srcRect.height});
            return;
        }
        r->Blt(src, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    if (!DrawsOnSurface(true)) {
        MemoryImage::Blt(src, x, y, srcRect, color, drawMode);
        return;
    }
    RunPrimitive(
        drawMode, [&] { NormalBlt(src, x, y, srcRect, color); }, [&] { AdditiveBlt(src, x, y, srcRect, color); });
}

void DDImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int32_t drawMode)
{
    if (!src)
        return;
    if (!Check3D()) {
        BltRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
        return;
    }
    src->drawnFlag = true;
    const DRect part = DRect{double(x), double(y), double(srcRect.width), double(srcRect.height)}.Intersection(
        DRect{double(clip.x), double(clip.y), double(clip.width), double(clip.height)});
    Renderer3D* r = GetRenderer();
    if (part.width == double(srcRect.width) && part.height == double(srcRect.height)) {
        r->Blt(src, x, y, srcRect, color, drawMode, true);
    } else if (part.width > 0 && part.height > 0) {
        Matrix3 m;
        m.Translate(x, y);
        r->BltTransformed(src, &clip, color, drawMode, srcRect, m, true, 0.0f, 0.0f, nullptr);
    }
}

void DDImage::FillScanLinesWithCoverage(const Span* spans, int32_t count, const Color& color, int32_t drawMode,
                                        const uint8_t* coverage, int32_t coverX, int32_t coverY,
                                        int32_t coverWidth, int32_t coverHeight)
{
    if (!spans || count <= 0)
        return;
    if (Check3D()) {
        int32_t left = spans[0].x, top = spans[0].y, right = left, bottom = top;
        for (int32_t i = 0; i < count; ++i) {
            left = std::min(left, spans[i].x);
            top = std::min(top, spans[i].y);
            right = std::max(right, spans[i].x + spans[i].width - 1);
            bottom = std::max(bottom, spans[i].y);
        }
        std::vector<Span> moved(spans, spans + count);
        for (Span& s : moved) {
            s.x -= left;
            s.y -= top;
        }
        MemoryImage temp(GetApp());
        temp.Create(right - left + 1, bottom - top + 1);
        temp.MemoryImage::FillScanLinesWithCoverage(moved.data(), count, color, drawMode, coverage, coverX - left,
                                                    coverY - top, coverWidth, coverHeight);
        Blt(&temp, left, top, Rect(0, 0, temp.width, temp.height), Color::White, drawMode);
        return;
    }
    // Images with transparency or alpha keep their pixels in memory: the surface has no alpha.
    if (!DrawsOnSurface()) {
        MemoryImage::FillScanLinesWithCoverage(spans, count, color, drawMode, coverage, coverX, coverY, coverWidth,
                                               coverHeight);
        return;
    }
    CoverageFillOnSurface(spans, count, color, coverage, coverX, coverY, coverWidth, coverHeight);
}

void DDImage::BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                        int32_t drawMode, const Rect& srcRect, bool blend, const SecondTexture& second)
{
    if (!src)
        return;
    src->drawnFlag = true;
    if (Check3D()) {
        GetRenderer()->BltTransformed(src, &clip, color, drawMode, srcRect, matrix, blend, x, y,
                                      second.image ? &second : nullptr);
        return;
    }
    if (!DrawsOnSurface()) {
        MemoryImage::BltMatrix(src, x, y, matrix, clip, color, drawMode, srcRect, blend, second);
        return;
    }
    RasterOnSurface(clip, [&](void* px, int32_t pitch, int32_t code, const Rect& c) {
        BltMatrixHelper(src, x, y, matrix, c, color, drawMode, srcRect, px, pitch, code, blend);
    });
}

void DDImage::BltTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count, const Rect& clip,
                              const Color& color, int32_t drawMode, float tx, float ty, bool blend)
{
    if (texture)
        texture->drawnFlag = true;
    if (Check3D()) {
        GetRenderer()->DrawTrianglesTex(texture, triangles, count, clip, color, drawMode, tx, ty, blend);
        return;
    }
    if (!DrawsOnSurface()) {
        MemoryImage::BltTrianglesTex(texture, triangles, count, clip, color, drawMode, tx, ty, blend);
        return;
    }
    RasterOnSurface(clip, [&](void* px, int32_t pitch, int32_t code, const Rect& c) {
        BltTrianglesTexHelper(texture, triangles, count, c, color, drawMode, px, pitch, code, tx, ty, blend);
    });
}

void DDImage::FinishSurfaceDraw()
{
    UnlockSurface();
    DeleteMemoryData();
}

} // namespace Fw
