// What the script layer reads of the engine's debug settings, and where its log lines go.
#pragma once
#include <string>

struct ScriptDebugFlags {
    bool debugMode = false;
    bool cheats = false;
    bool surveyEdition = false;
    bool performanceShow = false;
    bool cheatNeedCollectAll = false;
    bool skipChargeOff = false;
};

ScriptDebugFlags GetScriptDebugFlags();
inline bool ScriptDebugMode() { return GetScriptDebugFlags().debugMode; }

// Always: the text unchanged to the debugger output.
void ScriptDebugLog(const std::string& text);
// Debug mode only: one timed line to the debugger output.
void ScriptDebugLogTimed(const std::string& text);
// The interpreter's error output in debug mode (collects lines, makes traceback lines jump-able).
void ScriptPythonOutput(const char* text);
// Name of a virtual-key code as handed to the script's KeyUp.
std::string ScriptKeyName(int virtualKey);
void SetScriptDebugFlags(const ScriptDebugFlags& flags);
