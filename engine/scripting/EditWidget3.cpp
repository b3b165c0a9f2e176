#include "engine/scripting/EditWidget3.h"

#include "engine/core/KeyNames.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/scripting/ArgParser.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"
#include "framework/widgets/WidgetManager.h"

#include <Python.h>

#include <string_view>

VTEditWidget3::VTEditWidget3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTEditWidget(parent), VTPyWidgetBrotherInterface(scriptObject)
{
}

bool VTEditWidget3::GetClassAttr(VTPythonObject& out, const char* name)
{
    if (GetCandyWidgetAttr(*this, out, name))
        return true;
    if (std::string_view(name) != "text")
        return false;
    out = VTPythonObject(GetText().c_str());
    return true;
}

bool VTEditWidget3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    if (n == "text") {
        // Only text replaces the edit text; any other value is ignored.
        if (value.GetKind() == VTPythonObject::kUnicode)
            if (const wchar_t* text = value.AsUnicode())
                SetState(text, GetCaret(), GetAnchor());
    } else if (n == "hilight_background") {
        highlightColor = ColorFromInts(value);
        MarkDirty();
    } else if (n == "styles") {
        ForEachScriptStyle(value, {"normal", "shadow"}, "hcolor",
                           [this](const char* key, const ScriptTextStyle& s) {
                               if (std::string_view(key) == "normal") {
                                   SetTextAttr(2, s.font, s.color, s.second);
                                   SetTextAttr(1, s.font, s.color, s.second);
                               } else {
                                   SetTextAttr(0, s.font, s.color, s.second);
                               }
                           });
    } else {
        return false;
    }
    return true;
}

void VTEditWidget3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

void VTEditWidget3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTEditWidget::UpdateAll(mf);
}

void VTEditWidget3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTEditWidget::Update();
}

void VTEditWidget3::KeyDown(int keyCode)
{
    ScriptWidgetWalkScope walk; // the script may reset this very widget
    VTEditWidget::KeyDown(keyCode);
    const std::string name = KeyCodeToName(keyCode);
    VTPythonObject arguments;
    arguments.BuildTuple("s", {name.c_str()});
    CallScriptHook(ScriptObject(), "on_key_enter", &arguments);
}

namespace {

VTEditWidget3* EditOf(PyObject* self)
{
    return dynamic_cast<VTEditWidget3*>(TwinBrother(self));
}

PyObject* SetTexture(PyObject* self, PyObject* args)
{
    std::string name;
    int u = 0, v = 0, width = 0, height = 0, unused[4] = {};
    if (!ParseScriptArgs(args, "siiiiiiii",
                         {&name, &u, &v, &width, &height, &unused[0], &unused[1], &unused[2], &unused[3]}))
        return ScriptArgFailure();
    if (VTEditWidget3* edit = EditOf(self)) {
        GilRelease release;
        VTEngineServices* services = GetEngineServices();
        if (VTTextureCatalogue* catalogue = services ? services->TextureCatalogue() : nullptr)
            edit->SetImage(0, catalogue->GetImage(name, true), Fw::Rect(u, v, width, height));
    }
    Py_RETURN_NONE;
}

PyObject* GotFocus(PyObject* self, PyObject*)
{
    if (VTEditWidget3* edit = EditOf(self)) {
        GilRelease release;
        if (Fw::WidgetManager* manager = edit->GetManager())
            manager->SetFocus(edit);
    }
    Py_RETURN_NONE;
}

PyObject* LostFocus(PyObject* self, PyObject*)
{
    if (VTEditWidget3* edit = EditOf(self)) {
        GilRelease release;
        VTEngineServices* services = GetEngineServices();
        Fw::Widget* board = services ? services->GameBoard() : nullptr;
        if (Fw::WidgetManager* manager = edit->GetManager(); manager && board)
            manager->SetFocus(board);
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"SetTexture", SetTexture, METH_VARARGS, nullptr},
    {"GotFocus", GotFocus, METH_VARARGS, nullptr},
    {"LostFocus", LostFocus, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyEditWidget3", gMethods);

} // namespace

PyTypeObject& PyEditWidget3Type()
{
    return gType;
}
