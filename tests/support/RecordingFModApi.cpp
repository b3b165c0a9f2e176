#include "RecordingFModApi.h"

#include <cstring>

void RecordingFModApi::Log(const char* name, long a, long b, long c)
{
    std::string line = std::string(name) + " " + std::to_string(a);
    if (b != -99999)
        line += " " + std::to_string(b);
    if (c != -99999)
        line += " " + std::to_string(c);
    calls.push_back(line);
}

uint32_t RecordingFModApi::SampleLoad(int, const std::string& name, unsigned, int)
{
    auto it = files.find(name);
    if (it == files.end())
        return 0;
    samples[next_] = it->second;
    return next_++;
}

uint32_t RecordingFModApi::SampleAlloc(int, int length, unsigned mode, int frequency, int, int, int)
{
    Sample s;
    s.mode = mode;
    s.frequency = frequency;
    s.frames = length;
    const int channels = (mode & Fw::kFModSampleMono) ? 1 : 2;
    const int bits = (mode & Fw::kFModSample8Bit) ? 8 : 16;
    s.data.assign(size_t(length * channels * bits / 8), '\0');
    samples[next_] = s;
    return next_++;
}

void RecordingFModApi::SampleFree(uint32_t sample)
{
    samples.erase(sample);
    if (freedCounter)
        ++*freedCounter;
}

void* RecordingFModApi::SampleLock(uint32_t sample, int offset, int length)
{
    auto it = samples.find(sample);
    if (it == samples.end() || offset < 0 || size_t(offset + length) > it->second.data.size())
        return nullptr;
    return it->second.data.data() + offset;
}

void RecordingFModApi::PlaySound(int channel, uint32_t sample)
{
    Log("PlaySound", channel, long(sample));
    playing[channel] = true;
}

void RecordingFModApi::StopSound(int channel)
{
    Log("StopSound", channel);
    playing[channel] = false;
}

uint32_t RecordingFModApi::LoadSong(const std::string& name)
{
    auto it = songFiles.find(name);
    return it == songFiles.end() ? 0 : it->second;
}

void RecordingFModApi::PlaySong(uint32_t module)
{
    Log("PlaySong", long(module));
    songPlaying[module] = true;
}

void RecordingFModApi::StopSong(uint32_t module)
{
    Log("StopSong", long(module));
    songPlaying[module] = false;
}
