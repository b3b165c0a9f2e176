// Sample and channel tables, group volumes and the software mix shared by the sound devices.
#include "platform/SoundMixer.h"

#include <algorithm>
#include <cstdio>

namespace Platform {
namespace {

intptr_t StdioOpen(const char* name)
{
    FILE* file = name != nullptr ? std::fopen(name, "rb") : nullptr;
    return file != nullptr ? reinterpret_cast<intptr_t>(file) : -1;
}

long StdioSeek(intptr_t handle, long offset, int origin)
{
    FILE* file = reinterpret_cast<FILE*>(handle);
    return std::fseek(file, offset, origin) == 0 ? std::ftell(file) : -1;
}

long StdioRead(intptr_t handle, void* buffer, long size)
{
    return size > 0 ? static_cast<long>(std::fread(buffer, 1, static_cast<size_t>(size),
                                                    reinterpret_cast<FILE*>(handle)))
                    : 0;
}

void StdioClose(intptr_t handle)
{
    std::fclose(reinterpret_cast<FILE*>(handle));
}

int Clamp100(int value)
{
    return std::clamp(value, 0, 100);
}

template <class Map>
std::vector<int> Keys(const Map& map)
{
    std::vector<int> keys;
    for (const auto& entry : map)
        keys.push_back(entry.first);
    return keys;
}

} // namespace

SoundFileCallbacks SoundFileCallbacks::Stdio()
{
    return {&StdioOpen, &StdioSeek, &StdioRead, &StdioClose};
}

int SoundMixer::Init(const SoundInitParams& params)
{
    {
        std::lock_guard lock(mutex_);
        if (initialised_)
            return kSoundOk;
    }
    const int result = OpenOutput(params);
    if (result < 0)
        return result;
    std::lock_guard lock(mutex_);
    initialised_ = true;
    paused_ = false;
    params_ = params;
    if (params_.sampleRate <= 0)
        params_.sampleRate = 44100;
    if (params_.voices <= 0)
        params_.voices = 32;
    return kSoundOk;
}

void SoundMixer::SetSpeakerMode(int) {}

void SoundMixer::SetFileCallbacks(SoundFileOpen open, SoundFileSeek seek, SoundFileRead read,
                                  SoundFileClose close)
{
    std::lock_guard lock(mutex_);
    if (open != nullptr && seek != nullptr && read != nullptr && close != nullptr)
        files_ = {open, seek, read, close};
    else
        files_ = SoundFileCallbacks::Stdio();
}

// The mixer allocates through the standard library; the callbacks are accepted for the contract.
void SoundMixer::SetMemoryCallbacks(SoundAlloc, SoundFree) {}

int SoundMixer::SampleLoadFile(const char* path, int, const SoundSampleDefaults* defaults)
{
    SoundFileCallbacks files;
    int rate = 0;
    {
        std::lock_guard lock(mutex_);
        if (!initialised_)
            return kSoundErrNotInitialised;
        files = files_;
        rate = params_.sampleRate;
    }
    if (path == nullptr)
        return kSoundErrFileOpen;
    // Decoding a long stream takes a while: it runs without the lock so the mix goes on.
    int error = kSoundErrDecode;
    std::shared_ptr<const SoundPcm> pcm = DecodeSample(files, path, rate, error);
    if (pcm == nullptr)
        return error < 0 ? error : kSoundErrDecode;
    std::lock_guard lock(mutex_);
    if (!initialised_)
        return kSoundErrNotInitialised;
    const int id = nextSample_++;
    samples_[id] = Sample{std::move(pcm), path, defaults != nullptr ? *defaults : SoundSampleDefaults{}};
    return id;
}

int SoundMixer::SamplePlayEx(int sample, int loop, int group, int start, int, int volume, int,
                             int pan)
{
    std::lock_guard lock(mutex_);
    if (!initialised_)
        return kSoundErrNotInitialised;
    auto found = samples_.find(sample);
    if (found == samples_.end())
        return kSoundErrBadSample;
    if (channels_.size() >= static_cast<size_t>(params_.voices))
        return kSoundErrNoVoice;
    const int id = nextChannel_++;
    Channel& channel = channels_[id];
    channel.pcm = found->second.pcm;
    channel.sample = sample;
    channel.loop = loop != 0;
    channel.group = group;
    channel.volume = Clamp100(volume);
    channel.pan = Clamp100(pan);
    channel.paused = start == 0;
    return id;
}

void SoundMixer::SampleUnload(int sample)
{
    std::lock_guard lock(mutex_);
    samples_.erase(sample);
}

void SoundMixer::SampleStop(int sample)
{
    std::lock_guard lock(mutex_);
    std::erase_if(channels_, [sample](const auto& entry) { return entry.second.sample == sample; });
}

SoundMixer::Channel* SoundMixer::FindChannel(int channel)
{
    auto found = channels_.find(channel);
    return found != channels_.end() ? &found->second : nullptr;
}

void SoundMixer::ChannelSetPan(int channel, int pan)
{
    std::lock_guard lock(mutex_);
    if (Channel* found = FindChannel(channel))
        found->pan = Clamp100(pan);
}

void SoundMixer::ChannelSetVolume(int channel, int volume)
{
    std::lock_guard lock(mutex_);
    if (Channel* found = FindChannel(channel))
        found->volume = Clamp100(volume);
}

void SoundMixer::ChannelSetWorker(int channel, SoundWorker worker, void* userData, int periodMs)
{
    {
        std::lock_guard lock(mutex_);
        if (worker != nullptr && (channel <= 0 || channel >= nextChannel_))
            return;
    }
    // Outside the mixer lock: removal may wait for a running worker, which may call back in.
    workers_.Set(channel, worker, userData, periodMs, NowMs());
}

int SoundMixer::ChannelStatus(int channel)
{
    std::lock_guard lock(mutex_);
    const Channel* found = FindChannel(channel);
    if (found == nullptr)
        return kChannelStopped;
    return found->paused ? kChannelPaused : kChannelPlaying;
}

void SoundMixer::ChannelPause(int channel, bool pause)
{
    std::lock_guard lock(mutex_);
    if (Channel* found = FindChannel(channel))
        found->paused = pause;
}

void SoundMixer::ChannelStop(int channel)
{
    std::lock_guard lock(mutex_);
    channels_.erase(channel);
}

void SoundMixer::ChannelGroupSetVolume(int group, int volume)
{
    std::lock_guard lock(mutex_);
    groupVolumes_[group] = Clamp100(volume);
}

void SoundMixer::Pause(bool pause)
{
    std::lock_guard lock(mutex_);
    paused_ = pause;
}

void SoundMixer::Stop()
{
    std::lock_guard lock(mutex_);
    channels_.clear();
}

void SoundMixer::Free()
{
    bool open = false;
    {
        std::lock_guard lock(mutex_);
        open = initialised_;
    }
    if (open)
        CloseOutput();
    workers_.Clear();
    std::lock_guard lock(mutex_);
    initialised_ = false;
    paused_ = false;
    samples_.clear();
    channels_.clear();
    groupVolumes_.clear();
}

void SoundMixer::Mix(int16_t* out, size_t frames)
{
    std::lock_guard lock(mutex_);
    std::fill(out, out + frames * 2, int16_t(0));
    if (paused_ || channels_.empty())
        return;
    mixBuffer_.assign(frames * 2, 0);
    for (auto it = channels_.begin(); it != channels_.end();) {
        Channel& channel = it->second;
        const SoundPcm& pcm = *channel.pcm;
        const size_t length = pcm.FrameCount();
        if (length == 0) {
            it = channels_.erase(it);
            continue;
        }
        if (channel.paused) {
            ++it;
            continue;
        }
        // Level per side: sample x volume/100 x group volume/100 x pan share/50, where the pan
        // share is min(100 - pan, 50) on the left and min(pan, 50) on the right: 50 keeps both
        // sides whole, 0 (100) silences the right (left). Integer maths, truncated toward zero.
        const auto group = groupVolumes_.find(channel.group);
        const int64_t groupVolume = group != groupVolumes_.end() ? group->second : 100;
        const int64_t level = int64_t(channel.volume) * groupVolume; // 0..10000
        const int64_t left = level * std::min(100 - channel.pan, 50); // 0..500000
        const int64_t right = level * std::min(channel.pan, 50);
        constexpr int64_t kUnit = 10000 * 50;
        bool ended = false;
        for (size_t frame = 0; frame < frames; ++frame) {
            if (channel.position >= length) {
                if (!channel.loop) {
                    ended = true;
                    break;
                }
                channel.position = 0;
            }
            const int16_t* source = &pcm.samples[channel.position * 2];
            mixBuffer_[frame * 2] += static_cast<int32_t>(source[0] * left / kUnit);
            mixBuffer_[frame * 2 + 1] += static_cast<int32_t>(source[1] * right / kUnit);
            ++channel.position;
        }
        if (ended || (!channel.loop && channel.position >= length))
            it = channels_.erase(it);
        else
            ++it;
    }
    for (size_t i = 0; i < frames * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(mixBuffer_[i], -32768, 32767));
}

bool SoundMixer::IsInitialised() const
{
    std::lock_guard lock(mutex_);
    return initialised_;
}

bool SoundMixer::IsPaused() const
{
    std::lock_guard lock(mutex_);
    return paused_;
}

int SoundMixer::GroupVolume(int group) const
{
    std::lock_guard lock(mutex_);
    auto found = groupVolumes_.find(group);
    return found != groupVolumes_.end() ? found->second : 100;
}

std::optional<SoundChannelState> SoundMixer::InspectChannel(int channel) const
{
    std::lock_guard lock(mutex_);
    auto found = channels_.find(channel);
    if (found == channels_.end())
        return std::nullopt;
    const Channel& c = found->second;
    return SoundChannelState{c.sample, c.loop, c.group, c.volume, c.pan, c.paused, c.position};
}

std::vector<int> SoundMixer::Channels() const
{
    std::lock_guard lock(mutex_);
    return Keys(channels_);
}

std::vector<int> SoundMixer::LoadedSamples() const
{
    std::lock_guard lock(mutex_);
    return Keys(samples_);
}

std::string SoundMixer::SamplePath(int sample) const
{
    std::lock_guard lock(mutex_);
    auto found = samples_.find(sample);
    return found != samples_.end() ? found->second.path : std::string();
}

} // namespace Platform
