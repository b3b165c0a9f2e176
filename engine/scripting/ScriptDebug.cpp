#include "engine/scripting/ScriptDebug.h"

#include "platform/DebugOutput.h"

namespace {
ScriptDebugFlags gFlags;
}

ScriptDebugFlags GetScriptDebugFlags() { return gFlags; }
void SetScriptDebugFlags(const ScriptDebugFlags& flags) { gFlags = flags; }

void ScriptDebugLog(const std::string& text) { Platform::OutputDebugText(text); }

void ScriptDebugLogTimed(const std::string& text)
{
    if (gFlags.debugMode) {
        Platform::OutputDebugText(text);
        Platform::OutputDebugText("\n");
    }
}

void ScriptPythonOutput(const char* text) { Platform::OutputDebugStringA(text); }

std::string ScriptKeyName(int virtualKey) { return std::to_string(virtualKey); }
