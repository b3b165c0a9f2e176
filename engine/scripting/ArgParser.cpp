#include "engine/scripting/ArgParser.h"

#include "engine/scripting/PyText.h"
#include "engine/scripting/PythonObject.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

bool ConvertScriptArg(char letter, PyObject* item, const ScriptArgOut& out)
{
    switch (letter) {
    case 'i': {
        auto* p = std::get_if<int*>(&out);
        if (!p)
            return false;
        if (PyFloat_Check(item)) {
            **p = int(PyFloat_AsDouble(item));
            return true;
        }
        if (!PyLong_Check(item))
            return false;
        const long v = PyLong_AsLong(item);
        if ((v == -1 && PyErr_Occurred()) || v < INT32_MIN || v > INT32_MAX) {
            PyErr_Clear();
            return false;
        }
        **p = int(v);
        return true;
    }
    case 'f': {
        auto* p = std::get_if<double*>(&out);
        if (!p || !(PyFloat_Check(item) || PyLong_Check(item)))
            return false;
        const double v = PyFloat_AsDouble(item);
        if (v == -1.0 && PyErr_Occurred()) {
            PyErr_Clear();
            return false;
        }
        **p = v;
        return true;
    }
    case 's': {
        // Text with a NUL inside would be cut there by every C string that receives it.
        auto* p = std::get_if<std::string*>(&out);
        return p && PyNarrowText(item, **p) && (*p)->find('\0') == std::string::npos;
    }
    case 'u': {
        auto* p = std::get_if<std::wstring*>(&out);
        return p && PyWideText(item, **p);
    }
    case 'O':
        if (auto* p = std::get_if<PyObject**>(&out)) {
            **p = item;
            return true;
        }
        if (auto* v = std::get_if<VTPythonObject*>(&out)) {
            **v = VTPythonObject(item);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool ParseScriptArgs(PyObject* args, const char* format, std::initializer_list<ScriptArgOut> outs)
{
    const Py_ssize_t n = Py_ssize_t(std::strlen(format));
    const char* problem = nullptr;
    if (!args || !PyTuple_Check(args))
        problem = "arguments are not a tuple";
    else if (PyTuple_Size(args) != n || Py_ssize_t(outs.size()) != n)
        problem = "wrong number of arguments";
    auto out = outs.begin();
    for (Py_ssize_t i = 0; !problem && i < n; ++i, ++out) {
        if (!ConvertScriptArg(format[i], PyTuple_GetItem(args, i), *out))
            problem = "an argument has the wrong type";
    }
    if (problem) {
        PyErr_Format(PyExc_TypeError, "argument parsing with \"%s\" failed: %s", format, problem);
        return false;
    }
    return true;
}

PyObject* ScriptArgFailure()
{
    if (PyErr_Occurred())
        PyErr_Print();
    std::fflush(nullptr);
    PyErr_Clear();
    Py_RETURN_NONE;
}
