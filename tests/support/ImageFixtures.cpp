// Test image writers (see ImageFixtures.h). Failures throw: a fixture that cannot be made is a
// broken test, not a result.
#include "support/ImageFixtures.h"

#include <openjpeg.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>

namespace TestSupport {
namespace {

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

FilePtr OpenForWrite(const std::string& path)
{
    FilePtr f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f)
        throw std::runtime_error("cannot write " + path);
    return f;
}

// GIF LZW encoder: codes least significant bit first in sub-blocks of up to 255 bytes.
class LzwWriter {
public:
    LzwWriter(std::vector<uint8_t>& out, int minCodeSize) : out(out), minCodeSize(minCodeSize) {}

    void Encode(const std::vector<uint8_t>& indices)
    {
        const int clear = 1 << minCodeSize;
        out.push_back(uint8_t(minCodeSize));
        Reset();
        Emit(clear);
        int prefix = -1;
        for (uint8_t k : indices) {
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const auto it = dictionary.find({prefix, k});
            if (it != dictionary.end()) {
                prefix = it->second;
                continue;
            }
            Emit(prefix);
            if (nextCode < 4096) {
                dictionary[{prefix, k}] = nextCode++;
                if (nextCode > (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            } else {
                Emit(clear);
                Reset();
            }
            prefix = k;
        }
        if (prefix >= 0)
            Emit(prefix);
        Emit(clear + 1);
        if (bitCount > 0)
            block.push_back(uint8_t(accumulator));
        Flush();
        out.push_back(0);
    }

private:
    void Reset()
    {
        dictionary.clear();
        codeSize = minCodeSize + 1;
        nextCode = (1 << minCodeSize) + 2;
    }
    void Emit(int code)
    {
        accumulator |= uint32_t(code) << bitCount;
        bitCount += codeSize;
        while (bitCount >= 8) {
            block.push_back(uint8_t(accumulator));
            accumulator >>= 8;
            bitCount -= 8;
            if (block.size() == 255)
                Flush();
        }
    }
    void Flush()
    {
        if (block.empty())
            return;
        out.push_back(uint8_t(block.size()));
        out.insert(out.end(), block.begin(), block.end());
        block.clear();
    }

    std::vector<uint8_t>& out;
    const int minCodeSize;
    std::map<std::pair<int, int>, int> dictionary;
    int codeSize = 0, nextCode = 0;
    uint32_t accumulator = 0;
    int bitCount = 0;
    std::vector<uint8_t> block;
};

void PutU16(std::vector<uint8_t>& out, int v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

} // namespace

void WritePngFixture(const std::string& path, const PngFixture& fixture)
{
    FilePtr f = OpenForWrite(path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed writing " + path);
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, png_uint_32(fixture.width), png_uint_32(fixture.height), fixture.bitDepth,
                 fixture.colorType, fixture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < fixture.palette.size(); i += 3)
        palette.push_back({fixture.palette[i], fixture.palette[i + 1], fixture.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!fixture.transparency.empty())
        png_set_tRNS(png, info, fixture.transparency.data(), int(fixture.transparency.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = fixture.rows.size() / size_t(fixture.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < fixture.height; ++y)
        rows.push_back(const_cast<png_bytep>(fixture.rows.data() + size_t(y) * rowBytes));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

void WriteJpegFixture(const std::string& path, int width, int height, int components,
                      const std::vector<uint8_t>& samples, int quality)
{
    FilePtr f = OpenForWrite(path);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err); // errors exit the test program: fixtures are always valid
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(y) * size_t(width) * size_t(components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

void WriteJ2kFixture(const std::string& path, int width, int height, int components,
                     const std::vector<uint8_t>& samples, bool jp2)
{
    std::vector<opj_image_cmptparm_t> parms(static_cast<size_t>(components));
    for (opj_image_cmptparm_t& p : parms) {
        p = opj_image_cmptparm_t{};
        p.dx = p.dy = 1;
        p.w = OPJ_UINT32(width);
        p.h = OPJ_UINT32(height);
        p.prec = 8;
        p.sgnd = 0;
    }
    opj_image_t* image = opj_image_create(OPJ_UINT32(components), parms.data(),
                                          components == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (int c = 0; c < components; ++c)
        for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
            image->comps[c].data[i] = samples[i * size_t(components) + size_t(c)];
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters); // reversible 5/3 wavelet: lossless
    parameters.numresolution = 2;
    parameters.tcp_mct = components == 3 ? 1 : 0;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &parameters, image);
    opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE);
    const bool ok = stream && opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
                    opj_end_compress(codec, stream);
    if (stream)
        opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!ok)
        throw std::runtime_error("OpenJPEG failed writing " + path);
}

std::vector<uint8_t> MakeGif(const GifFixture& gif)
{
    int bits = 1;
    while ((size_t(1) << bits) < gif.palette.size())
        ++bits;
    std::vector<uint8_t> table;
    for (size_t i = 0; i < (size_t(1) << bits); ++i) {
        const uint32_t c = i < gif.palette.size() ? gif.palette[i] : 0;
        table.insert(table.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
    const uint8_t tableFlags = uint8_t(0x80 | (bits - 1));

    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, gif.width);
    PutU16(out, gif.height);
    out.push_back(gif.localPalette ? 0 : tableFlags);
    out.push_back(0); // background
    out.push_back(0); // aspect
    if (!gif.localPalette)
        out.insert(out.end(), table.begin(), table.end());
    if (gif.withComment)
        out.insert(out.end(), {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0});
    if (gif.transparentIndex >= 0)
        out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0, uint8_t(gif.transparentIndex), 0});
    out.push_back(',');
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, gif.width);
    PutU16(out, gif.height);
    out.push_back(uint8_t((gif.localPalette ? tableFlags : 0) | (gif.interlaced ? 0x40 : 0)));
    if (gif.localPalette)
        out.insert(out.end(), table.begin(), table.end());

    std::vector<uint8_t> ordered;
    if (!gif.interlaced) {
        ordered = gif.indices;
    } else {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < gif.height; y += kStep[pass])
                ordered.insert(ordered.end(), gif.indices.begin() + ptrdiff_t(y) * gif.width,
                               gif.indices.begin() + ptrdiff_t(y + 1) * gif.width);
    }
    LzwWriter(out, std::max(bits, 2)).Encode(ordered);
    out.push_back(';');
    return out;
}

std::vector<uint8_t> MakeTga(int width, int height, int depth, int descriptor,
                             const std::vector<uint8_t>& data, int imageType)
{
    std::vector<uint8_t> out = {0, 0, uint8_t(imageType), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(uint8_t(depth));
    out.push_back(uint8_t(descriptor));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace TestSupport

namespace TestSupport {

std::vector<uint32_t> PatternPixels(int width, int height)
{
    std::vector<uint32_t> p;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.push_back(uint32_t(0x10 + 37 * x + 11 * y) << 24 | uint32_t(13 * x) << 16 |
                        uint32_t(29 * y) << 8 | uint32_t(7 * x + 5 * y + 1));
    return p;
}

} // namespace TestSupport
