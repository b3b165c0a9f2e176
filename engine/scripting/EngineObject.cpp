// Static type object of the engine object. Its methods and attributes are the engine's script
// interface; this file holds the type and its payload.
#include "engine/scripting/EngineObject.h"

#include <Python.h>

namespace {

struct EngineObject {
    PyObject_HEAD
    VTExtPythonManager* host;
};

PyTypeObject gEngineObjectType = [] {
    PyTypeObject t{PyVarObject_HEAD_INIT(nullptr, 0)};
    t.tp_name = "ExtPythonManager";
    t.tp_basicsize = sizeof(EngineObject);
    t.tp_itemsize = 0;
    t.tp_dealloc = [](PyObject* self) { PyObject_Free(self); }; // the host is not touched
    t.tp_flags = Py_TPFLAGS_DEFAULT;
    t.tp_getattro = PyObject_GenericGetAttr;
    return t;
}();

bool EnsureType()
{
    static bool ready = false;
    if (!ready) {
        if (PyType_Ready(&gEngineObjectType) < 0)
            return false;
        ready = true;
    }
    return true;
}

} // namespace

PyObject* NewExtPythonManagerObject()
{
    if (!EnsureType())
        return nullptr;
    auto* self = static_cast<EngineObject*>(PyObject_Malloc(sizeof(EngineObject)));
    if (!self)
        return PyErr_NoMemory();
    PyObject_Init(reinterpret_cast<PyObject*>(self), &gEngineObjectType);
    self->host = nullptr;
    return reinterpret_cast<PyObject*>(self);
}

VTExtPythonManager* EngineObjectHost(PyObject* object)
{
    if (!object || Py_TYPE(object) != &gEngineObjectType)
        return nullptr;
    return reinterpret_cast<EngineObject*>(object)->host;
}

void SetEngineObjectHost(PyObject* object, VTExtPythonManager* host)
{
    if (object && Py_TYPE(object) == &gEngineObjectType)
        reinterpret_cast<EngineObject*>(object)->host = host;
}
