// Memory images: registration, pixel storage, flags, run-length maps, palette form, copies,
// animation records and shared-image handles.
#include "GraphicsFakes.h"

#include "framework/graphics/SharedImageRef.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using Fw::MemoryImage;
using FwTest::FakeImageRegistry;

TEST(MemoryImage, RegistersWithItsApplicationForItsLifetime)
{
    FwTest::ScopedRegistry scoped;
    MemoryImage* made;
    {
        MemoryImage a;                       // the installed default
        FakeImageRegistry other;
        MemoryImage b(&other);               // an explicit one
        MemoryImage c(a);                    // copies join the source's application
        made = &a;
        EXPECT_EQ(scoped.registry.images.size(), 2u);
        EXPECT_EQ(other.images.count(&b), 1u);
        EXPECT_EQ(scoped.registry.images.count(&c), 1u);
        b.DeleteTextureData();
        ASSERT_EQ(other.textureDrops.size(), 1u);
        EXPECT_EQ(other.textureDrops[0], &b);
        other.images.clear();
    }
    EXPECT_TRUE(scoped.registry.images.empty());
    EXPECT_EQ(scoped.registry.images.count(made), 0u);
}

TEST(MemoryImage, CreateMakesZeroBitsWithGuard)
{
    MemoryImage img(nullptr);
    img.Create(4, 4);
    EXPECT_TRUE(img.hasTrans);
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.bits, nullptr);
    const uint32_t* px = img.GetBits();
    ASSERT_NE(px, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(px[i], 0u);
    EXPECT_EQ(px[16], MemoryImage::kGuard);
}

TEST(MemoryImage, CommitBitsFlags)
{
    struct Case { const char* what; uint32_t odd; bool trans, alpha; };
    const Case cases[] = {
        {"all opaque", 0xFF000000, false, false},
        {"one translucent", 0x80FFFFFF, false, true},
        {"one clear", 0x00FFFFFF, true, false},
        {"alpha 1 and 254 are translucent", 0x01000000, false, true},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> px(9, 0xFF000000);
        px[4] = c.odd;
        MemoryImage img(nullptr);
        img.SetBits(px.data(), 3, 3, false);
        EXPECT_TRUE(img.bitsChanged);
        img.CommitBits();
        EXPECT_EQ(img.hasTrans, c.trans) << c.what;
        EXPECT_EQ(img.hasAlpha, c.alpha) << c.what;
        EXPECT_FALSE(img.bitsChanged);
    }
    // A forced mode stays whatever the pixels say.
    const uint32_t clear[2] = {0, 0x80000000};
    MemoryImage forced(nullptr);
    forced.SetImageMode(false, false);
    forced.SetBits(clear, 2, 1);
    EXPECT_FALSE(forced.hasTrans);
    EXPECT_FALSE(forced.hasAlpha);
    // Neither bits nor palette: counted as transparent.
    MemoryImage empty(nullptr);
    empty.BitsChanged();
    empty.CommitBits();
    EXPECT_TRUE(empty.hasTrans);
}

TEST(MemoryImage, BitsChangedDropsDerivedDataAndCounts)
{
    Fw::NativeDisplay d;
    d.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF);
    const uint32_t px[2] = {0xFF102030, 0x00000000};
    MemoryImage img(nullptr);
    img.SetBits(px, 2, 1);
    const int32_t count = img.bitsChangedCount;
    img.GetNativeAlphaData(&d);
    img.GetRLAlphaData();
    img.GetRLAdditiveData(&d);
    EXPECT_NE(img.nativeAlphaData, nullptr);
    img.BitsChanged();
    EXPECT_EQ(img.bitsChangedCount, count + 1);
    EXPECT_EQ(img.nativeAlphaData, nullptr);
    EXPECT_EQ(img.rlAlphaData, nullptr);
    EXPECT_EQ(img.rlAdditiveData, nullptr);

    // DeleteNativeData keeps the run-length alpha map.
    img.GetNativeAlphaData(&d);
    img.GetRLAlphaData();
    img.DeleteNativeData();
    EXPECT_EQ(img.nativeAlphaData, nullptr);
    EXPECT_NE(img.rlAlphaData, nullptr);
}

