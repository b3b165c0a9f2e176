// A table of live allocations (address -> size, source file, line) under its own lock, with a
// report of what is still in it. The program sets it up and tears it down; nothing fills it today,
// and the report at exit stays off unless reportAtExit is set.
#pragma once
#include "framework/core/CritSect.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Fw {

class LeakTracker {
public:
    LeakTracker() = default;
    ~LeakTracker();
    LeakTracker(const LeakTracker&) = delete;
    LeakTracker& operator=(const LeakTracker&) = delete;

    void Add(const void* address, size_t size, const char* file, int line);
    void Remove(const void* address);
    size_t Count();
    // Writes the report to path (nothing at all when it cannot be opened) and the debugger output.
    void WriteReport(const std::string& path);

    bool reportAtExit = false;

private:
    struct Allocation {
        size_t size;
        std::string file;
        int line;
    };
    CritSect lock_;
    std::map<uintptr_t, Allocation> allocations_;
    bool enabled_ = true;
};

extern LeakTracker gLeakTracker;

} // namespace Fw
