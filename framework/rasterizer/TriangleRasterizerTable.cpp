// The filler table: built at compile time from the filler templates, published on the first
// InitTriangleRasterizers with release/acquire so no draw can see a partly filled table.
#include "framework/rasterizer/TriangleRasterizerTable.h"

#include <array>
#include <atomic>
#include <utility>

#include "framework/rasterizer/TriangleFillers.h"

namespace Fw {
namespace {

using namespace raster;
using Table = std::array<TriangleFiller, 128>;

template <class Fmt, int Slot>
constexpr TriangleFiller FillerForSlot()
{
    if constexpr (Slot < 16) {
        if constexpr ((Slot & 4) == 0)
            return &NullTriangleRasterizer; // no texture, no vertex colour: nothing to draw
        else
            return &UntexturedFiller<Fmt, (Slot & 2) != 0>;
    } else if constexpr (std::is_same_v<Fmt, Format888> && Slot < 18) {
        // The plain copies never read the destination and write 255 on top: the 0x8888 ones serve.
        return &TexturedFiller<Format8888, Slot>;
    } else {
        return &TexturedFiller<Fmt, Slot>;
    }
}

template <int Index>
constexpr TriangleFiller FillerAt()
{
    constexpr int slot = Index % 32;
    if constexpr (Index < 32)
        return FillerForSlot<Format8888, slot>();
    else if constexpr (Index < 64)
        return FillerForSlot<Format888, slot>();
    else if constexpr (Index < 96)
        return FillerForSlot<Format565, slot>();
    else
        return FillerForSlot<Format555, slot>();
}

template <std::size_t... I>
constexpr Table MakeTable(std::index_sequence<I...>)
{
    return Table{FillerAt<int(I)>()...};
}

constexpr Table kTable = MakeTable(std::make_index_sequence<128>());
std::atomic<const Table*> gPublished{nullptr};

} // namespace

void InitTriangleRasterizers()
{
    gPublished.store(&kTable, std::memory_order_release);
}

int32_t RasterFormatBlock(int32_t format)
{
    switch (format) {
    case kRasterFormat888: return 32;
    case kRasterFormat565: return 64;
    case kRasterFormat555: return 96;
    default: return 0;
    }
}

TriangleFiller TriangleRasterizerAt(int32_t index)
{
    const Table* table = gPublished.load(std::memory_order_acquire);
    if (!table || index < 0 || index >= 128)
        return nullptr;
    return (*table)[std::size_t(index)];
}

void SelectTriangleRasterizer(bool textured, bool blend, bool vertexColour, bool colour, const RasterVertex& v0,
                              const RasterVertex& v1, const RasterVertex& v2, void* bits, int32_t pitch,
                              const RasterTexture& texture, const RasterColor& drawColour, int32_t format,
                              bool bilinear)
{
    const int32_t slot = (textured ? 16 : 0) + (blend ? 8 : 0) + (vertexColour ? 4 : 0) + (colour ? 2 : 0) +
                         (bilinear ? 1 : 0);
    if (const TriangleFiller filler = TriangleRasterizerAt(RasterFormatBlock(format) + slot))
        filler(v0, v1, v2, bits, pitch, texture, drawColour);
}

} // namespace Fw
