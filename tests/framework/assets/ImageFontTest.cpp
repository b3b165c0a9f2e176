#include "framework/assets/ImageFont.h"

#include "framework/assets/FontData.h"
#include "framework/assets/PakInterface.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include "support/ArchiveFixtures.h"
#include "support/FakeSurfaceDisplay.h"
#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::ImageFont;
using Fw::MemoryImage;
using Fw::Rect;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Glyph strip 32 x 12: A red, V green, B blue, W white, 8 pixels each, all opaque.
std::vector<uint32_t> GlyphPixels()
{
    std::vector<uint32_t> p(32 * 12);
    const uint32_t colors[] = {kRed, kGreen, kBlue, kWhite};
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 32; ++x)
            p[size_t(y * 32 + x)] = colors[x / 8];
    return p;
}

// The shared glyph-strip description; the shadow variant without spacing on "main".
const std::wstring kBase = TestSupport::GlyphStripFont();
const std::wstring kShadow = L"LayerSetSpacing main 0;\n" + TestSupport::GlyphStripShadow();

class ImageFontTest : public ::testing::Test {
protected:
    // The description (base + extra) and the glyph PNG packed into an archive and loaded from it.
    std::unique_ptr<ImageFont> LoadFont(const std::wstring& extra,
                                        const std::vector<uint32_t>& pixels = GlyphPixels())
    {
        const auto png = TestSupport::PngBytes(32, 12, pixels);
        folder.Write("fonts.pak", TestSupport::MakeArchive({
                                      {"fonts\\test.txt", TestSupport::Utf16Le(kBase + extra)},
                                      {"fonts\\glyphs.png", std::string(png.begin(), png.end())},
                                  }));
        pak.reset(); // the old reader must unpublish itself before the new one can publish
        pak = std::make_unique<PakInterface>();
        EXPECT_TRUE(pak->OpenPakArchive("fonts.pak"));
        auto font = std::make_unique<ImageFont>(&images, "fonts\\test.txt");
        EXPECT_TRUE(font->IsLoaded());
        EXPECT_TRUE(capture.popups.empty()) << (capture.popups.empty() ? "" : Fw::WStringToString(capture.popups[0]));
        return font;
    }
    // A cleared width x height target.
    static std::unique_ptr<MemoryImage> Target(int w, int h)
    {
        auto image = std::make_unique<MemoryImage>(nullptr);
        image->Create(w, h);
        image->GetBits();
        return image;
    }
    static uint32_t Pixel(MemoryImage& image, int x, int y) { return image.GetBits()[y * image.GetWidth() + x]; }
    // Modulating a glyph by a colour loses up to one step per channel (x * c >> 8); scaling and
    // the palette form of a scaled glyph up to two more.
    static ::testing::AssertionResult Near(uint32_t got, uint32_t expected)
    {
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = int((got >> shift) & 0xFF), b = int((expected >> shift) & 0xFF);
            if (a < b - 3 || a > b + 3)
                return ::testing::AssertionFailure() << std::hex << "got 0x" << got << ", expected 0x" << expected;
        }
        return ::testing::AssertionSuccess();
    }

    TestSupport::ScratchFolder folder;
    TestSupport::PopupCapture capture;
    TestSupport::TestImageSource images;
    std::unique_ptr<PakInterface> pak;
};

