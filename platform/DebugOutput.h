// Stand-in for the debugger output channel (OutputDebugStringA): text goes to a settable sink,
// stderr by default. Tests install a sink to capture what the code reports.
#pragma once
#include <functional>
#include <string_view>

namespace Platform {

// Receives each text exactly as written (no newline added). Called under a lock, from any thread.
using DebugOutputSink = std::function<void(std::string_view text)>;

// Writes text (UTF-8) to the current sink; a null text writes nothing. Any thread.
void OutputDebugStringA(const char* text);
void OutputDebugText(std::string_view text);

// Installs sink and returns the previous one; an empty sink restores stderr.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

} // namespace Platform
