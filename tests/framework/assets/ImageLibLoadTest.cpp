#include "framework/assets/ImageLib.h"
#include "framework/assets/PakInterface.h"

#include "support/ArchiveFixtures.h"
#include "support/ImageFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using ImageLib::Image;
using namespace TestSupport;

// A PNG of width x height pixels all equal to pixel, written to name.
void WriteFlatPng(const std::string& name, int width, int height, uint32_t pixel)
{
    const std::filesystem::path path(name);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    Image image(width, height);
    image.Pixels().assign(size_t(width * height), pixel);
    ASSERT_TRUE(ImageLib::WritePng(name, image));
}

uint32_t FirstPixel(const std::unique_ptr<Image>& image)
{
    return image ? image->GetBits()[0] : 0xDEADBEEF;
}

TEST(LoadImageFile, AlphaCompanionFiles)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, uint32_t>> files; // PNGs of 2 x 2 flat pixels; "@" files are 3 x 3
        std::string name;
        uint32_t composeColour;
        uint32_t expected; // first pixel, 0xDEADBEEF for no image
    } cases[] = {
        {"mask's blue becomes alpha",
         {{"ui/button.png", 0xFF102030}, {"ui/_button.png", 0xFF0000AB}},
         "ui\\button.png",
         0xFFFFFF,
         0xAB102030},
        {"extension-less name tries every reader",
         {{"ui/button.png", 0xFF102030}, {"ui/_button.png", 0x00FFFF40}},
         "ui\\button",
         0xFFFFFF,
         0x40102030},
        {"only the mask: white with its blue as alpha",
         {{"ui/_mask.png", 0xFF000077}},
         "ui\\mask.png",
         0xFFFFFF,
         0x77FFFFFF},
        {"only the mask with another compose colour",
         {{"ui/_mask.png", 0xFF000077}},
         "ui\\mask.png",
         0x80123456,
         0x77123456},
        {"name_ when _name is missing",
         {{"ui/panel.png", 0xFF010203}, {"ui/panel_.png", 0xFF000055}},
         "ui\\panel",
         0xFFFFFF,
         0x55010203},
        {"sizes differ: main image kept",
         {{"ui/button.png", 0x80102030}, {"@ui/_button.png", 0xFF0000AB}},
         "ui\\button.png",
         0xFFFFFF,
         0x80102030},
        {"no alpha file: main image as read", {{"plain.png", 0x80102030}}, "plain.png", 0xFFFFFF, 0x80102030},
        {"a name in the top folder",
         {{"top.png", 0xFF102030}, {"_top.png", 0xFF000011}},
         "top.png",
         0xFFFFFF,
         0x11102030},
        {"letter case of the extension",
         {{"ui/Shout.png", 0xFF445566}},
         "UI\\SHOUT.PNG",
         0xFFFFFF,
         0xFF445566},
        {".bmp loads nothing", {{"pic.bmp", 0xFF102030}}, "pic.bmp", 0xFFFFFF, 0xDEADBEEF},
        {".jpeg is not .jpg", {{"pic.jpeg", 0xFF102030}}, "pic.jpeg", 0xFFFFFF, 0xDEADBEEF},
        {"nothing at all", {}, "missing.png", 0xFFFFFF, 0xDEADBEEF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        for (const auto& [file, pixel] : c.files) {
            const bool large = file[0] == '@';
            WriteFlatPng(file.substr(large ? 1 : 0), large ? 3 : 2, large ? 3 : 2, pixel);
        }
        EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile(c.name, true, c.composeColour)), c.expected);
    }
}

TEST(LoadImageFile, WithoutAlphaLookupTheMaskIsIgnored)
{
    ScratchFolder folder;
    WriteFlatPng("ui/button.png", 2, 2, 0xFF102030);
    WriteFlatPng("ui/_button.png", 2, 2, 0xFF0000AB);
    EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile("ui/button.png", false)), 0xFF102030u);
}

TEST(LoadImageFile, JpegWithAMaskBecomesTranslucent)
{
    ScratchFolder folder;
    std::filesystem::create_directory("ui");
    WriteJpegFixture("ui/button.jpg", 8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 200));
    WriteJpegFixture("ui/_button.jpg", 8, 8, 1, std::vector<uint8_t>(8 * 8, 128));
    auto image = ImageLib::LoadImageFile("ui\\button.jpg", true);
    ASSERT_NE(image, nullptr);
    EXPECT_NEAR(int(image->GetBits()[0] >> 24), 128, 2);
    EXPECT_NEAR(int(image->GetBits()[0] & 0xFF), 200, 2);
}

TEST(LoadImageFile, ExtensionlessNamesTryReadersInOrder)
{
    ScratchFolder folder;
    WriteFlatPng("pic.png", 2, 2, 0xFF00FF00);
    folder.Write("pic.gif", MakeGif({2, 2, {0xFF0000}, {0, 0, 0, 0}, false, false, -1, false}));
    EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile("pic", false)), 0xFF00FF00u) << "PNG comes before GIF";
    folder.Write("pic.tga", MakeTga(1, 1, 32, 0x28, {1, 2, 3, 4}));
    EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile("pic", false)), 0x04030201u) << "TGA comes first";
    folder.Write("other.gif", MakeGif({2, 2, {0xFF0000}, {0, 0, 0, 0}, false, false, -1, false}));
    EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile("other", false)), 0xFFFF0000u);
}

TEST(LoadImageFile, ReadsImagesInsideArchives)
{
    ScratchFolder folder;
    WriteFlatPng("tmp/a.png", 2, 2, 0xFF0A0B0C);
    WriteFlatPng("tmp/_a.png", 2, 2, 0xFF000033);
    const auto png = ReadFileBytes("tmp/a.png");
    const auto mask = ReadFileBytes("tmp/_a.png");
    folder.Write("data.pak", MakeArchive({{"img\\A.png", png}, {"img\\_A.png", mask}}));
    PakInterface pak;
    ASSERT_TRUE(pak.OpenPakArchive("data.pak"));
    EXPECT_EQ(FirstPixel(ImageLib::LoadImageFile("IMG/a.png", true)), 0x330A0B0Cu);
}

} // namespace
