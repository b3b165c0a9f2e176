#include "engine/scripting/DebugWriter.h"

#include "engine/core/DebugSettings.h"
#include "engine/scripting/StaticType.h"

#include <Python.h>

#include <cstdio>
#include <cstring>

namespace {

struct DebugWriter {
    PyObject_HEAD
    FILE* file;
};

PyObject* Write(PyObject* self, PyObject* args)
{
    const char* text = nullptr;
    if (!PyArg_ParseTuple(args, "s", &text))
        return nullptr;
    auto* writer = reinterpret_cast<DebugWriter*>(self);
    if (writer->file) {
        std::fputs(text, writer->file);
        std::fflush(writer->file);
    }
    VTDebugSettings::PythonOutputHook(text);
    return PyLong_FromSize_t(std::strlen(text));
}

PyObject* Flush(PyObject*, PyObject*) { Py_RETURN_NONE; }

PyMethodDef gMethods[] = {
    {"write", Write, METH_VARARGS, nullptr},
    {"flush", Flush, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gWriterType = [] {
    PyTypeObject t = MakeStaticType("DebugWriter", sizeof(DebugWriter));
    t.tp_methods = gMethods;
    t.tp_dealloc = [](PyObject* self) {
        auto* writer = reinterpret_cast<DebugWriter*>(self);
        if (writer->file)
            std::fclose(writer->file);
        PyObject_Free(self);
    };
    return t;
}();

} // namespace

PyObject* NewDebugWriter(const char* fileName)
{
    FILE* file = std::fopen(fileName, "w");
    if (!file)
        return nullptr;
    auto* writer = NewStaticInstance<DebugWriter>(gWriterType);
    if (!writer) {
        std::fclose(file);
        return nullptr;
    }
    writer->file = file;
    return reinterpret_cast<PyObject*>(writer);
}
