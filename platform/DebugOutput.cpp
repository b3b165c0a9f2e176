// The debugger output channel: one mutex-guarded sink, stderr when none is installed.
#include "platform/DebugOutput.h"

#include <cstdio>
#include <mutex>

namespace Platform {
namespace {

std::mutex& SinkMutex()
{
    static std::mutex m;
    return m;
}

DebugOutputSink& Sink()
{
    static DebugOutputSink sink;
    return sink;
}

} // namespace

void OutputDebugText(std::string_view text)
{
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void OutputDebugStringA(const char* text)
{
    if (text)
        OutputDebugText(text);
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink)
{
    std::lock_guard lock(SinkMutex());
    DebugOutputSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

} // namespace Platform
