#include "framework/assets/ResourceManager.h"

#include "framework/assets/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using Fw::ResourceManager;
using Fw::XmlReader;

// Parses one section (the text between a "Resources" start and end element) read from r.xml.
class ResourceManagerTest : public ::testing::Test {
protected:
    bool Parse(const std::wstring& section, const std::string& group = "g")
    {
        reader = std::make_unique<XmlReader>(L"<Resources>\n" + section + L"</Resources>", "r.xml");
        Fw::XmlReaderNode node;
        EXPECT_TRUE(reader->NextElement(node));
        return rm.ParseResources(*reader, group);
    }
    const ResourceManager::ImageRes* Image(const std::string& id)
    {
        auto it = rm.Images().find(id);
        return it == rm.Images().end() ? nullptr : static_cast<const ResourceManager::ImageRes*>(it->second.get());
    }

    TestSupport::ScratchFolder folder; // current folder while the test runs
    TestSupport::TestImageSource images;
    ResourceManager rm{&images, nullptr};
    std::unique_ptr<XmlReader> reader;
};

TEST_F(ResourceManagerTest, DefaultsBuildIdsAndPaths)
{
    ASSERT_TRUE(Parse(L"<SetDefaults path=\"res\" idprefix=\"IMG_\"/>\n"
                      L"<Image path=\"images/ball\"/>\n"
                      L"<Image path=\"!program\" id=\"prog\"/>\n"
                      L"<Image path=\"x.png\" id=\"anim\" anim=\"Loop\" rows=\"2\" cols=\"4\" framedelay=\"50\"/>\n"
                      L"<Sound path=\"s.ogg\"/>\n"));
    const auto* ball = Image("IMG_ball");
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->path, "res/images/ball");
    EXPECT_EQ(ball->group, "g");
    ASSERT_NE(Image("IMG_prog"), nullptr);
    EXPECT_TRUE(Image("IMG_prog")->fromProgram);
    EXPECT_EQ(Image("IMG_prog")->path, "!program");
    const auto* anim = Image("IMG_anim");
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->anim.animType, 3);
    EXPECT_EQ(anim->anim.numFrames, 4);
    EXPECT_FALSE(rm.HadError());
}

TEST_F(ResourceManagerTest, ErrorTexts)
{
    struct Case { const wchar_t* section; const char* error; };
    const Case cases[] = {
        {L"<Image path=\"a\"/>\n<Image path=\"b\" id=\"a\"/>\n", "Resource already defined. on Line 3 in File 'r.xml'"},
        {L"<Image id=\"a\"/>\n", "No path specified. on Line 2 in File 'r.xml'"},
        {L"<Image path=\"a\" anim=\"bounce\"/>\n", "Invalid animation type. on Line 2 in File 'r.xml'"},
        {L"<Font path=\"!sys:Arial\"/>\n", "SysFont needs point size on Line 2 in File 'r.xml'"},
        {L"<Music path=\"a\"/>\n", "Invalid Section 'Music' on Line 2 in File 'r.xml'"},
        {L"hello\n", "Element Not Expected 'hello\n' on Line 3 in File 'r.xml'"},
        {L"<Image path=\"a\"><x/></Image>\n", "Unexpected element found. on Line 2 in File 'r.xml'"},
        {L"<Image path=\"a\"></Font>\n", "End 'Font' Doesn't Match Start 'Image' on Line 2 in File 'r.xml'"},
    };
    for (const auto& c : cases) {
        ResourceManager fresh(&images, nullptr);
        XmlReader r(std::wstring(L"<Resources>\n") + c.section + L"</Resources>", "r.xml");
        Fw::XmlReaderNode node;
        ASSERT_TRUE(r.NextElement(node));
        EXPECT_FALSE(fresh.ParseResources(r, "g"));
        EXPECT_EQ(fresh.GetErrorText(), c.error);
    }
}

TEST_F(ResourceManagerTest, ErrorsAreSticky)
{
    EXPECT_FALSE(Parse(L"<Image id=\"a\"/>\n"));
    EXPECT_FALSE(rm.Fail("second"));
    EXPECT_EQ(rm.GetErrorText(), "No path specified. on Line 2 in File 'r.xml'");
    EXPECT_FALSE(rm.LoadResources("g")) << "after an error nothing more loads";
    try {
        ResourceManager fresh(&images, nullptr);
        fresh.GetImageThrow("x");
        ADD_FAILURE() << "no exception";
    } catch (const Fw::ResourceManagerException& e) {
        EXPECT_STREQ(e.what(), "Image resource not found: x");
    }
}

