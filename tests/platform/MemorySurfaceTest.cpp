// Memory surfaces: padded rows, nested locks, keyed and stretched blits, reference counting and
// the DirectX result codes they report.
#include "framework/core/DirectXErrors.h"
#include "platform/MemorySurface.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

MemorySurface* Make(int32_t w, int32_t h, const SurfacePixelFormat& f, int32_t padding = 8)
{
    Surface* s = nullptr;
    EXPECT_EQ(MemorySurface::Create(w, h, f, DDSCAPS_SYSTEMMEMORY, padding, &s), DD_OK);
    return static_cast<MemorySurface*>(s);
}

TEST(MemorySurface, CreationChecksAndDescription)
{
    Surface* s = reinterpret_cast<Surface*>(1);
    EXPECT_EQ(MemorySurface::Create(0, 4, kFormat565, 0, 0, &s), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(MemorySurface::Create(4, 4, kFormat565, 0, 2, &s), DDERR_INVALIDPARAMS); // unaligned rows
    EXPECT_EQ(MemorySurface::Create(4, 4, SurfacePixelFormat{24, 0xFF0000, 0xFF00, 0xFF}, 0, 0, &s),
              DDERR_INVALIDPIXELFORMAT);

    SurfaceRef ref = SurfaceRef::Adopt(Make(5, 3, kFormat565, 12));
    SurfaceDesc d;
    ASSERT_EQ(ref->GetSurfaceDesc(d), DD_OK);
    EXPECT_EQ(d.width, 5);
    EXPECT_EQ(d.height, 3);
    EXPECT_EQ(d.pitch, 5 * 2 + 12);
    EXPECT_EQ(d.caps, DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(d.pixelFormat, kFormat565);
    EXPECT_EQ(d.surface, nullptr);
}

TEST(MemorySurface, LocksNestAndUnlockBalances)
{
    SurfaceRef ref = SurfaceRef::Adopt(Make(4, 4, kFormatX8R8G8B8));
    auto* s = static_cast<MemorySurface*>(ref.get());
    SurfaceDesc a, b;
    ASSERT_EQ(s->Lock(nullptr, a, DDLOCK_WAIT), DD_OK);
    ASSERT_EQ(s->Lock(nullptr, b, DDLOCK_WAIT), DD_OK);
    EXPECT_EQ(a.surface, b.surface);
    EXPECT_NE(a.flags & DDSD_LPSURFACE, 0u);
    EXPECT_EQ(s->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->LockDepth(), 1);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);

    s->MarkLost();
    EXPECT_EQ(s->Lock(nullptr, a, DDLOCK_WAIT), DDERR_SURFACELOST);
    s->Restore();
    EXPECT_EQ(s->Lock(nullptr, a, DDLOCK_WAIT), DD_OK);
    s->Unlock(nullptr);
}

TEST(MemorySurface, ReferencesCountDown)
{
    auto* s = Make(2, 2, kFormat555);
    {
        SurfaceRef a = SurfaceRef::Adopt(s);
        SurfaceRef b = a;
        EXPECT_EQ(s->RefCount(), 2u);
        SurfaceRef c = SurfaceRef::Share(s);
        EXPECT_EQ(s->RefCount(), 3u);
        c.reset();
        b.reset();
        EXPECT_EQ(s->RefCount(), 1u);
    }
    // a released the last reference: the surface is gone (ASan reports a leak otherwise).
}

TEST(MemorySurface, KeyedAndStretchedBlits)
{
    SurfaceRef srcRef = SurfaceRef::Adopt(Make(2, 2, kFormat565));
    SurfaceRef dstRef = SurfaceRef::Adopt(Make(4, 4, kFormat565, 4));
    auto* src = static_cast<MemorySurface*>(srcRef.get());
    auto* dst = static_cast<MemorySurface*>(dstRef.get());
    src->SetPixelAt(0, 0, 0x1111);
    src->SetPixelAt(1, 0, 0x2222);
    src->SetPixelAt(0, 1, 0xF81F); // the key
    src->SetPixelAt(1, 1, 0x4444);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            dst->SetPixelAt(x, y, 0x0001);

    EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DDERR_NOCOLORKEY);
    const ColorKey key{0xF81F, 0xF81F};
    ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
    const uint32_t expected[4][4] = {{0x1111, 0x1111, 0x2222, 0x2222},
                                     {0x1111, 0x1111, 0x2222, 0x2222},
                                     {0x0001, 0x0001, 0x4444, 0x4444},
                                     {0x0001, 0x0001, 0x4444, 0x4444}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst->PixelAt(x, y), expected[y][x]) << x << "," << y;

    const SurfaceRect outside{3, 3, 5, 5};
    EXPECT_EQ(dst->Blt(&outside, src, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    SurfaceRef other = SurfaceRef::Adopt(Make(2, 2, kFormatX8R8G8B8));
    EXPECT_EQ(dst->Blt(nullptr, other.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
}

// Plain copies between surfaces: whole rows of unpadded surfaces go as one block, the rest row by
// row; either way only the named rows and columns change.
TEST(MemorySurface, PlainCopiesTouchOnlyTheirRectangle)
{
    struct Case {
        const char* name;
        int32_t padding;
        SurfaceRect dst, src;
    };
    const Case cases[] = {
        {"whole rows, unpadded", 0, {0, 2, 6, 5}, {0, 1, 6, 4}},
        {"whole rows, padded", 4, {0, 2, 6, 5}, {0, 1, 6, 4}},
        {"part of the rows, unpadded", 0, {1, 0, 4, 3}, {2, 3, 5, 6}},
    };
    for (const Case& c : cases) {
        SurfaceRef srcRef = SurfaceRef::Adopt(Make(6, 6, kFormatX8R8G8B8, c.padding));
        SurfaceRef dstRef = SurfaceRef::Adopt(Make(6, 6, kFormatX8R8G8B8, c.padding));
        auto* src = static_cast<MemorySurface*>(srcRef.get());
        auto* dst = static_cast<MemorySurface*>(dstRef.get());
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                src->SetPixelAt(x, y, uint32_t(0x100 * y + x));
                dst->SetPixelAt(x, y, 0xDEAD);
            }
        ASSERT_EQ(dst->Blt(&c.dst, src, &c.src, DDBLT_WAIT, nullptr), DD_OK) << c.name;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= c.dst.left && x < c.dst.right && y >= c.dst.top && y < c.dst.bottom;
                const uint32_t want =
                    inside ? uint32_t(0x100 * (y - c.dst.top + c.src.top) + (x - c.dst.left + c.src.left)) : 0xDEAD;
                EXPECT_EQ(dst->PixelAt(x, y), want) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(MemorySurface, ResultCodesCarryTheirDirectXNames)
{
    const std::pair<HRESULT, const char*> cases[] = {
        {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},         {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT"},
        {DDERR_INVALIDRECT, "DDERR_INVALIDRECT"},             {DDERR_NOCOLORKEY, "DDERR_NOCOLORKEY"},
        {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},             {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},                 {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED"},
    };
    for (const auto& [code, name] : cases) {
        EXPECT_TRUE(Failed(code)) << name;
        EXPECT_EQ(Fw::GetDirectXErrorName(uint32_t(code)), name);
    }
}

} // namespace
