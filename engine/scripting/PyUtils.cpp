// The module py_utils. Argument errors never raise into the script: they are printed, cleared and
// answered with None.
#include "engine/scripting/PyUtils.h"

#include "engine/scripting/ArgParser.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/PyText.h"
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "framework/core/PakFile.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <Python.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::atomic<bool> gQuietExit{false};
// The clock at the last MarkTime; taken during static initialisation, which stands for the
// program's start, so the first mark measures from there.
std::atomic<uint32_t> gLastTimeMark{Platform::GetClock().TimeGetTime()};

bool DebugMode() { return gDebugSettings && gDebugSettings->debugMode; }

// A flag of the debug settings; false once the record is gone.
bool Flag(bool VTDebugSettings::*flag) { return gDebugSettings && gDebugSettings->*flag; }

PyObject* Bool(bool value)
{
    if (value)
        Py_RETURN_TRUE;
    Py_RETURN_FALSE;
}

// The text of Log and SetTitle: one narrow or Unicode string as it is, anything else as the
// script's own get_object_repr renders the arguments.
std::string FormatScriptArgs(PyObject* args)
{
    if (PyTuple_Check(args) && PyTuple_Size(args) == 1) {
        std::string text;
        if (ParseScriptArgs(args, "s", {&text}))
            return text;
        PyErr_Clear();
    }
    std::string repr;
    GetScriptRepr(repr, args);
    return repr;
}

PyObject* Log(PyObject*, PyObject* args)
{
    if (!DebugMode())
        Py_RETURN_NONE;
    const std::string text = FormatScriptArgs(args);
    if (FILE* log = gExtPythonManager ? gExtPythonManager->GetDebugLog() : nullptr) {
        std::fprintf(log, "%s\n", text.c_str());
        std::fflush(nullptr);
    }
    Platform::OutputDebugText(text);
    Platform::OutputDebugText("\n");
    Py_RETURN_NONE;
}

PyObject* Break(PyObject*, PyObject*)
{
    if (DebugMode())
        PrintScriptTraceback();
    Py_RETURN_NONE;
}

PyObject* SetTitle(PyObject*, PyObject* args)
{
    if (!DebugMode())
        Py_RETURN_NONE;
    const std::string text = FormatScriptArgs(args);
    if (gExtPythonManager && gExtPythonManager->GetApplication())
        gExtPythonManager->GetApplication()->SetWindowTitle(text);
    Py_RETURN_NONE;
}

PyObject* ReadFilePak(PyObject*, PyObject* args)
{
    std::string path;
    if (!ParseScriptArgs(args, "s", {&path}))
        return ScriptArgFailure();
    std::string bytes;
    if (!PakReadWholeFile(path.c_str(), bytes))
        Py_RETURN_NONE; // a missing file reads as None
    // Text up to the first zero byte, as the scripts expect; bytes that are not UTF-8 round-trip.
    return PyStrFromNarrow(bytes.c_str());
}

PyObject* LogUpdate(PyObject*, PyObject*) { Py_RETURN_NONE; }
PyObject* DbgEnabled(PyObject*, PyObject*) { return Bool(Flag(&VTDebugSettings::debugMode)); }
PyObject* CheatsEnabled(PyObject*, PyObject*) { return Bool(Flag(&VTDebugSettings::cheats)); }
PyObject* IsZNQSurvey(PyObject*, PyObject*) { return Bool(Flag(&VTDebugSettings::surveyEdition)); }

PyObject* SurveyFinish(PyObject*, PyObject*)
{
    gQuietExit = true;
    if (gExtPythonManager && gExtPythonManager->GetApplication())
        gExtPythonManager->GetApplication()->RequestShutdown();
    Py_RETURN_NONE;
}

PyObject* QuietExit(PyObject*, PyObject*) { return Bool(gQuietExit); }
PyObject* CheatNeedCollectAll(PyObject*, PyObject*) { return Bool(Flag(&VTDebugSettings::cheatNeedCollectAll)); }
PyObject* SkipChargeOFF(PyObject*, PyObject*) { return Bool(Flag(&VTDebugSettings::skipChargeOff)); }

PyObject* MarkTime(PyObject*, PyObject* args)
{
    std::string label;
    if (!ParseScriptArgs(args, "s", {&label}))
        return ScriptArgFailure();
    const uint32_t now = Platform::GetClock().TimeGetTime();
    DebugLogTimed("%.3fs - %s", double(now - gLastTimeMark.load()) / 1000.0, label.c_str());
    gLastTimeMark = now;
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Log", Log, METH_VARARGS, nullptr},
    {"Break", Break, METH_VARARGS, nullptr},
    {"SetTitle", SetTitle, METH_VARARGS, nullptr},
    {"ReadFilePak", ReadFilePak, METH_VARARGS, nullptr},
    {"LogUpdate", LogUpdate, METH_VARARGS, nullptr},
    {"DbgEnabled", DbgEnabled, METH_VARARGS, nullptr},
    {"CheatsEnabled", CheatsEnabled, METH_VARARGS, nullptr},
    {"IsZNQSurvey", IsZNQSurvey, METH_VARARGS, nullptr},
    {"SurveyFinish", SurveyFinish, METH_VARARGS, nullptr},
    {"QuietExit", QuietExit, METH_VARARGS, nullptr},
    {"CheatNeedCollectAll", CheatNeedCollectAll, METH_VARARGS, nullptr},
    {"SkipChargeOFF", SkipChargeOFF, METH_VARARGS, nullptr},
    {"MarkTime", MarkTime, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef gModule = {PyModuleDef_HEAD_INIT, "py_utils", nullptr, -1, gMethods,
                       nullptr, nullptr, nullptr, nullptr};

} // namespace

PyObject* PyInit_py_utils() { return PyModule_Create(&gModule); }

void ResetPyUtilsState()
{
    gQuietExit = false;
    gLastTimeMark = Platform::GetClock().TimeGetTime();
}
