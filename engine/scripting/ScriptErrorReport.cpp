// The repeat filter of script exceptions. The formatted traceback is the exception's identity;
// its state is touched only with the interpreter lock held, which serialises it.
#include "engine/scripting/ScriptErrorReport.h"

#include "engine/core/DebugLog.h"
#include "platform/Clock.h"

#include <Python.h>

#include <string>

namespace {

struct RepeatState {
    std::string identity;   // the last exception printed in full
    std::string summary;    // its one-line form
    uint32_t lastReport = 0; // tick of the last full print or repeat line
    uint32_t unreported = 0; // repeats since then
};
RepeatState gRepeat;

// A new reference to attribute name of object, or null (with no exception left pending).
PyObject* Attribute(PyObject* object, const char* name)
{
    PyObject* value = object ? PyObject_GetAttrString(object, name) : nullptr;
    if (!value)
        PyErr_Clear();
    return value;
}

std::string Text(PyObject* object)
{
    PyObject* s = object ? PyObject_Str(object) : nullptr;
    const char* utf8 = s ? PyUnicode_AsUTF8(s) : nullptr;
    std::string text = utf8 ? utf8 : "?";
    Py_XDECREF(s);
    PyErr_Clear();
    return text;
}

// The traceback as the traceback module formats it: the exception's identity.
std::string Formatted(PyObject* type, PyObject* value, PyObject* traceback)
{
    std::string text;
    PyObject* module = PyImport_ImportModule("traceback");
    PyObject* lines = module ? PyObject_CallMethod(module, "format_exception", "OOO", type,
                                                   value ? value : Py_None, traceback ? traceback : Py_None)
                             : nullptr;
    if (lines && PyList_Check(lines))
        for (Py_ssize_t i = 0; i < PyList_GET_SIZE(lines); ++i)
            text += Text(PyList_GET_ITEM(lines, i));
    Py_XDECREF(lines);
    Py_XDECREF(module);
    PyErr_Clear();
    return text;
}

// "Type: message (in function, file line N)" of the innermost frame.
std::string Summary(PyObject* type, PyObject* value, PyObject* traceback)
{
    PyObject* name = Attribute(type, "__name__");
    std::string summary = Text(name) + ": " + Text(value);
    Py_XDECREF(name);
    PyObject* last = traceback;
    Py_XINCREF(last);
    for (PyObject* next; last && (next = Attribute(last, "tb_next")) && next != Py_None;) {
        Py_DECREF(last);
        last = next;
    }
    if (last && last != Py_None) {
        PyObject* frame = Attribute(last, "tb_frame");
        PyObject* code = Attribute(frame, "f_code");
        PyObject* function = Attribute(code, "co_name");
        PyObject* file = Attribute(code, "co_filename");
        PyObject* line = Attribute(last, "tb_lineno");
        summary += " (in " + Text(function) + ", " + Text(file) + " line " + Text(line) + ")";
        Py_XDECREF(line);
        Py_XDECREF(file);
        Py_XDECREF(function);
        Py_XDECREF(code);
        Py_XDECREF(frame);
    }
    Py_XDECREF(last);
    return summary;
}

void ReportRepeats(uint32_t now)
{
    if (gRepeat.unreported == 0)
        return;
    DebugLog("Script exception repeated %u more time%s: %s\n", gRepeat.unreported, gRepeat.unreported == 1 ? "" : "s",
             gRepeat.summary.c_str());
    gRepeat.unreported = 0;
    gRepeat.lastReport = now;
}

} // namespace

void ReportScriptException()
{
    if (!PyErr_Occurred())
        return;
    PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    if (traceback && value)
        PyException_SetTraceback(value, traceback);
    const std::string identity = Formatted(type, value, traceback);
    const uint32_t now = Platform::GetClock().GetTickCount();
    if (!identity.empty() && identity == gRepeat.identity) {
        ++gRepeat.unreported;
        if (now - gRepeat.lastReport >= kScriptExceptionRepeatReportMs)
            ReportRepeats(now);
        Py_XDECREF(type);
        Py_XDECREF(value);
        Py_XDECREF(traceback);
        return;
    }
    ReportRepeats(now); // of the exception before, before the new one
    gRepeat.identity = identity;
    gRepeat.summary = Summary(type, value, traceback);
    gRepeat.lastReport = now;
    PyErr_Restore(type, value, traceback);
    PyErr_Print();
}