TEST_F(ResourceManagerTest, GroupLoadAppliesAlphaFilesAndAnimation)
{
    // Images come from files, so the first acquisition makes them (only new images take alpha files).
    folder.Write("res/pic.png", TestSupport::PngBytes(4, 2, std::vector<uint32_t>(8, 0xFF102030)));
    std::vector<uint32_t> alpha(8, 0xFF000000);
    alpha[1] = 0xFF000080;
    folder.Write("res/pic_a.png", TestSupport::PngBytes(4, 2, alpha));
    folder.Write("res/cell.png", TestSupport::PngBytes(2, 2, {0xFF000011, 0xFF000022, 0xFF000033, 0xFF000044}));
    folder.Write("res/sheet.png", TestSupport::PngBytes(4, 2, std::vector<uint32_t>(8, 0xFFFFFFFF)));
    ASSERT_TRUE(Parse(L"<SetDefaults path=\"res\"/>\n"
                      L"<Image path=\"pic\" alphaimage=\"pic_a.png\" nopal=\"1\" a8r8g8b8=\"1\"/>\n"
                      L"<Image path=\"sheet\" alphagrid=\"cell.png\" cols=\"2\" anim=\"once\" nopal=\"1\"/>\n"));
    ASSERT_TRUE(rm.LoadResources("g")) << rm.GetErrorText();
    EXPECT_TRUE(rm.IsGroupLoaded("g"));

    Fw::MemoryImage* pic = rm.GetImageThrow("pic").GetSharedImage();
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->GetBits()[0], 0x00102030u);
    EXPECT_EQ(pic->GetBits()[1], 0x80102030u);
    EXPECT_NE(pic->d3dFlags & 8, 0);

    Fw::MemoryImage* sheet = rm.GetImageThrow("sheet").GetSharedImage();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->numCols, 2);
    ASSERT_NE(sheet->animInfo, nullptr);
    EXPECT_EQ(sheet->animInfo->animType, 1);
    // Both 2x2 cells take the grid's blue bytes as alpha.
    EXPECT_EQ(sheet->GetBits()[0] >> 24, 0x11u);
    EXPECT_EQ(sheet->GetBits()[2] >> 24, 0x11u);
    EXPECT_EQ(sheet->GetBits()[7] >> 24, 0x44u);

    rm.UnloadResources("g");
    EXPECT_FALSE(rm.IsGroupLoaded("g"));
    EXPECT_THROW(rm.GetImageThrow("pic"), Fw::ResourceManagerException);
}

TEST_F(ResourceManagerTest, LoadFailures)
{
    struct Case { const wchar_t* section; const char* error; };
    const Case cases[] = {
        {L"<Image path=\"missing\"/>\n", "Failed to load image: missing"},
        {L"<Image path=\"pic\" alphaimage=\"small.png\"/>\n", "AlphaImage size mismatch between pic and small.png"},
        {L"<Image path=\"pic\" alphagrid=\"small.png\" rows=\"0\"/>\n",
         "GridAlphaImage size mismatch between pic and small.png"},
        {L"<Font path=\"f.txt\" image=\"x.png\"/>\n", "Failed to load font: f.txt"},
        {L"<Font path=\"!ref:nothing\"/>\n", "Ref font not found: nothing"},
        {L"<Font path=\"nofile.txt\"/>\n", "Failed to load font: nofile.txt"},
    };
    folder.Write("small.png", TestSupport::PngBytes(1, 1, {0xFFFFFFFF}));
    folder.Write("pic.png", TestSupport::PngBytes(4, 2, std::vector<uint32_t>(8, 0xFFFFFFFF)));
    for (const auto& c : cases) {
        TestSupport::TestImageSource source;
        ResourceManager fresh(&source, nullptr);
        XmlReader r(std::wstring(L"<Resources>\n") + c.section + L"</Resources>", "r.xml");
        Fw::XmlReaderNode node;
        ASSERT_TRUE(r.NextElement(node));
        ASSERT_TRUE(fresh.ParseResources(r, "g")) << fresh.GetErrorText();
        EXPECT_FALSE(fresh.LoadResources("g"));
        EXPECT_EQ(fresh.GetErrorText(), c.error);
    }
}

