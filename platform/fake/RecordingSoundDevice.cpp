// Logging, manual clock and scripted results around the shared mixer bookkeeping.
#include "platform/fake/RecordingSoundDevice.h"

#include <cstdio>
#include <sstream>

namespace Platform {
namespace {

template <class... Args>
std::string Line(std::string_view name, const Args&... args)
{
    std::ostringstream out;
    out << name;
    ((out << ' ' << args), ...);
    return out.str();
}

} // namespace

RecordingSoundDevice::~RecordingSoundDevice()
{
    SoundMixer::Free();
}

void RecordingSoundDevice::Tick(uint32_t ms)
{
    const uint64_t target = now_ + ms;
    for (;;) {
        const uint64_t due = Workers().NextDue();
        if (due > target)
            break;
        now_ = due;
        Workers().RunDue(due);
    }
    now_ = target;
}

void RecordingSoundDevice::FinishChannel(int channel)
{
    SoundMixer::ChannelStop(channel);
}

void RecordingSoundDevice::Log(std::string line)
{
    std::lock_guard lock(logMutex_);
    log_.push_back(std::move(line));
}

std::vector<std::string> RecordingSoundDevice::Calls() const
{
    std::lock_guard lock(logMutex_);
    return log_;
}

std::vector<std::string> RecordingSoundDevice::CallsNamed(std::string_view name) const
{
    std::lock_guard lock(logMutex_);
    std::vector<std::string> lines;
    for (const std::string& line : log_)
        if (line.compare(0, line.find(' '), name) == 0)
            lines.push_back(line);
    return lines;
}

std::vector<int> RecordingSoundDevice::VolumeHistory(int channel) const
{
    std::lock_guard lock(logMutex_);
    auto found = volumes_.find(channel);
    return found != volumes_.end() ? found->second : std::vector<int>{};
}

void RecordingSoundDevice::ClearLog()
{
    std::lock_guard lock(logMutex_);
    log_.clear();
    volumes_.clear();
}

long RecordingSoundDevice::BytesRead(const std::string& path) const
{
    std::lock_guard lock(logMutex_);
    auto found = bytesRead_.find(path);
    return found != bytesRead_.end() ? found->second : -1;
}

int RecordingSoundDevice::OpenOutput(const SoundInitParams&)
{
    return initResult_;
}

std::shared_ptr<const SoundPcm> RecordingSoundDevice::DecodeSample(const SoundFileCallbacks& files,
                                                                   const char* path, int,
                                                                   int& error)
{
    const intptr_t handle = files.open(path);
    if (handle == -1) {
        error = kSoundErrFileOpen;
        return nullptr;
    }
    long total = 0;
    char buffer[4096];
    for (long got; (got = files.read(handle, buffer, sizeof buffer)) > 0;)
        total += got;
    files.close(handle);
    std::lock_guard lock(logMutex_);
    bytesRead_[path] = total;
    return std::make_shared<SoundPcm>();
}

int RecordingSoundDevice::GetNumDevice()
{
    Log("GetNumDevice");
    return numDevices_;
}

int RecordingSoundDevice::Init(const SoundInitParams& params)
{
    const int result = SoundMixer::Init(params);
    Log(Line("Init", params.window, params.device, params.sampleRate, params.bitsPerSample,
             params.voices, params.reserved[0], params.reserved[1], params.reserved[2],
             params.reserved[3], params.reserved[4], "=", result));
    return result;
}

void RecordingSoundDevice::SetSpeakerMode(int mode)
{
    Log(Line("SetSpeakerMode", mode));
    SoundMixer::SetSpeakerMode(mode);
}

void RecordingSoundDevice::SetFileCallbacks(SoundFileOpen open, SoundFileSeek seek,
                                            SoundFileRead read, SoundFileClose close)
{
    Log("SetFileCallbacks");
    SoundMixer::SetFileCallbacks(open, seek, read, close);
}

void RecordingSoundDevice::SetMemoryCallbacks(SoundAlloc alloc, SoundFree free)
{
    Log("SetMemoryCallbacks");
    SoundMixer::SetMemoryCallbacks(alloc, free);
}

int RecordingSoundDevice::SampleLoadFile(const char* path, int mode,
                                         const SoundSampleDefaults* defaults)
{
    const int result = SoundMixer::SampleLoadFile(path, mode, defaults);
    std::string described = "null";
    if (defaults != nullptr) {
        std::ostringstream out;
        out << "defaults(" << defaults->group << ',' << defaults->loop << ',' << defaults->priority
            << ',' << defaults->volume << ',' << defaults->pan << ',' << defaults->speed << ','
            << defaults->maxDistance << ')';
        described = out.str();
    }
    Log(Line("Sample_LoadFile", path != nullptr ? path : "(null)", mode, described, "=", result));
    return result;
}

int RecordingSoundDevice::SamplePlayEx(int sample, int loop, int group, int start, int priority,
                                       int volume, int frequency, int pan)
{
    const int result =
        SoundMixer::SamplePlayEx(sample, loop, group, start, priority, volume, frequency, pan);
    Log(Line("Sample_PlayEx", sample, loop, group, start, priority, volume, frequency, pan, "=",
             result));
    return result;
}

void RecordingSoundDevice::SampleUnload(int sample)
{
    Log(Line("Sample_Unload", sample));
    SoundMixer::SampleUnload(sample);
}

void RecordingSoundDevice::SampleStop(int sample)
{
    Log(Line("Sample_Stop", sample));
    SoundMixer::SampleStop(sample);
}

void RecordingSoundDevice::ChannelSetPan(int channel, int pan)
{
    Log(Line("Channel_SetPan", channel, pan));
    SoundMixer::ChannelSetPan(channel, pan);
}

void RecordingSoundDevice::ChannelSetVolume(int channel, int volume)
{
    {
        std::lock_guard lock(logMutex_);
        log_.push_back(Line("Channel_SetVolume", channel, volume));
        volumes_[channel].push_back(volume);
    }
    SoundMixer::ChannelSetVolume(channel, volume);
}

void RecordingSoundDevice::ChannelSetWorker(int channel, SoundWorker worker, void* userData,
                                            int periodMs)
{
    Log(Line("Channel_SetWorker", channel, worker != nullptr ? "worker" : "null", periodMs));
    SoundMixer::ChannelSetWorker(channel, worker, userData, periodMs);
}

int RecordingSoundDevice::ChannelStatus(int channel)
{
    // Not logged: status is polled, and a log full of polls hides the calls that matter.
    return SoundMixer::ChannelStatus(channel);
}

void RecordingSoundDevice::ChannelPause(int channel, bool pause)
{
    Log(Line("Channel_Pause", channel, pause ? 1 : 0));
    SoundMixer::ChannelPause(channel, pause);
}

void RecordingSoundDevice::ChannelStop(int channel)
{
    Log(Line("Channel_Stop", channel));
    SoundMixer::ChannelStop(channel);
}

void RecordingSoundDevice::ChannelGroupSetVolume(int group, int volume)
{
    Log(Line("ChannelGroup_SetVolume", group, volume));
    SoundMixer::ChannelGroupSetVolume(group, volume);
}

void RecordingSoundDevice::Pause(bool pause)
{
    Log(Line("Pause", pause ? 1 : 0));
    SoundMixer::Pause(pause);
}

void RecordingSoundDevice::Stop()
{
    Log("Stop");
    SoundMixer::Stop();
}

void RecordingSoundDevice::Free()
{
    Log("Free");
    SoundMixer::Free();
}

} // namespace Platform
