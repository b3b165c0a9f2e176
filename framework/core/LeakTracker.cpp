#include "framework/core/LeakTracker.h"

#include "framework/core/Format.h"
#include "platform/DebugOutput.h"

#include <cstdio>
#include <ctime>

namespace Fw {

LeakTracker gLeakTracker;

LeakTracker::~LeakTracker()
{
    if (reportAtExit)
        WriteReport("mem_leaks.txt");
    ScopedCritSect guard(lock_);
    enabled_ = false;
    allocations_.clear();
}

void LeakTracker::Add(const void* address, size_t size, const char* file, int line)
{
    ScopedCritSect guard(lock_);
    if (enabled_)
        allocations_[reinterpret_cast<uintptr_t>(address)] = {size, file ? file : "", line};
}

void LeakTracker::Remove(const void* address)
{
    ScopedCritSect guard(lock_);
    allocations_.erase(reinterpret_cast<uintptr_t>(address));
}

size_t LeakTracker::Count()
{
    ScopedCritSect guard(lock_);
    return allocations_.size();
}

void LeakTracker::WriteReport(const std::string& path)
{
    ScopedCritSect guard(lock_);
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return;
    auto both = [file](const std::string& line) {
        std::fputs(line.c_str(), file);
        Platform::OutputDebugText(line);
    };
    const std::time_t now = std::time(nullptr);
    char when[64] = "";
    if (const std::tm* local = std::localtime(&now))
        std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y\n", local); // asctime's form
    const std::string title = FormatString("Memory Leak Report for %s\n", when);
    std::fputs(title.c_str(), file);
    Platform::OutputDebugText("\n" + title);
    size_t total = 0;
    for (const auto& [address, a] : allocations_) {
        both(FormatString("%s(%d) : Leak %zu byte%s\n", a.file.c_str(), a.line, a.size, a.size >= 2 ? "s" : ""));
        total += a.size;
    }
    both("-----------------------------------------------------------\n");
    both(FormatString("Total Unfreed: %zu bytes (%zuKB)\n\n", total, total / 1024));
    std::fclose(file);
}

} // namespace Fw
