// One scene of text: a layered image font (shadow, face and an additive glow, glyphs made from a
// system typeface and loaded from an archive) at its own size and scaled, with colour tags, and
// system-font lines with shadow and styles; drawn into a memory image and onto a 32-bit surface,
// which must show the same picture. With FW_FONT_SCENE_DIR set, both are written there as PNG
// files for looking at.
#include "framework/assets/ImageFont.h"
#include "framework/assets/ImageLib.h"
#include "framework/assets/PakInterface.h"
#include "framework/assets/SysFont.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "platform/linux/FreeTypeFonts.h"

#include "support/ArchiveFixtures.h"
#include "support/FakeSurfaceDisplay.h"
#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int W = 480, H = 200;
const std::wstring kGlyphs = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ !";

// A glyph strip of kGlyphs in white with coverage as alpha, 32 pixels high (24 points), and the
// description of a three-layer font over it.
struct GlyphStrip {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::wstring description;
};

GlyphStrip MakeStrip()
{
    Platform::FreeTypeFonts fonts;
    auto face = fonts.Open({"DejaVu Sans", 32, true, false, false});
    GlyphStrip strip;
    if (!face)
        return strip;
    strip.width = face->TextWidth(kGlyphs);
    strip.height = face->Height();
    // Each glyph rendered into its own cell, so no neighbour's overhang lands in it.
    strip.pixels.assign(size_t(strip.width * strip.height), 0);
    int x = 0;
    for (wchar_t ch : kGlyphs) {
        const std::wstring one(1, ch);
        const int w = face->TextWidth(one);
        std::vector<uint8_t> cover(size_t(w * strip.height));
        face->RenderCoverage(one, 0, 0, cover.data(), w, strip.height);
        for (int y = 0; y < strip.height; ++y)
            for (int i = 0; i < w; ++i)
                strip.pixels[size_t(y * strip.width + x + i)] = (uint32_t(cover[size_t(y * w + i)]) << 24) | 0xFFFFFF;
        x += w;
    }

    std::wstring chars, widths;
    for (wchar_t ch : kGlyphs) {
        chars += L" '" + std::wstring(1, ch) + L"'";
        widths += L" " + std::to_wstring(face->TextWidth(std::wstring(1, ch)));
    }
    strip.description = L"SetDefaultPointSize 24;\n"
                        L"Define chars (" + chars + L");\n"
                        L"Define widths (" + widths + L");\n"
                        L"CreateHorzSpanRectList rects (0 0 0 " + std::to_wstring(strip.height) + L") widths;\n"
                        L"CreateLayer face;\n"
                        L"LayerSetImage face 'glyphs.png';\n"
                        L"LayerSetPointSize face 24;\n"
                        L"LayerSetAscent face " + std::to_wstring(face->Ascent()) + L";\n"
                        L"LayerSetImageMap face chars rects;\n"
                        L"LayerSetCharWidths face chars widths;\n"
                        L"LayerSetSpacing face 1;\n"
                        L"LayerSetKerningPairs face ('AV' 'VA' 'LT') (-3 -3 -2);\n"
                        L"CreateLayerFrom shadow face;\n"
                        L"LayerSetBaseOrder shadow -1;\n"
                        L"LayerSetOffset shadow (3 3);\n"
                        L"LayerSetColorMult shadow (0 0 0 0.7);\n"
                        L"CreateLayerFrom glow face;\n"
                        L"LayerSetBaseOrder glow 1;\n"
                        L"LayerSetDrawMode glow 1;\n"
                        L"LayerSetOffset glow (0 -1);\n"
                        L"LayerSetColorMult glow (0.25 0.25 0.25 1);\n"
                        L"LayerSetColorAdd glow (0.05 0.05 0.2 0);\n";
    return strip;
}

