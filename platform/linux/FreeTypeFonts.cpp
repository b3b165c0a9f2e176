// fontconfig matching and FreeType rendering of system fonts.
#include "platform/linux/FreeTypeFonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Platform {

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";

struct MatchedFile {
    std::string path;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

// fontconfig's matching, serialised: its configuration is shared by the whole process.
bool MatchFile(const std::string& family, bool bold, bool italic, MatchedFile& out)
{
    static std::mutex fcMutex;
    std::lock_guard lock(fcMutex);
    if (!FcInit())
        return false;
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        out.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &out.slant);
    }
    FcPatternDestroy(match);
    return found;
}

int32_t RoundToPixels(FT_Pos value26_6)
{
    return int32_t((value26_6 + 32) >> 6);
}

class FreeTypeFace final : public SystemFontFace {
public:
    ~FreeTypeFace() override
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    bool Open(const MatchedFile& file, const SystemFontRequest& request)
    {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return false;
        }
        if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) {
            face = nullptr;
            return false;
        }
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::max(1, request.pixelHeight))) != 0)
            return false;
        simulateBold = request.bold && file.weight < FC_WEIGHT_DEMIBOLD;
        simulateItalic = request.italic && file.slant == FC_SLANT_ROMAN;
        underline = request.underline;

        const double ppem = std::max(1, request.pixelHeight);
        const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 1.0;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (FT_IS_SCALABLE(face) && os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = int32_t(std::lround(os2->usWinAscent * ppem / unitsPerEm));
            descent = int32_t(std::lround(os2->usWinDescent * ppem / unitsPerEm));
        } else if (FT_IS_SCALABLE(face)) {
            ascent = int32_t(std::lround(face->ascender * ppem / unitsPerEm));
            descent = int32_t(std::lround(-face->descender * ppem / unitsPerEm));
        } else {
            ascent = RoundToPixels(face->size->metrics.ascender);
            descent = RoundToPixels(-face->size->metrics.descender);
        }
        if (FT_IS_SCALABLE(face)) {
            underlineThickness = std::max(1, int32_t(std::lround(face->underline_thickness * ppem / unitsPerEm)));
            underlineCentre = int32_t(std::lround(-face->underline_position * ppem / unitsPerEm));
        } else {
            underlineThickness = 1;
            underlineCentre = std::max(1, descent / 2);
        }
        return true;
    }

    int32_t Ascent() override { return ascent; }
    int32_t Height() override { return ascent + descent; }

    int32_t TextWidth(std::wstring_view text) override
    {
        std::lock_guard lock(mutex);
        int32_t pen = 0;
        ForEachCode(text, [&](uint32_t code) {
            if (const Glyph* g = GlyphOf(code); g->loaded)
                pen += g->advance;
        });
        return pen;
    }

    void RenderCoverage(std::wstring_view text, int32_t x, int32_t y, uint8_t* cover, int32_t width,
                        int32_t height) override
    {
        std::lock_guard lock(mutex);
        const int32_t baseline = y + ascent;
        int32_t pen = x;
        ForEachCode(text, [&](uint32_t code) {
            const Glyph* g = GlyphOf(code);
            if (!g->rendered)
                return;
            const int32_t left = pen + g->left, top = baseline - g->top;
            // The part of the glyph inside the buffer, each pixel keeping the larger value.
            const int32_t c0 = std::max(0, -left), c1 = std::min(g->width, width - left);
            const int32_t r0 = std::max(0, -top), r1 = std::min(g->rows, height - top);
            for (int32_t row = r0; row < r1; ++row) {
                const uint8_t* src = g->cover.data() + size_t(row) * size_t(g->width);
                uint8_t* dst = cover + size_t(top + row) * size_t(width);
                for (int32_t col = c0; col < c1; ++col)
                    dst[left + col] = std::max(dst[left + col], src[col]);
            }
            pen += g->advance;
        });
        if (underline) {
            const int32_t top = baseline + underlineCentre - underlineThickness / 2;
            for (int32_t row = std::max(top, 0); row < std::min(top + underlineThickness, height); ++row)
                for (int32_t px = std::max(x, 0); px < std::min(pen, width); ++px)
                    cover[size_t(row) * size_t(width) + size_t(px)] = 255;
        }
    }

