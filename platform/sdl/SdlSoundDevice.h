// The real sound device: the shared software mixer played through SDL2 audio (16-bit stereo at
// the requested rate, 44.1 kHz by default), samples decoded with libsndfile, channel workers
// called by a timer thread about every 5 ms. Needs only SDL's audio subsystem.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/SoundMixer.h"

namespace Platform {

class SdlSoundDevice final : public SoundMixer {
public:
    // Null when SDL's audio subsystem cannot start (no usable driver).
    static std::unique_ptr<SdlSoundDevice> Create();
    ~SdlSoundDevice() override;

    // At least 1: some drivers (dummy, disk, sound servers) cannot list outputs but open the
    // default one; Init reports the failure when there is none.
    int GetNumDevice() override;

    // Frames the output has mixed since Init, and a wait until it has mixed at least that many
    // (for tests; returns at once once the output is closed).
    uint64_t MixedFrames() const;
    void WaitMixedFrames(uint64_t frames);

private:
    SdlSoundDevice() = default;
    int OpenOutput(const SoundInitParams& params) override;
    void CloseOutput() override;
    std::shared_ptr<const SoundPcm> DecodeSample(const SoundFileCallbacks& files, const char* path,
                                                 int outputRate, int& error) override;
    uint64_t NowMs() override;
    static void AudioCallback(void* user, uint8_t* stream, int length);
    void TimerLoop();

    uint32_t device_ = 0; // SDL_AudioDeviceID, 0 while closed
    std::thread timer_;
    std::mutex timerMutex_;
    std::condition_variable timerWake_;
    bool stopTimer_ = false;
    mutable std::mutex mixedMutex_;
    std::condition_variable mixedChanged_;
    uint64_t mixedFrames_ = 0;
    bool outputOpen_ = false;
};

} // namespace Platform
