// Memory-image software drawing against baselines measured in the same run: memcpy of the
// destination frame (the bandwidth floor), SDL2's surface blits and pixman's compositing.
// Each case draws about one frame of pixels (one 1024x768 image, 200 sprites of 64x64 or 4266
// glyphs of 12x16) onto a 1024x768 32-bit frame; counters give our time over each baseline's.
#include "framework/graphics/MemoryImage.h"

#include "BenchPixels.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Fw::Color;
using Fw::MemoryImage;
using Fw::Rect;

constexpr int32_t kFrameW = 1024, kFrameH = 768;

uint32_t gSeed = 12345;
uint32_t Next() { return BenchPixels::Next(gSeed); }

enum class Kind { Opaque, Mixed };

std::vector<uint32_t> MakePixels(int32_t w, int32_t h, Kind kind)
{
    return BenchPixels::Make(w, h, kind == Kind::Mixed, gSeed);
}

struct Size {
    const char* name;
    int32_t w, h, count;
};
constexpr Size kSizes[] = {{"frame", 1024, 768, 1}, {"sprite64", 64, 64, 200}, {"glyph12x16", 12, 16, 4266}};

// One case's sources, destinations and placements, in our form and the baselines' forms.
struct Scene {
    Size size;
    std::vector<Rect> at; // destination rectangles
    MemoryImage dest{nullptr};
    MemoryImage opaque{nullptr}, mixed{nullptr}, big{nullptr};
    std::vector<uint32_t> opaquePx, mixedPx, mixedPre, mixedAmounts, bigPre, pixDest, sdlDest;
    pixman_image_t *pixDst = nullptr, *pixOpaque = nullptr, *pixMixed = nullptr, *pixMixedAmounts = nullptr,
                   *pixBig = nullptr;
    SDL_Surface *sdlDst = nullptr, *sdlOpaque = nullptr, *sdlMixed = nullptr;

    explicit Scene(const Size& s) : size(s)
    {
        gSeed = 12345;
        for (int32_t i = 0; i < s.count; ++i)
            at.push_back(s.count == 1 ? Rect(0, 0, s.w, s.h)
                                      : Rect(int32_t(Next() % uint32_t(kFrameW - s.w)),
                                             int32_t(Next() % uint32_t(kFrameH - s.h)), s.w, s.h));
        const std::vector<uint32_t> frame = MakePixels(kFrameW, kFrameH, Kind::Opaque);
        dest.SetBits(frame.data(), kFrameW, kFrameH);
        dest.SetImageMode(false, false); // an opaque frame, as the screen is
        pixDest = frame;
        sdlDest = frame;
        opaquePx = MakePixels(s.w, s.h, Kind::Opaque);
        mixedPx = MakePixels(s.w, s.h, Kind::Mixed);
        mixedPre = BenchPixels::Premultiplied(mixedPx);
        // Our additive rule adds channel * alpha >> 8: pixman adds the same amounts (alpha kept,
        // so it saturates on the opaque frame as ours keeps it).
        mixedAmounts = mixedPx;
        for (uint32_t& p : mixedAmounts) {
            const uint32_t a = p >> 24;
            auto ch = [&](int shift) { return (((p >> shift) & 0xFF) * a >> 8) << shift; };
            p = a << 24 | ch(16) | ch(8) | ch(0);
        }
        opaque.SetBits(opaquePx.data(), s.w, s.h);
        mixed.SetBits(mixedPx.data(), s.w, s.h);
        // Stretch source: 5/4 of the size each way (the stretch shrinks it back).
        const std::vector<uint32_t> bigPx = MakePixels(s.w * 5 / 4, s.h * 5 / 4, Kind::Mixed);
        big.SetBits(bigPx.data(), s.w * 5 / 4, s.h * 5 / 4);
        bigPre = BenchPixels::Premultiplied(bigPx);

        pixDst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameW, kFrameH, pixDest.data(), kFrameW * 4);
        pixOpaque = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, opaquePx.data(), s.w * 4);
        pixMixed = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, mixedPre.data(), s.w * 4);
        pixMixedAmounts = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, mixedAmounts.data(), s.w * 4);
        pixBig = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w * 5 / 4, s.h * 5 / 4, bigPre.data(), s.w * 5);
        sdlDst = SDL_CreateRGBSurfaceWithFormatFrom(sdlDest.data(), kFrameW, kFrameH, 32, kFrameW * 4,
                                                    SDL_PIXELFORMAT_ARGB8888);
        sdlOpaque = SDL_CreateRGBSurfaceWithFormatFrom(opaquePx.data(), s.w, s.h, 32, s.w * 4,
                                                       SDL_PIXELFORMAT_ARGB8888);
        sdlMixed = SDL_CreateRGBSurfaceWithFormatFrom(mixedPx.data(), s.w, s.h, 32, s.w * 4,
                                                      SDL_PIXELFORMAT_ARGB8888);
    }
    ~Scene()
    {
        for (pixman_image_t* p : {pixDst, pixOpaque, pixMixed, pixMixedAmounts, pixBig})
            pixman_image_unref(p);
        for (SDL_Surface* sfc : {sdlDst, sdlOpaque, sdlMixed})
            SDL_FreeSurface(sfc);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void Pixman(pixman_op_t op, pixman_image_t* src, pixman_image_t* mask = nullptr)
    {
        for (const Rect& r : at)
            pixman_image_composite32(op, src, mask, pixDst, 0, 0, 0, 0, r.x, r.y, r.width, r.height);
    }
    void Sdl(SDL_Surface* src, SDL_BlendMode mode)
    {
        SDL_SetSurfaceBlendMode(src, mode);
        for (const Rect& r : at) {
            SDL_Rect d{r.x, r.y, r.width, r.height};
            SDL_BlitSurface(src, nullptr, sdlDst, &d);
        }
    }
};

