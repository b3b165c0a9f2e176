// The SDL2 mixer end to end: the bytes written by SDL's disk driver, and channels ending and
// workers running on the device's own threads under the dummy driver. Each wait is for work the
// device reports done (frames mixed, worker calls), never for an amount of time.
#include "platform/sdl/SdlSoundDevice.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "support/TempFolder.h"
#include "tests/platform/SoundTestFiles.h"

using namespace Platform;

namespace {

// Sets environment variables for the test's lifetime (SDL reads them when audio starts).
class ScopedEnv {
public:
    void Set(const char* name, const std::string& value)
    {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->had)
                setenv(it->name.c_str(), it->value.c_str(), 1);
            else
                unsetenv(it->name.c_str());
        }
    }

private:
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    std::vector<Saved> saved_;
};

TEST(SdlSoundDeviceThreads, DiskDriverReceivesTheMix)
{
    TestSupport::TempFolder folder;
    const std::string output = folder.File("mix.raw");
    ScopedEnv env;
    env.Set("SDL_AUDIODRIVER", "disk");
    env.Set("SDL_DISKAUDIOFILE", output);
    env.Set("SDL_DISKAUDIODELAY", "0");
    SoundTestFiles::Write(folder.File("left.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                          SoundTestFiles::Constant(2000, 10000));
    SoundTestFiles::Write(folder.File("muted.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1,
                          SoundTestFiles::Constant(1000, 20000));

    auto device = SdlSoundDevice::Create();
    if (device == nullptr)
        GTEST_SKIP() << "SDL has no disk audio driver here";
    ASSERT_GE(device->GetNumDevice(), 1);
    ASSERT_EQ(device->Init(SoundInitParams{}), kSoundOk);
    const int left = device->SampleLoadFile(folder.File("left.wav").c_str(), 0, nullptr);
    const int muted = device->SampleLoadFile(folder.File("muted.wav").c_str(), 0, nullptr);
    ASSERT_GT(left, 0);
    ASSERT_GT(muted, 0);
    ASSERT_GT(device->SamplePlayEx(left, 1, 1, 1, 0, 100, 44100, 0), 0);
    ASSERT_GT(device->SamplePlayEx(muted, 1, 2, 1, 0, 0, 44100, 50), 0);
    device->WaitMixedFrames(device->MixedFrames() + 8192);
    device->Free(); // closes the output, so the file is complete

    const std::string bytes = TestSupport::ReadFileBytes(output);
    ASSERT_GE(bytes.size(), 8192u * 4);
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    size_t sounding = 0;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        // Before the channels started the output is silent; afterwards the left side holds the
        // pan-0 sound alone: volume 0 adds nothing and pan 0 leaves the right side silent.
        ASSERT_TRUE(frames[i] == 0 || frames[i] == 10000) << "frame " << i / 2 << " left " << frames[i];
        ASSERT_EQ(frames[i + 1], 0) << "frame " << i / 2;
        sounding += frames[i] == 10000;
    }
    EXPECT_GE(sounding, 4096u);
}

struct WorkerCalls {
    std::mutex mutex;
    std::condition_variable changed;
    int calls = 0;
    std::thread::id thread;
};

int CountingWorker(int, void* data)
{
    auto* w = static_cast<WorkerCalls*>(data);
    std::lock_guard lock(w->mutex);
    ++w->calls;
    w->thread = std::this_thread::get_id();
    w->changed.notify_all();
    return 1;
}

TEST(SdlSoundDevice, ChannelsEndAndWorkersRunOnTheDevicesThreads)
{
    TestSupport::TempFolder folder;
    ScopedEnv env;
    env.Set("SDL_AUDIODRIVER", "dummy");
    SoundTestFiles::Write(folder.File("short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                          SoundTestFiles::Constant(1000, 100));
    auto device = SdlSoundDevice::Create();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->Init(SoundInitParams{}), kSoundOk);
    const int sample = device->SampleLoadFile(folder.File("short.wav").c_str(), 0, nullptr);
    ASSERT_GT(sample, 0);
    EXPECT_EQ(device->SampleLoadFile(folder.File("none.wav").c_str(), 0, nullptr), kSoundErrFileOpen);

    const int channel = device->SamplePlayEx(sample, 0, 0, 1, 0, 100, 44100, 50);
    ASSERT_GT(channel, 0);
    WorkerCalls worker;
    device->ChannelSetWorker(channel, &CountingWorker, &worker, 25);
    device->WaitMixedFrames(device->MixedFrames() + 8192);
    EXPECT_EQ(device->ChannelStatus(channel), kChannelStopped) << "a 1000-frame sound has ended";
    {
        std::unique_lock lock(worker.mutex);
        worker.changed.wait(lock, [&] { return worker.calls >= 3; });
        EXPECT_NE(worker.thread, std::this_thread::get_id());
    }
    device->ChannelSetWorker(channel, nullptr, nullptr, 100);
    const int callsAfterRemoval = worker.calls;
    device->WaitMixedFrames(device->MixedFrames() + 4096);
    EXPECT_EQ(worker.calls, callsAfterRemoval);
    device->Free();
    EXPECT_FALSE(device->IsInitialised());
}

} // namespace
