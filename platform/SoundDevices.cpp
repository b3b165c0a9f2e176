// The only place that knows the sound back ends: the SDL2 mixer when SDL audio starts, the null
// device otherwise, or whatever device a test installed.
#include <atomic>
#include <memory>

#include "platform/NullSoundDevice.h"
#include "platform/sdl/SdlSoundDevice.h"

namespace Platform {
namespace {

std::atomic<SoundDevice*> gInstalled{nullptr};

SoundDevice& RealDevice()
{
    static std::unique_ptr<SoundDevice> device = []() -> std::unique_ptr<SoundDevice> {
        if (auto sdl = SdlSoundDevice::Create())
            return sdl;
        return std::make_unique<NullSoundDevice>();
    }();
    return *device;
}

} // namespace

SoundDevice& GetSoundDevice()
{
    if (SoundDevice* installed = gInstalled.load())
        return *installed;
    return RealDevice();
}

SoundDevice* SetSoundDevice(SoundDevice* device)
{
    return gInstalled.exchange(device);
}

} // namespace Platform
