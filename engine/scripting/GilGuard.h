// Holds the interpreter lock for a scope while the interpreter is alive; does nothing otherwise.
// Re-entrant: a thread that already holds the lock may take it again.
// Lock order: engine spin locks first (level-load lock, then script lock), then this.
#pragma once
#include <Python.h>

#include "engine/scripting/PythonObject.h"

class GilGuard {
public:
    GilGuard() : held_(gPythonAlive.load())
    {
        if (held_)
            state_ = PyGILState_Ensure();
    }
    ~GilGuard()
    {
        if (held_)
            PyGILState_Release(state_);
    }
    GilGuard(const GilGuard&) = delete;
    GilGuard& operator=(const GilGuard&) = delete;
    bool Held() const { return held_; }

private:
    bool held_;
    PyGILState_STATE state_{};
};
