// High-resolution timing: a start/stop timer in milliseconds over the monotonic clock, the
// processor's cycle counter and a one-time probe of its speed (used by the profiler).
#pragma once
#include <cstdint>

namespace Fw {

// The performance counter: nanoseconds of the monotonic clock (frequency 1e9 per second).
int64_t QueryPerformanceCounter();
int64_t QueryPerformanceFrequency();
// The processor's cycle counter (rdtsc); the performance counter where there is none.
uint64_t ReadCycleCounter();

class PerformanceTimer {
public:
    void Start();
    // When running: fixes the duration and stops.
    void Stop();
    // Milliseconds between Start and Stop, or until now while running.
    double GetDuration();
    bool IsRunning() const { return running_; }

private:
    void CalcDuration();

    int64_t start_ = 0;
    double duration_ = 0;
    bool running_ = false;
};

// Cycles per second measured over a 10 ms busy-wait at raised thread priority; 0 on failure.
int64_t MeasureCpuCyclesPerSecond();
// MeasureCpuCyclesPerSecond on first use, then the cached value; never below 1.
int64_t GetCpuCyclesPerSecond();

} // namespace Fw
