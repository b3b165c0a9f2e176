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

// Gives up the interpreter lock for a scope, on a thread that holds it (a function called from a
// script). Engine locks must be taken only inside such a scope: lock order is engine locks first,
// then the interpreter lock. Touch no interpreter object inside.
class GilRelease {
public:
    GilRelease() : state_(PyEval_SaveThread()) {}
    ~GilRelease() { PyEval_RestoreThread(state_); }
    GilRelease(const GilRelease&) = delete;
    GilRelease& operator=(const GilRelease&) = delete;

private:
    PyThreadState* state_;
};
