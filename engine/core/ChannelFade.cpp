// Fade steps on the sound device.
#include "engine/core/ChannelFade.h"

#include <algorithm>

#include "platform/SoundDevice.h"

namespace {

// The period handed along with a removal; the device ignores it.
constexpr int kRemovedPeriodMs = 100;

} // namespace

float StepChannelFade(int channel, std::atomic<float>& factor, float delta, int targetVolume)
{
    const float fade = factor.load() + delta;
    factor = fade;
    // Float product, truncated toward zero: 0.05 x 59 gives 2, 0.1 x 59 gives 5.
    const int volume = std::clamp(static_cast<int>(fade * targetVolume), 0, 100);
    Platform::GetSoundDevice().ChannelSetVolume(channel, volume);
    return fade;
}

void StepFadeIn(int channel, std::atomic<float>& factor, int targetVolume)
{
    if (StepChannelFade(channel, factor, kFadeStep, targetVolume) >= 1.0f)
        RemoveChannelWorker(channel);
}

void RemoveChannelWorker(int channel)
{
    Platform::GetSoundDevice().ChannelSetWorker(channel, nullptr, nullptr, kRemovedPeriodMs);
}
