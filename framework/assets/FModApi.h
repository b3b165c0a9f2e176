// The calls the FMOD music back end makes of its sound library, as one interface. No such library
// exists on this platform: the default provider yields none and the application falls back to the
// empty back end. Tests install a recording implementation.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Fw {

class FModApi {
public:
    virtual ~FModApi() = default;
    // Samples (handles: 0 = none).
    virtual uint32_t SampleLoad(int index, const std::string& fileName, unsigned mode, int offset) = 0;
    virtual uint32_t SampleAlloc(int index, int length, unsigned mode, int frequency, int volume, int pan,
                                 int priority) = 0;
    virtual void SampleFree(uint32_t sample) = 0;
    // Locks [offset, offset + length) bytes; returns the first block (null on failure).
    virtual void* SampleLock(uint32_t sample, int offset, int length) = 0;
    virtual void SampleUnlock(uint32_t sample) = 0;
    virtual void SampleSetLoopPoints(uint32_t sample, int loopStart, int loopEnd) = 0;
    virtual int SampleGetLength(uint32_t sample) = 0; // sample frames
    virtual int SampleGetDefaultFrequency(uint32_t sample) = 0;
    virtual unsigned SampleGetMode(uint32_t sample) = 0;
    // Channels.
    virtual void PlaySound(int channel, uint32_t sample) = 0;
    virtual void StopSound(int channel) = 0;
    virtual void SetVolume(int channel, int volume) = 0;
    virtual void SetPaused(int channel, bool paused) = 0;
    virtual void SetLoopMode(int channel, int mode) = 0;
    virtual bool IsPlaying(int channel) = 0;
    // Module songs.
    virtual uint32_t LoadSong(const std::string& fileName) = 0;
    virtual void PlaySong(uint32_t module) = 0;
    virtual void StopSong(uint32_t module) = 0;
    virtual void SetLooping(uint32_t module, int looping) = 0;
    virtual void SetOrder(uint32_t module, int order) = 0;
    virtual void SetSongPaused(uint32_t module, bool paused) = 0;
    virtual void SetMasterVolume(uint32_t module, int volume) = 0;
    virtual bool IsSongPlaying(uint32_t module) = 0;
};

// Mode bits of a sample.
constexpr unsigned kFModSample8Bit = 0x08;
constexpr unsigned kFModSampleMono = 0x20;
constexpr unsigned kFModSampleLoopNormal = 0x02;

// Makes the library's interface, or null when the library is not available.
using FModProvider = std::function<std::unique_ptr<FModApi>()>;
// Installs the provider (tests); an empty one restores the default, which has no library.
void SetFModProvider(FModProvider provider);

// Process-wide, reference-counted instance: the first load creates it, the last release frees it.
// Null when the library is not available (logged).
FModApi* LoadFmodLibrary();
void ReleaseFmodLibrary();

} // namespace Fw