struct Baselines {
    std::function<void(Scene&)> pixman; // may be empty
    std::function<void(Scene&)> sdl;    // may be empty
};

void RunCase(benchmark::State& state, const Size& size, const std::function<void(Scene&)>& ours,
             const Baselines& base)
{
    if (base.pixman) {
        // How far the baseline's pixels are from ours (mean difference per colour channel, 0..255):
        // a check that both do the same drawing.
        Scene check(size);
        ours(check);
        base.pixman(check);
        state.counters["px_diff"] = BenchPixels::MeanChannelDifference(check.dest.GetBits(), check.pixDest.data(),
                                                                      check.pixDest.size());
    }
    Scene scene(size);
    for (auto _ : state)
        ours(scene);
    // Each baseline is timed in alternation with our drawing (see BenchPixels::InterleavedRatio).
    std::vector<uint32_t> a(size_t(kFrameW * kFrameH), 1), b(a.size());
    state.counters["x_memcpy"] = BenchPixels::InterleavedRatio([&] { ours(scene); }, [&] {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
    });
    if (base.pixman)
        state.counters["x_pixman"] = BenchPixels::InterleavedRatio([&] { ours(scene); }, [&] { base.pixman(scene); });
    if (base.sdl)
        state.counters["x_sdl"] = BenchPixels::InterleavedRatio([&] { ours(scene); }, [&] { base.sdl(scene); });
}

