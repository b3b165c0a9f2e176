// Script callbacks against the same Python call made directly: VTGameScript::CallLevelUpdate and
// CallMouseDown reaching empty functions of a game module, each against building the same argument
// tuple and calling the function with the interpreter lock taken once. Counters: x_direct (our
// time over the direct call's, measured in alternation) and ns per callback.
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"

#include "BenchPixels.h"

#include <Python.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr int kCalls = 1000; // callbacks per timed step

// The interpreter on a program folder whose game module has empty callbacks; torn down at exit.
struct Host {
    std::filesystem::path folder;
    PyObject* levelUpdate = nullptr;
    PyObject* mouseDown = nullptr;
    bool ok = false;

    Host()
    {
        folder = std::filesystem::temp_directory_path() / ("fw_bench_script_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "prog.dat" / "lib");
        std::ofstream(folder / "prog.dat" / "CorvinHOG.py") << "def LevelUpdate(t):\n    pass\n"
                                                               "def MouseDown(x, y, button, clicks):\n    pass\n";
        if (!StartInterpreter(folder.string(), nullptr))
            return;
        gGameScript = new VTGameScript();
        gGameScript->LoadModule();
        const PyGILState_STATE g = PyGILState_Ensure();
        if (PyObject* module = PyImport_ImportModule("CorvinHOG")) {
            levelUpdate = PyObject_GetAttrString(module, "LevelUpdate");
            mouseDown = PyObject_GetAttrString(module, "MouseDown");
            Py_DECREF(module);
        }
        PyErr_Clear();
        PyGILState_Release(g);
        ok = gGameScript->IsModuleLoaded() && levelUpdate && mouseDown;
    }
    ~Host()
    {
        if (levelUpdate || mouseDown) {
            const PyGILState_STATE g = PyGILState_Ensure();
            Py_XDECREF(levelUpdate);
            Py_XDECREF(mouseDown);
            PyGILState_Release(g);
        }
        delete gGameScript;
        gGameScript = nullptr;
        DestroyInterpreter();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
};

Host& TheHost()
{
    static Host host;
    return host;
}

// The direct form: the lock once, the argument tuple, the call, the releases.
template <class Build>
void Direct(PyObject* fn, const Build& build)
{
    const PyGILState_STATE g = PyGILState_Ensure();
    PyObject* args = build();
    PyObject* r = PyObject_Call(fn, args, nullptr);
    Py_XDECREF(r);
    Py_XDECREF(args);
    PyGILState_Release(g);
}

void RunCase(benchmark::State& state, const std::function<void()>& ours, const std::function<void()>& direct)
{
    Host& host = TheHost();
    if (!host.ok) {
        state.SkipWithError("the interpreter or the game module did not start");
        return;
    }
    auto oursStep = [&] {
        for (int i = 0; i < kCalls; ++i)
            ours();
    };
    auto directStep = [&] {
        for (int i = 0; i < kCalls; ++i)
            direct();
    };
    for (auto _ : state)
        oursStep();
    double oursNs = 0;
    state.counters["x_direct"] = BenchPixels::InterleavedRatio(oursStep, directStep, &oursNs);
    state.counters["ns_per_call"] = oursNs / kCalls;
}

void Register()
{
    benchmark::RegisterBenchmark("level_update_callback", [](benchmark::State& st) {
        RunCase(st, [] { gGameScript->CallLevelUpdate(0.016f); },
                [] {
                    Direct(TheHost().levelUpdate, [] { return Py_BuildValue("(f)", 0.016); });
                });
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("mouse_down_callback", [](benchmark::State& st) {
        RunCase(st, [] { gGameScript->CallMouseDown(10, 20, 0, 1); },
                [] {
                    Direct(TheHost().mouseDown, [] { return Py_BuildValue("(iiii)", 10, 20, 0, 1); });
                });
    })->Unit(benchmark::kMicrosecond);
}

const int gRegistered = (Register(), 0);

} // namespace
