// The engine's two log functions: DebugLog always writes to the debugger output, DebugLogTimed
// writes a line stamped with the time since the last level finished loading, in debug mode only.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Formats like printf and writes the text unchanged (no newline added) to the debugger output.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Debug mode only: "[hh:mm:ss.mmm] message\n" to the debugger output.
void DebugLogTimed(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Makes now (the platform clock) the reference time of DebugLogTimed; called when a level has
// finished loading. Before the first call the reference is the program's start.
void ResetDebugLogClock();

// "[hh:mm:ss.mmm] " + message + "\n" for elapsedMs milliseconds since the reference.
std::string FormatTimedLine(uint32_t elapsedMs, std::string_view message);
