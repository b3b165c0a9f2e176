// The Python type "VTPyCandyWidget3": the plain script widget's methods. Every method parses its
// arguments first (a failure is printed and cleared and answers None) and works on the widget
// without the interpreter lock; changes to the tree made from inside the update walk wait for its end.
#include "engine/core/Texture.h"
#include "engine/scripting/ArgParser.h"
#include "engine/scripting/CandyWidget3.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ParticleSystem3.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/TwinTypes.h"

#include <Python.h>

namespace {

VTCandyWidget3* WidgetOf(PyObject* self) { return dynamic_cast<VTCandyWidget3*>(TwinBrother(self)); }

// A widget twin argument; anything else is a parse failure.
bool ParseWidgetTwin(PyObject* args, const char* format, PyObject*& twin, std::string* name)
{
    const bool parsed = name ? ParseScriptArgs(args, format, {&twin, name}) : ParseScriptArgs(args, format, {&twin});
    if (!parsed)
        return false;
    if (!IsWidgetTwin(twin)) {
        PyErr_Format(PyExc_TypeError, "expected a script widget, not %s", Py_TYPE(twin)->tp_name);
        return false;
    }
    return true;
}

PyObject* AddWidget(PyObject* self, PyObject* args)
{
    PyObject* child = nullptr;
    std::string name;
    if (!ParseWidgetTwin(args, "Os", child, &name))
        return ScriptArgFailure();
    const VTPythonObject parentTwin(self), childTwin(child);
    RunScriptTreeChange([parentTwin, childTwin, name]() {
        VTCandyWidget* parent = WidgetOfTwin(parentTwin.GetObject());
        VTPyWidgetBrotherInterface* brother = TwinBrother(childTwin.GetObject());
        VTCandyWidget* widget = brother ? brother->TwinWidget() : nullptr;
        if (!parent || !widget)
            return;
        AddScriptChild(parent, widget);
        if (widget->GetParent() == parent)
            brother->SetUid(name);
    });
    Py_RETURN_NONE;
}

PyObject* RemoveWidget(PyObject* self, PyObject* args)
{
    PyObject* child = nullptr;
    if (!ParseWidgetTwin(args, "O", child, nullptr))
        return ScriptArgFailure();
    const VTPythonObject parentTwin(self), childTwin(child);
    RunScriptTreeChange([parentTwin, childTwin]() {
        RemoveScriptChild(WidgetOfTwin(parentTwin.GetObject()), WidgetOfTwin(childTwin.GetObject()));
    });
    Py_RETURN_NONE;
}

struct TextureArgs {
    std::string name;
    int u = 0, v = 0, width = 0, height = 0, fps = 0, count = 0, oneshot = 0, additive = 0;
};

bool ParseTexture(PyObject* args, TextureArgs& t)
{
    return ParseScriptArgs(args, "siiiiiiii",
                           {&t.name, &t.u, &t.v, &t.width, &t.height, &t.fps, &t.count, &t.oneshot, &t.additive});
}

std::unique_ptr<VTTexture> MakeTexture(const TextureArgs& t)
{
    VTEngineServices* services = GetEngineServices();
    VTTextureCatalogue* catalogue = services ? services->TextureCatalogue() : nullptr;
    if (!catalogue)
        return nullptr;
    auto texture = std::make_unique<VTTexture>();
    texture->Init(*catalogue, t.name, t.u, t.v, t.width, t.height, t.fps, t.count, t.oneshot != 0, t.additive != 0);
    return texture;
}

PyObject* SetTexture(PyObject* self, PyObject* args)
{
    TextureArgs t;
    if (!ParseTexture(args, t))
        return ScriptArgFailure();
    if (VTCandyWidget3* widget = WidgetOf(self)) {
        GilRelease release;
        widget->AddTexture(0, MakeTexture(t));
    }
    Py_RETURN_NONE;
}

PyObject* SetMask(PyObject* self, PyObject* args)
{
    TextureArgs t;
    if (!ParseTexture(args, t))
        return ScriptArgFailure();
    if (VTCandyWidget3* widget = WidgetOf(self)) {
        GilRelease release;
        widget->SetMaskTexture(nullptr);
        widget->SetMaskTexture(MakeTexture(t));
    }
    Py_RETURN_NONE;
}

template <bool Front>
PyObject* Bring(PyObject* self, PyObject* args)
{
    PyObject* child = nullptr;
    if (!ParseWidgetTwin(args, "O", child, nullptr))
        return ScriptArgFailure();
    VTCandyWidget3* widget = WidgetOf(self);
    VTCandyWidget* childWidget = WidgetOfTwin(child);
    if (widget && childWidget) {
        GilRelease release;
        if (Front)
            widget->BringToFront(childWidget);
        else
            widget->BringToBack(childWidget);
    }
    Py_RETURN_NONE;
}

PyObject* LoadTexture(PyObject* self, PyObject*)
{
    if (VTCandyWidget3* widget = WidgetOf(self)) {
        GilRelease release;
        widget->OnBecameVisible();
    }
    Py_RETURN_NONE;
}

PyObject* SetMaskWidget(PyObject* self, PyObject* args)
{
    PyObject* mask = nullptr;
    if (!ParseWidgetTwin(args, "O", mask, nullptr))
        return ScriptArgFailure();
    if (VTCandyWidget3* widget = WidgetOf(self))
        widget->SetMaskWidget(VTPythonObject(mask));
    Py_RETURN_NONE;
}

PyObject* CreatePS(PyObject* self, PyObject* args)
{
    std::string texture;
    if (!ParseScriptArgs(args, "s", {&texture}))
        return ScriptArgFailure();
    VTCandyWidget3* widget = WidgetOf(self);
    if (!widget)
        Py_RETURN_NONE;
    if (PyObject* twin = CreateScriptParticleSystem(*widget, texture))
        return twin;
    return ScriptArgFailure();
}

PyObject* RemovePS(PyObject*, PyObject*) { Py_RETURN_NONE; }

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"AddWidget", AddWidget, METH_VARARGS, nullptr},
    {"RemoveWidget", RemoveWidget, METH_VARARGS, nullptr},
    {"SetTexture", SetTexture, METH_VARARGS, nullptr},
    {"SetMask", SetMask, METH_VARARGS, nullptr},
    {"BringToFront", Bring<true>, METH_VARARGS, nullptr},
    {"BringToBack", Bring<false>, METH_VARARGS, nullptr},
    {"LoadTexture", LoadTexture, METH_VARARGS, nullptr},
    {"SetMaskWidget", SetMaskWidget, METH_VARARGS, nullptr},
    {"CreatePS", CreatePS, METH_VARARGS, nullptr},
    {"RemovePS", RemovePS, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyCandyWidget3", gMethods);

} // namespace

PyTypeObject& PyCandyWidget3Type() { return gType; }
