// Decoding through the file callbacks: formats, channel layouts, resampling and failures.
#include "platform/linux/SoundFileDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "support/TempFolder.h"
#include "tests/platform/SoundTestFiles.h"

using Platform::DecodeSoundFile;
using Platform::SoundFileCallbacks;

namespace {

std::shared_ptr<const Platform::SoundPcm> DecodeFile(const std::string& path, int& error)
{
    return DecodeSoundFile(SoundFileCallbacks::Stdio(), path.c_str(), 44100, error);
}

double Rms(const Platform::SoundPcm& pcm, int side)
{
    double sum = 0;
    for (size_t i = 0; i < pcm.FrameCount(); ++i)
        sum += double(pcm.samples[i * 2 + side]) * pcm.samples[i * 2 + side];
    return std::sqrt(sum / double(pcm.FrameCount()));
}

TEST(SoundFileDecoder, LosslessMonoAtOutputRateIsCopiedToBothSides)
{
    TestSupport::TempFolder folder;
    const std::vector<int16_t> ramp = {0, 1, -1, 32767, -32768, 1234, -4321, 7};
    const std::string path = folder.File("ramp.wav");
    SoundTestFiles::Write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, ramp);
    int error = 0;
    auto pcm = DecodeFile(path, error);
    ASSERT_NE(pcm, nullptr) << error;
    ASSERT_EQ(pcm->FrameCount(), ramp.size());
    for (size_t i = 0; i < ramp.size(); ++i) {
        EXPECT_EQ(pcm->samples[i * 2], ramp[i]) << "frame " << i;
        EXPECT_EQ(pcm->samples[i * 2 + 1], ramp[i]) << "frame " << i;
    }
}

TEST(SoundFileDecoder, HalfRateIsResampledLinearly)
{
    TestSupport::TempFolder folder;
    const std::string path = folder.File("half.wav");
    SoundTestFiles::Write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, {0, 1000, 3000, 3000});
    int error = 0;
    auto pcm = DecodeFile(path, error);
    ASSERT_NE(pcm, nullptr);
    // Output frame k lies at source position k/2: even frames hit source frames, odd frames
    // halve the gap; the last source frame is held.
    const std::vector<int16_t> expected = {0, 500, 1000, 2000, 3000, 3000, 3000, 3000};
    ASSERT_EQ(pcm->FrameCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(pcm->samples[i * 2], expected[i]) << "frame " << i;
}

TEST(SoundFileDecoder, StereoKeepsSidesAndExtraChannelsAreDropped)
{
    TestSupport::TempFolder folder;
    const std::string stereo = folder.File("stereo.wav");
    const std::string quad = folder.File("quad.wav");
    SoundTestFiles::Write(stereo, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, {100, -200, 300, -400});
    SoundTestFiles::Write(quad, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 4, {1, 2, 3, 4, 5, 6, 7, 8});
    int error = 0;
    auto pcm = DecodeFile(stereo, error);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->samples, (std::vector<int16_t>{100, -200, 300, -400}));
    pcm = DecodeFile(quad, error);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->samples, (std::vector<int16_t>{1, 2, 5, 6}));
}

// Compressed formats: the length comes out at the output rate and the level survives coding.
// ADPCM pads the last block with silence, so its length may grow by up to one block.
struct FormatCase {
    const char* name;
    int format;
    int rate;
    double extraFrames; // output frames the coding may add
};
constexpr FormatCase kFormats[] = {
    {"wav-ima-adpcm-22k", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, 2048},
    {"wav-ms-adpcm-11k", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 11025, 4096},
    {"ogg-vorbis-44k", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 0},
    {"flac-48k", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 0},
};

