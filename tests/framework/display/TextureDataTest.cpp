// Texture records: the piece-size table, grids under the renderer's limits, format choice, the
// upload and read-back converters and re-upload into existing pieces, on the software device.
#include "framework/display/TextureData.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/MemorySurface.h"
#include "platform/SoftwareDevice3D.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Fw;
using namespace Platform;

namespace {

struct RecordingCheck : D3DErrorCheck {
    std::vector<std::string> failures;
    bool CheckDXError(HRESULT hr, const std::string& label) override
    {
        if (Succeeded(hr))
            return false;
        failures.push_back(label);
        return true;
    }
};

struct DeviceFixture {
    Surface* target = nullptr;
    std::unique_ptr<SoftwareDevice3D> device;
    RendererLimits limits;
    RecordingCheck check;
    explicit DeviceFixture(SoftwareDevice3D::Options options = {})
    {
        MemorySurface::Create(64, 64, kFormatX8R8G8B8, DDSCAPS_3DDEVICE, 0, &target);
        device = std::make_unique<SoftwareDevice3D>(target, options);
        Device3DCaps caps;
        device->GetCaps(caps);
        limits.SetFromCaps(caps);
        for (uint32_t f : options.formats)
            limits.formats |= f;
    }
    ~DeviceFixture() { target->Release(); }
};

uint32_t Texel(const Texture3D& t, int32_t x, int32_t y)
{
    TextureLock lock;
    auto& tex = const_cast<Texture3D&>(t);
    EXPECT_EQ(tex.Lock(lock), DD_OK);
    const uint8_t* p = static_cast<const uint8_t*>(lock.bits) + y * lock.pitch;
    uint32_t v = 0;
    std::memcpy(&v, p + x * TextureBytesPerTexel(t.Format()), size_t(TextureBytesPerTexel(t.Format())));
    tex.Unlock();
    return v;
}

void FillImage(MemoryImage& image, int32_t w, int32_t h, uint32_t (*pixel)(int32_t, int32_t))
{
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            px[size_t(y) * size_t(w) + size_t(x)] = pixel(x, y);
    image.SetBits(px.data(), w, h);
}

} // namespace

TEST(TextureData, PieceSizeTable)
{
    const std::pair<int32_t, int32_t> cases[] = {{1, 1},     {40, 64},   {65, 128},  {100, 128},
                                                 {129, 128}, {180, 128}, {200, 256}, {300, 256},
                                                 {400, 128}, {600, 64},  {640, 512}, {1100, 64}};
    for (auto [n, p] : cases)
        EXPECT_EQ(PieceSizeFor(n), p) << "n = " << n;
}

TEST(TextureData, GridsUnderTheLimits)
{
    RendererLimits limits;
    limits.SetFromCaps({1, 1, 4096, 4096, 4, false});
    MemoryImage square(nullptr);
    square.Create(100, 100);
    TextureData a;
    a.CreateTextureDimensions(limits, square);
    EXPECT_EQ(a.columns * a.rows, 1);
    EXPECT_EQ(a.Piece(0, 0).width, 128);
    EXPECT_EQ(a.Piece(0, 0).height, 128);
    EXPECT_FLOAT_EQ(a.maxTotalU, 0.78125f);
    EXPECT_FLOAT_EQ(a.maxTotalV, 0.78125f);

    MemoryImage wide(nullptr);
    wide.Create(300, 40);
    TextureData b;
    b.CreateTextureDimensions(limits, wide);
    ASSERT_EQ(b.columns, 2);
    ASSERT_EQ(b.rows, 1);
    EXPECT_EQ(b.pieceWidth, 256);
    EXPECT_EQ(b.pieceHeight, 64);
    EXPECT_EQ(b.Piece(1, 0).width, 64) << "44 rounded up to a power of two";
    EXPECT_EQ(b.Piece(1, 0).height, 64);

    TextureData c;
    c.d3dFlags = kD3DPieces64;
    c.CreateTextureDimensions(limits, wide);
    EXPECT_EQ(c.pieceWidth, 64);
    EXPECT_EQ(c.columns, 5);

    // A width of 1 rises to the minimum; an impossible aspect limit ends at the maximum size.
    RendererLimits tight;
    tight.SetFromCaps({8, 8, 16, 16, 1, false});
    int32_t w = 1, h = 1;
    GetBestTextureDimensions(tight, w, h, true, true, 0);
    EXPECT_EQ(w, 8);
    w = 4096, h = 1;
    GetBestTextureDimensions(tight, w, h, true, true, 0);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
}

