// libsndfile over the sound device's file callbacks, with a linear resampler to the output rate.
#include "platform/linux/SoundFileDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace Platform {
namespace {

struct VirtualFile {
    const SoundFileCallbacks* files;
    intptr_t handle;
};

sf_count_t FileLength(void* user)
{
    auto* file = static_cast<VirtualFile*>(user);
    const long here = file->files->seek(file->handle, 0, SEEK_CUR);
    const long end = file->files->seek(file->handle, 0, SEEK_END);
    file->files->seek(file->handle, here, SEEK_SET);
    return end;
}

sf_count_t FileSeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<VirtualFile*>(user);
    return file->files->seek(file->handle, static_cast<long>(offset), whence);
}

sf_count_t FileRead(void* buffer, sf_count_t count, void* user)
{
    auto* file = static_cast<VirtualFile*>(user);
    const long got = file->files->read(file->handle, buffer, static_cast<long>(count));
    return got > 0 ? got : 0;
}

sf_count_t FileWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t FileTell(void* user)
{
    auto* file = static_cast<VirtualFile*>(user);
    return file->files->seek(file->handle, 0, SEEK_CUR);
}

// An hour of stereo at the output rate: bounds what a damaged header can make us allocate.
constexpr double kMaxSeconds = 3600.0;

// libsndfile scales integer data by 1/32768, so 16-bit sources come back exactly.
int16_t ToInt16(float value)
{
    return static_cast<int16_t>(std::clamp<long>(std::lrint(value * 32768.0f), -32768, 32767));
}

} // namespace

std::shared_ptr<const SoundPcm> DecodeSoundFile(const SoundFileCallbacks& files, const char* path,
                                                int outputRate, int& error)
{
    const intptr_t handle = files.open(path);
    if (handle == -1) {
        error = kSoundErrFileOpen;
        return nullptr;
    }
    VirtualFile file{&files, handle};
    SF_VIRTUAL_IO io{&FileLength, &FileSeek, &FileRead, &FileWrite, &FileTell};
    SF_INFO info{};
    SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (sound == nullptr || info.channels <= 0 || info.samplerate <= 0) {
        if (sound != nullptr)
            sf_close(sound);
        files.close(handle);
        error = kSoundErrDecode;
        return nullptr;
    }

    // Read every frame as float stereo; the frame count in the header is only a hint.
    const size_t channels = static_cast<size_t>(info.channels);
    const size_t maxFrames = static_cast<size_t>(kMaxSeconds * info.samplerate);
    std::vector<float> stereo;
    std::vector<float> block(4096 * channels);
    for (;;) {
        const sf_count_t got = sf_readf_float(sound, block.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t frame = 0; frame < got; ++frame) {
            const float* in = &block[static_cast<size_t>(frame) * channels];
            stereo.push_back(in[0]);
            stereo.push_back(channels > 1 ? in[1] : in[0]);
        }
        if (stereo.size() / 2 >= maxFrames)
            break;
    }
    sf_close(sound);
    files.close(handle);
    if (stereo.empty()) {
        error = kSoundErrDecode;
        return nullptr;
    }

    auto pcm = std::make_shared<SoundPcm>();
    const size_t inFrames = stereo.size() / 2;
    if (info.samplerate == outputRate) {
        pcm->samples.reserve(stereo.size());
        for (float value : stereo)
            pcm->samples.push_back(ToInt16(value));
        return pcm;
    }
    // Linear interpolation between neighbouring source frames; the sound keeps its duration.
    const double step = double(info.samplerate) / outputRate;
    const size_t outFrames = std::max<size_t>(1, static_cast<size_t>(inFrames / step));
    pcm->samples.resize(outFrames * 2);
    for (size_t frame = 0; frame < outFrames; ++frame) {
        const double at = frame * step;
        const size_t i = std::min(static_cast<size_t>(at), inFrames - 1);
        const size_t j = std::min(i + 1, inFrames - 1);
        const float t = static_cast<float>(at - double(i));
        for (size_t side = 0; side < 2; ++side)
            pcm->samples[frame * 2 + side] =
                ToInt16(stereo[i * 2 + side] + (stereo[j * 2 + side] - stereo[i * 2 + side]) * t);
    }
    return pcm;
}

} // namespace Platform
