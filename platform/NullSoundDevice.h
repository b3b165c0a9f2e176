// The sound device of a machine without sound output: it reports no device and refuses to
// start, so the engine keeps sound off and runs silently. Every other call does nothing.
#pragma once
#include "platform/SoundDevice.h"

namespace Platform {

class NullSoundDevice final : public SoundDevice {
public:
    int GetNumDevice() override { return 0; }
    int Init(const SoundInitParams&) override { return kSoundErrNoDevice; }
    void SetSpeakerMode(int) override {}
    void SetFileCallbacks(SoundFileOpen, SoundFileSeek, SoundFileRead, SoundFileClose) override {}
    void SetMemoryCallbacks(SoundAlloc, SoundFree) override {}
    int SampleLoadFile(const char*, int, const SoundSampleDefaults*) override
    {
        return kSoundErrNotInitialised;
    }
    int SamplePlayEx(int, int, int, int, int, int, int, int) override
    {
        return kSoundErrNotInitialised;
    }
    void SampleUnload(int) override {}
    void SampleStop(int) override {}
    void ChannelSetPan(int, int) override {}
    void ChannelSetVolume(int, int) override {}
    void ChannelSetWorker(int, SoundWorker, void*, int) override {}
    int ChannelStatus(int) override { return kChannelStopped; }
    void ChannelPause(int, bool) override {}
    void ChannelStop(int) override {}
    void ChannelGroupSetVolume(int, int) override {}
    void Pause(bool) override {}
    void Stop() override {}
    void Free() override {}
};

} // namespace Platform