TEST(TextureData, FormatChoiceConvertersAndReadBack)
{
    struct Case {
        const char* what;
        uint32_t pixel;
        int32_t d3dFlags;
        uint32_t format, texel, readBack;
    } cases[] = {
        {"opaque with default flags stays 32-bit", 0xFF123456, 8, kTexA8R8G8B8, 0xFF123456, 0xFF123456},
        {"opaque allowed 565", 0xFF8C4A21, 0, kTexR5G6B5, 0x8A44, 0xFF884820},
        {"alpha prefers 4444 on request", 0x80A5C3E1, 8 | 4, kTexA4R4G4B4, 0x8ACE, 0xFFA0C0E0},
    };
    for (const Case& c : cases) {
        DeviceFixture f;
        MemoryImage image(nullptr);
        static uint32_t value;
        value = c.pixel;
        FillImage(image, 3, 3, [](int32_t, int32_t) { return value; });
        image.d3dFlags = c.d3dFlags;
        TextureData data;
        ASSERT_EQ(data.CreateTextures(image, *f.device, f.limits, f.check), c.format) << c.what;
        EXPECT_EQ(Texel(*data.Piece(0, 0).texture, 1, 1), c.texel) << c.what;
        // The column and row after the image repeat its edge.
        EXPECT_EQ(Texel(*data.Piece(0, 0).texture, 3, 3), c.texel) << c.what;
        std::fill(image.bits.get(), image.bits.get() + 9, 0u);
        ASSERT_TRUE(data.RecoverBits(image, f.check)) << c.what;
        EXPECT_EQ(image.bits[4], c.readBack) << c.what;
    }
}

TEST(TextureData, ChangedPixelReuploadsIntoTheSamePieces)
{
    DeviceFixture f;
    MemoryImage image(nullptr);
    FillImage(image, 100, 70, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x + y); });
    TextureData data;
    data.CheckCreateTextures(image, *f.device, f.limits, f.check);
    ASSERT_NE(data.format, 0u);
    const Texture3D* before = data.Piece(0, 0).texture.get();
    const size_t created = f.device->CallsOf("CreateTexture").size();
    data.CheckCreateTextures(image, *f.device, f.limits, f.check);
    EXPECT_EQ(f.device->CallsOf("CreateTexture").size(), created) << "unchanged image: nothing happens";

    image.GetBits()[5] = 0xFFABCDEF;
    image.BitsChanged();
    data.CheckCreateTextures(image, *f.device, f.limits, f.check);
    EXPECT_EQ(data.Piece(0, 0).texture.get(), before);
    EXPECT_EQ(f.device->CallsOf("CreateTexture").size(), created);
    EXPECT_EQ(Texel(*data.Piece(0, 0).texture, 5, 0), 0xFFABCDEFu);
    EXPECT_EQ(data.bitsChangedCount, image.bitsChangedCount);
}

TEST(TextureData, FailedCreationLeavesNoFormatAndFailedLockIsReported)
{
    DeviceFixture f;
    MemoryImage image(nullptr);
    FillImage(image, 8, 8, [](int32_t, int32_t) { return 0xFF102030u; });
    f.device->InjectFailure("CreateTexture", DDERR_OUTOFMEMORY);
    TextureData data;
    EXPECT_EQ(data.CreateTextures(image, *f.device, f.limits, f.check), 0u);
    EXPECT_EQ(data.format, 0u);
    f.device->InjectFailure("LockTexture", DDERR_SURFACELOST);
    EXPECT_EQ(data.CreateTextures(image, *f.device, f.limits, f.check), kTexA8R8G8B8);
    EXPECT_EQ(f.check.failures, std::vector<std::string>{"Lock Texture"});
}
