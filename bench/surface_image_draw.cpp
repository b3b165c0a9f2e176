// Surface-image software drawing on a 1024x768 surface in 565 and X888, against baselines timed
// in the same run on the same format: memcpy of a 32-bit frame (the bandwidth floor), SDL2's
// SDL_BlitSurface and pixman. Counters give our time over each baseline's (x_memcpy, x_sdl,
// x_pixman) and our rate in destination megapixels per second (Mpx_s).
#include "framework/graphics/DDImage.h"
#include "framework/graphics/SurfaceDisplay.h"
#include "platform/MemorySurface.h"

#include "BenchDisplay.h"
#include "BenchPixels.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::DDImage;
using Fw::MemoryImage;
using Fw::Rect;

constexpr int32_t kW = 1024, kH = 768;

uint32_t gSeed = 4711;
uint32_t Next() { return BenchPixels::Next(gSeed); }

std::vector<uint32_t> Pixels(int32_t w, int32_t h, bool mixed) { return BenchPixels::Make(w, h, mixed, gSeed); }

using BenchPixels::Premultiplied;

using BenchPixels::BenchDisplay;

struct Format {
    const char* name;
    Platform::SurfacePixelFormat surface;
    pixman_format_code_t pixman;
    uint32_t sdl;
};
const Format kFormats[] = {
    {"565", Platform::kFormat565, PIXMAN_r5g6b5, SDL_PIXELFORMAT_RGB565},
    {"X888", Platform::kFormatX8R8G8B8, PIXMAN_x8r8g8b8, SDL_PIXELFORMAT_XRGB8888},
};

// Our images and the baselines' images of the same pixels, for one destination format.
struct Scene {
    const Format& fmt;
    BenchDisplay display;
    std::unique_ptr<DDImage> screen, opaqueSurface;
    // An opaque memory image of the screen's size, for the rows drawing onto memory images.
    MemoryImage memory{nullptr};
    MemoryImage opaque{nullptr}, sprite{nullptr}, glyph{nullptr}, rotSrc{nullptr}, stretchSrc{nullptr},
        stretchOpaque{nullptr}, paletteGlyph{nullptr};
    std::vector<Rect> sprites, glyphs;
    // Baselines: pixman images over their own pixel arrays, SDL surfaces likewise.
    std::vector<uint8_t> pixDestPx, sdlDestPx, pixOpaquePx;
    std::vector<uint32_t> spritePre, glyphPre, rotPre, stretchPre, spritePx, glyphPx;
    pixman_image_t *pixDest = nullptr, *pixOpaque = nullptr, *pixSprite = nullptr, *pixGlyph = nullptr,
                   *pixRot = nullptr, *pixStretch = nullptr;
    SDL_Surface *sdlDest = nullptr, *sdlOpaque = nullptr, *sdlSprite = nullptr, *sdlGlyph = nullptr,
                *sdlStretch = nullptr;
    std::vector<uint32_t> stretchPx, stretchOpaquePx;
    pixman_image_t* pixStretchOpaque = nullptr;
    SDL_Surface* sdlStretchOpaque = nullptr;