TEST_F(ResourceManagerTest, FontsLoadFromDescriptionsAndReferences)
{
    folder.Write("glyphs.png", TestSupport::PngBytes(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF)));
    folder.Write("f.txt", TestSupport::Utf16Le(L"CreateLayer main;\nLayerSetImage main 'glyphs.png';\n"
                                               L"LayerSetAscent main 2;\nLayerSetHeight main 2;\n"));
    ASSERT_TRUE(Parse(L"<Font path=\"f.txt\" id=\"body\" tags=\"Bold, Shadow\"/>\n"
                      L"<Font path=\"!ref:body\" id=\"copy\"/>\n"
                      L"<Font path=\"!sys:Sans\" id=\"sys\" size=\"12\" bold=\"1\"/>\n"
                      L"<Font path=\"!ref:sys\" id=\"syscopy\"/>\n"));
    ASSERT_TRUE(rm.LoadResources("g")) << rm.GetErrorText();
    auto* body = dynamic_cast<Fw::ImageFont*>(rm.GetFontThrow("body"));
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(body->HasTag("BOLD"));
    EXPECT_TRUE(body->HasTag("Shadow"));
    EXPECT_NE(rm.GetFontThrow("copy"), body);
    EXPECT_NE(dynamic_cast<Fw::ImageFont*>(rm.GetFontThrow("copy")), nullptr);
    EXPECT_NE(rm.GetFontThrow("sys"), nullptr);
    // A reference to a system font duplicates it as well.
    EXPECT_NE(rm.GetFontThrow("syscopy"), nullptr);
    EXPECT_NE(rm.GetFontThrow("syscopy"), rm.GetFontThrow("sys"));
    EXPECT_THROW(rm.GetFontThrow("none"), Fw::ResourceManagerException);
}

TEST_F(ResourceManagerTest, AFileEndingInsideASectionIsRefusedWithAReason)
{
    folder.Write("res.xml", "<ResourceManifest>\n  <Resources id=\"Init\">\n    <Image path=\"a\"/>\n");
    EXPECT_FALSE(rm.ParseResourcesFile("res.xml"));
    EXPECT_TRUE(rm.HadError());
    EXPECT_NE(rm.GetErrorText().find("Unexpected End of File"), std::string::npos) << rm.GetErrorText();
}

TEST_F(ResourceManagerTest, ResourceFilesNameTheirGroups)
{
    folder.Write("res.xml", "<ResourceManifest>\n"
                            "  <Resources id=\"Init\">\n    <Image path=\"a\"/>\n  </Resources>\n"
                            "  <Resources id=\"Game\">\n    <Image path=\"b\"/>\n  </Resources>\n"
                            "</ResourceManifest>\n");
    ASSERT_TRUE(rm.ParseResourcesFile("res.xml")) << rm.GetErrorText();
    EXPECT_EQ(Image("a")->group, "Init");
    EXPECT_EQ(Image("b")->group, "Game");
}

TEST_F(ResourceManagerTest, ResourceFilesEndingInsideElementsFail)
{
    struct Case { const char* xml; const char* error; };
    const Case cases[] = {
        {"<Resources id=\"g\">\n<Image path=\"a\"/>\n", "Unexpected End of File on Line 3 in File 'e.xml'"},
        {"<Resources id=\"g\">\n<Image path=\"a\">", "Unexpected End of File on Line 2 in File 'e.xml'"},
        {"<Root>\n<Resources id=\"g\"></Resources>\n", "Unexpected End of File on Line 3 in File 'e.xml'"},
    };
    for (const auto& c : cases) {
        folder.Write("e.xml", c.xml);
        ResourceManager fresh(&images, nullptr);
        EXPECT_FALSE(fresh.ParseResourcesFile("e.xml")) << c.xml;
        EXPECT_TRUE(fresh.HadError()) << c.xml;
        EXPECT_EQ(fresh.GetErrorText(), c.error);
    }
}

} // namespace
