// The engine object's widget and sound methods: the Create methods that make script widgets with
// their twins, AddWidget and RemoveWidget on the game board, CreateSound, and the twin of the
// widget under the mouse. Reference counts stay balanced: a widget holds exactly one reference to
// its twin from creation to destruction, whatever AddWidget and RemoveWidget do.
#include "engine/scripting/ArgParser.h"
#include "engine/scripting/CandyWidget3.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/SoundItem.h"
#include "engine/scripting/Text3.h"
#include "engine/scripting/CheckBox3.h"
#include "engine/scripting/List3.h"
#include "engine/scripting/Slider3.h"
#include "engine/scripting/EditWidget3.h"
#include "engine/scripting/TwinTypes.h"
#include "engine/scripting/detail/EngineCalls.h"
#include "framework/widgets/Widget.h"

#include <Python.h>

namespace {

// "OO": the script object and the parent twin (None or a widget twin).
bool ParseCreateArgs(PyObject* args, PyObject*& scriptObject, VTCandyWidget*& parent)
{
    PyObject* parentTwin = nullptr;
    if (!ParseScriptArgs(args, "OO", {&scriptObject, &parentTwin}))
        return false;
    if (parentTwin != Py_None && !IsWidgetTwin(parentTwin)) {
        PyErr_Format(PyExc_TypeError, "a parent must be None or a script widget, not %s", Py_TYPE(parentTwin)->tp_name);
        return false;
    }
    parent = parentTwin == Py_None ? nullptr : WidgetOfTwin(parentTwin);
    return true;
}

template <class Widget>
PyObject* Create(PyObject* args, PyTypeObject& type)
{
    PyObject* scriptObject = nullptr;
    VTCandyWidget* parent = nullptr;
    if (!ParseCreateArgs(args, scriptObject, parent))
        return ScriptArgFailure();
    auto* widget = new Widget(scriptObject, parent);
    PyObject* twin = widget->MakeTwinObject(type);
    if (!twin) {
        GilRelease release;
        delete widget;
        return ScriptArgFailure();
    }
    return twin;
}

} // namespace

PyObject* EngineCalls::CreateWidget(PyObject*, PyObject* args) { return Create<VTCandyWidget3>(args, PyCandyWidget3Type()); }
PyObject* EngineCalls::CreateText(PyObject*, PyObject* args) { return Create<VTText3>(args, PyText3Type()); }
PyObject* EngineCalls::CreateEdit(PyObject*, PyObject* args) { return Create<VTEditWidget3>(args, PyEditWidget3Type()); }
PyObject* EngineCalls::CreateListbox(PyObject*, PyObject* args) { return Create<VTList3>(args, PyList3Type()); }
PyObject* EngineCalls::CreateCheckbox(PyObject*, PyObject* args) { return Create<VTCheckBox3>(args, PyCheckBox3Type()); }
PyObject* EngineCalls::CreateSlider(PyObject*, PyObject* args) { return Create<VTSlider3>(args, PySlider3Type()); }

PyObject* EngineCalls::AddWidget(PyObject*, PyObject* args)
{
    PyObject* twin = nullptr;
    std::string name;
    if (!ParseScriptArgs(args, "Os", {&twin, &name}))
        return ScriptArgFailure();
    if (!IsWidgetTwin(twin))
        Py_RETURN_NONE; // any other object changes nothing
    const VTPythonObject child(twin);
    RunScriptTreeChange([child, name]() {
        VTPyWidgetBrotherInterface* brother = TwinBrother(child.GetObject());
        VTCandyWidget* widget = brother ? brother->TwinWidget() : nullptr;
        VTEngineServices* services = GetEngineServices();
        Fw::Widget* board = services ? services->GameBoard() : nullptr;
        if (!widget || !board)
            return;
        AddScriptChild(board, widget);
        if (widget->GetParent() == board)
            brother->SetUid(name);
    });
    Py_RETURN_NONE;
}

PyObject* EngineCalls::RemoveWidget(PyObject*, PyObject* args)
{
    PyObject* twin = nullptr;
    if (!ParseScriptArgs(args, "O", {&twin}))
        return ScriptArgFailure();
    if (!IsWidgetTwin(twin))
        Py_RETURN_NONE;
    const VTPythonObject child(twin);
    RunScriptTreeChange([child]() {
        VTEngineServices* services = GetEngineServices();
        RemoveScriptChild(services ? services->GameBoard() : nullptr, WidgetOfTwin(child.GetObject()));
    });
    Py_RETURN_NONE;
}

PyObject* EngineCalls::CreateSound(PyObject*, PyObject* args)
{
    std::string name;
    if (!ParseScriptArgs(args, "s", {&name}))
        return ScriptArgFailure();
    if (PyObject* item = CreateSoundItem(name))
        return item;
    return ScriptArgFailure();
}

PyObject* EngineCalls::MouseWidgetTwin()
{
    PyObject* twin = nullptr;
    {
        GilRelease release;
        VTEngineServices* services = GetEngineServices();
        Fw::Widget* over = services ? services->MouseOverWidget() : nullptr;
        if (auto* brother = dynamic_cast<VTPyWidgetBrotherInterface*>(over))
            twin = brother->TwinObject();
    }
    if (!twin)
        Py_RETURN_NONE;
    Py_INCREF(twin);
    return twin;
}
