// The engine's font catalogue: which "font" elements make which fonts, scales, and names.
#include "engine/core/FontCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "framework/assets/ImageFont.h"
#include "framework/assets/PakInterface.h"
#include "framework/assets/SysFont.h"

#include "support/ArchiveFixtures.h"
#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A one-layer description whose glyph image is "glyph.png" beside it.
const std::wstring kDescription = L"SetDefaultPointSize 12;\n"
                                  L"Define chars ('A');\n"
                                  L"CreateLayer main;\n"
                                  L"LayerSetImage main 'glyph.png';\n"
                                  L"LayerSetPointSize main 12;\n"
                                  L"LayerSetAscent main 6;\n"
                                  L"LayerSetHeight main 8;\n"
                                  L"LayerSetImageMap main chars ((0 0 4 8));\n"
                                  L"LayerSetCharWidths main chars (4);\n";

class FontCatalogueTest : public testing::Test {
protected:
    FontCatalogueTest()
    {
        const auto png = TestSupport::PngBytes(4, 8, std::vector<uint32_t>(32, 0xFFFFFFFF));
        folder.Write("fonts.pak", TestSupport::MakeArchive({
                                      {"fonts\\title.txt", TestSupport::Utf16Le(kDescription)},
                                      {"fonts\\glyph.png", std::string(png.begin(), png.end())},
                                  }));
        pak = std::make_unique<PakInterface>();
        EXPECT_TRUE(pak->OpenPakArchive("fonts.pak"));
    }

    void Load(const std::string& xml)
    {
        Platform::XmlDocument document;
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document)) << xml;
        fonts.LoadFromXml(document.DocumentElement());
    }

    TestSupport::ScratchFolder folder;
    std::unique_ptr<PakInterface> pak;
    TestSupport::PopupCapture popups;
    TestSupport::TestImageSource images;
    VTFont fonts{&images};
};

TEST_F(FontCatalogueTest, TypesMakeSystemAndImageFontsExactly)
{
    Load("<root>"
         "<font name='sys' type='System' face='DejaVu Sans' size='12' bold='1'/>"
         "<font name='lower' type='system' face='DejaVu Sans' size='12'/>"
         "<font name='img' type='Image' face='fonts\\title.txt'/>"
         "<font name='half' type='Image' face='fonts\\title.txt' scale='0.5'/>"
         "<font name='other' type='Bitmap' face='x'/>"
         "<other name='notfont' type='System' face='DejaVu Sans'/>"
         "</root>");

    auto* sys = dynamic_cast<Fw::SysFont*>(fonts.GetFont("sys"));
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(sys->request.faceName, "DejaVu Sans");
    EXPECT_EQ(sys->request.pixelHeight, 16) << "12 points";
    EXPECT_TRUE(sys->request.bold);
    EXPECT_FALSE(sys->request.italic);

    EXPECT_EQ(fonts.GetFont("lower"), nullptr) << "\"system\" in lower case makes nothing";
    EXPECT_EQ(fonts.GetFont("other"), nullptr);
    EXPECT_EQ(fonts.GetFont("notfont"), nullptr);

    auto* image = dynamic_cast<Fw::ImageFont*>(fonts.GetFont("img"));
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->IsLoaded());
    EXPECT_EQ(image->scale, 1.0) << "no \"scale\": 1.0";
    EXPECT_TRUE(image->activeLayersCurrent) << "prepared";
    auto* half = dynamic_cast<Fw::ImageFont*>(fonts.GetFont("half"));
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->scale, 0.5);
    EXPECT_TRUE(popups.popups.empty());
}

TEST_F(FontCatalogueTest, ALaterFontOfTheSameNameReplacesTheEarlier)
{
    // The replaced font is deleted (the leak checker would report it otherwise).
    Load("<root>"
         "<font name='title' type='Image' face='fonts\\title.txt'/>"
         "<font name='title' type='System' face='DejaVu Sans' size='10'/>"
         "</root>");
    EXPECT_NE(dynamic_cast<Fw::SysFont*>(fonts.GetFont("title")), nullptr);

    EXPECT_EQ(fonts.GetFont("undefined"), nullptr);
    EXPECT_EQ(fonts.GetFont("undefined"), nullptr) << "the lookup enters nothing";
}

} // namespace
