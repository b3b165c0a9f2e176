// JPEG 2000 decoding over OpenJPEG (see J2kCodec.h).
#include "platform/J2kCodec.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Platform {
namespace {

struct StreamState {
    const J2kSource* source;
    uint64_t position = 0;
};

OPJ_SIZE_T Read(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* s = static_cast<StreamState*>(user);
    const size_t n = s->source->read(buffer, count);
    s->position += n;
    return n == 0 ? OPJ_SIZE_T(-1) : n;
}

OPJ_BOOL Seek(OPJ_OFF_T offset, void* user)
{
    auto* s = static_cast<StreamState*>(user);
    if (offset < 0 || uint64_t(offset) > s->source->length || !s->source->seek(uint64_t(offset)))
        return OPJ_FALSE;
    s->position = uint64_t(offset);
    return OPJ_TRUE;
}

OPJ_OFF_T Skip(OPJ_OFF_T count, void* user)
{
    auto* s = static_cast<StreamState*>(user);
    const int64_t target = std::clamp<int64_t>(int64_t(s->position) + count, 0, int64_t(s->source->length));
    if (!s->source->seek(uint64_t(target)))
        return -1;
    const OPJ_OFF_T moved = OPJ_OFF_T(target - int64_t(s->position));
    s->position = uint64_t(target);
    return moved;
}

void Quiet(const char*, void*) {}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};

bool DetectFormat(const J2kSource& source, OPJ_CODEC_FORMAT& format)
{
    static constexpr uint8_t kJp2Signature[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static constexpr uint8_t kCodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};
    uint8_t head[12] = {};
    const size_t n = source.read(head, sizeof head);
    if (!source.seek(0))
        return false;
    if (n >= 12 && std::memcmp(head, kJp2Signature, 12) == 0)
        format = OPJ_CODEC_JP2;
    else if (n >= 4 && std::memcmp(head, kCodestreamStart, 4) == 0)
        format = OPJ_CODEC_J2K;
    else
        return false;
    return true;
}

// The component's sample at image pixel (x, y), scaled to 0..255.
uint32_t Sample(const opj_image_comp_t& c, uint32_t x, uint32_t y)
{
    const uint32_t cx = std::min(x / std::max(c.dx, 1u), c.w - 1);
    const uint32_t cy = std::min(y / std::max(c.dy, 1u), c.h - 1);
    int64_t v = c.data[size_t(cy) * c.w + cx];
    const uint32_t precision = std::clamp(c.prec, 1u, 31u);
    if (c.sgnd)
        v += int64_t(1) << (precision - 1);
    const int64_t top = (int64_t(1) << precision) - 1;
    v = std::clamp<int64_t>(v, 0, top);
    return uint32_t(precision == 8 ? v : (v * 255 + top / 2) / top);
}

} // namespace

bool DecodeJ2k(const J2kSource& source, uint32_t maxSide, uint64_t maxPixels, J2kImage& out)
{
    OPJ_CODEC_FORMAT format;
    if (!source.read || !source.seek || !DetectFormat(source, format))
        return false;

    StreamState state{&source};
    std::unique_ptr<opj_stream_t, StreamDeleter> stream(
        opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_decompress(format));
    if (!stream || !codec)
        return false;
    opj_stream_set_user_data(stream.get(), &state, nullptr);
    opj_stream_set_user_data_length(stream.get(), source.length);
    opj_stream_set_read_function(stream.get(), Read);
    opj_stream_set_seek_function(stream.get(), Seek);
    opj_stream_set_skip_function(stream.get(), Skip);
    opj_set_info_handler(codec.get(), Quiet, nullptr);
    opj_set_warning_handler(codec.get(), Quiet, nullptr);
    opj_set_error_handler(codec.get(), Quiet, nullptr);

    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return false;
    opj_image_t* rawImage = nullptr;
    const bool header = opj_read_header(stream.get(), codec.get(), &rawImage);
    std::unique_ptr<opj_image_t, ImageDeleter> image(rawImage);
    if (!header || !image || image->x1 <= image->x0 || image->y1 <= image->y0 || image->numcomps == 0)
        return false;
    const uint64_t width = image->x1 - image->x0;
    const uint64_t height = image->y1 - image->y0;
    if (width > maxSide || height > maxSide || width * height > maxPixels)
        return false;
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return false;
    const uint32_t channels = image->numcomps >= 3 ? 3 : 1;
    for (uint32_t i = 0; i < channels; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (!c.data || c.w == 0 || c.h == 0)
            return false;
    }

    out.width = uint32_t(width);
    out.height = uint32_t(height);
    out.pixels.assign(size_t(width * height), 0);
    const opj_image_comp_t* comps = image->comps;
    for (uint32_t y = 0; y < out.height; ++y) {
        for (uint32_t x = 0; x < out.width; ++x) {
            const uint32_t r = Sample(comps[0], x, y);
            const uint32_t g = channels == 3 ? Sample(comps[1], x, y) : r;
            const uint32_t b = channels == 3 ? Sample(comps[2], x, y) : r;
            out.pixels[size_t(y) * out.width + x] = 0xFF000000 | r << 16 | g << 8 | b;
        }
    }
    return true;
}

} // namespace Platform
