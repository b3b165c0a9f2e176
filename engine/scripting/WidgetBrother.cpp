// Twin objects, their attribute dispatch and the attributes every widget twin shares.
#include "engine/scripting/WidgetBrother.h"

#include "engine/core/FrameSeconds.h"
#include "engine/core/DebugSettings.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/StaticType.h"
#include "engine/scripting/TwinTypes.h"
#include "engine/widgets/CandyWidget.h"
#include "framework/core/SaturatingTrunc.h"
#include "framework/widgets/WidgetManager.h"

#include <cmath>
#include <cstring>
#include <limits>

struct TwinAccess {
    struct Object {
        PyObject_HEAD
        VTPyWidgetBrotherInterface* brother;
    };
    static Object* Payload(PyObject* o) { return reinterpret_cast<Object*>(o); }
    static bool& Debug(VTPyWidgetBrotherInterface& b) { return b.debug_; }
    static VTPythonObject& UpdateFn(VTPyWidgetBrotherInterface& b) { return b.updateFn_; }
};

namespace {

using TwinPayload = TwinAccess::Object;

bool IsTwinType(PyTypeObject* type)
{
    return type && type->tp_dealloc && type->tp_basicsize == Py_ssize_t(sizeof(TwinPayload)) &&
           IsScriptTwinType(type);
}

int32_t Trunc(double v) { return Fw::SaturatingTrunc(v); }

PyObject* NoAttribute(PyObject* self, const char* name)
{
    PyErr_Format(PyExc_AttributeError, "'%s' object has no attribute '%s'", Py_TYPE(self)->tp_name, name);
    return nullptr;
}

PyObject* TwinGetAttr(PyObject* self, PyObject* nameObject)
{
    const char* name = PyUnicode_Check(nameObject) ? PyUnicode_AsUTF8(nameObject) : nullptr;
    if (!name)
        return PyObject_GenericGetAttr(self, nameObject);
    VTPyWidgetBrotherInterface* brother = TwinAccess::Payload(self)->brother;
    if (!brother) {
        // The engine object is gone: its methods still answer (they do nothing), nothing else does.
        PrintScriptTraceback();
        return PyObject_GenericGetAttr(self, nameObject);
    }
    if (std::strcmp(name, "debug") == 0)
        return PyLong_FromLong(brother->IsDebug() ? 1 : 0);
    VTPythonObject value;
    bool handled = false;
    {
        GilRelease release;
        handled = brother->GetClassAttr(value, name);
    }
    if (handled)
        return value.NewRef();
    // The methods, bound to this object; AttributeError for any other name.
    return PyObject_GenericGetAttr(self, nameObject);
}

int TwinSetAttr(PyObject* self, PyObject* nameObject, PyObject* value)
{
    const char* name = PyUnicode_Check(nameObject) ? PyUnicode_AsUTF8(nameObject) : nullptr;
    if (!name) {
        if (!PyErr_Occurred())
            PyErr_SetString(PyExc_TypeError, "attribute name must be a string");
        return -1;
    }
    VTPyWidgetBrotherInterface* brother = TwinAccess::Payload(self)->brother;
    if (!brother) {
        PrintScriptTraceback();
        NoAttribute(self, name);
        return -1;
    }
    if (!value) { // deletion: no attribute of a twin can be deleted
        NoAttribute(self, name);
        return -1;
    }
    const VTPythonObject wrapped(value);
    if (std::strcmp(name, "debug") == 0) {
        TwinAccess::Debug(*brother) = wrapped.AsInt() != 0;
        return 0;
    }
    if (std::strcmp(name, "update_fn") == 0) {
        TwinAccess::UpdateFn(*brother) = wrapped;
        return 0;
    }
    bool handled = false;
    {
        GilRelease release;
        handled = brother->SetClassAttr(wrapped, name);
    }
    if (handled)
        return 0;
    NoAttribute(self, name);
    return -1;
}

void TwinDealloc(PyObject* self)
{
    // The engine object stays: it holds its own reference until it goes, so this runs only after
    // it went (or for an object that was never linked).
    TwinAccess::Payload(self)->brother = nullptr;
    PyObject_Free(self);
}

bool HasMenuRootAncestor(VTCandyWidget* widget)
{
    for (Fw::WidgetContainer* node = widget; node; node = node->GetParent()) {
        auto* brother = dynamic_cast<VTPyWidgetBrotherInterface*>(node);
        if (brother && brother->IsMenuRoot())
            return true;
    }
    // A widget not yet in the tree still knows the engine parent it was made for.
    for (VTCandyWidget* w = widget; w; w = w->GetEngineParent()) {
        auto* brother = dynamic_cast<VTPyWidgetBrotherInterface*>(w);
        if (brother && brother->IsMenuRoot())
            return true;
    }
    return false;
}

} // namespace

