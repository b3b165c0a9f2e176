// SDL2 audio output and the worker timer thread around the shared software mixer.
#include "platform/sdl/SdlSoundDevice.h"

#include <SDL.h>

#include <chrono>

#include "platform/linux/SoundFileDecoder.h"

namespace Platform {
namespace {

// 1024 frames: about 23 ms at 44.1 kHz, short enough for a 25 ms fade step to be heard in time.
constexpr Uint16 kBufferFrames = 1024;
// The timer wakes this often; workers ask for 25 or 50 ms periods.
constexpr auto kTimerStep = std::chrono::milliseconds(5);

} // namespace

std::unique_ptr<SdlSoundDevice> SdlSoundDevice::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    return std::unique_ptr<SdlSoundDevice>(new SdlSoundDevice());
}

SdlSoundDevice::~SdlSoundDevice()
{
    Free();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlSoundDevice::GetNumDevice()
{
    const int count = SDL_GetNumAudioDevices(0);
    return count > 0 ? count : 1;
}

int SdlSoundDevice::OpenOutput(const SoundInitParams& params)
{
    SDL_AudioSpec want{};
    want.freq = params.sampleRate > 0 ? params.sampleRate : 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &SdlSoundDevice::AudioCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to the hardware format, so the mix is always S16 stereo.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0)
        return kSoundErrNoDevice;
    device_ = device;
    {
        std::lock_guard lock(mixedMutex_);
        mixedFrames_ = 0;
        outputOpen_ = true;
    }
    {
        std::lock_guard lock(timerMutex_);
        stopTimer_ = false;
    }
    timer_ = std::thread(&SdlSoundDevice::TimerLoop, this);
    SDL_PauseAudioDevice(device_, 0);
    return kSoundOk;
}

void SdlSoundDevice::CloseOutput()
{
    {
        std::lock_guard lock(timerMutex_);
        stopTimer_ = true;
    }
    timerWake_.notify_all();
    if (timer_.joinable())
        timer_.join();
    if (device_ != 0) {
        // Waits for a running callback; the callback takes the mixer lock, which we do not hold.
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    {
        std::lock_guard lock(mixedMutex_);
        outputOpen_ = false;
    }
    mixedChanged_.notify_all();
}

std::shared_ptr<const SoundPcm> SdlSoundDevice::DecodeSample(const SoundFileCallbacks& files,
                                                             const char* path, int outputRate,
                                                             int& error)
{
    return DecodeSoundFile(files, path, outputRate, error);
}

uint64_t SdlSoundDevice::NowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SdlSoundDevice::AudioCallback(void* user, uint8_t* stream, int length)
{
    auto* self = static_cast<SdlSoundDevice*>(user);
    const size_t frames = static_cast<size_t>(length) / (2 * sizeof(int16_t));
    self->Mix(reinterpret_cast<int16_t*>(stream), frames);
    {
        std::lock_guard lock(self->mixedMutex_);
        self->mixedFrames_ += frames;
    }
    self->mixedChanged_.notify_all();
}

void SdlSoundDevice::TimerLoop()
{
    std::unique_lock lock(timerMutex_);
    while (!stopTimer_) {
        lock.unlock();
        Workers().RunDue(NowMs());
        lock.lock();
        timerWake_.wait_for(lock, kTimerStep, [this] { return stopTimer_; });
    }
}

uint64_t SdlSoundDevice::MixedFrames() const
{
    std::lock_guard lock(mixedMutex_);
    return mixedFrames_;
}

void SdlSoundDevice::WaitMixedFrames(uint64_t frames)
{
    std::unique_lock lock(mixedMutex_);
    mixedChanged_.wait(lock, [&] { return !outputOpen_ || mixedFrames_ >= frames; });
}

} // namespace Platform
