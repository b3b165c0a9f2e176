// JPEG reader (through a libjpeg source manager over the archive layer) and the quality-80
// baseline RGB writer. Grey, RGB and CMYK/YCCK files are read; other component counts are
// rejected. libjpeg errors unwind to the setjmp point in the two Run functions, whose frames hold
// no objects with destructors.
#include "framework/assets/ImageLib.h"
#include "framework/assets/ImageLibFile.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace ImageLib {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// libjpeg source manager reading a PakFile in 4 KiB blocks.
struct PakSource {
    jpeg_source_mgr pub;
    PakFile* file;
    JOCTET buffer[4096];
    bool startOfFile;
};

void InitSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<PakSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<PakSource*>(cinfo->src);
    size_t n = PakFRead(src->buffer, 1, sizeof src->buffer, src->file);
    if (n == 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF; // a fake end-of-image marker lets the library finish cleanly
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    auto* src = reinterpret_cast<PakSource*>(cinfo->src);
    while (size_t(count) > src->pub.bytes_in_buffer) {
        count -= long(src->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

uint8_t Scale255(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

struct ReadJob {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    PakSource source;
    std::unique_ptr<Image> image;
    std::vector<JSAMPLE> row;
};

bool RunRead(ReadJob& job)
{
    jpeg_decompress_struct& cinfo = job.cinfo;
    if (setjmp(job.error.jump))
        return false;
    jpeg_read_header(&cinfo, TRUE);
    switch (cinfo.num_components) {
    case 1:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case 3:
        cinfo.out_color_space = JCS_RGB;
        break;
    case 4:
        cinfo.out_color_space = JCS_CMYK;
        break; // YCCK comes out as CMYK too
    default:
        return false;
    }
    // Every 8x8 block costs at least one bit of its DC code, so a byte covers at most 512 pixels.
    // (Arithmetic coding can spend less than a bit; its files are not checked.)
    job.image = CreateImageFor(job.source.file, cinfo.image_width, cinfo.image_height,
                               cinfo.arith_code ? ~uint64_t(0) : 512);
    if (!job.image)
        return false;
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    const size_t width = cinfo.output_width;
    if (width != size_t(job.image->GetWidth()) || cinfo.output_height != JDIMENSION(job.image->GetHeight()))
        return false;
    job.row.resize(width * size_t(components));
    // Adobe writes CMYK inverted (0 = full ink); other writers store it plain.
    const bool invertedCmyk = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rowPointer = job.row.data();
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &rowPointer, 1) != 1)
            break;
        uint32_t* out = job.image->GetBits() + size_t(y) * width;
        const JSAMPLE* p = job.row.data();
        for (size_t x = 0; x < width; ++x, p += components) {
            unsigned r, g, b;
            if (components == 1) {
                r = g = b = p[0];
            } else if (components == 3) {
                r = p[0], g = p[1], b = p[2];
            } else {
                const unsigned k = invertedCmyk ? p[3] : 255u - p[3];
                r = Scale255(invertedCmyk ? p[0] : 255u - p[0], k);
                g = Scale255(invertedCmyk ? p[1] : 255u - p[1], k);
                b = Scale255(invertedCmyk ? p[2] : 255u - p[2], k);
            }
            out[x] = 0xFF000000 | r << 16 | g << 8 | b;
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

struct WriteJob {
    jpeg_compress_struct cinfo;
    ErrorManager error;
    FILE* file = nullptr;
    const Image* image = nullptr;
    std::vector<JSAMPLE> row;
};

bool RunWrite(WriteJob& job)
{
    jpeg_compress_struct& cinfo = job.cinfo;
    if (setjmp(job.error.jump))
        return false;
    cinfo.image_width = JDIMENSION(job.image->GetWidth());
    cinfo.image_height = JDIMENSION(job.image->GetHeight());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_stdio_dest(&cinfo, job.file);
    jpeg_start_compress(&cinfo, TRUE);
    job.row.resize(size_t(job.image->GetWidth()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* in =
            job.image->GetBits() + size_t(cinfo.next_scanline) * size_t(job.image->GetWidth());
        for (int x = 0; x < job.image->GetWidth(); ++x) {
            job.row[size_t(x) * 3 + 0] = JSAMPLE(in[x] >> 16);
            job.row[size_t(x) * 3 + 1] = JSAMPLE(in[x] >> 8);
            job.row[size_t(x) * 3 + 2] = JSAMPLE(in[x]);
        }
        JSAMPROW rowPointer = job.row.data();
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

std::unique_ptr<Image> ReadJpeg(const std::string& name)
{
    PakFileHandle file = OpenImageFile(name);
    if (!file)
        return nullptr;
    auto job = std::make_unique<ReadJob>();
    job->cinfo.err = jpeg_std_error(&job->error.pub);
    job->error.pub.error_exit = ErrorExit;
    if (setjmp(job->error.jump))
        return nullptr; // jpeg_create_decompress failed; nothing to destroy
    jpeg_create_decompress(&job->cinfo);
    job->source.pub.init_source = InitSource;
    job->source.pub.fill_input_buffer = FillInputBuffer;
    job->source.pub.skip_input_data = SkipInputData;
    job->source.pub.resync_to_restart = jpeg_resync_to_restart;
    job->source.pub.term_source = TermSource;
    job->source.pub.bytes_in_buffer = 0;
    job->source.pub.next_input_byte = nullptr;
    job->source.file = file.get();
    job->cinfo.src = &job->source.pub;
    const bool ok = RunRead(*job);
    jpeg_destroy_decompress(&job->cinfo);
    return ok ? std::move(job->image) : nullptr;
}

bool WriteJpeg(const std::string& name, const Image& image)
{
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return false;
    OutputFile file = CreateOutputFile(name);
    if (!file)
        return false;
    auto job = std::make_unique<WriteJob>();
    job->file = file.get();
    job->image = &image;
    job->cinfo.err = jpeg_std_error(&job->error.pub);
    job->error.pub.error_exit = ErrorExit;
    if (setjmp(job->error.jump))
        return false;
    jpeg_create_compress(&job->cinfo);
    const bool ok = RunWrite(*job);
    jpeg_destroy_compress(&job->cinfo);
    return ok && std::fflush(file.get()) == 0;
}

} // namespace ImageLib
