// Font test helpers.
#include "support/FontFixtures.h"

#include "framework/assets/ImageLib.h"
#include "framework/core/StringUtils.h"

#include <png.h>

namespace TestSupport {

std::string Utf16Le(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text) {
        out += char(uint32_t(c) & 0xFF);
        out += char((uint32_t(c) >> 8) & 0xFF);
    }
    return out;
}

std::wstring GlyphStripFont()
{
    return L"SetDefaultPointSize 24;\n"
           L"Define chars ('A' 'V' 'B' 'W');\n"
           L"CreateHorzSpanRectList rects (0 0 32 12) (8 8 8 8);\n"
           L"CreateLayer main;\n"
           L"LayerSetImage main 'glyphs.png';\n"
           L"LayerSetPointSize main 24;\n"
           L"LayerSetAscent main 10;\n"
           L"LayerSetHeight main 12;\n"
           L"LayerSetImageMap main chars rects;\n"
           L"LayerSetCharWidths main chars (8 8 8 8);\n"
           L"LayerSetSpacing main 2;\n"
           L"LayerSetKerningPairs main ('AV') (-4);\n";
}

std::wstring GlyphStripShadow()
{
    return L"CreateLayerFrom shadow main;\n"
           L"LayerSetBaseOrder shadow -1;\n"
           L"LayerSetOffset shadow (-1 0);\n"
           L"LayerSetColorMult shadow (0 0 0 1);\n";
}

PopupCapture::PopupCapture()
{
    previous = Fw::SetPopupSink([this](const std::wstring& text) { popups.push_back(text); });
}

PopupCapture::~PopupCapture()
{
    Fw::SetPopupSink(std::move(previous));
}

TestImageSource::~TestImageSource() = default;

Fw::SharedImageRef TestImageSource::AcquireSharedImage(const std::string& path, const std::string& variant,
                                                       bool* isNew, uint32_t alphaComposeColor)
{
    requested.push_back(path);
    const std::string key = Fw::StringToUpper(path) + "|" + variant;
    auto it = records.find(key);
    if (isNew)
        *isNew = it == records.end();
    if (it == records.end()) {
        it = records.emplace(key, Fw::SharedImage{}).first;
        if (auto loaded = ImageLib::LoadImageFile(path, true, alphaComposeColor)) {
            auto image = std::make_unique<Fw::MemoryImage>(nullptr);
            image->SetBits(loaded->GetBits(), loaded->GetWidth(), loaded->GetHeight());
            it->second.image = image.get();
            images.push_back(std::move(image));
        }
    }
    return Fw::SharedImageRef(&it->second);
}

Fw::MemoryImage* TestImageSource::Add(const std::string& path, int width, int height, uint32_t fill)
{
    return Add(path, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), fill));
}

Fw::MemoryImage* TestImageSource::Add(const std::string& path, int width, int height,
                                      const std::vector<uint32_t>& pixels)
{
    auto image = std::make_unique<Fw::MemoryImage>(nullptr);
    image->SetBits(pixels.data(), width, height);
    Fw::SharedImage& record = records[Fw::StringToUpper(path) + "|"];
    record.image = image.get();
    images.push_back(std::move(image));
    return record.image;
}

std::vector<uint8_t> PngBytes(int width, int height, const std::vector<uint32_t>& pixels)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* dest = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            dest->insert(dest->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
            row[size_t(x) * 4 + 0] = uint8_t(p >> 16);
            row[size_t(x) * 4 + 1] = uint8_t(p >> 8);
            row[size_t(x) * 4 + 2] = uint8_t(p);
            row[size_t(x) * 4 + 3] = uint8_t(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace TestSupport