private:
    // One character as loaded with the simulated styles: its pen advance in pixels and, when it
    // rendered, its grey coverage (0..255, rows of width) placed left and top of the pen's point
    // on the baseline. A face keeps the glyphs it loaded: later texts copy them.
    struct Glyph {
        bool loaded = false, rendered = false;
        int32_t advance = 0, left = 0, top = 0, width = 0, rows = 0;
        std::vector<uint8_t> cover;
    };

    // Calls use with each character code of text (surrogate pairs joined).
    template <class Use>
    static void ForEachCode(std::wstring_view text, Use&& use)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            uint32_t code = uint32_t(text[i]);
            if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && uint32_t(text[i + 1]) >= 0xDC00 &&
                uint32_t(text[i + 1]) < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
                ++i;
            }
            use(code);
        }
    }

    // The glyph of code, loaded (with the simulated styles) and rendered to grey on first use.
    // Holds mutex.
    const Glyph* GlyphOf(uint32_t code)
    {
        if (auto it = glyphs.find(code); it != glyphs.end())
            return &it->second;
        if (glyphs.size() >= kMaxGlyphs)
            glyphs.clear(); // very many distinct characters: start over
        Glyph& g = glyphs[code];
        const FT_Int32 flags = FT_LOAD_DEFAULT | (FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : 0);
        if (FT_Load_Char(face, code, flags) != 0)
            return &g;
        if (simulateItalic)
            FT_GlyphSlot_Oblique(face->glyph);
        if (simulateBold)
            FT_GlyphSlot_Embolden(face->glyph);
        g.loaded = true;
        g.advance = RoundToPixels(face->glyph->advance.x);
        if (face->glyph->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            return &g;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        g.rendered = true;
        g.left = face->glyph->bitmap_left;
        g.top = face->glyph->bitmap_top;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            return &g; // other modes draw nothing
        g.width = int32_t(bitmap.width);
        g.rows = int32_t(bitmap.rows);
        g.cover.assign(size_t(g.width) * size_t(g.rows), 0);
        for (int32_t row = 0; row < g.rows; ++row) {
            const unsigned char* src = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
            uint8_t* out = g.cover.data() + size_t(row) * size_t(g.width);
            for (int32_t col = 0; col < g.width; ++col) {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    out[col] = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
                else
                    out[col] = uint8_t(bitmap.num_grays == 256 ? src[col] : src[col] * 255 / (bitmap.num_grays - 1));
            }
        }
        return &g;
    }

    static constexpr size_t kMaxGlyphs = 4096;
    std::unordered_map<uint32_t, Glyph> glyphs;

    std::mutex mutex; // one FreeType face is not thread-safe: fonts are measured and drawn on different threads
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool simulateBold = false, simulateItalic = false, underline = false;
    int32_t ascent = 0, descent = 0;
    int32_t underlineThickness = 1, underlineCentre = 1; // pixels; centre below the baseline
};

} // namespace

std::shared_ptr<SystemFontFace> FreeTypeFonts::Open(const SystemFontRequest& request)
{
    // Fonts of one face, size and style share one opened face and so its glyphs, for as long as
    // any of them lives.
    static std::mutex openMutex;
    static std::vector<std::pair<SystemFontRequest, std::weak_ptr<SystemFontFace>>> opened;
    std::lock_guard lock(openMutex);
    std::erase_if(opened, [](const auto& entry) { return entry.second.expired(); });
    for (const auto& [known, face] : opened)
        if (known == request)
            if (auto shared = face.lock())
                return shared;
    for (const std::string& family : {request.faceName, std::string(kFallbackFamily)}) {
        MatchedFile file;
        if (!MatchFile(family, request.bold, request.italic, file))
            continue;
        auto face = std::make_shared<FreeTypeFace>();
        if (face->Open(file, request)) {
            opened.emplace_back(request, face);
            return face;
        }
    }
    return nullptr;
}

} // namespace Platform
