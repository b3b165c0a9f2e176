// Starting and stopping the sound device, the process-wide sound-system-up flag that every sound
// operation tests first, pausing all sound when the application loses the focus, and the file
// callbacks that read samples through the archive layer.
#pragma once
#include <cstdint>

// True after InitSoundSystem started the device, until ShutdownSoundSystem. Any thread.
bool IsSoundSystemUp();
// True from InitSoundSystem until ShutdownSoundSystem, whether the device started or not.
bool IsSoundSystemStarted();

// Starts the process's sound device (Platform::GetSoundDevice) for window: 44.1 kHz, 16 bit, 32
// voices. Without a device, or when it fails to start, sound stays off for the run and the game
// runs silently; nothing is shown.
void InitSoundSystem(intptr_t window);
// Stops and frees the device; sound is off afterwards.
void ShutdownSoundSystem();
// Pauses (true) or resumes all output while sound is up; for focus loss and regain.
void PauseAllSound(bool pause);
