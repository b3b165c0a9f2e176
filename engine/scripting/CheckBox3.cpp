#include "engine/scripting/CheckBox3.h"

#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"

#include <Python.h>

#include <string_view>

VTCheckBox3::VTCheckBox3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTCheckBox(parent), VTPyWidgetBrotherInterface(scriptObject)
{
    for (Face face : {kNormal, kOver, kDisabled}) {
        EnsureFace(true, face);
        EnsureFace(false, face);
    }
}

bool VTCheckBox3::GetClassAttr(VTPythonObject& out, const char* name)
{
    if (GetCandyWidgetAttr(*this, out, name))
        return true;
    if (std::string_view(name) != "checked")
        return false;
    out = VTPythonObject(IsChecked() ? 1 : 0);
    return true;
}

bool VTCheckBox3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    if (n == "tex_norm_checked")
        ParseFrameDesc(value, checkedFrames[kNormal]);
    else if (n == "tex_over_checked")
        ParseFrameDesc(value, checkedFrames[kOver]);
    else if (n == "tex_disabled_checked")
        ParseFrameDesc(value, checkedFrames[kDisabled]);
    else if (n == "tex_norm")
        ParseFrameDesc(value, uncheckedFrames[kNormal]);
    else if (n == "tex_over")
        ParseFrameDesc(value, uncheckedFrames[kOver]);
    else if (n == "tex_disabled")
        ParseFrameDesc(value, uncheckedFrames[kDisabled]);
    else if (n == "checked")
        checked_ = value.AsInt() != 0; // shows at the next redraw of the screen
    else if (n == "r")
        tintR = value.AsFloat();
    else if (n == "g")
        tintG = value.AsFloat();
    else if (n == "b")
        tintB = value.AsFloat();
    else
        return false;
    return true;
}

void VTCheckBox3::PrepareTextures()
{
    const bool shown = IsVisibleWithAncestors();
    for (Face face : {kNormal, kOver, kDisabled}) {
        for (bool checked : {true, false}) {
            VTTexture& texture = EnsureFace(checked, face);
            InitTextureFromDesc(texture, (checked ? checkedFrames : uncheckedFrames)[face]);
            if (shown)
                texture.LoadFrames();
        }
    }
}

void VTCheckBox3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

void VTCheckBox3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTCheckBox::UpdateAll(mf);
}

void VTCheckBox3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTCheckBox::Update();
}

namespace {

PyObject* PrepareTextures(PyObject* self, PyObject*)
{
    if (auto* box = dynamic_cast<VTCheckBox3*>(TwinBrother(self))) {
        GilRelease release;
        box->PrepareTextures();
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"PrepareTextures", PrepareTextures, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyCheckBox3", gMethods);

} // namespace

PyTypeObject& PyCheckBox3Type()
{
    return gType;
}
