#include "framework/core/PerformanceTimer.h"

#include "platform/ThreadPriority.h"

#include <atomic>
#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace Fw {

int64_t QueryPerformanceCounter()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t QueryPerformanceFrequency()
{
    return 1000000000;
}

uint64_t ReadCycleCounter()
{
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return uint64_t(QueryPerformanceCounter());
#endif
}

void PerformanceTimer::Start()
{
    running_ = true;
    start_ = QueryPerformanceCounter();
}

void PerformanceTimer::Stop()
{
    if (running_) {
        CalcDuration();
        running_ = false;
    }
}

double PerformanceTimer::GetDuration()
{
    if (running_)
        CalcDuration();
    return duration_;
}

void PerformanceTimer::CalcDuration()
{
    duration_ = double(QueryPerformanceCounter() - start_) * 1000.0 / double(QueryPerformanceFrequency());
}

int64_t MeasureCpuCyclesPerSecond()
{
    const int priority = Platform::GetCurrentThreadPriority();
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityHighest);
    const int64_t frequency = QueryPerformanceFrequency();
    if (frequency <= 0) {
        Platform::SetCurrentThreadPriority(priority);
        return 0;
    }
    // A 10 ms window: cycles counted in it times 100 is cycles per second.
    const int64_t end = QueryPerformanceCounter() + frequency / 100;
    const uint64_t startCycles = ReadCycleCounter();
    while (QueryPerformanceCounter() < end) {
    }
    const uint64_t cycles = ReadCycleCounter() - startCycles;
    Platform::SetCurrentThreadPriority(priority);
    return int64_t(cycles) * 100;
}

int64_t GetCpuCyclesPerSecond()
{
    static std::atomic<int64_t> cached{0};
    int64_t cps = cached.load(std::memory_order_acquire);
    if (cps > 0)
        return cps;
    cps = MeasureCpuCyclesPerSecond();
    if (cps <= 0)
        cps = 1;
    cached.store(cps, std::memory_order_release);
    return cps;
}

} // namespace Fw
