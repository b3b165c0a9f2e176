// Text on a 1024x768 32-bit image: 40 lines of 60 characters in a system font (DejaVu Sans,
// 12 points) and in an image font whose glyphs are that face's characters (white, coverage as
// alpha), each against pixman compositing the same characters from its glyph cache (coverage of
// each character made once by the same face). Each is drawn onto the X888 screen image (a surface
// image) and onto an opaque memory image of the same size (as texts are drawn into cached
// memory images). Counter x_pixman is our time over pixman's, the two timed in alternation;
// Mglyph_s is our rate in million characters per second. SDL_ttf is not among the bench's
// libraries, so there is no SDL column.
#include "framework/assets/ImageFont.h"
#include "framework/assets/SharedImageSource.h"
#include "framework/assets/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/SystemFonts.h"

#include "BenchDisplay.h"
#include "BenchPixels.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::Rect;

constexpr int32_t kW = 1024, kH = 768, kLines = 40, kChars = 60;
constexpr uint32_t kBackground = 0xFF203040;

std::vector<std::wstring> Lines()
{
    const std::wstring words = L"The quick brown fox jumps over the lazy dog, 0123456789 times! ";
    std::vector<std::wstring> lines;
    for (int i = 0; i < kLines; ++i) {
        std::wstring l;
        for (int k = 0; k < kChars; ++k)
            l += words[size_t(i * 7 + k) % words.size()];
        lines.push_back(l);
    }
    return lines;
}

// Each distinct character of the lines with its cell (the face's advance x line height) as the
// face renders it: one coverage byte per pixel.
struct GlyphCells {
    std::wstring chars;
    std::vector<int32_t> widths;
    std::vector<std::vector<uint8_t>> covers;
    int32_t height = 0, ascent = 0;

    GlyphCells(Fw::SysFont& face, const std::vector<std::wstring>& lines) : height(face.height), ascent(face.ascent)
    {
        for (const std::wstring& l : lines)
            for (wchar_t ch : l)
                if (chars.find(ch) == std::wstring::npos)
                    chars += ch;
        for (wchar_t ch : chars) {
            const std::wstring one(1, ch);
            const int32_t w = std::max(face.face->TextWidth(one), 1);
            std::vector<uint8_t> cover(size_t(w) * size_t(height));
            face.face->RenderCoverage(one, 0, 0, cover.data(), w, height);
            widths.push_back(w);
            covers.push_back(std::move(cover));
        }
    }
};

