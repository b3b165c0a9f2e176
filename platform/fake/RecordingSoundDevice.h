// The sound device of tests: the shared mixer's bookkeeping (ids, channels, groups, pause,
// workers) with every call written to a log, a manual clock whose Tick runs the workers at their
// due times on the calling thread, and scripted device count and start result. Samples are read
// whole through the file callbacks but not decoded: channels never end by themselves (a test
// ends one with FinishChannel) and Mix yields silence.
#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SoundMixer.h"

namespace Platform {

class RecordingSoundDevice final : public SoundMixer {
public:
    RecordingSoundDevice() = default;
    ~RecordingSoundDevice() override;

    void SetNumDevices(int count) { numDevices_ = count; }
    void SetInitResult(int result) { initResult_ = result; }

    // Advances the clock by ms, calling each worker at every due time on the way, in time order.
    void Tick(uint32_t ms);
    uint64_t Now() const { return now_; }
    // Ends a channel as a sound that reached its end does (not logged).
    void FinishChannel(int channel);

    // One line per call: the call's name, its arguments separated by spaces, and " = result"
    // for calls that return one, e.g. "Channel_SetVolume 3 59" or "Sample_PlayEx 1 0 2 1 0 100
    // 44100 50 = 1". Sample_LoadFile writes the defaults as "defaults(g,l,p,v,pan,speed,dist)"
    // or "null".
    std::vector<std::string> Calls() const;
    // The lines whose name is name, e.g. CallsNamed("Channel_SetVolume").
    std::vector<std::string> CallsNamed(std::string_view name) const;
    // Every volume set on channel through Channel_SetVolume, in order.
    std::vector<int> VolumeHistory(int channel) const;
    void ClearLog();
    // Bytes read through the file callbacks by the last load of path (-1: never loaded).
    long BytesRead(const std::string& path) const;

    int GetNumDevice() override;
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

private:
    int OpenOutput(const SoundInitParams& params) override;
    void CloseOutput() override {}
    std::shared_ptr<const SoundPcm> DecodeSample(const SoundFileCallbacks& files, const char* path,
                                                 int outputRate, int& error) override;
    uint64_t NowMs() override { return now_; }
    void Log(std::string line);

    int numDevices_ = 1;
    int initResult_ = kSoundOk;
    // Starts away from 0 so schedules never depend on a zero time. Written by the thread that
    // ticks, read by any thread that installs or removes a worker.
    std::atomic<uint64_t> now_{1000};
    mutable std::mutex logMutex_;
    std::vector<std::string> log_;
    std::map<int, std::vector<int>> volumes_;
    std::map<std::string, long> bytesRead_;
};

} // namespace Platform
