#include "engine/scripting/Text3.h"

#include "engine/core/Texture.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/graphics/Graphics.h"

#include <Python.h>

#include <string_view>

VTText3::VTText3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTText(parent), VTPyWidgetBrotherInterface(scriptObject)
{
    flagsMod.removeFlags |= Fw::WidgetFlags::AllowMouse;
}

int32_t VTText3::TextHeight()
{
    RefreshDisplayText();
    Fw::Font* font = GetTextAttr(2).font;
    if (!font || GetDisplayText().empty())
        return 0;
    Fw::Graphics g;
    g.SetFont(font);
    return g.GetWordWrappedHeight(width, GetDisplayText(), lineSpacing);
}

bool VTText3::GetClassAttr(VTPythonObject& out, const char* name)
{
    if (GetCandyWidgetAttr(*this, out, name))
        return true;
    if (std::string_view(name) != "text_height")
        return false;
    out = VTPythonObject(TextHeight());
    return true;
}

bool VTText3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    if (n == "label") {
        // Only a str names a localisation key; anything else leaves the label.
        if (const char* key = value.AsString())
            SetLabel(GetWidgetServices().Localize(key));
    } else if (n == "line_spacing") {
        lineSpacing = value.AsInt();
    } else if (n == "justify") {
        justification = value.AsInt();
    } else if (n == "valign") {
        verticalAlignment = value.AsInt();
    } else if (n == "hoffset") {
        labelOffsetY = value.AsInt();
    } else if (n == "styles") {
        ForEachScriptStyle(value, {"normal", "stroke", "shadow"}, "dcolor",
                           [this](const char* key, const ScriptTextStyle& s) {
                               const std::string_view k = key;
                               const int32_t index = k == "normal" ? 2 : k == "stroke" ? 1 : 0;
                               SetTextAttr(index, s.font, s.color, s.second);
                           });
    } else {
        return false;
    }
    return true;
}

void VTText3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

void VTText3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTText::UpdateAll(mf);
}

void VTText3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTText::Update();
}

void VTText3::Draw(Fw::Graphics* g)
{
    for (auto& [id, texture] : GetTextures())
        texture->mask = maskTexture;
    VTText::Draw(g);
}

namespace {

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyText3", gMethods);

} // namespace

PyTypeObject& PyText3Type()
{
    return gType;
}