// ---- the interface ----

VTPyWidgetBrotherInterface::VTPyWidgetBrotherInterface(PyObject* scriptObject)
{
    if (scriptObject)
        scriptObject_ = VTPythonObject(scriptObject);
}

VTPyWidgetBrotherInterface::~VTPyWidgetBrotherInterface()
{
    if (ownObject_) {
        {
            GilGuard gil;
            if (gil.Held())
                if (PyObject* o = ownObject_->GetObject())
                    TwinAccess::Payload(o)->brother = nullptr;
        }
        ownObject_->Release();
        ownObject_ = nullptr;
    }
}

PyObject* VTPyWidgetBrotherInterface::MakeTwinObject(PyTypeObject& type)
{
    TwinPayload* object = NewStaticInstance<TwinPayload>(type);
    if (!object)
        return nullptr;
    object->brother = this;
    PyObject* o = reinterpret_cast<PyObject*>(object);
    if (ownObject_)
        ownObject_->Release();
    ownObject_ = VTPythonObject::CreateFromPyObject(o); // the lasting reference
    return o; // the creation's reference goes to the caller
}

PyObject* VTPyWidgetBrotherInterface::TwinObject() const { return ownObject_ ? ownObject_->GetObject() : nullptr; }

void VTPyWidgetBrotherInterface::CallUpdateFn(VTCandyWidget* widget)
{
    if (updateFn_.GetKind() == VTPythonObject::kNone)
        return;
    if (VTEngineServices* services = GetEngineServices(); services && services->IsEscMenuActive()) {
        if (!HasMenuRootAncestor(widget))
            return;
    }
    // A copy: the script may replace update_fn while it runs.
    const VTPythonObject function(updateFn_);
    VTPythonObject arguments, result;
    arguments.BuildTuple("f", {double(gFrameSeconds) * 1000.0});
    function.Call(result, &arguments);
}

// ---- twin types ----

PyTypeObject MakeTwinType(const char* name, PyMethodDef* methods)
{
    PyTypeObject t = MakeStaticType(name, sizeof(TwinPayload));
    t.tp_dealloc = TwinDealloc;
    t.tp_getattro = TwinGetAttr;
    t.tp_setattro = TwinSetAttr;
    t.tp_methods = methods;
    return t;
}

VTPyWidgetBrotherInterface* TwinBrother(PyObject* object)
{
    if (!object || !IsTwinType(Py_TYPE(object)))
        return nullptr;
    return TwinAccess::Payload(object)->brother;
}

bool IsWidgetTwin(PyObject* object) { return object && IsWidgetTwinType(Py_TYPE(object)); }

VTCandyWidget* WidgetOfTwin(PyObject* object)
{
    if (!IsWidgetTwin(object))
        return nullptr;
    VTPyWidgetBrotherInterface* brother = TwinAccess::Payload(object)->brother;
    return brother ? brother->TwinWidget() : nullptr;
}

// ---- the attributes every widget twin shares ----

