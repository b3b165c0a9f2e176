// Music streams, cross-fades and the channel set shared with the fade workers.
#include "engine/core/MusicPlayer.h"

#include <algorithm>

#include "engine/core/ChannelFade.h"
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/SpinLock.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "platform/SoundDevice.h"

std::atomic<VTMusicPlayer*> gMusicPlayer{nullptr};

namespace {

constexpr size_t kAttributeBuffer = 128; // texts of at most 127 bytes
constexpr int kMusicGroup = -1;

} // namespace

VTMusicPlayer::VTMusicPlayer()
{
    gMusicPlayer = this;
}

VTMusicPlayer::~VTMusicPlayer()
{
    std::vector<std::unique_ptr<VTMusicChannel>> channels;
    {
        SpinLock::Guard guard(lock_);
        channels.swap(channels_);
        current_ = nullptr;
    }
    // Outside the lock: removing a worker waits for a running fade step, and a fade-out step
    // takes the lock. Such a step finds its channel gone from the set and leaves it to us.
    if (IsSoundSystemUp()) {
        Platform::SoundDevice& device = Platform::GetSoundDevice();
        for (const auto& channel : channels) {
            RemoveChannelWorker(channel->channel);
            device.ChannelStop(channel->channel);
        }
        for (const auto& [name, stream] : streams_)
            if (stream->sampleId > 0)
                device.SampleUnload(stream->sampleId);
    }
    channels.clear();
    streams_.clear();
    currentName_.clear();
    VTMusicPlayer* self = this;
    gMusicPlayer.compare_exchange_strong(self, nullptr);
}

bool VTMusicPlayer::LoadMusicStreamList(const Platform::XmlNode& node)
{
    bool complete = true;
    const bool queried = XmlForEachNode(node, "music/stream", [&](const Platform::XmlNode& element) {
        std::string name;
        auto stream = std::make_unique<VTMusicStream>();
        if (!XmlGetAttributeString(element, "name", name, kAttributeBuffer) ||
            !XmlGetAttributeString(element, "path", stream->path, kAttributeBuffer) ||
            streams_.count(name) != 0) {
            complete = false;
            return false;
        }
        SpinLock::Guard guard(lock_);
        streams_.emplace(std::move(name), std::move(stream));
        return true;
    });
    return queried && complete;
}

void VTMusicPlayer::PlayMusic(const std::string& name)
{
    if (name == currentName_)
        return;
    if (IsSoundSystemUp()) {
        SpinLock::Guard guard(lock_);
        // A channel already fading out keeps its worker: replacing it from here would wait for
        // its running step, which may be waiting for this lock. Only a fade-in step can run on
        // a channel that is not fading out, and fade-in steps never take the lock.
        if (current_ != nullptr && !current_->fadingOut) {
            current_->fadingOut = true;
            Platform::GetSoundDevice().ChannelSetWorker(current_->channel, &FadeOutWorker, current_,
                                                        kFadeOutPeriodMs);
        }
    }
    auto found = streams_.find(name);
    if (found != streams_.end())
        PlayStream(*found->second);
    currentName_ = name;
}

void VTMusicPlayer::PlayStream(VTMusicStream& stream)
{
    if (!IsSoundSystemUp())
        return;
    if (gDebugSettings != nullptr && gDebugSettings->soundLog)
        DebugLogTimed("PlaySound('%s')", stream.path.c_str());
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    // The play count is raised before the channel starts, so a fade-out of this stream's last
    // channel ending meanwhile cannot unload the sample under it.
    int sample = 0;
    {
        SpinLock::Guard guard(lock_);
        sample = stream.sampleId;
        if (sample > 0)
            ++stream.playCount;
    }
    if (sample <= 0) {
        // Never under the lock: decoding a whole stream takes long, and fade steps wait for it.
        sample = device.SampleLoadFile(stream.path.c_str(), 0, nullptr);
        if (sample <= 0)
            return; // unreadable: nothing plays, and a later change tries again
        SpinLock::Guard guard(lock_);
        if (stream.sampleId > 0) {
            device.SampleUnload(sample); // loaded meanwhile by another caller: keep theirs
            sample = stream.sampleId;
        }
        stream.sampleId = sample;
        ++stream.playCount;
    }
    const int channel = device.SamplePlayEx(sample, 1, kMusicGroup, 1, 0, 0, 44100, 50);
    if (channel <= 0) {
        // No voice: the channel set only holds channels that exist.
        SpinLock::Guard guard(lock_);
        if (--stream.playCount == 0) {
            device.SampleUnload(stream.sampleId);
            stream.sampleId = 0;
        }
        return;
    }
    auto record = std::make_unique<VTMusicChannel>();
    record->player = this;
    record->channel = channel;
    record->stream = &stream;
    VTMusicChannel* added = record.get();
    {
        SpinLock::Guard guard(lock_);
        current_ = added;
        channels_.push_back(std::move(record));
    }
    device.ChannelSetWorker(channel, &FadeInWorker, added, kFadeInPeriodMs);
}

void VTMusicPlayer::Pause()
{
    PauseCurrent(true);
}

void VTMusicPlayer::Resume()
{
    PauseCurrent(false);
}

void VTMusicPlayer::PauseCurrent(bool pause)
{
    if (!IsSoundSystemUp())
        return;
    SpinLock::Guard guard(lock_);
    if (current_ != nullptr)
        Platform::GetSoundDevice().ChannelPause(current_->channel, pause);
}

void VTMusicPlayer::SetVolume(int volume)
{
    volume_ = volume;
    if (IsSoundSystemUp())
        Platform::GetSoundDevice().ChannelGroupSetVolume(kMusicGroup, volume);
}

int VTMusicPlayer::CurrentChannel() const
{
    SpinLock::Guard guard(lock_);
    return current_ != nullptr ? current_->channel : 0;
}

size_t VTMusicPlayer::LiveChannels() const
{
    SpinLock::Guard guard(lock_);
    return channels_.size();
}

const VTMusicStream* VTMusicPlayer::FindStream(std::string_view name) const
{
    auto found = streams_.find(name);
    return found != streams_.end() ? found->second.get() : nullptr;
}

int VTMusicPlayer::FadeInWorker(int channel, void* data)
{
    auto* record = static_cast<VTMusicChannel*>(data);
    StepFadeIn(channel, record->fade, record->player->volume_.load());
    return 1;
}

int VTMusicPlayer::FadeOutWorker(int channel, void* data)
{
    auto* record = static_cast<VTMusicChannel*>(data);
    VTMusicPlayer* player = record->player;
    if (StepChannelFade(channel, record->fade, -kFadeStep, player->volume_.load()) > 0.0f)
        return 1;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    std::unique_ptr<VTMusicChannel> owned;
    {
        SpinLock::Guard guard(player->lock_);
        auto found = std::find_if(player->channels_.begin(), player->channels_.end(),
                                  [record](const auto& c) { return c.get() == record; });
        if (found == player->channels_.end())
            return 1; // the player is being torn down and owns the record now
        owned = std::move(*found);
        player->channels_.erase(found);
        if (player->current_ == record)
            player->current_ = nullptr;
        VTMusicStream& stream = *record->stream;
        if (--stream.playCount == 0 && stream.sampleId > 0) {
            device.SampleUnload(stream.sampleId);
            stream.sampleId = 0;
        }
    }
    RemoveChannelWorker(channel);
    device.ChannelStop(channel);
    return 1;
}
