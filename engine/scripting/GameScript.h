// The engine's binding to the game module: imports it, keeps its per-frame function and offers one
// operation per script callback. The callbacks that run game logic are serialised by one spin lock.
#pragma once
#include "engine/scripting/PythonObject.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>

class VTGameScript {
public:
    VTGameScript() = default;
    ~VTGameScript();
    VTGameScript(const VTGameScript&) = delete;
    VTGameScript& operator=(const VTGameScript&) = delete;

    void LoadModule(); // imports the game module and fetches LevelUpdate; main thread, once
    bool IsModuleLoaded() const { return gameModule_ != nullptr; }
    // Whether InitGame has been called (from its start on): before it the script holds no engine
    // object and cannot end the program itself. Any thread.
    bool InitGameCalled() const { return initGameCalled_.load(std::memory_order_acquire); }

    // Locked callbacks: at most one of them runs at a time, in any thread. Not re-entrant.
    void CallInitGame();
    void CallLoadLevel(const char* levelName);
    void CallLevelUpdate(float frameSeconds);
    void CallLevelFree();
    void CallDeinitGame();
    void CallMouseDown(int x, int y, int button, int clickCount);
    void CallMouseUp(int x, int y, int button);
    void CallMouseMove(int x, int y);
    void CallKeyUp(int virtualKey);

    // Unlocked service calls.
    void CallShutdown();
    void CallDbgWrite(const char* text);
    void FullTraceback();
    void GetObjectRepr(std::string& out, PyObject* arguments);

    std::atomic<int32_t>& ScriptLock() { return scriptLock_; }

private:
    void CallLocked(const char* function, const char* format, std::initializer_list<VTPythonObject::TupleArg> args);
    void CallUnlocked(const char* function, const VTPythonObject* arguments, VTPythonObject* result = nullptr);

    // The module's function of a callback, looked up once after the module loads (null when the
    // module lacks it); released with the module.
    VTPythonObject* Callback(const char* function);
    void DropCallbacks();

    VTPythonObject* levelUpdate_ = nullptr;
    std::unordered_map<std::string, VTPythonObject*> callbacks_;
    std::atomic<int32_t> scriptLock_{0};
    std::atomic<bool> initGameCalled_{false};
    VTPythonObject* gameModule_ = nullptr;
};

// Debug performance counters, reported every 100 level updates in debug mode.
struct ScriptPerfCounters {
    std::atomic<uint32_t> levelUpdateCalls{0};
    std::atomic<uint32_t> levelUpdateMs{0};
    std::atomic<uint32_t> mouseMoveMs{0};
    std::atomic<uint32_t> boardDrawMs{0};   // added by the game board's drawing
    std::atomic<uint32_t> lastReportTick{0};
    std::atomic<uint32_t> widgetDraws{0};   // of the last drawn frame
    std::atomic<float> pixelsDrawn{0.0f};   // of the last drawn frame
};
extern ScriptPerfCounters gScriptPerf;

extern VTGameScript* gGameScript;
// True while the script's InitGame or a level load runs (and while the game board is deleted at
// shutdown): close requests are dropped and the engine's destructor waits meanwhile.
extern std::atomic<bool> gScriptLoadBusy;

void PrintScriptTraceback();
void ScriptLog(const char* text);
void GetScriptRepr(std::string& out, PyObject* arguments);
