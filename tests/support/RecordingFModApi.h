// A recording stand-in for the FMOD library: samples are byte buffers, every call is logged as one
// line ("SetVolume 3 50"), and loads succeed only for names the test registered.
#pragma once
#include "framework/assets/FModApi.h"

#include <map>
#include <string>
#include <vector>

class RecordingFModApi : public Fw::FModApi {
public:
    struct Sample {
        std::vector<char> data;
        unsigned mode = 0;
        int frequency = 22050;
        int frames = 0;
    };

    std::vector<std::string> calls;
    std::map<std::string, Sample> files; // loadable sample files by name
    std::map<uint32_t, Sample> samples;
    std::map<int, bool> playing;        // channel -> playing
    std::map<std::string, uint32_t> songFiles;
    std::map<uint32_t, bool> songPlaying;
    int* freedCounter = nullptr; // counts SampleFree calls; outlives the library instance

    uint32_t SampleLoad(int, const std::string& name, unsigned, int) override;
    uint32_t SampleAlloc(int, int length, unsigned mode, int frequency, int, int, int) override;
    void SampleFree(uint32_t sample) override;
    void* SampleLock(uint32_t sample, int offset, int length) override;
    void SampleUnlock(uint32_t) override {}
    void SampleSetLoopPoints(uint32_t sample, int a, int b) override { Log("SetLoopPoints", sample, a, b); }
    int SampleGetLength(uint32_t sample) override { return samples[sample].frames; }
    int SampleGetDefaultFrequency(uint32_t sample) override { return samples[sample].frequency; }
    unsigned SampleGetMode(uint32_t sample) override { return samples[sample].mode; }
    void PlaySound(int channel, uint32_t sample) override;
    void StopSound(int channel) override;
    void SetVolume(int channel, int volume) override { Log("SetVolume", channel, volume); }
    void SetPaused(int channel, bool paused) override { Log("SetPaused", channel, paused); }
    void SetLoopMode(int channel, int mode) override { Log("SetLoopMode", channel, mode); }
    bool IsPlaying(int channel) override { return playing[channel]; }
    uint32_t LoadSong(const std::string& name) override;
    void PlaySong(uint32_t module) override;
    void StopSong(uint32_t module) override;
    void SetLooping(uint32_t module, int looping) override { Log("SetLooping", module, looping); }
    void SetOrder(uint32_t module, int order) override { Log("SetOrder", module, order); }
    void SetSongPaused(uint32_t module, bool paused) override { Log("SetSongPaused", module, paused); }
    void SetMasterVolume(uint32_t module, int volume) override { Log("SetMasterVolume", module, volume); }
    bool IsSongPlaying(uint32_t module) override { return songPlaying[module]; }

private:
    void Log(const char* name, long a, long b = -99999, long c = -99999);
    uint32_t next_ = 1;
};