TEST_F(ImageFontTest, MeasuresAndDrawsAtNativeAndHalfSize)
{
    auto font = LoadFont(L"");
    EXPECT_EQ(font->GetAscent(), 10);
    EXPECT_EQ(font->GetHeight(), 12);
    EXPECT_EQ(font->CharWidth(L'A'), 8);
    EXPECT_EQ(font->StringWidth(L"AV"), 8 + 8 + 2 - 4); // spacing and kerning between the two
    EXPECT_EQ(font->StringWidth(L"AB"), 8 + 8 + 2);
    EXPECT_EQ(font->CharWidthKern(L'V', L'A'), 6);
    EXPECT_EQ(font->StringWidth(L""), 0);

    auto target = Target(64, 32);
    Fw::Graphics g(target.get());
    std::vector<Rect> rects;
    int32_t width = -1;
    font->DrawStringEx(&g, 5, 20, L"AV", Color::White, Rect(), &rects, &width);
    EXPECT_EQ(width, font->StringWidth(L"AV"));
    EXPECT_EQ(rects, (std::vector<Rect>{Rect(5, 10, 8, 12), Rect(11, 10, 8, 12)}));
    EXPECT_TRUE(Near(Pixel(*target, 5, 10), kRed));
    EXPECT_TRUE(Near(Pixel(*target, 11, 21), kGreen)); // V drawn over the end of A
    EXPECT_EQ(Pixel(*target, 5, 9), 0u);
    EXPECT_EQ(Pixel(*target, 19, 10), 0u);

    font->SetPointSize(12); // S = 12 / 24 for sizes, offsets, advances and kerning
    EXPECT_EQ(font->GetHeight(), 12); // not rebuilt until measured or drawn
    EXPECT_EQ(font->StringWidth(L"AV"), 4 + 4 + (2 - 4) / 2);
    EXPECT_EQ(font->GetHeight(), 6);
    EXPECT_EQ(font->GetAscent(), 5);

    target = Target(64, 32);
    Fw::Graphics half(target.get());
    font->DrawStringEx(&half, 5, 20, L"AV", Color::White, Rect(), &rects, &width);
    EXPECT_EQ(width, font->StringWidth(L"AV"));
    EXPECT_EQ(rects, (std::vector<Rect>{Rect(5, 15, 4, 6), Rect(8, 15, 4, 6)}));
    EXPECT_TRUE(Near(Pixel(*target, 5, 15), kRed));
    EXPECT_TRUE(Near(Pixel(*target, 11, 20), kGreen));
    EXPECT_EQ(Pixel(*target, 12, 20), 0u);
    EXPECT_EQ(Pixel(*target, 8, 21), 0u);
}

TEST_F(ImageFontTest, OrdersDecideWhatLiesOnTop)
{
    // "AB": B's shadow (order -1) covers column x + 7, the last column of A's face.
    struct Case {
        const wchar_t* orderOfA;
        uint32_t atColumn7;
    };
    const Case cases[] = {
        {L"0", kRed},      // every shadow glyph before any face glyph
        {L"200", kRed},    // clamped into the last bucket
        {L"-300", 0xFF000000}, // clamped into the first bucket: under B's shadow
    };
    for (const auto& c : cases) {
        auto font = LoadFont(kShadow + L"LayerSetCharOrders main ('A') (" + c.orderOfA + L");");
        auto target = Target(40, 20);
        Fw::Graphics g(target.get());
        font->DrawString(&g, 10, 15, L"AB", Color::White, Rect());
        EXPECT_TRUE(Near(Pixel(*target, 17, 10), c.atColumn7)) << c.orderOfA;
        EXPECT_TRUE(Near(Pixel(*target, 18, 10), kBlue)) << c.orderOfA;
        EXPECT_TRUE(Near(Pixel(*target, 9, 10), 0xFF000000u)) << c.orderOfA; // A's shadow
    }
}

TEST_F(ImageFontTest, ManyGlyphsAreAllDrawn)
{
    // 2,100 zero-width A's and a B on two layers: over 4,096 records, the B's face drawn last.
    auto font = LoadFont(L"LayerSetCharWidths main ('A') (0);" + kShadow);
    auto target = Target(30, 20);
    Fw::Graphics g(target.get());
    font->DrawString(&g, 10, 15, std::wstring(2100, L'A') + L"B", Color::White, Rect());
    EXPECT_TRUE(Near(Pixel(*target, 13, 10), kBlue));
}

TEST_F(ImageFontTest, LayerColoursAndColourTags)
{
    auto font = LoadFont(L"LayerSetColorMult main (0.5 1 1 1); LayerSetColorAdd main 0x00003300;");
    auto target = Target(40, 20);
    Fw::Graphics g(target.get());
    font->DrawString(&g, 0, 15, L"W", Color(200, 100, 255, 255), Rect());
    // Per channel min(255, mult x requested / 255 + add), then modulating the white glyph.
    const Color expected(127 * 200 / 255, 100 + 0x33, 255, 255);
    const Color got(Pixel(*target, 3, 10));
    EXPECT_NEAR(got.red, expected.red, 2);
    EXPECT_NEAR(got.green, expected.green, 2);
    EXPECT_NEAR(got.blue, expected.blue, 2);
    EXPECT_EQ(got.alpha, 255);
    EXPECT_FALSE(g.GetColorizeImages()); // restored
    EXPECT_EQ(g.GetColor(), Color::Black);

    auto plain = LoadFont(L"");
    target = Target(40, 20);
    Fw::Graphics tagged(target.get());
    tagged.SetFont(plain.get());
    tagged.SetColor(Color::White);
    tagged.WriteString(L"W^00FF00^W", 0, 15);
    EXPECT_TRUE(Near(Pixel(*target, 3, 10), kWhite));
    EXPECT_EQ(Color(Pixel(*target, 13, 10)).red, 0);
    EXPECT_GE(Color(Pixel(*target, 13, 10)).green, 253);
}