// pixman's side of a text row: an x8r8g8b8 frame of the same background, a solid source of the
// colour, one a8 glyph per character in its glyph cache, each glyph composited straight onto the
// frame (pixman's faster form for such text: no mask).
class PixmanText {
public:
    PixmanText(const GlyphCells& cells, const Color& colour, uint32_t background)
        : dest(size_t(kW) * kH, background), background(background), ascent(cells.ascent), height(cells.height)
    {
        pixDest = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dest.data(), kW * 4);
        const pixman_color_t c{uint16_t(colour.red * 257), uint16_t(colour.green * 257),
                               uint16_t(colour.blue * 257), 0xFFFF};
        solid = pixman_image_create_solid_fill(&c);
        cache = pixman_glyph_cache_create();
        pixman_glyph_cache_freeze(cache);
        for (size_t k = 0; k < cells.chars.size(); ++k) {
            const int32_t w = cells.widths[k], stride = (w + 3) & ~3;
            std::vector<uint8_t> cover(size_t(stride) * size_t(height));
            for (int32_t y = 0; y < height; ++y)
                std::copy_n(cells.covers[k].data() + size_t(y * w), w, cover.data() + size_t(y * stride));
            pixman_image_t* img =
                pixman_image_create_bits(PIXMAN_a8, w, height, reinterpret_cast<uint32_t*>(cover.data()), stride);
            pixman_glyph_cache_insert(cache, reinterpret_cast<void*>(uintptr_t(cells.chars[k])), nullptr, 0, 0, img);
            pixman_image_unref(img); // the cache keeps its own copy
            advance[cells.chars[k]] = w;
        }
        pixman_glyph_cache_thaw(cache);
    }
    ~PixmanText()
    {
        pixman_glyph_cache_destroy(cache);
        pixman_image_unref(solid);
        pixman_image_unref(pixDest);
    }
    PixmanText(const PixmanText&) = delete;
    PixmanText& operator=(const PixmanText&) = delete;

    // The lines at (10, 20 + i * line height), as our rows draw them.
    void Draw(const std::vector<std::wstring>& lines)
    {
        for (size_t i = 0; i < lines.size(); ++i) {
            glyphs.clear();
            int32_t x = 10;
            for (wchar_t ch : lines[i]) {
                glyphs.push_back({x, 20 + int32_t(i) * height - ascent,
                                  pixman_glyph_cache_lookup(cache, reinterpret_cast<void*>(uintptr_t(ch)), nullptr)});
                x += advance[ch];
            }
            pixman_composite_glyphs_no_mask(PIXMAN_OP_OVER, solid, pixDest, 0, 0, 0, 0, cache, int(glyphs.size()),
                                            glyphs.data());
        }
    }

    // The largest channel difference between our frame and pixman's after both drew the lines once
    // over the background: a check that both draw the same text (within rounding for the image
    // font; the system font renders a line as a whole, so glyph edges can differ where its
    // placement and the cells' differ).
    int32_t WorstDifference(Fw::MemoryImage& screen, const std::function<void()>& ours,
                            const std::vector<std::wstring>& lines)
    {
        std::vector<uint32_t> fresh(size_t(kW) * kH, background);
        screen.SetBits(fresh.data(), kW, kH);
        if (auto* surface = dynamic_cast<Fw::DDImage*>(&screen))
            surface->GetSurface();
        std::fill(dest.begin(), dest.end(), background);
        ours();
        Draw(lines);
        const uint32_t* mine = screen.GetBits();
        int32_t worst = 0;
        for (size_t i = 0; i < dest.size(); ++i)
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(int32_t((mine[i] >> shift) & 0xFF) - int32_t((dest[i] >> shift) & 0xFF)));
        return worst;
    }

private:
    std::vector<uint32_t> dest;
    uint32_t background;
    int32_t ascent, height;
    pixman_image_t* pixDest = nullptr;
    pixman_image_t* solid = nullptr;
    pixman_glyph_cache_t* cache = nullptr;
    std::map<wchar_t, int32_t> advance;
    std::vector<pixman_glyph_t> glyphs;
};

// Times our drawing over pixman's and checks their pixels agree.
void Report(benchmark::State& state, Fw::MemoryImage& screen, const std::function<void()>& ours, PixmanText& pixman,
            const std::vector<std::wstring>& lines)
{
    for (auto _ : state)
        ours();
    state.counters["max_channel_diff"] = pixman.WorstDifference(screen, ours, lines);
    double oursNs = 0;
    state.counters["x_pixman"] = BenchPixels::InterleavedRatio(ours, [&] { pixman.Draw(lines); }, &oursNs);
    state.counters["Mglyph_s"] = kLines * kChars / oursNs * 1000.0;
}

// The destination: the X888 screen image, or an opaque memory image.
struct Target {
    BenchPixels::BenchDisplay display{Platform::kFormatX8R8G8B8};
    std::unique_ptr<Fw::MemoryImage> image;
    explicit Target(bool memory)
    {
        std::vector<uint32_t> bg(size_t(kW) * kH, kBackground);
        if (memory) {
            image = std::make_unique<Fw::MemoryImage>(nullptr);
            image->SetBits(bg.data(), kW, kH);
        } else {
            auto screen = std::make_unique<Fw::DDImage>(&display);
            screen->SetBits(bg.data(), kW, kH);
            screen->GetSurface();
            image = std::move(screen);
        }
    }
};

void SystemFontText(benchmark::State& state, bool memory)
{
    Target target(memory);
    Fw::MemoryImage& screen = *target.image;
    Fw::SysFont font("DejaVu Sans", 12);
    const Color colour(250, 230, 120);
    const std::vector<std::wstring> lines = Lines();
    auto ours = [&] {
        Fw::Graphics g(&screen);
        g.SetFont(&font);
        g.SetColor(colour);
        for (int i = 0; i < kLines; ++i)
            g.DrawString(lines[size_t(i)], 10, 20 + i * font.height);
    };

    const GlyphCells cells(font, lines);
    PixmanText pixman(cells, colour, kBackground);
    Report(state, screen, ours, pixman, lines);
}

