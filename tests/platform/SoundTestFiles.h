// Writes small sound files for the sound device tests with libsndfile: a format, a rate and
// interleaved 16-bit frames in, a file on disk out.
#pragma once
#include <sndfile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace SoundTestFiles {

// format: libsndfile's major | minor format (e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16).
inline void Write(const std::string& path, int format, int rate, int channels,
                  const std::vector<int16_t>& samples)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    EXPECT_EQ(sf_writef_short(file, samples.data(), frames), frames);
    sf_close(file);
}

// frames of one channel holding value.
inline std::vector<int16_t> Constant(size_t frames, int16_t value)
{
    return std::vector<int16_t>(frames, value);
}

// A sine of frequency Hz at amplitude, one channel.
inline std::vector<int16_t> Sine(size_t frames, int rate, double frequency, double amplitude)
{
    std::vector<int16_t> samples(frames);
    for (size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<int16_t>(std::lrint(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
    return samples;
}

} // namespace SoundTestFiles
