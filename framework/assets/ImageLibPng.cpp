// PNG reader and writer over libpng. Every colour type, bit depth and interlacing is turned into
// 8-bit B, G, R, A; libpng errors unwind to the setjmp point in the two Run functions, whose frames
// hold no objects with destructors.
#include "framework/assets/ImageLib.h"
#include "framework/assets/ImageLibFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace ImageLib {
namespace {

[[noreturn]] void QuietError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void QuietWarning(png_structp, png_const_charp) {}

void ReadFromPak(png_structp png, png_bytep data, size_t length)
{
    auto* file = static_cast<PakFile*>(png_get_io_ptr(png));
    if (PakFRead(data, 1, length, file) != length)
        png_error(png, "Read Error");
}

struct ReadJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::unique_ptr<Image> image;
    std::vector<png_bytep> rows;
};

bool RunRead(ReadJob& job)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_set_user_limits(job.png, kMaxImageDimension, kMaxImageDimension);
    png_read_info(job.png, job.info);
    const png_uint_32 width = png_get_image_width(job.png, job.info);
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    png_set_expand(job.png); // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(job.png);
    png_set_gray_to_rgb(job.png);
    png_set_filler(job.png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(job.png);
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    // Deflate expands a byte to at most 1032, and a pixel is at least one bit of them.
    job.image = CreateImageFor(static_cast<PakFile*>(png_get_io_ptr(job.png)), width, height, 1032 * 8);
    if (!job.image || png_get_rowbytes(job.png, job.info) != size_t(width) * 4)
        return false;
    job.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        job.rows[y] = reinterpret_cast<png_bytep>(job.image->GetBits() + size_t(y) * width);
    png_read_image(job.png, job.rows.data());
    png_read_end(job.png, nullptr);
    return true;
}

struct WriteJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE* file = nullptr;
    const Image* image = nullptr;
};

bool RunWrite(WriteJob& job)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_init_io(job.png, job.file);
    png_set_IHDR(job.png, job.info, png_uint_32(job.image->GetWidth()), png_uint_32(job.image->GetHeight()),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_8 bits{8, 8, 8, 0, 8};
    png_set_sBIT(job.png, job.info, &bits);
    png_write_info(job.png, job.info);
    png_set_bgr(job.png); // our pixels are B, G, R, A in memory
    for (int y = 0; y < job.image->GetHeight(); ++y) {
        auto row = reinterpret_cast<png_const_bytep>(job.image->GetBits() +
                                                     size_t(y) * size_t(job.image->GetWidth()));
        png_write_row(job.png, row);
    }
    png_write_end(job.png, nullptr);
    return true;
}

} // namespace

std::unique_ptr<Image> ReadPng(const std::string& name)
{
    PakFileHandle file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ReadJob job;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!job.png)
        return nullptr;
    job.info = png_create_info_struct(job.png);
    bool ok = false;
    if (job.info) {
        png_set_read_fn(job.png, file.get(), ReadFromPak);
        ok = RunRead(job);
    }
    png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    return ok ? std::move(job.image) : nullptr;
}

bool WritePng(const std::string& name, const Image& image)
{
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return false;
    OutputFile file = CreateOutputFile(name);
    if (!file)
        return false;
    WriteJob job;
    job.file = file.get();
    job.image = &image;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (!job.png)
        return false;
    job.info = png_create_info_struct(job.png);
    const bool ok = job.info && RunWrite(job);
    png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    return ok && std::fflush(file.get()) == 0;
}

} // namespace ImageLib