TEST_F(ImageFontTest, TagsPointRangesAndScale)
{
    auto font = LoadFont(L"CreateLayerFrom wide main; LayerRequireTags wide ('Bold');"
                         L"LayerSetCharWidths wide ('A') (12); LayerPointRange wide 0 30;");
    EXPECT_EQ(font->CharWidth(L'A'), 8);
    EXPECT_TRUE(font->AddTag("bold"));
    EXPECT_FALSE(font->AddTag("BOLD"));
    EXPECT_EQ(font->CharWidth(L'A'), 12);
    font->SetPointSize(36); // above the wide layer's range; main scaled by 36 / 24
    EXPECT_EQ(font->CharWidth(L'A'), 12);
    font->SetPointSize(30);
    EXPECT_EQ(font->CharWidth(L'A'), int32_t(12 * 30 / 24.0));
    EXPECT_TRUE(font->RemoveTag("Bold"));
    EXPECT_FALSE(font->RemoveTag("bold"));
    EXPECT_EQ(font->CharWidth(L'A'), 10);

    auto unsized = LoadFont(L"LayerSetPointSize main 0;"); // scaled by the scale only
    unsized->SetPointSize(50);
    EXPECT_EQ(unsized->CharWidth(L'A'), 8);
    unsized->SetScale(0.5);
    unsized->whitenScaledImages = true;
    EXPECT_EQ(unsized->CharWidth(L'A'), 4);
    MemoryImage* scaled = unsized->activeLayers.front().image;
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->GetWidth(), 16);
    EXPECT_EQ(Pixel(*scaled, 1, 1), kWhite); // whitened red glyph, alpha kept

    std::unique_ptr<Fw::Font> copy(unsized->Duplicate());
    auto& copied = static_cast<ImageFont&>(*copy);
    EXPECT_NE(copied.activeLayers.front().image, scaled); // its own copy of the scaled image
    EXPECT_EQ(copied.StringWidth(L"AVB"), unsized->StringWidth(L"AVB"));
    EXPECT_EQ(copied.fontData, unsized->fontData);
}