    explicit Scene(const Format& f) : fmt(f), display(f.surface)
    {
        const int bpp = f.surface.bitCount / 8;
        screen = std::make_unique<DDImage>(&display);
        std::vector<uint32_t> bg(size_t(kW) * kH, 0xFF203040);
        screen->SetBits(bg.data(), kW, kH);
        screen->GetSurface();
        memory.SetBits(bg.data(), kW, kH);
        const std::vector<uint32_t> op = Pixels(kW, kH, false);
        opaque.SetBits(op.data(), kW, kH);
        opaqueSurface = std::make_unique<DDImage>(&display);
        opaqueSurface->SetBits(op.data(), kW, kH);
        opaqueSurface->GetSurface();
        spritePx = Pixels(64, 64, true);
        sprite.SetBits(spritePx.data(), 64, 64);
        glyphPx = Pixels(12, 16, true);
        glyph.SetBits(glyphPx.data(), 12, 16);
        // The same glyph in palette form, as image fonts keep their glyphs.
        paletteGlyph.SetBits(glyphPx.data(), 12, 16);
        paletteGlyph.Palletize();
        const std::vector<uint32_t> rot = Pixels(256, 256, true);
        rotSrc.SetBits(rot.data(), 256, 256);
        stretchPx = Pixels(512, 384, true);
        stretchSrc.SetBits(stretchPx.data(), 512, 384);
        stretchOpaquePx = Pixels(512, 384, false);
        stretchOpaque.SetBits(stretchOpaquePx.data(), 512, 384);
        stretchOpaque.SetImageMode(false, false);
        for (int i = 0; i < 200; ++i)
            sprites.emplace_back(int32_t(Next() % (kW - 64)), int32_t(Next() % (kH - 64)), 64, 64);
        for (int i = 0; i < 10000; ++i)
            glyphs.emplace_back(int32_t(Next() % (kW - 12)), int32_t(Next() % (kH - 16)), 12, 16);

        pixDestPx.assign(size_t(kW) * kH * size_t(bpp), 0x40);
        sdlDestPx = pixDestPx;
        // The baselines' opaque frame holds the same pixels as ours, in the destination format.
        pixOpaquePx.resize(pixDestPx.size());
        for (size_t i = 0; i < op.size(); ++i) {
            const uint32_t p = op[i];
            if (bpp == 2) {
                const auto v = uint16_t(((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F));
                std::memcpy(&pixOpaquePx[i * 2], &v, 2);
            } else {
                std::memcpy(&pixOpaquePx[i * 4], &p, 4);
            }
        }
        spritePre = Premultiplied(spritePx);
        glyphPre = Premultiplied(glyphPx);
        rotPre = Premultiplied(rot);
        stretchPre = Premultiplied(stretchPx);
        pixDest = pixman_image_create_bits(f.pixman, kW, kH, reinterpret_cast<uint32_t*>(pixDestPx.data()), kW * bpp);
        pixOpaque =
            pixman_image_create_bits(f.pixman, kW, kH, reinterpret_cast<uint32_t*>(pixOpaquePx.data()), kW * bpp);
        pixSprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, 64, 64, spritePre.data(), 64 * 4);
        pixGlyph = pixman_image_create_bits(PIXMAN_a8r8g8b8, 12, 16, glyphPre.data(), 12 * 4);
        pixRot = pixman_image_create_bits(PIXMAN_a8r8g8b8, 256, 256, rotPre.data(), 256 * 4);
        pixStretch = pixman_image_create_bits(PIXMAN_a8r8g8b8, 512, 384, stretchPre.data(), 512 * 4);
        pixStretchOpaque = pixman_image_create_bits(PIXMAN_x8r8g8b8, 512, 384, stretchOpaquePx.data(), 512 * 4);
        sdlStretchOpaque = SDL_CreateRGBSurfaceWithFormatFrom(stretchOpaquePx.data(), 512, 384, 32, 512 * 4,
                                                              SDL_PIXELFORMAT_XRGB8888);
        sdlDest = SDL_CreateRGBSurfaceWithFormatFrom(sdlDestPx.data(), kW, kH, bpp * 8, kW * bpp, f.sdl);
        sdlOpaque = SDL_CreateRGBSurfaceWithFormatFrom(pixOpaquePx.data(), kW, kH, bpp * 8, kW * bpp, f.sdl);
        sdlSprite = SDL_CreateRGBSurfaceWithFormatFrom(spritePx.data(), 64, 64, 32, 64 * 4, SDL_PIXELFORMAT_ARGB8888);
        sdlGlyph = SDL_CreateRGBSurfaceWithFormatFrom(glyphPx.data(), 12, 16, 32, 12 * 4, SDL_PIXELFORMAT_ARGB8888);
        sdlStretch =
            SDL_CreateRGBSurfaceWithFormatFrom(stretchPx.data(), 512, 384, 32, 512 * 4, SDL_PIXELFORMAT_ARGB8888);
    }
    ~Scene()
    {
        for (pixman_image_t* p : {pixDest, pixOpaque, pixSprite, pixGlyph, pixRot, pixStretch, pixStretchOpaque})
            pixman_image_unref(p);
        for (SDL_Surface* s : {sdlDest, sdlOpaque, sdlSprite, sdlGlyph, sdlStretch, sdlStretchOpaque})
            SDL_FreeSurface(s);
    }
    void Pixman(pixman_op_t op, pixman_image_t* src, const std::vector<Rect>& at, pixman_image_t* mask = nullptr)
    {
        for (const Rect& r : at)
            pixman_image_composite32(op, src, mask, pixDest, 0, 0, 0, 0, r.x, r.y, r.width, r.height);
    }
    void Sdl(SDL_Surface* src, SDL_BlendMode mode, const std::vector<Rect>& at)
    {
        SDL_SetSurfaceBlendMode(src, mode);
        for (const Rect& r : at) {
            SDL_Rect d{r.x, r.y, r.width, r.height};
            SDL_BlitSurface(src, nullptr, sdlDest, &d);
        }
    }
};

