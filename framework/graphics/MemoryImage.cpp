// Memory image lifecycle: registration, pixel storage and the derived forms (flags, native
// premultiplied pixels, run-length maps, palette). The drawing operations are in
// MemoryImageFill.cpp, MemoryImageLines.cpp, MemoryImageBlt.cpp and MemoryImageTransform.cpp.
#include "framework/graphics/MemoryImage.h"

#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/detail/PixelSpans.h"
#include "framework/graphics/detail/SurfaceSpans.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>
#include <vector>

namespace Fw {

namespace {

// count pixels plus the guard; zeroed (transparent black) unless the caller overwrites them all.
std::unique_ptr<uint32_t[]> AllocBits(int32_t count, bool zeroed = true)
{
    auto bits = zeroed ? std::make_unique<uint32_t[]>(size_t(count) + 1)
                       : std::make_unique_for_overwrite<uint32_t[]>(size_t(count) + 1);
    bits[size_t(count)] = MemoryImage::kGuard;
    return bits;
}

template <class T>
std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& src, size_t count)
{
    if (!src)
        return nullptr;
    auto copy = std::make_unique<T[]>(count);
    std::memcpy(copy.get(), src.get(), count * sizeof(T));
    return copy;
}

// Run-length map of a row-major class array: each byte = pixels left in its run of equal class,
// itself included, capped at 255. Runs never cross a row.
template <class ClassOf>
std::unique_ptr<uint8_t[]> BuildRunLengths(int32_t width, int32_t height, ClassOf classOf)
{
    auto runs = std::make_unique<uint8_t[]>(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = runs.get() + size_t(y) * size_t(width);
        const size_t base = size_t(y) * size_t(width);
        int32_t x = width;
        while (x > 0) {
            // Walk one run backwards from its end, counting up.
            const int32_t cls = classOf(base + size_t(x - 1));
            int32_t left = 0;
            while (x > 0 && classOf(base + size_t(x - 1)) == cls) {
                ++left;
                --x;
                row[x] = uint8_t(std::min(left, 255));
            }
        }
    }
    return runs;
}

int32_t AlphaClass(uint32_t p)
{
    const uint32_t a = p >> 24;
    return a == 0 ? 0 : (a == 255 ? 1 : 2);
}

} // namespace

MemoryImage::MemoryImage() : MemoryImage(GetDefaultImageRegistry()) {}

MemoryImage::MemoryImage(ImageRegistry* registry) : app(registry)
{
    if (app)
        app->AddMemoryImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), bitsChangedCount(other.bitsChangedCount), d3dFlags(other.d3dFlags),
      forcedMode(other.forcedMode), hasTrans(other.hasTrans), hasAlpha(other.hasAlpha),
      isVolatile(other.isVolatile), purgeBits(other.purgeBits), wantPalette(other.wantPalette),
      bitsChanged(other.bitsChanged), app(other.app), nativeFormat(other.nativeFormat)
{
    const size_t count = size_t(PixelCount());
    if (other.bits) {
        bits = CopyArray(other.bits, count + 1);
    } else if (!other.colorTable) {
        // Neither bits nor palette: let the source build its bits, copy them, and free the
        // source's temporary bits again.
        MemoryImage& src = const_cast<MemoryImage&>(other);
        if (src.GetBits())
            bits = CopyArray(src.bits, count + 1);
        src.bits.reset();
    }
    colorTable = CopyArray(other.colorTable, 256);
    colorIndices = CopyArray(other.colorIndices, count);
    nativeAlphaData = CopyArray(other.nativeAlphaData, other.colorTable ? 256 : count);
    rlAlphaData = CopyArray(other.rlAlphaData, count);
    rlAdditiveData = CopyArray(other.rlAdditiveData, count);
    if (app)
        app->AddMemoryImage(this);
}

MemoryImage::~MemoryImage()
{
    if (app)
        app->RemoveMemoryImage(this);
}

