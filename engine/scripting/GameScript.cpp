// Game module callbacks. A callback the module lacks is skipped.
#include "engine/scripting/GameScript.h"

#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/KeyNames.h"
#include "engine/core/SpinLock.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GilGuard.h"
#include "framework/core/Profiler.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <cstdio>
#include <optional>

VTGameScript* gGameScript = nullptr;
std::atomic<bool> gScriptLoadBusy{false};
ScriptPerfCounters gScriptPerf;

namespace {

constexpr const char* kGameModuleName = "CorvinHOG";
constexpr uint32_t kReportEvery = 100;

uint32_t Ticks() { return Platform::GetClock().GetTickCount(); }

bool DebugMode() { return gDebugSettings && gDebugSettings->debugMode; }

// Log text that arrives before the game module can take it.
void EarlyLog(const char* text)
{
    DebugLog("EARLY LOG: ");
    DebugLog("%s", text ? text : "");
    DebugLog("\n");
}

} // namespace

VTGameScript::~VTGameScript()
{
    DropCallbacks();
    if (levelUpdate_)
        levelUpdate_->Release();
    if (gameModule_)
        gameModule_->Release();
}

void VTGameScript::LoadModule()
{
    if (!gExtPythonManager)
        return;
    DropCallbacks(); // of a module loaded before
    gameModule_ = gExtPythonManager->ImportModule(kGameModuleName); // prints and clears import errors
    PrintAndClearScriptError();
    levelUpdate_ = gExtPythonManager->GetFunction(gameModule_, "LevelUpdate");
}

VTPythonObject* VTGameScript::Callback(const char* function)
{
    if (auto it = callbacks_.find(function); it != callbacks_.end())
        return it->second;
    VTPythonObject* fn = gExtPythonManager->GetFunction(gameModule_, function);
    callbacks_.emplace(function, fn);
    return fn;
}

void VTGameScript::DropCallbacks()
{
    for (auto& [name, fn] : callbacks_)
        if (fn)
            fn->Release();
    callbacks_.clear();
}

void VTGameScript::CallLocked(const char* function, const char* format,
                              std::initializer_list<VTPythonObject::TupleArg> args)
{
    SpinLock::Guard lock(scriptLock_);
    if (!gExtPythonManager || !gameModule_)
        return;
    // The interpreter lock once for the whole callback: the arguments, the call and the releases
    // of both (each of which would take it again otherwise).
    GilGuard gil;
    VTPythonObject* fn = Callback(function);
    if (!fn || !gil.Held())
        return;
    PyObject* tuple = VTPythonObject::NewTupleHeld(format, args);
    fn->CallHeld(tuple);
    Py_XDECREF(tuple);
}

void VTGameScript::CallUnlocked(const char* function, const VTPythonObject* arguments, VTPythonObject* result)
{
    if (!gExtPythonManager || !gameModule_)
        return;
    VTPythonObject* fn = gExtPythonManager->GetFunction(gameModule_, function);
    if (!fn)
        return;
    VTPythonObject discarded;
    fn->Call(result ? *result : discarded, arguments);
    fn->Release();
}

void VTGameScript::CallInitGame()
{
    initGameCalled_.store(true, std::memory_order_release);
    const VTPythonObject* engine = gExtPythonManager ? gExtPythonManager->GetEngineObject() : nullptr;
    CallLocked("InitGame", "O", {engine});
}

void VTGameScript::CallLoadLevel(const char* levelName) { CallLocked("LoadLevel", "s", {levelName}); }

void VTGameScript::CallLevelFree()
{
    const VTPythonObject* engine = gExtPythonManager ? gExtPythonManager->GetEngineObject() : nullptr;
    CallLocked("LevelFree", "O", {engine});
}

void VTGameScript::CallMouseDown(int x, int y, int button, int clickCount)
{
    CallLocked("MouseDown", "iiii", {x, y, button, clickCount});
}

void VTGameScript::CallMouseUp(int x, int y, int button) { CallLocked("MouseUp", "iii", {x, y, button}); }

void VTGameScript::CallMouseMove(int x, int y)
{
    const bool debugMode = DebugMode();
    const uint32_t before = debugMode ? Ticks() : 0;
    CallLocked("MouseMove", "ii", {x, y});
    if (debugMode)
        gScriptPerf.mouseMoveMs += Ticks() - before;
}

