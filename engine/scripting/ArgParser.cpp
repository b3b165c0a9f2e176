#include "engine/scripting/ArgParser.h"

#include "engine/scripting/PythonObject.h"

#include <Python.h>

#include <cstring>

namespace {

bool Fail(const char* format, const char* what)
{
    PyErr_Format(PyExc_TypeError, "argument parsing with \"%s\" failed: %s", format, what);
    return false;
}

} // namespace

bool ParseScriptArgs(PyObject* args, const char* format, std::initializer_list<ScriptArgOut> outs)
{
    if (!args || !PyTuple_Check(args))
        return Fail(format, "arguments are not a tuple");
    const Py_ssize_t n = Py_ssize_t(std::strlen(format));
    if (PyTuple_Size(args) != n || Py_ssize_t(outs.size()) != n)
        return Fail(format, "wrong number of arguments");
    auto out = outs.begin();
    for (Py_ssize_t i = 0; i < n; ++i, ++out) {
        PyObject* item = PyTuple_GetItem(args, i);
        bool ok = false;
        switch (format[i]) {
        case 'i':
            if (auto* p = std::get_if<int*>(&*out)) {
                if (PyFloat_Check(item)) {
                    **p = int(PyFloat_AsDouble(item));
                    ok = true;
                } else if (PyLong_Check(item)) {
                    const long v = PyLong_AsLong(item);
                    ok = !(v == -1 && PyErr_Occurred()) && v >= INT32_MIN && v <= INT32_MAX;
                    if (ok)
                        **p = int(v);
                    else
                        PyErr_Clear();
                }
            }
            break;
        case 'f':
            if (auto* p = std::get_if<double*>(&*out)) {
                if (PyFloat_Check(item) || PyLong_Check(item)) {
                    **p = PyFloat_AsDouble(item);
                    ok = !PyErr_Occurred();
                    PyErr_Clear();
                }
            }
            break;
        case 's':
        case 'u': {
            VTPythonObject value(item);
            if (auto* p = std::get_if<std::string*>(&*out); p && format[i] == 's') {
                const char* s = value.AsString();
                ok = s != nullptr;
                if (ok)
                    p[0]->assign(s);
            } else if (auto* w = std::get_if<std::wstring*>(&*out); w && format[i] == 'u') {
                const wchar_t* s = value.AsUnicode();
                ok = s != nullptr;
                if (ok)
                    w[0]->assign(s);
            }
            break;
        }
        case 'O':
            if (auto* p = std::get_if<PyObject**>(&*out)) {
                **p = item;
                ok = true;
            }
            break;
        default:
            break;
        }
        if (!ok)
            return Fail(format, "an argument has the wrong type");
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