Scene& SceneFor(int format)
{
    static std::unique_ptr<Scene> scenes[2];
    if (!scenes[format])
        scenes[format] = std::make_unique<Scene>(kFormats[format]);
    return *scenes[format];
}

using Step = std::function<void(Scene&)>;

void RunCase(benchmark::State& state, int format, const Step& ours, const Step& pixman, const Step& sdl,
             double destPixels)
{
    Scene& sc = SceneFor(format);
    for (auto _ : state)
        ours(sc);
    // Each baseline is timed in alternation with our drawing (see BenchPixels::InterleavedRatio).
    std::vector<uint32_t> a(size_t(kW) * kH, 1), b(a.size());
    double oursNs = 0;
    state.counters["x_memcpy"] = BenchPixels::InterleavedRatio(
        [&] { ours(sc); },
        [&] {
            std::memcpy(b.data(), a.data(), a.size() * 4);
            benchmark::DoNotOptimize(b.data());
        },
        &oursNs);
    state.counters["Mpx_s"] = destPixels / oursNs * 1000.0;
    if (pixman)
        state.counters["x_pixman"] = BenchPixels::InterleavedRatio([&] { ours(sc); }, [&] { pixman(sc); });
    if (sdl)
        state.counters["x_sdl"] = BenchPixels::InterleavedRatio([&] { ours(sc); }, [&] { sdl(sc); });
}

pixman_image_t* Transformed(pixman_image_t* src, double angle, double scale, pixman_filter_t filter)
{
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    if (angle != 0)
        pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(angle)),
                                pixman_double_to_fixed(std::sin(angle)));
    if (scale != 1)
        pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, filter, nullptr, 0);
    return src;
}

// The bilinear 512 x 384 to 1024 x 768 stretch sampled where the smooth stretch samples: the
// first and last destination pixels on the first and last source pixels (destination x maps to
// x * (w - 1) / (kW - 1); pixman maps pixel centres, (x + 0.5) * s + t - 0.5 in pixel indices).
// On an opaque source the two then differ by at most a few steps of rounding per channel.
pixman_image_t* SmoothStretchMatched(pixman_image_t* src, int32_t w, int32_t h)
{
    const double sx = double(w - 1) / (kW - 1), sy = double(h - 1) / (kH - 1);
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(sx);
    t.matrix[1][1] = pixman_double_to_fixed(sy);
    t.matrix[0][2] = pixman_double_to_fixed(0.5 - 0.5 * sx);
    t.matrix[1][2] = pixman_double_to_fixed(0.5 - 0.5 * sy);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    return src;
}

