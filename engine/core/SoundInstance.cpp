// Playing, fading, pausing and status of one sound instance.
#include "engine/core/SoundInstance.h"

#include "engine/core/ChannelFade.h"
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "platform/SoundDevice.h"

VTSoundInstance::VTSoundInstance(VTSoundManager& manager, std::shared_ptr<VTSoundRecord> record)
    : manager_(manager), record_(std::move(record))
{
}

VTSoundInstance::~VTSoundInstance()
{
    const int channel = channel_.load();
    if (channel == 0 || !IsSoundSystemUp())
        return;
    // Synchronous: after this no fade step can reach the instance.
    RemoveChannelWorker(channel);
    if (fadingOut_)
        Platform::GetSoundDevice().ChannelStop(channel);
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
    // A fade of the last channel may outlive it (a one-shot that ended mid-fade): it must not
    // step the fade factor of the new channel.
    if (channel_ != 0)
        RemoveChannelWorker(channel_);
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
    StepFadeIn(channel, self->fade_, self->record_->volume.load());
    return 1;
}

int VTSoundInstance::FadeOutWorker(int channel, void* data)
{
    auto* self = static_cast<VTSoundInstance*>(data);
    if (StepChannelFade(channel, self->fade_, -kFadeStep, self->record_->volume.load()) <= 0.0f) {
        // Only the channel ends; the instance belongs to its owner, whatever the delete flag says.
        Platform::GetSoundDevice().ChannelStop(channel);
        RemoveChannelWorker(channel);
        self->fadingOut_ = false;
    }
    return 1;
}