MemoryImage* MemoryImage::MarkSource(Image* src)
{
    if (!src)
        return nullptr;
    src->drawnFlag = true;
    // Plain memory images, the common source, skip the walk of the class tree.
    if (typeid(*src) == typeid(MemoryImage))
        return static_cast<MemoryImage*>(src);
    return dynamic_cast<MemoryImage*>(src);
}

void MemoryImage::FreeDerivedData()
{
    native16Data.reset();
    nativeAlphaData.reset();
    rlAlphaData.reset();
    rlAdditiveData.reset();
    additiveAmounts.reset();
}

void MemoryImage::BitsChanged()
{
    ++bitsChangedCount;
    bitsChanged = true;
    FreeDerivedData();
}

void MemoryImage::CommitBits()
{
    if (!bitsChanged || forcedMode)
        return;
    hasAlpha = false;
    auto scan = [this](const uint32_t* p, size_t n) {
        hasTrans = false;
        for (size_t i = 0; i < n; ++i) {
            const uint32_t a = p[i] >> 24;
            if (a == 0)
                hasTrans = true;
            else if (a != 255)
                hasAlpha = true;
        }
    };
    if (bits)
        scan(bits.get(), size_t(PixelCount()));
    else if (colorTable)
        scan(colorTable.get(), 256);
    else
        hasTrans = true;
    bitsChanged = false;
}

void MemoryImage::SetBits(const uint32_t* pixels, int32_t w, int32_t h, bool commit)
{
    if (bits && pixels == bits.get())
        return;
    colorTable.reset();
    colorIndices.reset();
    if (!bits || w != width || h != height) {
        bits.reset();
        width = w;
        height = h;
        bits = AllocBits(PixelCount(), pixels == nullptr);
    }
    if (pixels)
        std::memcpy(bits.get(), pixels, size_t(PixelCount()) * sizeof(uint32_t));
    bits[size_t(PixelCount())] = kGuard;
    BitsChanged();
    if (commit)
        CommitBits();
}

void MemoryImage::Create(int32_t w, int32_t h)
{
    bits.reset();
    colorTable.reset();
    colorIndices.reset();
    width = w;
    height = h;
    hasTrans = true;
    hasAlpha = true;
    BitsChanged();
}

uint32_t* MemoryImage::GetBits()
{
    if (bits)
        return bits.get();
    const int32_t count = PixelCount();
    if (count <= 0)
        return nullptr;
    bits = AllocBits(count);
    // Bits rebuilt from the native data or the texture need not be the ones the amounts came from.
    additiveAmounts.reset();
    uint32_t* out = bits.get();
    if (colorTable && colorIndices) {
        for (int32_t i = 0; i < count; ++i)
            out[i] = colorTable[colorIndices[i]];
        colorTable.reset();
        colorIndices.reset();
        nativeAlphaData.reset();
        native16Data.reset();
    } else if (nativeAlphaData) {
        // Undo the premultiplication: channel = (((n & M) << 8) / (a + 1) & M) << 8 >> (s + b).
        const PixelFormat& f = nativeFormat;
        auto channel = [](uint32_t n, uint32_t a, uint32_t mask, int32_t shift, int32_t nbits) {
            const uint32_t v = uint32_t((uint64_t(n & mask) << 8) / (a + 1)) & mask;
            return uint32_t((uint64_t(v) << 8) >> (shift + nbits));
        };
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t n = nativeAlphaData[i];
            const uint32_t a = n >> 24;
            out[i] = (a << 24) | (channel(n, a, f.redMask, f.redShift, f.redBits) << 16) |
                     (channel(n, a, f.greenMask, f.greenShift, f.greenBits) << 8) |
                     channel(n, a, f.blueMask, f.blueShift, f.blueBits);
        }
    } else if (textureData && app) {
        // The bits were dropped in favour of the 3-D texture: read them back from it.
        app->RecoverImageTextureBits(this);
    }
    return out;
}