// The rotation BltRotated draws about the source's centre: the box (bw x bh) centred on the
// destination's point for the source's centre, source = rotation(box point - box centre) + centre;
// pixman maps destination to source. Returns the box for the rectangle r.
Rect RotatedBox(pixman_image_t* src, const Rect& r, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const int32_t bw = int32_t(std::ceil(r.width * std::fabs(c) + r.height * std::fabs(s)));
    const int32_t bh = int32_t(std::ceil(r.width * std::fabs(s) + r.height * std::fabs(c)));
    const double cx = r.width / 2, cy = r.height / 2; // the integer centre BltRotated is given
    const int32_t ox = int32_t(std::floor(cx - bw / 2.0)), oy = int32_t(std::floor(cy - bh / 2.0));
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(c);
    t.matrix[0][1] = pixman_double_to_fixed(-s);
    t.matrix[0][2] = pixman_double_to_fixed(c * (ox - 0.5 - cx) - s * (oy - 0.5 - cy) + cx + 0.5);
    t.matrix[1][0] = pixman_double_to_fixed(s);
    t.matrix[1][1] = pixman_double_to_fixed(c);
    t.matrix[1][2] = pixman_double_to_fixed(s * (ox - 0.5 - cx) + c * (oy - 0.5 - cy) + cy + 0.5);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    return Rect(r.x + ox, r.y + oy, bw, bh);
}

pixman_image_t* Transformed(pixman_image_t* src, double angle, double sx, double sy, pixman_filter_t filter)
{
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    if (angle != 0)
        pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(angle)),
                                pixman_double_to_fixed(std::sin(angle)));
    if (sx != 1 || sy != 1)
        pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, filter, nullptr, 0);
    return src;
}