std::vector<uint8_t> RunsOf(const std::vector<uint32_t>& px, int32_t w, int32_t h)
{
    MemoryImage img(nullptr);
    img.SetBits(px.data(), w, h);
    const uint8_t* rl = img.GetRLAlphaData();
    return std::vector<uint8_t>(rl, rl + px.size());
}

TEST(MemoryImage, RunLengthAlphaClasses)
{
    const uint32_t O = 0xFF000000, C = 0, P = 0x80000000;
    EXPECT_EQ(RunsOf({O, O, O, C, P}, 5, 1), (std::vector<uint8_t>{3, 2, 1, 1, 1}));
    // Runs stop at the end of a row.
    EXPECT_EQ(RunsOf({O, O, O, O, P, P}, 3, 2), (std::vector<uint8_t>{3, 2, 1, 1, 2, 1}));
    EXPECT_EQ(RunsOf({O, C, P}, 1, 3), (std::vector<uint8_t>{1, 1, 1}));

    // 300 opaque pixels: 46 bytes of 255 (300 .. 255 capped), then 254 down to 1.
    const std::vector<uint8_t> runs = RunsOf(std::vector<uint32_t>(300, O), 300, 1);
    for (int i = 0; i < 46; ++i)
        ASSERT_EQ(runs[size_t(i)], 255) << i;
    for (int i = 46; i < 300; ++i)
        ASSERT_EQ(runs[size_t(i)], 300 - i) << i;
}

TEST(MemoryImage, PalettiseUpTo256Colours)
{
    std::vector<uint32_t> px(257);
    std::iota(px.begin(), px.end(), 0xFF000000u);
    std::reverse(px.begin(), px.end()); // first appearance order differs from value order

    MemoryImage ok(nullptr);
    ok.SetBits(px.data(), 256, 1); // the first 256 colours
    ASSERT_TRUE(ok.Palletize());
    EXPECT_TRUE(ok.wantPalette);
    EXPECT_EQ(ok.bits, nullptr);
    EXPECT_EQ(ok.colorTable[0], px[0]);
    EXPECT_EQ(ok.colorIndices[5], 5);
    const uint32_t* back = ok.GetBits(); // rebuilt from the palette, which is then dropped
    EXPECT_TRUE(std::equal(back, back + 256, px.begin()));
    EXPECT_EQ(ok.colorTable, nullptr);

    MemoryImage tooMany(nullptr);
    tooMany.SetBits(px.data(), 257, 1);
    EXPECT_FALSE(tooMany.Palletize());
    EXPECT_FALSE(tooMany.wantPalette);
    ASSERT_NE(tooMany.bits, nullptr);
    EXPECT_EQ(tooMany.colorTable, nullptr);
    EXPECT_TRUE(std::equal(px.begin(), px.end(), tooMany.bits.get()));

    // Repeated colours share an entry; indices follow first appearance.
    const uint32_t few[6] = {5, 9, 5, 1, 9, 1};
    MemoryImage small(nullptr);
    small.SetBits(few, 3, 2);
    ASSERT_TRUE(small.Palletize());
    const uint8_t expected[6] = {0, 1, 0, 2, 1, 2};
    EXPECT_TRUE(std::equal(expected, expected + 6, small.colorIndices.get()));
}

TEST(MemoryImage, CopyConstructorCopiesPixelsAndForms)
{
    FakeImageRegistry app;
    const uint32_t px[4] = {1, 2, 3, 0xFF000004};
    MemoryImage src(&app);
    src.SetBits(px, 2, 2);
    src.numRows = 2;
    src.animInfo = std::make_unique<Fw::AnimInfo>();
    src.animInfo->numFrames = 7;
    src.filePath = "a.png";
    src.GetRLAlphaData();
    MemoryImage copy(src);
    EXPECT_EQ(copy.width, 2);
    EXPECT_EQ(copy.numRows, 2);
    ASSERT_NE(copy.animInfo, nullptr);
    EXPECT_NE(copy.animInfo.get(), src.animInfo.get());
    EXPECT_EQ(copy.animInfo->numFrames, 7);
    EXPECT_TRUE(copy.filePath.empty());
    EXPECT_EQ(copy.GetApp(), &app);
    EXPECT_TRUE(std::equal(px, px + 4, copy.bits.get()));
    EXPECT_EQ(copy.bits[4], MemoryImage::kGuard);
    ASSERT_NE(copy.rlAlphaData, nullptr);
    EXPECT_EQ(copy.rlAlphaData[0], src.rlAlphaData[0]);

    // A palette source copies only the palette.
    ASSERT_TRUE(src.Palletize());
    MemoryImage paletteCopy(src);
    EXPECT_EQ(paletteCopy.bits, nullptr);
    ASSERT_NE(paletteCopy.colorTable, nullptr);
    EXPECT_EQ(paletteCopy.GetBits()[3], 0xFF000004u);
}

