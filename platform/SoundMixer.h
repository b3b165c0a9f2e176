// The bookkeeping and software mix shared by the real and the recording sound devices: sample
// and channel tables (ids from 1, never reused), group volumes, pause, the worker schedule and a
// 16-bit stereo mix. Subclasses supply the output, the time line and how a sample is decoded.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/SoundDevice.h"
#include "platform/SoundWorkerTable.h"

namespace Platform {

// Decoded sound: interleaved 16-bit stereo frames at the device's output rate.
struct SoundPcm {
    std::vector<int16_t> samples; // left, right, left, right ...
    size_t FrameCount() const { return samples.size() / 2; }
};

// The four file callbacks as one value; defaults read plain files through stdio.
struct SoundFileCallbacks {
    SoundFileOpen open;
    SoundFileSeek seek;
    SoundFileRead read;
    SoundFileClose close;
    static SoundFileCallbacks Stdio();
};

// What a channel holds, for inspection by tests and the recording device.
struct SoundChannelState {
    int sample = 0;
    bool loop = false;
    int group = 0;
    int volume = 0;
    int pan = 50;
    bool paused = false;
    size_t position = 0; // next frame to mix
};

class SoundMixer : public SoundDevice {
public:
    // Subclasses call Free() in their destructor: closing the output needs their overrides.
    ~SoundMixer() override = default;

    int Init(const SoundInitParams& params) override;
    void SetSpeakerMode(int mode) override;
    void SetFileCallbacks(SoundFileOpen open, SoundFileSeek seek, SoundFileRead read,
                          SoundFileClose close) override;
    void SetMemoryCallbacks(SoundAlloc alloc, SoundFree free) override;
    int SampleLoadFile(const char* path, int mode, const SoundSampleDefaults* defaults) override;
    int SamplePlayEx(int sample, int loop, int group, int start, int priority, int volume,
                     int frequency, int pan) override;
    void SampleUnload(int sample) override;
    void SampleStop(int sample) override;
    void ChannelSetPan(int channel, int pan) override;
    void ChannelSetVolume(int channel, int volume) override;
    void ChannelSetWorker(int channel, SoundWorker worker, void* userData, int periodMs) override;
    int ChannelStatus(int channel) override;
    void ChannelPause(int channel, bool pause) override;
    void ChannelStop(int channel) override;
    void ChannelGroupSetVolume(int group, int volume) override;
    void Pause(bool pause) override;
    void Stop() override;
    void Free() override;

    // Mixes frames stereo frames into out (2 x frames values), advancing every playing channel;
    // a channel that is not looping ends after its last frame. Silence while paused. Any thread.
    void Mix(int16_t* out, size_t frames);

    // Inspection (tests and the recording device).
    bool IsInitialised() const;
    bool IsPaused() const;
    int GroupVolume(int group) const; // 100 for a group never set
    std::optional<SoundChannelState> InspectChannel(int channel) const;
    std::vector<int> Channels() const;      // live channel ids, ascending
    std::vector<int> LoadedSamples() const; // live sample ids, ascending
    std::string SamplePath(int sample) const;
    SoundWorker InstalledWorker(int channel) const { return workers_.Worker(channel); }

protected:
    // Opens the output for params (>= 0 on success); called by Init outside the mixer lock.
    virtual int OpenOutput(const SoundInitParams& params) = 0;
    // Closes the output; afterwards Mix is no longer called. Called by Free outside the lock.
    virtual void CloseOutput() = 0;
    // Reads and decodes path through files; null with error set (negative) on failure.
    virtual std::shared_ptr<const SoundPcm> DecodeSample(const SoundFileCallbacks& files,
                                                         const char* path, int outputRate,
                                                         int& error) = 0;
    // The worker schedule's time in milliseconds.
    virtual uint64_t NowMs() = 0;

    SoundWorkerTable& Workers() { return workers_; }

private:
    struct Sample {
        std::shared_ptr<const SoundPcm> pcm;
        std::string path;
        SoundSampleDefaults defaults;
    };
    struct Channel {
        std::shared_ptr<const SoundPcm> pcm; // shared: unloading the sample keeps it playing
        int sample = 0;
        bool loop = false;
        int group = 0;
        int volume = 100;
        int pan = 50;
        bool paused = false;
        size_t position = 0;
    };
    Channel* FindChannel(int channel);

    mutable std::mutex mutex_;
    bool initialised_ = false;
    bool paused_ = false;
    SoundInitParams params_;
    SoundFileCallbacks files_ = SoundFileCallbacks::Stdio();
    std::map<int, Sample> samples_;
    std::map<int, Channel> channels_;
    std::map<int, int> groupVolumes_;
    int nextSample_ = 1;
    int nextChannel_ = 1;
    std::vector<int32_t> mixBuffer_;
    SoundWorkerTable workers_;
};

} // namespace Platform
