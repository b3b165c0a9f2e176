// The sound device the engine plays through: samples loaded through file callbacks, channels with
// volume, pan, pause, status and periodic worker callbacks, channel-group volumes and a global
// pause. Implementations: the SDL2 mixer (real), the null device (no output) and the recording
// device (tests). Nothing here decodes 3-D positions, effects or streaming: the engine uses none.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Platform {

// Results. Ids of samples and channels start at 1 and are never reused; a failure is negative.
inline constexpr int kSoundOk = 0;
inline constexpr int kSoundErrNotInitialised = -1;
inline constexpr int kSoundErrNoDevice = -2;
inline constexpr int kSoundErrFileOpen = -3;   // the open callback failed
inline constexpr int kSoundErrDecode = -4;     // unreadable or unsupported sound data
inline constexpr int kSoundErrBadSample = -5;  // unknown or unloaded sample id
inline constexpr int kSoundErrNoVoice = -6;    // every voice is busy

// Channel status: 0 for a channel that no longer plays (ended, stopped, or never existed).
inline constexpr int kChannelStopped = 0;
inline constexpr int kChannelPlaying = 1;
inline constexpr int kChannelPaused = 2;

// The start parameters, in the order the engine fills them (ten values).
struct SoundInitParams {
    intptr_t window = 0;        // owner window; unused here
    int32_t device = 0;         // device index, 0 the default output
    int32_t sampleRate = 44100; // output rate in Hz; samples are resampled to it at load
    int32_t bitsPerSample = 16; // output sample size; the mixer produces 16-bit only
    int32_t voices = 32;        // channels that may play at once
    int32_t reserved[5] = {1, 1, 0, 500, 0}; // passed through unread
};

// Defaults kept with a loaded sample (seven values); the play call states every value it uses,
// so the mixer only keeps these for the caller.
struct SoundSampleDefaults {
    int32_t group = 0;
    int32_t loop = 0;
    int32_t priority = 0;
    int32_t volume = 100;
    int32_t pan = 50;
    float speed = 1.0f;
    float maxDistance = 1.0e9f;
};

// File callbacks through which samples are read. open returns a handle or -1; seek moves as
// fseek does (origin SEEK_SET/CUR/END) and returns the new position or -1; read returns the
// number of bytes read (0 at the end); close releases the handle.
using SoundFileOpen = intptr_t (*)(const char* name);
using SoundFileSeek = long (*)(intptr_t handle, long offset, int origin);
using SoundFileRead = long (*)(intptr_t handle, void* buffer, long size);
using SoundFileClose = void (*)(intptr_t handle);

// Memory callbacks: allocate returns null for 0 bytes; free accepts null.
using SoundAlloc = void* (*)(size_t size);
using SoundFree = void (*)(void* block);

// A channel worker: called with (channel, user data) about every period milliseconds on the
// device's timer thread, outside the mixer's lock, until it is removed. Returns 1.
using SoundWorker = int (*)(int channel, void* userData);

class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // Number of output devices; 0 means there is no sound output at all.
    virtual int GetNumDevice() = 0;
    // Opens the output. >= 0 on success, negative on failure (the device then stays closed).
    virtual int Init(const SoundInitParams& params) = 0;
    virtual void SetSpeakerMode(int mode) = 0;
    // Later sample loads read through these; null callbacks restore the C runtime's stdio.
    virtual void SetFileCallbacks(SoundFileOpen open, SoundFileSeek seek, SoundFileRead read,
                                  SoundFileClose close) = 0;
    virtual void SetMemoryCallbacks(SoundAlloc alloc, SoundFree free) = 0;

    // Loads and decodes a whole sample. Its id, or a negative error.
    virtual int SampleLoadFile(const char* path, int mode, const SoundSampleDefaults* defaults) = 0;
    // Starts a channel of the sample: loop 0/1, group id, start 1 (0 starts it paused), priority
    // (unused), volume 0..100, frequency (unused: samples play at the output rate they were
    // resampled to), pan 0..100 (50 centre). The channel id, or a negative error.
    virtual int SamplePlayEx(int sample, int loop, int group, int start, int priority, int volume,
                             int frequency, int pan) = 0;
    // Drops the sample from the table; channels already playing it finish normally.
    virtual void SampleUnload(int sample) = 0;
    // Stops every channel that plays the sample.
    virtual void SampleStop(int sample) = 0;

    virtual void ChannelSetPan(int channel, int pan) = 0;
    virtual void ChannelSetVolume(int channel, int volume) = 0;
    // Installs, replaces or (worker null) removes the channel's worker. Called from another
    // thread than the timer's, it returns only after a running call of the old worker finished,
    // so the caller may free the worker's data afterwards. A worker removing itself leaves alone
    // a worker another thread installed during its call. Workers outlive their channel's end
    // until removed; installing on an id that was never given out does nothing.
    virtual void ChannelSetWorker(int channel, SoundWorker worker, void* userData, int periodMs) = 0;
    virtual int ChannelStatus(int channel) = 0;
    virtual void ChannelPause(int channel, bool pause) = 0;
    virtual void ChannelStop(int channel) = 0;
    // Volume 0..100 of every channel played with that group id (-1 included), now and later.
    virtual void ChannelGroupSetVolume(int group, int volume) = 0;

    // Pauses or resumes all output.
    virtual void Pause(bool pause) = 0;
    // Stops every channel.
    virtual void Stop() = 0;
    // Closes the output and forgets every sample, channel and worker.
    virtual void Free() = 0;
};

// The process's sound device: the installed one, else the real one made on first use (the SDL2
// mixer, or the null device when SDL audio is unavailable). Never null.
SoundDevice& GetSoundDevice();
// Installs device for the process (tests) and returns the one installed before; nullptr restores
// the real one. Call before threads that use the device start.
SoundDevice* SetSoundDevice(SoundDevice* device);

} // namespace Platform