TEST(MemoryImage, PurgeBitsKeepsNativeDataOnSoftwareDisplay)
{
    Fw::NativeDisplay d;
    d.SetPixelFormat(16, 0xF800, 0x7E0, 0x1F);
    FakeImageRegistry app;
    app.display = &d;
    const uint32_t px[2] = {0xFFFF0000, 0xFF00FF00};
    MemoryImage img(&app);
    img.SetBits(px, 2, 1);
    img.PurgeBits();
    EXPECT_TRUE(img.purgeBits);
    EXPECT_EQ(img.bits, nullptr);
    ASSERT_NE(img.nativeAlphaData, nullptr);
    EXPECT_EQ(img.GetBits()[0], 0xFFF80000u); // back from 565

    // Without a display nothing could be rebuilt: the bits stay.
    FakeImageRegistry noDisplay;
    MemoryImage keep(&noDisplay);
    keep.SetBits(px, 2, 1);
    keep.PurgeBits();
    EXPECT_NE(keep.bits, nullptr);
}

TEST(AnimInfo, Compute)
{
    Fw::AnimInfo pingPong;
    pingPong.animType = Fw::AnimInfo::PingPong;
    pingPong.frameDelay = 10;
    pingPong.Compute(4, 0, 0);
    EXPECT_EQ(pingPong.frameMap, (std::vector<int32_t>{0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(pingPong.numFrames, 6);
    EXPECT_EQ(pingPong.totalAnimTime, 60);

    Fw::AnimInfo single;
    single.animType = Fw::AnimInfo::PingPong;
    single.Compute(1, 0, 0);
    EXPECT_EQ(single.numFrames, 1);
    EXPECT_TRUE(single.frameMap.empty());

    Fw::AnimInfo delays;
    delays.frameDelay = 0; // raised to 1
    delays.Compute(3, 50, 70);
    EXPECT_EQ(delays.perFrameDelay, (std::vector<int32_t>{50, 1, 70}));
    EXPECT_EQ(delays.totalAnimTime, 121);
}

TEST(SharedImageRef, CountsAndCleanUp)
{
    FwTest::ScopedRegistry scoped;
    Fw::SharedImage record;
    MemoryImage image(nullptr);
    record.image = &image;
    {
        Fw::SharedImageRef a(&record);
        Fw::SharedImageRef b(a);
        EXPECT_EQ(record.refCount, 2);
        a = a; // self-assignment keeps the reference
        b = b;
        EXPECT_EQ(record.refCount, 2);
        EXPECT_FALSE(scoped.registry.cleanUpRequested);
        EXPECT_EQ(static_cast<MemoryImage*>(a), &image);
        b.Release();
        EXPECT_EQ(b.GetSharedImage(), nullptr);
        EXPECT_EQ(record.refCount, 1);
    }
    EXPECT_EQ(record.refCount, 0);
    EXPECT_TRUE(scoped.registry.cleanUpRequested);

    // An owned unshared image is deleted on release, and wins the conversion while set.
    Fw::SharedImageRef owner;
    owner.unsharedImage = new MemoryImage(nullptr);
    owner.ownsUnshared = true;
    EXPECT_EQ(static_cast<MemoryImage*>(owner), owner.unsharedImage);
    Fw::SharedImageRef sharer(owner);
    EXPECT_FALSE(sharer.ownsUnshared);
    sharer.Release();
    owner.Release(); // ASan reports a leak if this does not delete
    EXPECT_EQ(owner.unsharedImage, nullptr);
}

} // namespace
