// Start-up of the sound device with archive-aware file callbacks and plain memory callbacks.
#include "engine/core/SoundSystem.h"

#include <atomic>
#include <cstdlib>

#include "framework/core/PakFile.h"
#include "platform/SoundDevice.h"

namespace {

std::atomic<bool> gSoundSystemUp{false};
std::atomic<bool> gSoundSystemStarted{false};

// Kept for the device's lifetime, as the device may keep a pointer to it.
Platform::SoundInitParams gInitParams;

// Samples open through the archive layer ("rb"): archive entries first, then the file system.
intptr_t SoundFileOpen(const char* name)
{
    PakFile* file = name != nullptr ? PakFOpen(name, "rb") : nullptr;
    return file != nullptr ? reinterpret_cast<intptr_t>(file) : -1;
}

long SoundFileSeek(intptr_t handle, long offset, int origin)
{
    PakFile* file = reinterpret_cast<PakFile*>(handle);
    if (PakFSeek(file, offset, origin) != 0)
        return -1;
    return PakFTell(file);
}

long SoundFileRead(intptr_t handle, void* buffer, long size)
{
    if (size <= 0)
        return 0;
    return static_cast<long>(PakFRead(buffer, 1, static_cast<size_t>(size), reinterpret_cast<PakFile*>(handle)));
}

void SoundFileClose(intptr_t handle)
{
    PakFClose(reinterpret_cast<PakFile*>(handle));
}

void* SoundAllocate(size_t size)
{
    return size == 0 ? nullptr : std::malloc(size);
}

void SoundRelease(void* block)
{
    std::free(block);
}

} // namespace

bool IsSoundSystemUp()
{
    return gSoundSystemUp.load();
}

bool IsSoundSystemStarted()
{
    return gSoundSystemStarted.load();
}

void InitSoundSystem(intptr_t window)
{
    gSoundSystemStarted = true;
    gSoundSystemUp = false;
    gInitParams = Platform::SoundInitParams{};
    gInitParams.window = window;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    if (device.GetNumDevice() == 0)
        return;
    if (device.Init(gInitParams) < 0)
        return;
    // The speaker mode of a plain stereo output.
    device.SetSpeakerMode(3);
    device.SetFileCallbacks(&SoundFileOpen, &SoundFileSeek, &SoundFileRead, &SoundFileClose);
    device.SetMemoryCallbacks(&SoundAllocate, &SoundRelease);
    gSoundSystemUp = true;
}

void ShutdownSoundSystem()
{
    gSoundSystemStarted = false;
    if (!gSoundSystemUp.exchange(false))
        return;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    device.Stop();
    device.Free();
}

void PauseAllSound(bool pause)
{
    if (gSoundSystemUp)
        Platform::GetSoundDevice().Pause(pause);
}
