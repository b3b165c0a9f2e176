// A zeroed static type object with its name and basic size set: the starting point of every
// engine type that scripts see. Fill the slots, then PyType_Ready before the first instance.
#pragma once
#include <Python.h>

#include <cstring>

inline PyTypeObject MakeStaticType(const char* name, Py_ssize_t basicSize)
{
    PyTypeObject t;
    std::memset(&t, 0, sizeof t);
    t.ob_base.ob_base.ob_refcnt = 1;
    t.tp_name = name;
    t.tp_basicsize = basicSize;
    t.tp_flags = Py_TPFLAGS_DEFAULT;
    return t;
}

// New instance of a static type with its payload zeroed, or null with an error set.
template <class Payload>
Payload* NewStaticInstance(PyTypeObject& type)
{
    if (!(type.tp_flags & Py_TPFLAGS_READY) && PyType_Ready(&type) < 0)
        return nullptr;
    auto* self = static_cast<Payload*>(PyObject_Malloc(sizeof(Payload)));
    if (!self) {
        PyErr_NoMemory();
        return nullptr;
    }
    std::memset(static_cast<void*>(self), 0, sizeof(Payload));
    PyObject_Init(reinterpret_cast<PyObject*>(self), &type);
    return self;
}