uint32_t* MemoryImage::GetNativeAlphaData(NativeDisplay* display)
{
    if (nativeAlphaData)
        return nativeAlphaData.get();
    if (!display)
        return nullptr;
    CommitBits();
    const uint32_t* src;
    size_t count;
    if (colorTable) {
        src = colorTable.get();
        count = 256;
    } else {
        src = GetBits();
        count = size_t(std::max(PixelCount(), 0));
    }
    if (!src)
        return nullptr;
    const PixelFormat& f = *display;
    nativeFormat = f;
    native16Data.reset(); // made from these native data only
    nativeAlphaData = std::make_unique_for_overwrite<uint32_t[]>(count); // every entry is written below
    if (f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF && f.redShift == 16 &&
        f.greenShift == 8 && f.blueShift == 0 && f.redBits == 8 && f.greenBits == 8 && f.blueBits == 8) {
        detail::NativeX888Span(nativeAlphaData.get(), src, int32_t(count));
        return nativeAlphaData.get();
    }
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        const uint32_t a = p >> 24;
        const uint32_t m = a + 1;
        const uint32_t r = ((((p & 0xFF0000u) * m) >> 8) >> (24 - f.redBits) << f.redShift) & f.redMask;
        const uint32_t g = ((((p & 0xFF00u) * m) >> 8) >> (16 - f.greenBits) << f.greenShift) & f.greenMask;
        const uint32_t b = ((((p & 0xFFu) * m) >> 8) >> (8 - f.blueBits) << f.blueShift) & f.blueMask;
        nativeAlphaData[i] = r | g | b | (a << 24);
    }
    return nativeAlphaData.get();
}

const uint16_t* MemoryImage::GetNative16Data(NativeDisplay* display)
{
    if (native16Data)
        return native16Data.get();
    if (!display || display->bitCount != 16 || colorTable)
        return nullptr;
    const uint32_t* native = GetNativeAlphaData(display);
    if (!native || colorTable || nativeFormat.bitCount != 16 || PixelCount() <= 0)
        return nullptr;
    native16Data = std::make_unique_for_overwrite<uint16_t[]>(size_t(PixelCount()));
    detail::NarrowSpan16(native16Data.get(), native, PixelCount());
    return native16Data.get();
}

uint8_t* MemoryImage::GetRLAlphaData()
{
    CommitBits();
    if (rlAlphaData)
        return rlAlphaData.get();
    if (PixelCount() <= 0)
        return nullptr;
    if (colorTable && colorIndices) {
        const uint32_t* table = colorTable.get();
        const uint8_t* idx = colorIndices.get();
        rlAlphaData = BuildRunLengths(width, height, [&](size_t i) { return AlphaClass(table[idx[i]]); });
    } else {
        const uint32_t* px = nativeAlphaData ? nativeAlphaData.get() : GetBits();
        rlAlphaData = BuildRunLengths(width, height, [&](size_t i) { return AlphaClass(px[i]); });
    }
    return rlAlphaData.get();
}

uint8_t* MemoryImage::GetRLAdditiveData(NativeDisplay* display)
{
    if (rlAdditiveData)
        return rlAdditiveData.get();
    const bool palette = colorTable && colorIndices;
    const uint8_t* idx = colorIndices.get();
    const uint32_t* native = GetNativeAlphaData(display);
    if (!native || PixelCount() <= 0)
        return nullptr;
    if (palette)
        rlAdditiveData = BuildRunLengths(width, height,
                                         [&](size_t i) { return (native[idx[i]] & 0xFFFFFF) != 0 ? 1 : 0; });
    else
        rlAdditiveData =
            BuildRunLengths(width, height, [&](size_t i) { return (native[i] & 0xFFFFFF) != 0 ? 1 : 0; });
    return rlAdditiveData.get();
}

