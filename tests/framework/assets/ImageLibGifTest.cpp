#include "framework/assets/ImageLib.h"

#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace TestSupport;

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                        0xFFFFFF, 0x808080, 0x123456, 0xABCDEF};

std::vector<uint8_t> RandomIndices(size_t count, int colours, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (uint8_t& i : indices)
        i = uint8_t(random() % uint32_t(colours));
    return indices;
}

// What the reader should give for indices drawn with palette (index `transparent` clear).
std::vector<uint32_t> Expected(const std::vector<uint8_t>& indices, const std::vector<uint32_t>& palette,
                               int transparent = -1)
{
    std::vector<uint32_t> out;
    for (uint8_t i : indices)
        out.push_back(int(i) == transparent || i >= palette.size() ? 0 : 0xFF000000 | palette[i]);
    return out;
}

std::vector<uint32_t> Decode(const ScratchFolder& folder, const std::vector<uint8_t>& bytes)
{
    folder.Write("test.gif", bytes);
    auto image = ImageLib::ReadGif("test.gif");
    if (!image)
        return {};
    return {image->GetBits(), image->GetBits() + image->Pixels().size()};
}

TEST(GifReader, DecodesPlainInterlacedAndLocalPaletteFiles)
{
    ScratchFolder folder;
    struct Case {
        const char* what;
        int width, height;
        bool interlaced, local, comment;
    } cases[] = {
        {"small", 5, 3, false, false, false},
        {"interlaced, height not a multiple of 8", 7, 11, true, false, false},
        {"interlaced single row", 4, 1, true, false, false},
        {"local colour table after a comment", 6, 4, false, true, true},
        // Many distinct strings: the code size grows to 12 bits and the full table forces clears.
        {"large random image", 160, 120, false, false, false},
        {"large random image, interlaced", 97, 83, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GifFixture gif{c.width,      c.height, kPalette, RandomIndices(size_t(c.width * c.height), 8, 7),
                       c.interlaced, c.local,  -1,       c.comment};
        auto image = ImageLib::ReadGif((folder.Write("case.gif", MakeGif(gif)), "case.gif"));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetWidth(), c.width);
        EXPECT_EQ(image->GetHeight(), c.height);
        EXPECT_EQ(std::vector<uint32_t>(image->GetBits(), image->GetBits() + image->Pixels().size()),
                  Expected(gif.indices, kPalette));
    }
}

TEST(GifReader, InterlacedFileEqualsItsTwin)
{
    ScratchFolder folder;
    GifFixture gif{13, 17, kPalette, RandomIndices(13 * 17, 8, 3), false, false, -1, false};
    const std::vector<uint32_t> plain = Decode(folder, MakeGif(gif));
    gif.interlaced = true;
    const std::vector<uint32_t> interlaced = Decode(folder, MakeGif(gif));
    ASSERT_EQ(plain.size(), size_t(13 * 17));
    EXPECT_EQ(interlaced, plain);
}

TEST(GifReader, TransparentAndOutOfPaletteIndicesAreClear)
{
    ScratchFolder folder;
    const std::vector<uint8_t> indices = {5, 1, 5, 2, 0, 5};
    GifFixture gif{3, 2, kPalette, indices, false, false, 5, false};
    EXPECT_EQ(Decode(folder, MakeGif(gif)), Expected(indices, kPalette, 5));

    // Two palette entries but indices up to 3 (the code size allows them).
    const std::vector<uint32_t> twoColours = {0xFF0000, 0x00FF00};
    GifFixture small{4, 1, twoColours, {0, 1, 2, 3}, false, false, -1, false};
    EXPECT_EQ(Decode(folder, MakeGif(small)), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0, 0}));
}

TEST(GifReader, DataEndingEarlyKeepsTheRowsDecodedSoFar)
{
    ScratchFolder folder;
    GifFixture gif{64, 64, kPalette, RandomIndices(64 * 64, 8, 11), false, false, -1, false};
    std::vector<uint8_t> bytes = MakeGif(gif);
    // Keep the first data sub-block only: header 13, palette 24, descriptor 10, code size 1, block 256.
    ASSERT_GT(bytes.size(), 13u + 24 + 10 + 1 + 256 + 1);
    bytes.resize(13 + 24 + 10 + 1 + 256);
    const std::vector<uint32_t> partial = Decode(folder, bytes);
    const std::vector<uint32_t> expected = Expected(gif.indices, kPalette);
    ASSERT_EQ(partial.size(), expected.size());
    EXPECT_EQ(std::vector<uint32_t>(partial.begin(), partial.begin() + 64),
              std::vector<uint32_t>(expected.begin(), expected.begin() + 64));
    EXPECT_EQ(partial.back(), 0u) << "pixels the data never reached are 0";
}

TEST(GifReader, RejectsWhatIsNotAnImage)
{
    ScratchFolder folder;
    GifFixture gif{2, 2, kPalette, {0, 1, 2, 3}, false, false, -1, false};
    const std::vector<uint8_t> good = MakeGif(gif);
    std::vector<uint8_t> badSignature = good;
    badSignature[4] = '0';
    std::vector<uint8_t> onlyTrailer(good.begin(), good.begin() + 13 + 24);
    onlyTrailer.push_back(';');
    std::vector<uint8_t> zeroWidth = good;
    zeroWidth[13 + 24 + 5] = 0; // image descriptor width
    std::vector<uint8_t> huge = good;
    huge[13 + 24 + 5] = huge[13 + 24 + 6] = huge[13 + 24 + 7] = huge[13 + 24 + 8] = 0xFF;
    for (const auto& bytes : {badSignature, onlyTrailer, zeroWidth, huge, std::vector<uint8_t>{}})
        EXPECT_TRUE(Decode(folder, bytes).empty());
}

} // namespace
