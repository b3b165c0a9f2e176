// The list of twin types: what counts as a widget twin, and readying every script type at start-up.
#include "engine/scripting/TwinTypes.h"

#include "engine/scripting/WidgetBrother.h"

#include <Python.h>

#include <array>

namespace {

using TypeGetter = PyTypeObject& (*)();

// The widget twin types, in the order of the engine object's Create methods.
constexpr std::array<TypeGetter, 1> kWidgetTwinTypes = {&PyCandyWidget3Type};

} // namespace

bool IsWidgetTwinType(const PyTypeObject* type)
{
    for (TypeGetter get : kWidgetTwinTypes)
        if (type == &get())
            return true;
    return false;
}

bool IsScriptTwinType(const PyTypeObject* type)
{
    return IsWidgetTwinType(type) || type == &PyParticleSystem3Type();
}

void ReadyScriptTwinTypes()
{
    auto ready = [](PyTypeObject& type) {
        if (!(type.tp_flags & Py_TPFLAGS_READY) && PyType_Ready(&type) < 0)
            PyErr_Print();
    };
    for (TypeGetter get : kWidgetTwinTypes)
        ready(get());
    ready(PyParticleSystem3Type());
    ready(SoundItemType());
}
