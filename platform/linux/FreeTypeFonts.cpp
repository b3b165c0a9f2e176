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
        ForEachGlyph(text, false, [&](FT_GlyphSlot slot) { pen += RoundToPixels(slot->advance.x); });
        return pen;
    }

    void RenderCoverage(std::wstring_view text, int32_t x, int32_t y, uint8_t* cover, int32_t width,
                        int32_t height) override
    {
        std::lock_guard lock(mutex);
        auto plot = [&](int32_t px, int32_t py, uint8_t value) {
            if (px >= 0 && py >= 0 && px < width && py < height) {
                uint8_t& c = cover[size_t(py) * size_t(width) + size_t(px)];
                c = std::max(c, value);
            }
        };
        const int32_t baseline = y + ascent;
        int32_t pen = x;
        ForEachGlyph(text, true, [&](FT_GlyphSlot slot) {
            const FT_Bitmap& bitmap = slot->bitmap;
            const int32_t left = pen + slot->bitmap_left, top = baseline - slot->bitmap_top;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const unsigned char* src = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    uint8_t value;
                    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                        value = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
                    else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                        value = uint8_t(bitmap.num_grays == 256 ? src[col] : src[col] * 255 / (bitmap.num_grays - 1));
                    else
                        continue;
                    if (value)
                        plot(left + int32_t(col), top + int32_t(row), value);
                }
            }
            pen += RoundToPixels(slot->advance.x);
        });
        if (underline) {
            const int32_t top = baseline + underlineCentre - underlineThickness / 2;
            for (int32_t row = top; row < top + underlineThickness; ++row)
                for (int32_t px = x; px < pen; ++px)
                    plot(px, row, 255);
        }
    }

private:
    // Loads each character of text (surrogate pairs joined) with the simulated styles applied,
    // rendered to grey when render is set, and calls use with the glyph slot. Holds mutex.
    template <class Use>
    void ForEachGlyph(std::wstring_view text, bool render, Use&& use)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            uint32_t code = uint32_t(text[i]);
            if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && uint32_t(text[i + 1]) >= 0xDC00 &&
                uint32_t(text[i + 1]) < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
                ++i;
            }
            const FT_Int32 flags = FT_LOAD_DEFAULT | (FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : 0);
            if (FT_Load_Char(face, code, flags) != 0)
                continue;
            if (simulateItalic)
                FT_GlyphSlot_Oblique(face->glyph);
            if (simulateBold)
                FT_GlyphSlot_Embolden(face->glyph);
            if (render && face->glyph->format != FT_GLYPH_FORMAT_BITMAP &&
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
                continue;
            use(face->glyph);
        }
    }

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
    for (const std::string& family : {request.faceName, std::string(kFallbackFamily)}) {
        MatchedFile file;
        if (!MatchFile(family, request.bold, request.italic, file))
            continue;
        auto face = std::make_shared<FreeTypeFace>();
        if (face->Open(file, request))
            return face;
    }
    return nullptr;
}

} // namespace Platform
