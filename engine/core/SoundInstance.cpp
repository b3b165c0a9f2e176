// Playing, fading, pausing and status of one sound instance.
#include "engine/core/SoundInstance.h"

#include <algorithm>

#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "platform/SoundDevice.h"

namespace {

constexpr float kFadeStep = 0.05f;
constexpr int kFadeInPeriodMs = 25;
constexpr int kFadeOutPeriodMs = 50;
// The period handed along with a removal; the device ignores it.
constexpr int kRemovedPeriodMs = 100;

} // namespace

VTSoundInstance::VTSoundInstance(VTSoundManager& manager, std::shared_ptr<VTSoundRecord> record)
    : manager_(manager), record_(std::move(record))
{
}

VTSoundInstance::~VTSoundInstance()
{
    const int channel = channel_.load();
    if (channel == 0 || !IsSoundSystemUp())
        return;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    // Synchronous: after this no fade step can reach the instance.
    device.ChannelSetWorker(channel, nullptr, nullptr, kRemovedPeriodMs);
    if (fadingOut_)
        device.ChannelStop(channel);
}

void VTSoundInstance::Play(bool fadeIn)
{
    if (!IsSoundSystemUp())
        return;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    if (device.ChannelStatus(channel_) != Platform::kChannelStopped) {
        DebugLog("WARNING: Repeated Play for sound '%s'\n", record_->path.c_str());
        return;
    }
    const int volume = static_cast<int>(record_->volume.load() / 100.0 * manager_.EffectVolume());
    const int channel = device.SamplePlayEx(record_->sampleId, record_->loop ? 1 : 0, record_->groupId,
                                            1, 0, volume, 44100, 50);
    channel_ = channel;
    fadingOut_ = false;
    if (gDebugSettings != nullptr && gDebugSettings->soundLog)
        DebugLogTimed("Play3(%d): %s", channel, record_->path.c_str());
    device.ChannelSetPan(channel, record_->pan);
    // The fade factor is left where the last fade put it: after a fade-out this fades in from
    // silence, on a fresh instance (1.0) it only sets the full volume.
    if (fadeIn)
        device.ChannelSetWorker(channel, &FadeInWorker, this, kFadeInPeriodMs);
}

void VTSoundInstance::FadeOut(bool deleteWhenFaded)
{
    deleteWhenFaded_ = deleteWhenFaded;
    if (!IsSoundSystemUp())
        return;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    const int channel = channel_.load();
    if (device.ChannelStatus(channel) == Platform::kChannelStopped)
        return;
    fadingOut_ = true;
    device.ChannelSetWorker(channel, &FadeOutWorker, this, kFadeOutPeriodMs);
}

void VTSoundInstance::Pause()
{
    if (pauseCount_ == 0 && IsSoundSystemUp())
        Platform::GetSoundDevice().ChannelPause(channel_, true);
    ++pauseCount_;
}

void VTSoundInstance::Resume()
{
    // A Resume without a Pause is ignored: a negative count would swallow the next Pause.
    if (pauseCount_ == 0)
        return;
    if (--pauseCount_ == 0 && IsSoundSystemUp())
        Platform::GetSoundDevice().ChannelPause(channel_, false);
}

bool VTSoundInstance::IsPlaying() const
{
    return IsSoundSystemUp() && Platform::GetSoundDevice().ChannelStatus(channel_) != Platform::kChannelStopped;
}

int VTSoundInstance::FadeInWorker(int channel, void* data)
{
    auto* self = static_cast<VTSoundInstance*>(data);
    const float fade = self->fade_.load() + kFadeStep;
    self->fade_ = fade;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    device.ChannelSetVolume(channel, std::min(static_cast<int>(fade * self->record_->volume.load()), 100));
    if (fade >= 1.0f)
        device.ChannelSetWorker(channel, nullptr, nullptr, kRemovedPeriodMs);
    return 1;
}

int VTSoundInstance::FadeOutWorker(int channel, void* data)
{
    auto* self = static_cast<VTSoundInstance*>(data);
    const float fade = self->fade_.load() - kFadeStep;
    self->fade_ = fade;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    device.ChannelSetVolume(channel, std::max(static_cast<int>(fade * self->record_->volume.load()), 0));
    if (fade <= 0.0f) {
        // Only the channel ends; the instance belongs to its owner, whatever the delete flag says.
        device.ChannelStop(channel);
        device.ChannelSetWorker(channel, nullptr, nullptr, kRemovedPeriodMs);
        self->fadingOut_ = false;
    }
    return 1;
}
