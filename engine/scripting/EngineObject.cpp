// Static type object of the engine object. Its methods and attributes are the engine's script
// interface; this file holds the type and its payload.
#include "engine/scripting/EngineObject.h"

#include "engine/scripting/StaticType.h"

namespace {

struct EngineObject {
    PyObject_HEAD
    VTExtPythonManager* host;
};

PyTypeObject gEngineObjectType = [] {
    PyTypeObject t = MakeStaticType("ExtPythonManager", sizeof(EngineObject));
    t.tp_dealloc = [](PyObject* self) { PyObject_Free(self); }; // the host is not touched
    t.tp_getattro = PyObject_GenericGetAttr;
    return t;
}();

} // namespace

PyObject* NewExtPythonManagerObject()
{
    return reinterpret_cast<PyObject*>(NewStaticInstance<EngineObject>(gEngineObjectType));
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