TEST_F(ImageFontTest, DefinesAndUnloadedFonts)
{
    auto font = LoadFont(L"Define pair ((1 2) 'a' 3);");
    EXPECT_EQ(font->GetDefine(L"pair"), L"((1, 2), a, 3)");
    EXPECT_EQ(font->GetDefine(L"CHARS"), L"(A, V, B, W)");
    EXPECT_EQ(font->GetDefine(L"none"), L"");
    EXPECT_EQ(font->GetDefaultPointSize(), 24);

    ImageFont missing(&images, "no\\such.txt");
    EXPECT_FALSE(missing.IsLoaded());
    auto target = Target(8, 8);
    Fw::Graphics g(target.get());
    int32_t width = -1;
    missing.DrawStringEx(&g, 0, 4, L"AB", Color::White, Rect(), nullptr, &width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(missing.StringWidth(L"AB"), 0);
}

// Onto a surface image the glyphs of a text go in one pass; the surface must end as it ends when
// each glyph is drawn with DrawImage in drawing order (layer colour, colourised), for glyphs with
// clear, partial and opaque pixels, colours with alpha, translation, and clipping at the edges.
TEST_F(ImageFontTest, OneSurfacePassLeavesWhatGlyphByGlyphLeaves)
{
    std::vector<uint32_t> pixels = GlyphPixels();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t& p = pixels[size_t(y * 32 + x)];
            p = (p & 0xFFFFFF) | uint32_t((x * 5 + y * 3) % 7 * 255 / 6) << 24; // clear .. opaque
        }
    auto font = LoadFont(kShadow, pixels);
    ASSERT_EQ(font->activeLayers.size(), 2u);
    ASSERT_TRUE(font->activeLayers.front().image->colorTable) << "glyph images are palette images";
    const std::wstring text = L"AB";
    struct Case {
        Color colour;
        int32_t x, y; // before translation
        Rect clip;    // before translation
        int32_t mode;
    };
    const Case cases[] = {
        {Color::White, 4, 14, Rect(0, 0, 80, 30), Fw::DRAWMODE_NORMAL},
        {Color(200, 100, 50), -7, 6, Rect(0, 0, 80, 30), Fw::DRAWMODE_NORMAL},       // off the left and top
        {Color(90, 200, 255, 120), 20, 30, Rect(0, 0, 80, 30), Fw::DRAWMODE_NORMAL}, // off the right and bottom
        {Color(128, 128, 128, 255), 2, 16, Rect(9, 5, 40, 8), Fw::DRAWMODE_NORMAL},  // a clip inside
        {Color(255, 255, 255, 90), 2, 16, Rect(0, 0, 80, 30), Fw::DRAWMODE_NORMAL},
        {Color(200, 100, 50), 2, 16, Rect(0, 0, 80, 30), Fw::DRAWMODE_ADDITIVE},
    };
    auto channel = [](int32_t mult, int32_t requested, int32_t add) {
        return std::min(255, mult * requested / 255 + add);
    };
    // X888 first: the glyph image keeps the native words of the first display it is drawn for.
    std::vector<FwTest::SurfaceFormatCase> formats(std::begin(FwTest::kSurfaceFormats),
                                                   std::end(FwTest::kSurfaceFormats));
    std::stable_partition(formats.begin(), formats.end(), [](const auto& f) { return f.format.bitCount == 32; });
    for (const FwTest::SurfaceFormatCase& format : formats) {
        for (size_t k = 0; k < std::size(cases); ++k) {
            const Case& c = cases[k];
            FwTest::FakeSurfaceDisplay display(format.format);
            std::vector<uint32_t> background(size_t(80) * 30);
            for (size_t i = 0; i < background.size(); ++i)
                background[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
            auto draw = [&](bool oneGlyphAtATime) {
                Fw::DDImage screen(&display);
                screen.SetBits(background.data(), 80, 30);
                Platform::MemorySurface* surface = FwTest::MemorySurfaceOf(screen);
                Fw::Graphics g(&screen);
                g.Translate(2, -1);
                g.SetClipRect(c.clip.x, c.clip.y, c.clip.width, c.clip.height);
                g.SetDrawMode(c.mode);
                std::vector<Rect> rects;
                if (!oneGlyphAtATime) {
                    font->DrawStringEx(&g, c.x, c.y, text, c.colour, Rect(), &rects, nullptr);
                } else {
                    // The glyph rectangles come character by character, each in layer order; the
                    // shadow layer (order -1) lies under the face layer.
                    Fw::Graphics measure(nullptr);
                    font->DrawStringEx(&measure, c.x, c.y, text, c.colour, Rect(), &rects, nullptr);
                    g.SetColorizeImages(true);
                    for (int order : {-1, 0}) {
                        size_t r = 0;
                        for (wchar_t ch : text)
                            for (const Fw::ActiveFontLayer& layer : font->activeLayers) {
                                const Rect at = rects[r++];
                                if (layer.baseLayer->baseOrder != order)
                                    continue;
                                const Color m = layer.baseLayer->colorMult, a = layer.baseLayer->colorAdd;
                                g.SetColor(Color(channel(m.red, c.colour.red, a.red),
                                                 channel(m.green, c.colour.green, a.green),
                                                 channel(m.blue, c.colour.blue, a.blue),
                                                 channel(m.alpha, c.colour.alpha, a.alpha)));
                                g.DrawImage(layer.image, at.x, at.y, layer.CharRect(ch));
                            }
                    }
                }
                return FwTest::SurfaceWords(*surface, 80, 30);
            };
            const std::vector<uint32_t> one = draw(true);
            ASSERT_EQ(draw(false), one) << format.name << ", case " << k;
            if (format.format.bitCount == 32 && k == 0) {
                // A palette change reaches the next draw (nothing kept from the last one).
                Fw::MemoryImage& glyphs = *font->activeLayers.front().image;
                for (int e = 0; e < 256; ++e)
                    glyphs.colorTable[size_t(e)] ^= 0x00FFFFFFu;
                glyphs.BitsChanged();
                const std::vector<uint32_t> changed = draw(true);
                ASSERT_NE(changed, one);
                ASSERT_EQ(draw(false), changed) << "after the palette change";
            }
        }
    }
}

} // namespace
