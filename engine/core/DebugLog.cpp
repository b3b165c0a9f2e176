// DebugLog and DebugLogTimed over the platform's debugger output.
#include "engine/core/DebugLog.h"

#include "engine/core/DebugSettings.h"
#include "framework/core/Format.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

// Taken during static initialisation, which stands for the program's start.
std::atomic<uint32_t> gReferenceTime{Platform::GetClock().TimeGetTime()};

} // namespace

void DebugLog(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = Fw::VFormat(format, arguments);
    va_end(arguments);
    Platform::OutputDebugText(text);
}

std::string FormatTimedLine(uint32_t elapsedMs, std::string_view message)
{
    const uint32_t hours = elapsedMs / 3600000u;
    const uint32_t minutes = (elapsedMs - hours * 3600000u) / 60000u;
    const double seconds = (elapsedMs - (hours * 60u + minutes) * 60000u) / 1000.0;
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[%02u:%02u:%06.3f] ", hours, minutes, seconds);
    std::string line = stamp;
    line += message;
    line += '\n';
    return line;
}

void DebugLogTimed(const char* format, ...)
{
    if (!gDebugSettings || !gDebugSettings->debugMode)
        return;
    va_list arguments;
    va_start(arguments, format);
    const std::string message = Fw::VFormat(format, arguments);
    va_end(arguments);
    const uint32_t elapsed = Platform::GetClock().TimeGetTime() - gReferenceTime.load(std::memory_order_acquire);
    Platform::OutputDebugText(FormatTimedLine(elapsed, message));
}

void ResetDebugLogClock()
{
    gReferenceTime.store(Platform::GetClock().TimeGetTime(), std::memory_order_release);
}
