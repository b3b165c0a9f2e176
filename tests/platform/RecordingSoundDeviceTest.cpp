// The recording device: the manual clock's worker schedule, worker removal rules (inside a
// call, from another thread), the call log and loads through the file callbacks.
#include "platform/fake/RecordingSoundDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "support/TempFolder.h"

using namespace Platform;

namespace {

struct Calls {
    explicit Calls(RecordingSoundDevice* d) : device(d) {}
    RecordingSoundDevice* device;
    std::vector<std::pair<int, uint64_t>> seen; // channel, time of the call
    int removeAfter = 0;                        // remove itself on this call (0: never)
};

int RecordCall(int channel, void* data)
{
    auto* calls = static_cast<Calls*>(data);
    calls->seen.emplace_back(channel, calls->device->Now());
    if (calls->removeAfter != 0 && int(calls->seen.size()) == calls->removeAfter)
        calls->device->ChannelSetWorker(channel, nullptr, nullptr, 100);
    return 1;
}

class RecordingSoundDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = folder_.File("s.wav");
        TestSupport::WriteFileBytes(file_, "0123456789");
        ASSERT_EQ(device_.Init(SoundInitParams{}), kSoundOk);
        sample_ = device_.SampleLoadFile(file_.c_str(), 0, nullptr);
        ASSERT_GT(sample_, 0);
    }
    int Play() { return device_.SamplePlayEx(sample_, 1, 0, 1, 0, 100, 44100, 50); }

    TestSupport::TempFolder folder_;
    std::string file_;
    RecordingSoundDevice device_;
    int sample_ = 0;
};

// The cases that run a second thread (labelled "threads").
using RecordingSoundDeviceThreads = RecordingSoundDeviceTest;

TEST_F(RecordingSoundDeviceTest, TickCallsWorkersAtEachDueTimeInOrder)
{
    const int fast = Play();
    const int slow = Play();
    Calls calls(&device_);
    const uint64_t start = device_.Now();
    device_.ChannelSetWorker(slow, &RecordCall, &calls, 50);
    device_.ChannelSetWorker(fast, &RecordCall, &calls, 25);
    device_.Tick(24);
    EXPECT_TRUE(calls.seen.empty());
    device_.Tick(76);
    const std::vector<std::pair<int, uint64_t>> expected = {
        {fast, start + 25}, {fast, start + 50}, {slow, start + 50}, {fast, start + 75},
        {fast, start + 100}, {slow, start + 100}};
    EXPECT_EQ(calls.seen, expected);
    EXPECT_EQ(device_.Now(), start + 100);
}

TEST_F(RecordingSoundDeviceTest, WorkerRemovesItselfAndOutlivesItsChannel)
{
    const int channel = Play();
    Calls calls(&device_);
    calls.removeAfter = 3;
    device_.ChannelSetWorker(channel, &RecordCall, &calls, 10);
    device_.FinishChannel(channel);
    EXPECT_EQ(device_.ChannelStatus(channel), kChannelStopped);
    device_.Tick(100);
    EXPECT_EQ(calls.seen.size(), 3u) << "called until it removed itself, though its channel ended";
    EXPECT_EQ(device_.InstalledWorker(channel), nullptr);

    // An id never given out takes no worker; a replacement restarts the period.
    Calls stray(&device_);
    device_.ChannelSetWorker(channel + 100, &RecordCall, &stray, 10);
    const int other = Play();
    device_.ChannelSetWorker(other, &RecordCall, &stray, 10);
    device_.Tick(5);
    device_.ChannelSetWorker(other, &RecordCall, &stray, 10);
    device_.Tick(9);
    EXPECT_TRUE(stray.seen.empty());
    device_.Tick(1);
    EXPECT_EQ(stray.seen.size(), 1u);
}

// A worker blocked in its call on the timer thread; removal from the test thread must return
// only after that call has finished, so the caller may then free the worker's data.
struct Blocking {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool release = false;
    std::atomic<bool> inCall{false};
};

int BlockingWorker(int, void* data)
{
    auto* b = static_cast<Blocking*>(data);
    b->inCall = true;
    std::unique_lock lock(b->mutex);
    b->entered = true;
    b->changed.notify_all();
    b->changed.wait(lock, [b] { return b->release; });
    b->inCall = false;
    return 1;
}

