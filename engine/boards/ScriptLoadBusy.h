// gScriptLoadBusy held by several holders at once: the start-up worker, a level load and the game
// board's unload may overlap (a level load requested from InitGame starts while InitGame still
// runs), and the flag must stay up until the last of them ends. Any thread.
#pragma once

// Counts one more holder and raises the flag.
void RaiseScriptLoadBusy();
// Counts one holder less; the flag falls with the last one.
void LowerScriptLoadBusy();

class ScriptLoadBusyHold {
public:
    ScriptLoadBusyHold() { RaiseScriptLoadBusy(); }
    ~ScriptLoadBusyHold() { LowerScriptLoadBusy(); }
    ScriptLoadBusyHold(const ScriptLoadBusyHold&) = delete;
    ScriptLoadBusyHold& operator=(const ScriptLoadBusyHold&) = delete;
};