TEST(SoundFileDecoder, CompressedFormatsDecodeToTheOutputRate)
{
    TestSupport::TempFolder folder;
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(std::string(c.name) + ".snd");
        const size_t frames = static_cast<size_t>(c.rate) / 2; // half a second
        const double amplitude = 10000.0;
        SoundTestFiles::Write(path, c.format, c.rate, 1, SoundTestFiles::Sine(frames, c.rate, 440, amplitude));
        int error = 0;
        auto pcm = DecodeFile(path, error);
        ASSERT_NE(pcm, nullptr) << error;
        EXPECT_GE(pcm->FrameCount(), 22049u);
        EXPECT_LE(double(pcm->FrameCount()), 22050.0 + c.extraFrames);
        const double expectedRms = amplitude / std::sqrt(2.0);
        EXPECT_NEAR(Rms(*pcm, 0), expectedRms, expectedRms * 0.1);
        EXPECT_NEAR(Rms(*pcm, 1), expectedRms, expectedRms * 0.1);
    }
}

TEST(SoundFileDecoder, FailuresAreReportedNotCrashed)
{
    TestSupport::TempFolder folder;
    TestSupport::WriteFileBytes(folder.File("garbage.wav"), "RIFF\x10\0\0\0WAVEjunkjunkjunk");
    TestSupport::WriteFileBytes(folder.File("empty.wav"), "");
    // A valid header whose data chunk holds no frame is an error, not a sample of length 0.
    SoundTestFiles::Write(folder.File("header-only.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, {});
    struct Case {
        const char* file;
        int error;
    };
    const Case cases[] = {
        {"missing.wav", Platform::kSoundErrFileOpen},
        {"garbage.wav", Platform::kSoundErrDecode},
        {"empty.wav", Platform::kSoundErrDecode},
        {"header-only.wav", Platform::kSoundErrDecode},
    };
    for (const Case& c : cases) {
        int error = 0;
        EXPECT_EQ(DecodeFile(folder.File(c.file), error), nullptr) << c.file;
        EXPECT_EQ(error, c.error) << c.file;
    }
}

// The decoder reads only through the callbacks it is given: here they serve one in-memory file.
std::string gMemoryFile;
long gMemoryPosition = 0;
int gMemoryOpen = 0;

TEST(SoundFileDecoder, ReadsOnlyThroughTheCallbacks)
{
    TestSupport::TempFolder folder;
    const std::string path = folder.File("source.wav");
    SoundTestFiles::Write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, {5, 6, 7});
    gMemoryFile = TestSupport::ReadFileBytes(path);
    gMemoryPosition = 0;
    gMemoryOpen = 0;
    const SoundFileCallbacks memory{
        [](const char* name) -> intptr_t {
            if (std::strcmp(name, "inside\\archive.wav") != 0)
                return -1;
            ++gMemoryOpen;
            gMemoryPosition = 0;
            return 42;
        },
        [](intptr_t, long offset, int origin) -> long {
            const long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? gMemoryPosition : long(gMemoryFile.size());
            gMemoryPosition = base + offset;
            return gMemoryPosition;
        },
        [](intptr_t, void* buffer, long size) -> long {
            const long left = std::max(0L, long(gMemoryFile.size()) - gMemoryPosition);
            const long count = std::min(size, left);
            std::memcpy(buffer, gMemoryFile.data() + gMemoryPosition, size_t(count));
            gMemoryPosition += count;
            return count;
        },
        [](intptr_t) { --gMemoryOpen; },
    };
    int error = 0;
    auto pcm = DecodeSoundFile(memory, "inside\\archive.wav", 44100, error);
    ASSERT_NE(pcm, nullptr) << error;
    EXPECT_EQ(pcm->samples, (std::vector<int16_t>{5, 5, 6, 6, 7, 7}));
    EXPECT_EQ(gMemoryOpen, 0) << "the handle was not closed";
    EXPECT_EQ(DecodeSoundFile(memory, "elsewhere.wav", 44100, error), nullptr);
    EXPECT_EQ(error, Platform::kSoundErrFileOpen);
}

} // namespace
