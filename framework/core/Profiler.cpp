#include "framework/core/Profiler.h"

#include "framework/core/Format.h"
#include "framework/core/PerformanceTimer.h"

#include <strings.h>

namespace Fw {

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const
{
    return ::strcasecmp(a.c_str(), b.c_str()) < 0;
}

Profiler::Profiler() : Profiler(&ReadCycleCounter, &GetCpuCyclesPerSecond) {}

Profiler::Profiler(CycleSource cycles, SpeedSource cyclesPerSecond)
    : cycles_(cycles), cyclesPerSecond_(cyclesPerSecond)
{
}

void Profiler::Start(bool keepStopped)
{
    sections_.clear();
    used_ = 0;
    nesting_ = 0;
    overheadCycles_ = 0;
    totalTimeMs_ = 0;
    running_ = !keepStopped;
    startStamp_ = cycles_();
}

void Profiler::Begin(const char* name)
{
    if (!running_)
        return;
    ++nesting_;
    AddRecord({name, cycles_(), true});
}

void Profiler::End(const char* name)
{
    if (!running_)
        return;
    AddRecord({name, cycles_(), false});
    if (--nesting_ == 0)
        FlushRecords();
}

void Profiler::AddRecord(const ProfileRecord& record)
{
    if (used_ == records_.size())
        records_.push_back(record);
    else
        records_[used_] = record;
    ++used_;
}

void Profiler::FlushRecords()
{
    const uint64_t start = cycles_();
    for (size_t i = 0; i < used_; ++i)
        FoldRecord(records_[i]);
    used_ = 0;
    overheadCycles_ += cycles_() - start;
}

void Profiler::FoldRecord(const ProfileRecord& record)
{
    if (!record.name)
        return;
    if (record.isBegin) {
        ProfileSectionStats& s = sections_[record.name];
        ++s.calls;
        if (++s.depth == 1)
            s.beginStamp = record.stamp;
        return;
    }
    const auto it = sections_.find(record.name);
    // An end without an open begin (ended more often than begun) is ignored, so later calls of
    // the section are still timed.
    if (it == sections_.end() || it->second.depth <= 0)
        return;
    ProfileSectionStats& s = it->second;
    if (--s.depth == 0) {
        const uint64_t d = record.stamp - s.beginStamp;
        s.totalCycles += d;
        if (double(d) > s.longest)
            s.longest = double(d);
    }
}

void Profiler::Stop()
{
    const uint64_t stamp = cycles_();
    FlushRecords();
    running_ = false;
    const double cps = double(cyclesPerSecond_());
    totalTimeMs_ = double(stamp - overheadCycles_ - startStamp_) * 1000.0 / cps;
    for (auto& [name, s] : sections_) {
        s.totalMs = double(s.totalCycles) * 1000.0 / cps;
        s.longest = s.longest * 1000.0 / cps;
    }
}

std::string Profiler::Report() const
{
    std::string out = FormatString("Total Time: %.2f\n", totalTimeMs_);
    for (const auto& [name, s] : sections_) {
        // A run shorter than the clock's resolution has no share to show.
        const double share = totalTimeMs_ > 0 ? s.totalMs / totalTimeMs_ * 100.0 : 0.0;
        const double average = s.calls > 0 ? s.totalMs / s.calls : 0.0;
        out += FormatString("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name.c_str(), s.calls,
                            share, s.totalMs, average, s.longest);
    }
    return out;
}

Profiler& GetProfiler()
{
    static Profiler profiler;
    return profiler;
}

void ProfileStart(bool keepStopped)
{
    GetProfiler().Start(keepStopped);
}

void ProfileBegin(const char* name)
{
    GetProfiler().Begin(name);
}

void ProfileEnd(const char* name)
{
    GetProfiler().End(name);
}

void ProfileStop()
{
    GetProfiler().Stop();
}

bool IsProfiling()
{
    return GetProfiler().IsRunning();
}

std::string GetProfileReport()
{
    return GetProfiler().Report();
}

} // namespace Fw