void DrawScene(Fw::Image* target, Fw::ImageFont& imageFont)
{
    Fw::Graphics g(target);
    for (int y = 0; y < H; ++y) {
        g.SetColor(Fw::Color(20, 30 + y / 4, 60 + y / 3, 255));
        g.FillRect(0, y, W, 1);
    }
    g.SetColor(Fw::Color::White);
    g.SetFont(&imageFont);
    imageFont.SetPointSize(24);
    g.WriteString(L"LAYERED ^FF6040^AVATAR ^60FF60^TEXT!", 10, 40);
    imageFont.SetPointSize(15);
    g.SetColor(Fw::Color::White); // a colour tag stays in force after its line
    g.WriteString(L"SCALED TO ^FFD040^FIFTEEN POINTS", 10, 72);

    Fw::SysFont plain("DejaVu Sans", 14, false, false, false);
    plain.shadow = true;
    g.SetFont(&plain);
    g.SetColor(Fw::Color(240, 240, 255, 255));
    g.WriteString(L"System font, shadowed: ^FFD040^DejaVu Sans 14 pt", 10, 110);
    Fw::SysFont styled("DejaVu Serif", 12, true, true, true);
    g.SetFont(&styled);
    g.SetColor(Fw::Color(255, 255, 255, 255));
    g.WriteString(L"Bold italic underlined serif, 12 pt", 10, 140);
    Fw::SysFont fallback("No Such Typeface", 11, false, false, false);
    fallback.simulateBold = true;
    g.SetFont(&fallback);
    g.SetColor(Fw::Color(160, 220, 255, 255));
    g.WriteString(L"Unknown face falls back; simulated bold", 10, 170);
}

TEST(FontScene, MemoryImageAndSurfaceShowTheSameText)
{
    const GlyphStrip strip = MakeStrip();
    ASSERT_GT(strip.width, 0);
    TestSupport::ScratchFolder folder;
    const auto png = TestSupport::PngBytes(strip.width, strip.height, strip.pixels);
    folder.Write("scene.pak", TestSupport::MakeArchive({
                                  {"fonts\\scene.txt", TestSupport::Utf16Le(strip.description)},
                                  {"fonts\\glyphs.png", std::string(png.begin(), png.end())},
                              }));
    PakInterface pak;
    ASSERT_TRUE(pak.OpenPakArchive("scene.pak"));
    TestSupport::PopupCapture popups;
    TestSupport::TestImageSource images;
    Fw::ImageFont font(&images, "fonts\\scene.txt");
    ASSERT_TRUE(font.IsLoaded());
    EXPECT_TRUE(popups.popups.empty());

    Fw::MemoryImage memory(nullptr);
    memory.Create(W, H);
    DrawScene(&memory, font);
    const uint32_t* mem = memory.GetBits();

    FwTest::FakeSurfaceDisplay display(Platform::kFormatX8R8G8B8);
    Fw::DDImage surface(&display);
    std::vector<uint32_t> blank(W * H, 0);
    surface.SetBits(blank.data(), W, H);
    DrawScene(&surface, font);
    const uint32_t* srf = surface.GetBits();
    ASSERT_NE(srf, nullptr);

    int worst = 0, changedRows = 0;
    for (int y = 0; y < H; ++y) {
        bool textInRow = false;
        for (int x = 0; x < W; ++x) {
            const uint32_t a = mem[y * W + x], b = srf[y * W + x];
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
            textInRow |= (a & 0xFFFFFF) != Fw::Color(20, 30 + y / 4, 60 + y / 3).ToInt() % 0x1000000;
        }
        changedRows += textInRow;
    }
    EXPECT_LE(worst, 3); // the two blend paths may round differently by a step or two
    EXPECT_GT(changedRows, 80); // five lines of text, each over a dozen rows

    if (const char* dir = std::getenv("FW_FONT_SCENE_DIR"); dir && *dir) {
        for (const auto& [name, px] : {std::pair{"fonts-memory.png", mem}, std::pair{"fonts-surface.png", srf}}) {
            ImageLib::Image out(W, H);
            std::memcpy(out.GetBits(), px, size_t(W * H) * 4);
            for (int i = 0; i < W * H; ++i)
                out.GetBits()[i] |= 0xFF000000; // surfaces keep no alpha
            EXPECT_TRUE(ImageLib::WritePng(std::string(dir) + "/" + name, out));
        }
    }
}

} // namespace
