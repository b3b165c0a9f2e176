// The script host: starts and finalises the embedded interpreter (registering py_utils, preparing
// __main__ and the module path), imports and reloads modules, fetches callables as engine values and
// makes the one engine object the scripts receive. Also carries the level-load lock.
#pragma once
#include "engine/scripting/PythonObject.h"
#include "engine/scripting/ScriptApplication.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

struct _ts;

class VTExtPythonManager {
public:
    // programFolder: the folder holding "prog.dat"; its "prog.dat" and "prog.dat/lib" go on the
    // module path. application: the running application (may be null).
    VTExtPythonManager(std::string programFolder, ScriptApplication* application);
    virtual ~VTExtPythonManager();
    VTExtPythonManager(const VTExtPythonManager&) = delete;
    VTExtPythonManager& operator=(const VTExtPythonManager&) = delete;

    // Starts the interpreter on the calling (main) thread and releases the interpreter lock.
    // False when it does not come up; the engine then runs without scripts.
    virtual bool Start();
    // Takes the interpreter lock back and finalises. Worker threads must be joined first.
    virtual bool Finalize();
    virtual VTPythonObject* ImportModule(const char* name); // caller owns the result; null on failure
    virtual bool ReloadModule(VTPythonObject* module);
    virtual VTPythonObject* GetFunction(VTPythonObject* module, const char* name); // null unless callable
    virtual VTPythonObject* GetEngineObject(); // cached; not a new reference for the caller

    bool IsRunning() const { return running_; }
    ScriptApplication* GetApplication() const { return application_; }
    std::atomic<int32_t>& LevelLoadLock() { return levelLoadLock_; }
    FILE* GetDebugLog() const { return debugLog_; } // "DebugLog.txt" in debug mode, else null
    // The number of the engine object's next WriteLog line: 1, 2, ... for this host. Any thread.
    int NextWriteLogNumber() { return ++writeLogCount_; }

private:
    bool running_ = false;
    PyObject* logWriter_ = nullptr;     // debug mode: sys.stderr replacement
    PyObject* previousStderr_ = nullptr;
    std::atomic<int32_t> levelLoadLock_{0};
    std::atomic<int> writeLogCount_{0};
    VTPythonObject* mainModule_ = nullptr;
    ScriptApplication* application_ = nullptr;
    FILE* debugLog_ = nullptr;
    VTPythonObject* engineObject_ = nullptr;
    std::string programFolder_;
    _ts* mainThreadState_ = nullptr;
};

extern VTExtPythonManager* gExtPythonManager;

// Creates the host, publishes it as gExtPythonManager and starts it; returns Start's result.
bool StartInterpreter(const std::string& programFolder, ScriptApplication* application);
// Finalises and deletes the host and clears gExtPythonManager.
void DestroyInterpreter();