bool GetCandyWidgetAttr(VTCandyWidget& widget, VTPythonObject& out, const char* name)
{
    const std::string_view n = name;
    if (n == "x")
        out = VTPythonObject(widget.exactX);
    else if (n == "y")
        out = VTPythonObject(widget.exactY);
    else if (n == "width")
        out = VTPythonObject(widget.exactWidth);
    else if (n == "height")
        out = VTPythonObject(widget.exactHeight);
    else if (n == "visible")
        out = VTPythonObject(widget.IsVisibleWithAncestors() ? 1 : 0);
    else if (n == "allow_mouse")
        out = VTPythonObject((widget.flagsMod.addFlags & Fw::WidgetFlags::AllowMouse) ? 1 : 0);
    else if (n == "alpha")
        out = VTPythonObject(double(widget.alpha));
    else if (n == "angle")
        out = VTPythonObject(double(widget.angle));
    else if (n == "hover")
        out = VTPythonObject(widget.hover ? 1 : 0);
    else
        return false;
    return true;
}

namespace {

// Resizes through the widget's own Resize (which keeps integers) and keeps the exact values.
void ResizeExact(VTCandyWidget& w, double x, double y, double width, double height)
{
    w.Resize(Trunc(x), Trunc(y), Trunc(width), Trunc(height));
    w.exactX = x;
    w.exactY = y;
    w.exactWidth = width;
    w.exactHeight = height;
    w.InvalidateTransform();
}

void RefreshMouseOver(VTCandyWidget& w)
{
    Fw::WidgetManager* manager = w.GetManager();
    if (!manager)
        return;
    VTEngineServices* services = GetEngineServices();
    if (services && !services->IsMainThread()) {
        // Hover tracking is the main thread's; the manager lives as long as the application.
        services->PostToMainThread([manager]() { manager->RefreshMouseOver(); });
        return;
    }
    manager->RefreshMouseOver();
}

} // namespace

bool SetCandyWidgetAttr(VTCandyWidget& w, VTPyWidgetBrotherInterface& brother, const VTPythonObject& value,
                        const char* name)
{
    const std::string_view n = name;
    if (n == "x")
        ResizeExact(w, value.AsDouble(), w.exactY, w.exactWidth, w.exactHeight);
    else if (n == "y")
        ResizeExact(w, w.exactX, value.AsDouble(), w.exactWidth, w.exactHeight);
    else if (n == "width")
        ResizeExact(w, w.exactX, w.exactY, value.AsInt(), w.exactHeight);
    else if (n == "height")
        ResizeExact(w, w.exactX, w.exactY, w.exactWidth, value.AsInt());
    else if (n == "visible")
        w.SetVisible(value.AsInt() != 0);
    else if (n == "alpha")
        w.SetAlpha(value.AsFloat());
    else if (n == "angle") {
        w.angle = value.AsFloat();
        w.InvalidateTransform();
    } else if (n == "rotatepoint_x" || n == "scalepoint_x")
        w.SetScalePointX(value.AsInt());
    else if (n == "rotatepoint_y" || n == "scalepoint_y")
        w.SetScalePointY(value.AsInt());
    else if (n == "scale")
        w.SetScale(value.AsFloat());
    else if (n == "allow_mouse") {
        constexpr uint32_t kAllow = Fw::WidgetFlags::AllowMouse;
        if (value.AsInt() != 0) {
            w.flagsMod.removeFlags &= ~kAllow;
            w.flagsMod.addFlags = kAllow;
        } else {
            w.flagsMod.addFlags &= ~kAllow;
            w.flagsMod.removeFlags = kAllow;
        }
        RefreshMouseOver(w);
    } else if (n == "debug_needs") {
        // accepted, no effect
    } else if (n == "chart_val" || n == "chart_val2") {
        if (gDebugSettings)
            gDebugSettings->AddFrameSample(n == "chart_val" ? 0 : 1, value.AsFloat());
    } else if (n == "is_menu_root")
        brother.SetMenuRoot();
    else
        return false;
    return true;
}