// The rotation BltRotated draws: the source's point (cx, cy) lands on the centre of the box
// (size x size) the baseline composites, turned by angle; pixman maps destination to source.
pixman_image_t* RotatedAbout(pixman_image_t* src, double angle, double cx, double cy, double size)
{
    const double c = std::cos(angle), s = std::sin(angle), h = size / 2;
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(c);
    t.matrix[0][1] = pixman_double_to_fixed(-s);
    t.matrix[0][2] = pixman_double_to_fixed(cx - c * h + s * h);
    t.matrix[1][0] = pixman_double_to_fixed(s);
    t.matrix[1][1] = pixman_double_to_fixed(c);
    t.matrix[1][2] = pixman_double_to_fixed(cy - s * h - c * h);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    return src;
}

void Register()
{
    const Color tint(200, 160, 120, 220);
    const Rect full(0, 0, kW, kH);
    const std::vector<Rect> frame{full};
    // The 30-degree box of 256 x 256 about the centre (353 + 128, 253 + 128).
    const std::vector<Rect> rotAt{Rect(481 - 181, 381 - 181, 362, 362)};
    const double kFrame = double(kW) * kH;
    for (int f = 0; f < 2; ++f) {
        auto reg = [&](const std::string& name, Step ours, Step pixman, Step sdl, double px) {
            benchmark::RegisterBenchmark((name + "/" + kFormats[f].name).c_str(),
                                         [=](benchmark::State& st) { RunCase(st, f, ours, pixman, sdl, px); })
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(3);
        };
        reg(
            "opaque_blit_native", [](Scene& sc) { sc.screen->Blt(&sc.opaque, 0, 0, Rect(0, 0, kW, kH), Color::White, 0); },
            [=](Scene& sc) { sc.Pixman(PIXMAN_OP_SRC, sc.pixOpaque, frame); },
            [=](Scene& sc) { sc.Sdl(sc.sdlOpaque, SDL_BLENDMODE_NONE, frame); }, kFrame);
        reg(
            "opaque_blit_surface",
            [](Scene& sc) { sc.screen->Blt(sc.opaqueSurface.get(), 0, 0, Rect(0, 0, kW, kH), Color::White, 0); },
            [=](Scene& sc) { sc.Pixman(PIXMAN_OP_SRC, sc.pixOpaque, frame); },
            [=](Scene& sc) { sc.Sdl(sc.sdlOpaque, SDL_BLENDMODE_NONE, frame); }, kFrame);
        reg(
            "sprite_blit",
            [](Scene& sc) {
                for (const Rect& r : sc.sprites)
                    sc.screen->Blt(&sc.sprite, r.x, r.y, Rect(0, 0, 64, 64), Color::White, 0);
            },
            [](Scene& sc) { sc.Pixman(PIXMAN_OP_OVER, sc.pixSprite, sc.sprites); },
            [](Scene& sc) { sc.Sdl(sc.sdlSprite, SDL_BLENDMODE_BLEND, sc.sprites); }, 200.0 * 64 * 64);
        reg(
            "additive_blit",
            [](Scene& sc) {
                for (const Rect& r : sc.sprites)
                    sc.screen->Blt(&sc.sprite, r.x, r.y, Rect(0, 0, 64, 64), Color::White, 1);
            },
            [](Scene& sc) { sc.Pixman(PIXMAN_OP_ADD, sc.pixSprite, sc.sprites); },
            [](Scene& sc) { sc.Sdl(sc.sdlSprite, SDL_BLENDMODE_ADD, sc.sprites); }, 200.0 * 64 * 64);
        reg(
            "colourised_blit",
            [tint](Scene& sc) {
                for (const Rect& r : sc.sprites)
                    sc.screen->Blt(&sc.sprite, r.x, r.y, Rect(0, 0, 64, 64), tint, 0);
            },
            [tint](Scene& sc) {
                const pixman_color_t c{uint16_t(tint.red * 257), uint16_t(tint.green * 257), uint16_t(tint.blue * 257),
                                       uint16_t(tint.alpha * 257)};
                pixman_image_t* mask = pixman_image_create_solid_fill(&c);
                pixman_image_set_component_alpha(mask, true);
                sc.Pixman(PIXMAN_OP_OVER, sc.pixSprite, sc.sprites, mask);
                pixman_image_unref(mask);
            },
            [tint](Scene& sc) {
                SDL_SetSurfaceColorMod(sc.sdlSprite, uint8_t(tint.red), uint8_t(tint.green), uint8_t(tint.blue));
                SDL_SetSurfaceAlphaMod(sc.sdlSprite, uint8_t(tint.alpha));
                sc.Sdl(sc.sdlSprite, SDL_BLENDMODE_BLEND, sc.sprites);
                SDL_SetSurfaceColorMod(sc.sdlSprite, 255, 255, 255);
                SDL_SetSurfaceAlphaMod(sc.sdlSprite, 255);
            },
            200.0 * 64 * 64);
        reg(
            "glyph_blits_10000",
            [](Scene& sc) {
                for (const Rect& r : sc.glyphs)
                    sc.screen->Blt(&sc.glyph, r.x, r.y, Rect(0, 0, 12, 16), Color::White, 0);
            },
            [](Scene& sc) { sc.Pixman(PIXMAN_OP_OVER, sc.pixGlyph, sc.glyphs); },
            [](Scene& sc) { sc.Sdl(sc.sdlGlyph, SDL_BLENDMODE_BLEND, sc.glyphs); }, 10000.0 * 12 * 16);
        // Coloured text from an image font: palettised glyphs with an opaque colour.
        const Color textColour(250, 230, 120);
        reg(
            "palette_glyph_colour_blits_10000",
            [textColour](Scene& sc) {
                for (const Rect& r : sc.glyphs)
                    sc.screen->Blt(&sc.paletteGlyph, r.x, r.y, Rect(0, 0, 12, 16), textColour, 0);
            },
            [textColour](Scene& sc) {
                const pixman_color_t c{uint16_t(textColour.red * 257), uint16_t(textColour.green * 257),
                                       uint16_t(textColour.blue * 257), 0xFFFF};
                pixman_image_t* mask = pixman_image_create_solid_fill(&c);
                pixman_image_set_component_alpha(mask, true);
                sc.Pixman(PIXMAN_OP_OVER, sc.pixGlyph, sc.glyphs, mask);
                pixman_image_unref(mask);
            },
            [textColour](Scene& sc) {
                SDL_SetSurfaceColorMod(sc.sdlGlyph, uint8_t(textColour.red), uint8_t(textColour.green),
                                       uint8_t(textColour.blue));
                sc.Sdl(sc.sdlGlyph, SDL_BLENDMODE_BLEND, sc.glyphs);
                SDL_SetSurfaceColorMod(sc.sdlGlyph, 255, 255, 255);
            },
            10000.0 * 12 * 16);
        reg(
            "rotated_256_at_30deg",
            [full](Scene& sc) {
                sc.screen->BltRotated(&sc.rotSrc, 353.0f, 253.0f, Rect(0, 0, 256, 256), full, Color::White, 0, 0.5236,
                                      128.0f, 128.0f);
            },
            [=](Scene& sc) {
                sc.Pixman(PIXMAN_OP_OVER, RotatedAbout(sc.pixRot, 0.5236, 128, 128, 362), rotAt);
                pixman_image_set_transform(sc.pixRot, nullptr);
            },
            {}, 362.0 * 362);
        reg(
            "fast_stretch_to_screen",
            [full](Scene& sc) { sc.screen->StretchBlt(&sc.stretchSrc, full, Rect(0, 0, 512, 384), full, Color::White, 0, true); },
            [=](Scene& sc) {
                sc.Pixman(PIXMAN_OP_OVER, Transformed(sc.pixStretch, 0, 0.5, PIXMAN_FILTER_NEAREST), frame);
                pixman_image_set_transform(sc.pixStretch, nullptr);
            },
            [](Scene& sc) {
                SDL_SetSurfaceBlendMode(sc.sdlStretch, SDL_BLENDMODE_BLEND);
                SDL_Rect d{0, 0, kW, kH};
                SDL_BlitScaled(sc.sdlStretch, nullptr, sc.sdlDest, &d);
            },
            kFrame);
        // An opaque source: the baselines copy (no blending), as a nearest stretch of opaque pixels is a copy.
        reg(
            "fast_stretch_opaque_to_screen",
            [full](Scene& sc) {
                sc.screen->StretchBlt(&sc.stretchOpaque, full, Rect(0, 0, 512, 384), full, Color::White, 0, true);
            },
            [=](Scene& sc) {
                sc.Pixman(PIXMAN_OP_SRC, Transformed(sc.pixStretchOpaque, 0, 0.5, PIXMAN_FILTER_NEAREST), frame);
                pixman_image_set_transform(sc.pixStretchOpaque, nullptr);
            },
            [](Scene& sc) {
                SDL_SetSurfaceBlendMode(sc.sdlStretchOpaque, SDL_BLENDMODE_NONE);
                SDL_Rect d{0, 0, kW, kH};
                SDL_BlitScaled(sc.sdlStretchOpaque, nullptr, sc.sdlDest, &d);
            },
            kFrame);
        reg(
            "smooth_stretch_to_screen",
            [full](Scene& sc) { sc.screen->StretchBlt(&sc.stretchSrc, full, Rect(0, 0, 512, 384), full, Color::White, 0, false); },
            [=](Scene& sc) {
                sc.Pixman(PIXMAN_OP_OVER, SmoothStretchMatched(sc.pixStretch, 512, 384), frame);
                pixman_image_set_transform(sc.pixStretch, nullptr);
            },
            {}, kFrame);
        // The same stretches and rotation onto an opaque memory image, against the same baselines
        // on the X888 frame.
        if (f == 1) {
            reg(
                "rotated_256_at_30deg_to_memory",
                [full](Scene& sc) {
                    sc.memory.BltRotated(&sc.rotSrc, 353.0f, 253.0f, Rect(0, 0, 256, 256), full, Color::White, 0,
                                         0.5236, 128.0f, 128.0f);
                },
                [=](Scene& sc) {
                    sc.Pixman(PIXMAN_OP_OVER, RotatedAbout(sc.pixRot, 0.5236, 128, 128, 362), rotAt);
                    pixman_image_set_transform(sc.pixRot, nullptr);
                },
                {}, 362.0 * 362);
            reg(
                "fast_stretch_to_memory",
                [full](Scene& sc) {
                    sc.memory.StretchBlt(&sc.stretchSrc, full, Rect(0, 0, 512, 384), full, Color::White, 0, true);
                },
                [=](Scene& sc) {
                    sc.Pixman(PIXMAN_OP_OVER, Transformed(sc.pixStretch, 0, 0.5, PIXMAN_FILTER_NEAREST), frame);
                    pixman_image_set_transform(sc.pixStretch, nullptr);
                },
                {}, kFrame);
            reg(
                "smooth_stretch_to_memory",
                [full](Scene& sc) {
                    sc.memory.StretchBlt(&sc.stretchSrc, full, Rect(0, 0, 512, 384), full, Color::White, 0, false);
                },
                [=](Scene& sc) {
                    sc.Pixman(PIXMAN_OP_OVER, SmoothStretchMatched(sc.pixStretch, 512, 384), frame);
                    pixman_image_set_transform(sc.pixStretch, nullptr);
                },
                {}, kFrame);
        }
        reg(
            "alpha_fill_screen", [full](Scene& sc) { sc.screen->FillRect(full, Color(40, 90, 200, 128), 0); },
            [](Scene& sc) {
                const pixman_color_t c{uint16_t(20 * 257), uint16_t(45 * 257), uint16_t(100 * 257), 128 * 257};
                const pixman_rectangle16_t r{0, 0, uint16_t(kW), uint16_t(kH)};
                pixman_image_fill_rectangles(PIXMAN_OP_OVER, sc.pixDest, &c, 1, &r);
            },
            {}, kFrame);
    }
}

const int gRegistered = (Register(), 0);

} // namespace