void VTGameScript::CallKeyUp(int virtualKey)
{
    const std::string name = KeyCodeToName(virtualKey);
    CallLocked("KeyUp", "s", {name.c_str()});
}

void VTGameScript::CallLevelUpdate(float frameSeconds)
{
    SpinLock::Guard lock(scriptLock_);
    if (!levelUpdate_)
        return;
    // The section spans the call and the debug counters that follow it.
    std::optional<Fw::ProfileScope> profile;
    // The clock is read only for the debug-mode counters.
    const bool debugMode = DebugMode();
    uint32_t before = 0, after = 0;
    {
        GilGuard gil; // once for the arguments, the call and their releases
        PyObject* tuple = gil.Held() ? VTPythonObject::NewTupleHeld("f", {double(frameSeconds)}) : nullptr;
        profile.emplace("mUpdateProc->CallFunction( EntryTuple )");
        if (debugMode)
            before = Ticks();
        if (gil.Held())
            levelUpdate_->CallHeld(tuple);
        if (debugMode)
            after = Ticks();
        Py_XDECREF(tuple);
    }

    if (!debugMode)
        return;
    gScriptPerf.levelUpdateMs += after - before;
    if (++gScriptPerf.levelUpdateCalls < kReportEvery)
        return;
    const double period = double(uint32_t(after - gScriptPerf.lastReportTick));
    if (gDebugSettings->performanceShow && period > 0 && gExtPythonManager && gExtPythonManager->GetApplication()) {
        char title[256];
        std::snprintf(title, sizeof title,
                      "Update - %.5f%% || MouseMove - %.5f%% || Draw - %.5f%% || NDraws = %d(%.2f MP)",
                      100.0 * gScriptPerf.levelUpdateMs / period, 100.0 * gScriptPerf.mouseMoveMs / period,
                      100.0 * gScriptPerf.boardDrawMs / period, int(gScriptPerf.widgetDraws.load()),
                      double(gScriptPerf.pixelsDrawn.load()) / 1048576.0);
        gExtPythonManager->GetApplication()->SetWindowTitle(title);
    }
    gScriptPerf.levelUpdateCalls = 0;
    gScriptPerf.levelUpdateMs = 0;
    gScriptPerf.mouseMoveMs = 0;
    gScriptPerf.boardDrawMs = 0;
    gScriptPerf.lastReportTick = after;
}

void VTGameScript::CallDeinitGame()
{
    SpinLock::Guard lock(scriptLock_);
    if (gameModule_ && gExtPythonManager) {
        if (VTPythonObject* fn = gExtPythonManager->GetFunction(gameModule_, "DeinitGame")) {
            VTPythonObject result;
            fn->Call(result, nullptr);
            fn->Release();
        }
    }
    DropCallbacks();
    if (levelUpdate_)
        levelUpdate_->Release();
    levelUpdate_ = nullptr;
    if (gameModule_)
        gameModule_->Release();
    gameModule_ = nullptr;
}

void VTGameScript::CallShutdown() { CallUnlocked("Shutdown", nullptr); }

void VTGameScript::CallDbgWrite(const char* text)
{
    if (gExtPythonManager && gameModule_) {
        VTPythonObject tuple;
        tuple.BuildTuple("s", {text});
        CallUnlocked("DbgWriteCallback", &tuple);
        return;
    }
    EarlyLog(text);
}

void VTGameScript::FullTraceback() { CallUnlocked("full_traceback", nullptr); }

void VTGameScript::GetObjectRepr(std::string& out, PyObject* arguments)
{
    VTPythonObject tuple(arguments);
    VTPythonObject result;
    CallUnlocked("get_object_repr", &tuple, &result);
    const char* text = result.AsString();
    out = text ? text : "";
}

void PrintScriptTraceback()
{
    if (gGameScript)
        gGameScript->FullTraceback();
}

void ScriptLog(const char* text)
{
    if (gGameScript)
        gGameScript->CallDbgWrite(text);
    else
        EarlyLog(text);
}

void GetScriptRepr(std::string& out, PyObject* arguments)
{
    out.clear();
    if (gGameScript)
        gGameScript->GetObjectRepr(out, arguments);
}
