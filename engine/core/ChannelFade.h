// The fade arithmetic shared by sound instances and music channels: a fade factor stepped by
// 0.05 on a channel worker (every 25 ms fading in, every 50 ms fading out), the channel volume
// set to trunc(factor x target volume) within 0..100 after each step.
#pragma once
#include <atomic>

inline constexpr float kFadeStep = 0.05f;
inline constexpr int kFadeInPeriodMs = 25;
inline constexpr int kFadeOutPeriodMs = 50;

// Moves factor by delta, sets the channel's volume from it and returns the new factor.
float StepChannelFade(int channel, std::atomic<float>& factor, float delta, int targetVolume);
// One fade-in step; the calling worker removes itself once the factor reaches 1.0.
void StepFadeIn(int channel, std::atomic<float>& factor, int targetVolume);
// Removes the worker of channel (from the worker itself: no wait).
void RemoveChannelWorker(int channel);