TEST_F(RecordingSoundDeviceThreads, RemovalFromAnotherThreadWaitsForTheRunningCall)
{
    const int channel = Play();
    Blocking blocking;
    device_.ChannelSetWorker(channel, &BlockingWorker, &blocking, 25);
    std::thread timer([this] { device_.Tick(25); });
    {
        std::unique_lock lock(blocking.mutex);
        blocking.changed.wait(lock, [&] { return blocking.entered; });
    }
    std::atomic<bool> callerRunning{false};
    bool inCallAfterRemoval = true;
    std::thread remover([&] {
        callerRunning = true;
        device_.ChannelSetWorker(channel, nullptr, nullptr, 100);
        inCallAfterRemoval = blocking.inCall;
    });
    while (!callerRunning)
        std::this_thread::yield();
    {
        std::lock_guard lock(blocking.mutex);
        blocking.release = true;
    }
    blocking.changed.notify_all();
    remover.join();
    timer.join();
    EXPECT_FALSE(inCallAfterRemoval);
    EXPECT_EQ(device_.InstalledWorker(channel), nullptr);
}

// A fade that ends (the worker removes itself) just as another thread installs the next fade on
// the same channel must not remove the next fade.
struct SelfRemoving : Blocking {
    RecordingSoundDevice* device = nullptr;
};

int SelfRemovingWorker(int channel, void* data)
{
    auto* s = static_cast<SelfRemoving*>(data);
    BlockingWorker(channel, data);
    s->device->ChannelSetWorker(channel, nullptr, nullptr, 100);
    return 1;
}

int NextFade(int, void*)
{
    return 1;
}

TEST_F(RecordingSoundDeviceThreads, SelfRemovalKeepsAWorkerInstalledDuringTheCall)
{
    const int channel = Play();
    SelfRemoving ending;
    ending.device = &device_;
    device_.ChannelSetWorker(channel, &SelfRemovingWorker, &ending, 25);
    std::thread timer([this] { device_.Tick(25); });
    {
        std::unique_lock lock(ending.mutex);
        ending.changed.wait(lock, [&] { return ending.entered; });
    }
    std::thread installer([&] { device_.ChannelSetWorker(channel, &NextFade, nullptr, 50); });
    while (device_.InstalledWorker(channel) != &NextFade)
        std::this_thread::yield();
    {
        std::lock_guard lock(ending.mutex);
        ending.release = true;
    }
    ending.changed.notify_all();
    installer.join();
    timer.join();
    EXPECT_EQ(device_.InstalledWorker(channel), &NextFade);
}

TEST_F(RecordingSoundDeviceTest, LogsCallsWithArgumentsAndResults)
{
    device_.ClearLog();
    const SoundSampleDefaults defaults{2, 0, 0, 100, 50, 1.0f, 1.0e9f};
    const int second = device_.SampleLoadFile(file_.c_str(), 0, &defaults);
    const int channel = device_.SamplePlayEx(second, 0, 2, 1, 0, 80, 44100, 50);
    device_.ChannelSetPan(channel, 30);
    device_.ChannelSetVolume(channel, 10);
    device_.ChannelSetVolume(channel, 20);
    device_.ChannelGroupSetVolume(-1, 59);
    device_.Pause(true);
    const std::vector<std::string> expected = {
        "Sample_LoadFile " + file_ + " 0 defaults(2,0,0,100,50,1,1e+09) = 2",
        "Sample_PlayEx 2 0 2 1 0 80 44100 50 = 1",
        "Channel_SetPan 1 30",
        "Channel_SetVolume 1 10",
        "Channel_SetVolume 1 20",
        "ChannelGroup_SetVolume -1 59",
        "Pause 1",
    };
    EXPECT_EQ(device_.Calls(), expected);
    EXPECT_EQ(device_.VolumeHistory(channel), (std::vector<int>{10, 20}));
    EXPECT_EQ(device_.CallsNamed("Channel_SetVolume").size(), 2u);
    EXPECT_EQ(device_.BytesRead(file_), 10) << "the whole file is read through the callbacks";
    EXPECT_TRUE(device_.IsPaused());
}

TEST(RecordingSoundDevice, ScriptedDeviceCountAndStartFailure)
{
    RecordingSoundDevice device;
    device.SetNumDevices(0);
    device.SetInitResult(kSoundErrNoDevice);
    EXPECT_EQ(device.GetNumDevice(), 0);
    EXPECT_EQ(device.Init(SoundInitParams{}), kSoundErrNoDevice);
    EXPECT_FALSE(device.IsInitialised());
    EXPECT_EQ(device.SampleLoadFile("x", 0, nullptr), kSoundErrNotInitialised);
}

} // namespace