const uint32_t* MemoryImage::GetAdditiveAmounts()
{
    if (additiveAmounts)
        return additiveAmounts.get();
    const int32_t count = PixelCount();
    if (count <= 0)
        return nullptr;
    // The additive span onto zeroed words leaves exactly the amounts it would add.
    auto amounts = std::make_unique<uint32_t[]>(size_t(count));
    if (colorTable && colorIndices) {
        uint32_t table[256] = {};
        detail::AddAlphaSpan(table, colorTable.get(), 256);
        for (int32_t i = 0; i < count; ++i)
            amounts[size_t(i)] = table[colorIndices[size_t(i)]];
    } else {
        const uint32_t* px = bits ? bits.get() : GetBits();
        if (!px)
            return nullptr;
        detail::AddAlphaSpan(amounts.get(), px, count);
    }
    additiveAmounts = std::move(amounts);
    return additiveAmounts.get();
}

void MemoryImage::PurgeBits()
{
    purgeBits = true;
    const bool threeD = app && app->Is3DAccelerated();
    if (!threeD) {
        if (!bits && !colorIndices)
            return;
        GetNativeAlphaData(app ? app->GetNativeDisplay() : nullptr);
        // Without native data there would be nothing left to draw from: keep the bits.
        if (nativeAlphaData)
            bits.reset();
    } else if (textureData) {
        bits.reset();
    }
    if (textureData) {
        colorTable.reset();
        colorIndices.reset();
    }
}

void MemoryImage::DeleteSWBuffers()
{
    if (!bits && !colorIndices)
        GetBits();
    FreeDerivedData();
}

void MemoryImage::DeleteTextureData()
{
    if (app)
        app->RemoveImageTextureData(this);
}

void MemoryImage::DeleteExtraBuffers()
{
    DeleteSWBuffers();
    DeleteTextureData();
}

void MemoryImage::ApplyPendingFlags()
{
    if (wantPalette)
        Palletize();
    if (purgeBits)
        PurgeBits();
}

void MemoryImage::DeleteNativeData()
{
    if (!bits && !colorIndices)
        GetBits();
    native16Data.reset();
    nativeAlphaData.reset();
    rlAdditiveData.reset();
}

void MemoryImage::Clear()
{
    if (uint32_t* px = GetBits())
        std::fill(px, px + PixelCount(), 0u);
    BitsChanged();
}

void MemoryImage::SetImageMode(bool trans, bool alpha)
{
    hasTrans = trans;
    hasAlpha = alpha;
    forcedMode = true;
}

void MemoryImage::SetVolatile(bool on)
{
    isVolatile = on;
}

bool MemoryImage::Palletize()
{
    CommitBits();
    if (colorTable)
        return true;
    const uint32_t* px = GetBits();
    if (!px)
        return false;
    const int32_t count = PixelCount();
    auto indices = std::make_unique<uint8_t[]>(size_t(count));
    auto table = std::make_unique<uint32_t[]>(256);
    // Colours met so far, sorted by value, each with its palette index (palette order is the
    // order of first appearance).
    std::vector<std::pair<uint32_t, uint8_t>> sorted;
    sorted.reserve(256);
    int32_t used = 0;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t c = px[i];
        auto it = std::lower_bound(sorted.begin(), sorted.end(), c,
                                   [](const std::pair<uint32_t, uint8_t>& e, uint32_t v) { return e.first < v; });
        if (it != sorted.end() && it->first == c) {
            indices[size_t(i)] = it->second;
            continue;
        }
        if (used == 256) {
            wantPalette = false;
            return false;
        }
        table[size_t(used)] = c;
        sorted.insert(it, {c, uint8_t(used)});
        indices[size_t(i)] = uint8_t(used);
        ++used;
    }
    colorTable = std::move(table);
    colorIndices = std::move(indices);
    bits.reset();
    native16Data.reset();
    nativeAlphaData.reset();
    wantPalette = true;
    return true;
}

} // namespace Fw
