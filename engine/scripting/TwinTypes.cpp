// The list of twin types: what counts as a widget twin, and readying every script type at start-up.
#include "engine/scripting/TwinTypes.h"

#include "engine/scripting/Text3.h"
#include "engine/scripting/CheckBox3.h"
#include "engine/scripting/List3.h"
#include "engine/scripting/Slider3.h"
#include "engine/scripting/EditWidget3.h"
#include "engine/scripting/WidgetBrother.h"

#include <Python.h>

#include <array>

namespace {

using TypeGetter = PyTypeObject& (*)();

// The widget twin types, in the order of the engine object's Create methods.
constexpr std::array<TypeGetter, 6> kWidgetTwinTypes = {
    &PyCandyWidget3Type, &PyText3Type, &PyEditWidget3Type, &PyList3Type, &PyCheckBox3Type, &PySlider3Type};

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
