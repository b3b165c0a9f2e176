// Thread priorities: there is nothing to change on this platform, so setting one only records it
// for the calling thread and reading returns what was recorded (normal by default).
#pragma once

namespace Platform {

// Windows priority levels the code passes around.
constexpr int kThreadPriorityIdle = -15;
constexpr int kThreadPriorityLowest = -2;
constexpr int kThreadPriorityBelowNormal = -1;
constexpr int kThreadPriorityNormal = 0;
constexpr int kThreadPriorityAboveNormal = 1;
constexpr int kThreadPriorityHighest = 2;
constexpr int kThreadPriorityTimeCritical = 15;

// The priority last set on the calling thread (kThreadPriorityNormal if never set).
int GetCurrentThreadPriority();
// Records priority for the calling thread; always succeeds.
bool SetCurrentThreadPriority(int priority);

} // namespace Platform