// The image font's glyph image, handed out as the shared image of any path (new the first time,
// so the font palettizes it as the application's images are).
class GlyphImageSource : public Fw::SharedImageSource {
public:
    Fw::SharedImageRef AcquireSharedImage(const std::string&, const std::string&, bool* isNew, uint32_t) override
    {
        if (isNew)
            *isNew = !handedOut;
        handedOut = true;
        return Fw::SharedImageRef(&record);
    }
    Fw::SharedImage record;
    bool handedOut = false;
};

// A font description's file bytes: UTF-16LE, one unit per character.
void WriteUtf16(const std::filesystem::path& path, const std::wstring& text)
{
    std::ofstream out(path, std::ios::binary);
    for (wchar_t c : text) {
        out.put(char(uint32_t(c) & 0xFF));
        out.put(char((uint32_t(c) >> 8) & 0xFF));
    }
}

void ImageFontText(benchmark::State& state, bool memory)
{
    Target target(memory);
    Fw::MemoryImage& screen = *target.image;
    const Color colour(250, 230, 120);
    const std::vector<std::wstring> lines = Lines();

    // One glyph cell per character (the face's advance x line height), side by side in one strip:
    // white, the face's coverage as alpha.
    Fw::SysFont face("DejaVu Sans", 12);
    const GlyphCells cells(face, lines);
    const int32_t h = cells.height;
    const std::wstring& chars = cells.chars;
    const std::vector<int32_t>& widths = cells.widths;
    const std::vector<std::vector<uint8_t>>& covers = cells.covers;
    int32_t stripW = 0;
    for (int32_t w : widths)
        stripW += w;
    std::vector<uint32_t> strip(size_t(stripW) * size_t(h), 0);
    for (size_t k = 0, x0 = 0; k < chars.size(); x0 += size_t(widths[k]), ++k)
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < widths[k]; ++x) {
                const uint32_t c = covers[k][size_t(y * widths[k] + x)];
                strip[size_t(y) * size_t(stripW) + x0 + size_t(x)] = c ? (c << 24 | 0xFFFFFF) : 0;
            }
    Fw::MemoryImage glyphImage(nullptr);
    glyphImage.SetBits(strip.data(), stripW, h);
    GlyphImageSource images;
    images.record.image = &glyphImage;

    std::wstring charList, widthList;
    for (size_t k = 0; k < chars.size(); ++k) {
        charList += (k ? L" '" : L"'") + std::wstring(1, chars[k]) + L"'";
        widthList += (k ? L" " : L"") + std::to_wstring(widths[k]);
    }
    const std::wstring description =
        L"SetDefaultPointSize 12;\n"
        L"Define chars (" + charList + L");\n"
        L"CreateHorzSpanRectList rects (0 0 " + std::to_wstring(stripW) + L" " + std::to_wstring(h) + L") (" +
        widthList + L");\n"
        L"CreateLayer main;\n"
        L"LayerSetImage main 'glyphs.png';\n"
        L"LayerSetPointSize main 12;\n"
        L"LayerSetAscent main " + std::to_wstring(face.ascent) + L";\n"
        L"LayerSetHeight main " + std::to_wstring(h) + L";\n"
        L"LayerSetImageMap main chars rects;\n"
        L"LayerSetCharWidths main chars (" + widthList + L");\n";
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "bench_text_draw_font.txt";
    WriteUtf16(file, description);
    Fw::ImageFont font(&images, file.string());
    std::filesystem::remove(file);
    if (!font.IsLoaded() || !glyphImage.colorTable) {
        state.SkipWithError("the image font did not load as a palette image");
        return;
    }
    auto ours = [&] {
        Fw::Graphics g(&screen);
        g.SetFont(&font);
        g.SetColor(colour);
        for (int i = 0; i < kLines; ++i)
            g.DrawString(lines[size_t(i)], 10, 20 + i * h);
    };

    PixmanText pixman(cells, colour, kBackground);
    Report(state, screen, ours, pixman, lines);
}

BENCHMARK_CAPTURE(SystemFontText, screen, false)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK_CAPTURE(ImageFontText, screen, false)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK_CAPTURE(SystemFontText, memory_image, true)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK_CAPTURE(ImageFontText, memory_image, true)->Unit(benchmark::kMicrosecond)->Iterations(3);

} // namespace
