// Text on the 32-bit screen image: 40 lines of 60 characters in a system font (DejaVu Sans,
// 12 points), against pixman compositing the same characters from its glyph cache (coverage of
// each character made once by the same face). Counter x_pixman is our time over pixman's,
// the two timed in alternation; Mglyph_s is our rate in million characters per second.
#include "framework/assets/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "platform/SystemFonts.h"

#include "BenchDisplay.h"
#include "BenchPixels.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::Rect;

constexpr int32_t kW = 1024, kH = 768, kLines = 40, kChars = 60;

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

void SystemFontText(benchmark::State& state)
{
    BenchPixels::BenchDisplay display(Platform::kFormatX8R8G8B8);
    Fw::DDImage screen(&display);
    std::vector<uint32_t> bg(size_t(kW) * kH, 0xFF203040);
    screen.SetBits(bg.data(), kW, kH);
    screen.GetSurface();
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

    // pixman: an x8r8g8b8 frame, a solid source of the colour, one a8 glyph per character: the
    // character's cell (advance x line height) as the face renders it, origin at the cell's top left.
    std::vector<uint32_t> dest(size_t(kW) * kH, 0xFF203040);
    pixman_image_t* pixDest = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dest.data(), kW * 4);
    const pixman_color_t c{uint16_t(250 * 257), uint16_t(230 * 257), uint16_t(120 * 257), 0xFFFF};
    pixman_image_t* solid = pixman_image_create_solid_fill(&c);
    pixman_glyph_cache_t* cache = pixman_glyph_cache_create();
    std::map<wchar_t, int32_t> advance;
    std::vector<std::vector<uint8_t>> coverBits;
    pixman_glyph_cache_freeze(cache);
    for (const std::wstring& l : lines)
        for (wchar_t ch : l) {
            if (advance.count(ch))
                continue;
            const std::wstring one(1, ch);
            const int32_t w = std::max(font.face->TextWidth(one), 1), h = font.height, stride = (w + 3) & ~3;
            std::vector<uint8_t> cover(size_t(stride) * size_t(h)), packed(size_t(w) * size_t(h));
            font.face->RenderCoverage(one, 0, 0, packed.data(), w, h);
            for (int32_t y = 0; y < h; ++y)
                std::copy_n(packed.data() + size_t(y * w), w, cover.data() + size_t(y * stride));
            pixman_image_t* img = pixman_image_create_bits(PIXMAN_a8, w, h, reinterpret_cast<uint32_t*>(cover.data()),
                                                           stride);
            pixman_glyph_cache_insert(cache, reinterpret_cast<void*>(uintptr_t(ch)), nullptr, 0, 0, img);
            pixman_image_unref(img); // the cache keeps its own copy
            advance[ch] = w;
            coverBits.push_back(std::move(cover));
        }
    pixman_glyph_cache_thaw(cache);
    std::vector<pixman_glyph_t> glyphs;
    auto pixman = [&] {
        for (int i = 0; i < kLines; ++i) {
            glyphs.clear();
            int32_t x = 10;
            for (wchar_t ch : lines[size_t(i)]) {
                glyphs.push_back({x, 20 + i * font.height - font.ascent,
                                  pixman_glyph_cache_lookup(cache, reinterpret_cast<void*>(uintptr_t(ch)), nullptr)});
                x += advance[ch];
            }
            // The line's box: pixman builds the mask of that size, glyphs placed in frame coordinates.
            const int32_t top = 20 + i * font.height - font.ascent;
            pixman_composite_glyphs(PIXMAN_OP_OVER, solid, pixDest, PIXMAN_a8, 0, 0, 10, top, 10, top, x - 10,
                                    font.height, cache, int(glyphs.size()), glyphs.data());
        }
    };
    for (auto _ : state)
        ours();
    double oursNs = 0;
    state.counters["x_pixman"] = BenchPixels::InterleavedRatio(ours, pixman, &oursNs);
    state.counters["Mglyph_s"] = kLines * kChars / oursNs * 1000.0;
    pixman_glyph_cache_destroy(cache);
    pixman_image_unref(solid);
    pixman_image_unref(pixDest);
}

BENCHMARK(SystemFontText)->Unit(benchmark::kMicrosecond)->Iterations(3);

} // namespace
