// A tiny file declaring a huge image must be refused before the image is allocated: each reader
// checks that the stream could hold data for the declared size. The sanitizer's allocation hook
// records the largest block asked for while the file loads.
#include "framework/assets/ImageLib.h"

#include "support/FontFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <zlib.h>

#if defined(__SANITIZE_ADDRESS__)
#define FW_HAVE_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FW_HAVE_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef FW_HAVE_ALLOCATION_HOOKS
// From the sanitizers' allocator interface (not every compiler installs its header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#endif

namespace {

std::atomic<size_t> gLargest{0};

#ifdef FW_HAVE_ALLOCATION_HOOKS
void OnMalloc(const volatile void*, size_t size)
{
    size_t seen = gLargest.load();
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
}
void OnFree(const volatile void*) {}
#endif

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * (count - 1 - i)));
}

// 16384 x 4096: the largest image the limits allow (256 MiB of pixels).
constexpr uint32_t kWide = 16384, kHigh = 4096;

std::vector<uint8_t> HugePng()
{
    std::vector<uint8_t> png = TestSupport::PngBytes(2, 2, {1, 2, 3, 4});
    PutBigEndian(png, 16, kWide, 4); // IHDR data starts after the signature, length and type
    PutBigEndian(png, 20, kHigh, 4);
    PutBigEndian(png, 29, uint32_t(crc32(0, png.data() + 12, 17)), 4);
    return png;
}

std::vector<uint8_t> HugeJpeg()
{
    TestSupport::TempFolder temp;
    TestSupport::WriteJpegFixture(temp.File("a.jpg"), 8, 8, 1, std::vector<uint8_t>(64, 128));
    const std::string text = TestSupport::ReadFileBytes(temp.File("a.jpg"));
    std::vector<uint8_t> jpeg(text.begin(), text.end());
    for (size_t i = 0; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) { // start of frame: length, precision, height, width
            PutBigEndian(jpeg, i + 5, kHigh, 2);
            PutBigEndian(jpeg, i + 7, kWide, 2);
            break;
        }
    return jpeg;
}

std::vector<uint8_t> HugeGif()
{
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x40, 0x00, 0x10, 0, 0, 0,
                                ',', 0, 0, 0, 0, 0x00, 0x40, 0x00, 0x10, 0, 2, 2, 0x4C, 0x01, 0, ';'};
    return gif;
}

TEST(ImageLibSizeCheck, TinyFilesDeclaringTheLargestImageAreRefusedBeforeAllocating)
{
#ifndef FW_HAVE_ALLOCATION_HOOKS
    GTEST_SKIP() << "needs the sanitizer's allocation hooks";
#else
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    ASSERT_TRUE(installed);
    TestSupport::ScratchFolder folder;
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"huge.png", HugePng()},
        {"huge.jpg", HugeJpeg()},
        {"huge.gif", HugeGif()},
        {"huge.tga", TestSupport::MakeTga(int(kWide), int(kHigh), 32, 0x28, std::vector<uint8_t>(64, 7))},
    };
    for (const Case& c : cases) {
        folder.Write(c.name, c.bytes);
        gLargest = 0;
        const auto image = ImageLib::LoadImageFile(c.name, false);
        EXPECT_EQ(image, nullptr) << c.name;
        EXPECT_LT(gLargest.load(), size_t(16) << 20) << c.name << " of " << c.bytes.size() << " bytes";
    }
    // A small image cut short still loads, its missing pixels 0.
    folder.Write("small.tga", TestSupport::MakeTga(100, 100, 32, 0x28, std::vector<uint8_t>(8, 9)));
    const auto small = ImageLib::LoadImageFile("small.tga", false);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Pixel(0, 0), 0x09090909u);
    EXPECT_EQ(small->Pixel(99, 99), 0u);
#endif
}

} // namespace