void Register()
{
    const Color tint(200, 160, 120, 220);
    for (const Size& s : kSizes) {
        const std::string suffix = std::string("/") + s.name;
        auto reg = [&](const std::string& name, std::function<void(Scene&)> ours, Baselines base) {
            benchmark::RegisterBenchmark((name + suffix).c_str(),
                                         [s, ours, base](benchmark::State& st) { RunCase(st, s, ours, base); })
                ->Unit(benchmark::kMicrosecond);
        };
        reg("opaque_blit",
            [](Scene& sc) {
                for (const Rect& r : sc.at)
                    sc.dest.Blt(&sc.opaque, r.x, r.y, Rect(0, 0, r.width, r.height), Color::White, 0);
            },
            {[](Scene& sc) { sc.Pixman(PIXMAN_OP_SRC, sc.pixOpaque); },
             [](Scene& sc) { sc.Sdl(sc.sdlOpaque, SDL_BLENDMODE_NONE); }});
        reg("alpha_blit",
            [](Scene& sc) {
                for (const Rect& r : sc.at)
                    sc.dest.Blt(&sc.mixed, r.x, r.y, Rect(0, 0, r.width, r.height), Color::White, 0);
            },
            {[](Scene& sc) { sc.Pixman(PIXMAN_OP_OVER, sc.pixMixed); },
             [](Scene& sc) { sc.Sdl(sc.sdlMixed, SDL_BLENDMODE_BLEND); }});
        reg("additive_blit",
            [](Scene& sc) {
                for (const Rect& r : sc.at)
                    sc.dest.Blt(&sc.mixed, r.x, r.y, Rect(0, 0, r.width, r.height), Color::White, 1);
            },
            {[](Scene& sc) { sc.Pixman(PIXMAN_OP_ADD, sc.pixMixedAmounts); },
             [](Scene& sc) { sc.Sdl(sc.sdlMixed, SDL_BLENDMODE_ADD); }});
        reg("colourised_blit",
            [tint](Scene& sc) {
                for (const Rect& r : sc.at)
                    sc.dest.Blt(&sc.mixed, r.x, r.y, Rect(0, 0, r.width, r.height), tint, 0);
            },
            {[tint](Scene& sc) {
                 const pixman_color_t c{uint16_t(tint.red * 257), uint16_t(tint.green * 257),
                                        uint16_t(tint.blue * 257), uint16_t(tint.alpha * 257)};
                 pixman_image_t* mask = pixman_image_create_solid_fill(&c);
                 pixman_image_set_component_alpha(mask, true);
                 sc.Pixman(PIXMAN_OP_OVER, sc.pixMixed, mask);
                 pixman_image_unref(mask);
             },
             [tint](Scene& sc) {
                 SDL_SetSurfaceColorMod(sc.sdlMixed, uint8_t(tint.red), uint8_t(tint.green), uint8_t(tint.blue));
                 SDL_SetSurfaceAlphaMod(sc.sdlMixed, uint8_t(tint.alpha));
                 sc.Sdl(sc.sdlMixed, SDL_BLENDMODE_BLEND);
                 SDL_SetSurfaceColorMod(sc.sdlMixed, 255, 255, 255);
                 SDL_SetSurfaceAlphaMod(sc.sdlMixed, 255);
             }});
        reg("alpha_fill",
            [](Scene& sc) {
                for (const Rect& r : sc.at)
                    sc.dest.FillRect(r, Color(40, 90, 200, 128), 0);
            },
            {[](Scene& sc) {
                 const pixman_color_t c{uint16_t(20 * 257), uint16_t(45 * 257), uint16_t(100 * 257), 128 * 257};
                 std::vector<pixman_rectangle16_t> rects;
                 for (const Rect& r : sc.at)
                     rects.push_back({int16_t(r.x), int16_t(r.y), uint16_t(r.width), uint16_t(r.height)});
                 pixman_image_fill_rectangles(PIXMAN_OP_OVER, sc.pixDst, &c, int(rects.size()), rects.data());
             },
             {}});
        reg("rotated_blit",
            [](Scene& sc) {
                const Rect clip(0, 0, kFrameW, kFrameH);
                for (const Rect& r : sc.at)
                    sc.dest.BltRotated(&sc.mixed, float(r.x), float(r.y), Rect(0, 0, r.width, r.height), clip,
                                       Color::White, 0, 0.5, float(r.width / 2), float(r.height / 2));
            },
            {[](Scene& sc) {
                 for (const Rect& r : sc.at) {
                     const Rect box = RotatedBox(sc.pixMixed, r, 0.5);
                     pixman_image_composite32(PIXMAN_OP_OVER, sc.pixMixed, nullptr, sc.pixDst, 0, 0, 0, 0, box.x,
                                              box.y, box.width, box.height);
                 }
                 pixman_image_set_transform(sc.pixMixed, nullptr);
             },
             {}});
        reg("smooth_stretch",
            [](Scene& sc) {
                const Rect clip(0, 0, kFrameW, kFrameH);
                for (const Rect& r : sc.at)
                    sc.dest.StretchBlt(&sc.big, r, Rect(0, 0, sc.big.width, sc.big.height), clip, Color::White, 0,
                                       false);
            },
            {[](Scene& sc) {
                 sc.Pixman(PIXMAN_OP_OVER, Transformed(sc.pixBig, 0, 1.25, 1.25, PIXMAN_FILTER_BILINEAR));
                 pixman_image_set_transform(sc.pixBig, nullptr);
             },
             {}});
        reg("fast_stretch",
            [](Scene& sc) {
                const Rect clip(0, 0, kFrameW, kFrameH);
                for (const Rect& r : sc.at)
                    sc.dest.StretchBlt(&sc.big, r, Rect(0, 0, sc.big.width, sc.big.height), clip, Color::White, 0,
                                       true);
            },
            {[](Scene& sc) {
                 // Our nearest stretch takes column floor(i * scale); pixman samples at pixel
                 // centres, so its transform is moved back by half a step (to just past the corner).
                 pixman_transform_t t;
                 pixman_transform_init_identity(&t);
                 t.matrix[0][0] = t.matrix[1][1] = pixman_double_to_fixed(1.25);
                 t.matrix[0][2] = t.matrix[1][2] = pixman_double_to_fixed(-0.625) + 2 * pixman_fixed_e;
                 pixman_image_set_transform(sc.pixBig, &t);
                 pixman_image_set_filter(sc.pixBig, PIXMAN_FILTER_NEAREST, nullptr, 0);
                 sc.Pixman(PIXMAN_OP_OVER, sc.pixBig);
                 pixman_image_set_transform(sc.pixBig, nullptr);
             },
             {}});
    }
}

const int gRegistered = (Register(), 0);

} // namespace
