// Section profiler: code marks named sections with begin/end; while profiling, each mark appends a
// fixed-size record stamped with the cycle counter, and records are folded into per-name totals
// only when the outermost open section ends (folding time is measured and left out of the total).
// Names compare case-insensitively; only the outermost call of a recursive section is timed.
// Main thread only; no lock. Section names must outlive the profiling run (string literals).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Fw {

struct ProfileRecord {
    const char* name = nullptr;
    uint64_t stamp = 0;
    bool isBegin = false;
};

struct ProfileSectionStats {
    uint64_t beginStamp = 0;  // start of the open outermost call
    uint64_t totalCycles = 0;
    double totalMs = 0;       // set by Stop
    double longest = 0;       // cycles while running, milliseconds after Stop
    int32_t depth = 0;        // open calls of this section
    int32_t calls = 0;
};

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

class Profiler {
public:
    using CycleSource = uint64_t (*)();
    using SpeedSource = int64_t (*)();
    // Defaults: the processor's cycle counter and its measured speed.
    Profiler();
    Profiler(CycleSource cycles, SpeedSource cyclesPerSecond);

    // Empties the results and starts a run (unless keepStopped).
    void Start(bool keepStopped = false);
    void Begin(const char* name);
    void End(const char* name);
    // Folds what is pending, stops and converts the results to milliseconds.
    void Stop();
    bool IsRunning() const { return running_; }
    // "Total Time: ..." then one line per section in name order.
    std::string Report() const;

    const std::map<std::string, ProfileSectionStats, NoCaseLess>& Sections() const { return sections_; }
    double TotalTimeMs() const { return totalTimeMs_; }
    size_t PendingRecords() const { return used_; }

private:
    void AddRecord(const ProfileRecord& record);
    void FlushRecords();
    void FoldRecord(const ProfileRecord& record);

    CycleSource cycles_;
    SpeedSource cyclesPerSecond_;
    bool running_ = false;
    int32_t nesting_ = 0;
    std::vector<ProfileRecord> records_; // reused after each flush; grows only when full
    size_t used_ = 0;
    std::map<std::string, ProfileSectionStats, NoCaseLess> sections_;
    uint64_t startStamp_ = 0;
    uint64_t overheadCycles_ = 0;
    double totalTimeMs_ = 0;
};

// The process's profiler, used by the free functions below.
Profiler& GetProfiler();
void ProfileStart(bool keepStopped = false);
void ProfileBegin(const char* name);
void ProfileEnd(const char* name);
void ProfileStop();
bool IsProfiling();
std::string GetProfileReport();

// Ends its section when the scope is left while the section is still open (early return or
// exception), unless End was called already.
class ProfileScope {
public:
    explicit ProfileScope(const char* name) : name_(name) { ProfileBegin(name_); }
    ~ProfileScope() { End(); }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

    void End()
    {
        if (open_) {
            open_ = false;
            ProfileEnd(name_);
        }
    }

private:
    const char* name_;
    bool open_ = true;
};

} // namespace Fw
