#include "engine/scripting/Slider3.h"

#include "engine/scripting/Bar3.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"

#include <Python.h>

#include <string_view>

VTSlider3::VTSlider3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTSlider(parent), VTPyWidgetBrotherInterface(scriptObject)
{
}

float VTSlider3::HalfThumb() const
{
    return GetBar() ? float(GetBar()->EmptyTexture().width) * 0.5f : 0.0f;
}

bool VTSlider3::GetClassAttr(VTPythonObject& out, const char* name)
{
    if (GetCandyWidgetAttr(*this, out, name))
        return true;
    if (std::string_view(name) != "value")
        return false;
    const float half = HalfThumb();
    const float track = float(width) - 2.0f * half;
    // No bar yet, or no track to divide by: the value is at the start.
    out = VTPythonObject(GetBar() && track > 0.0f ? double((float(GetValue()) - half) / track) : 0.0);
    return true;
}

bool VTSlider3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    if (n == "fill_image") {
        ParseFrameDesc(value, fillImage);
    } else if (n == "empty_image") {
        ParseFrameDesc(value, emptyImage);
    } else if (n == "value") {
        const float f = value.AsFloat();
        if (GetBar() && f >= 0.0f && f <= 1.0f) {
            const int32_t h = int32_t(HalfThumb());
            SetValue(int32_t(f * float(width - 2 * h) + float(h)));
        }
    } else {
        return false;
    }
    return true;
}

void VTSlider3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

void VTSlider3::MakeBar()
{
    auto* bar = new VTBar3(this);
    InitTextureFromDesc(bar->FillTexture(), fillImage);
    InitTextureFromDesc(bar->EmptyTexture(), emptyImage);
    AddChild("bar", bar);
    bar->Resize(bar->x, bar->y, width, height);
    zoneWidth = width;
    zoneHeight = height;
    SetMaximum(width);
}

void VTSlider3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTSlider::UpdateAll(mf);
}

void VTSlider3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTSlider::Update();
}

void VTSlider3::MouseDrag(int32_t mx, int32_t my)
{
    VTCandyWidget::MouseDrag(mx, my);
    Fw::WidgetContainer::MarkDirty();
    SetValueAtPoint(mx, my);
}

void VTSlider3::SetValueAtPoint(int32_t px, int32_t py)
{
    if (px < zoneX || px > zoneX + zoneWidth || py < zoneY || py > zoneY + zoneHeight)
        return;
    const int32_t h = int32_t(HalfThumb());
    if (px > width - h)
        SetValue(width - h);
    else if (px < h)
        SetValue(h);
    else if (width - 2 * h <= 0)
        SetValue(h);
    else {
        const float track = float(width - 2 * h);
        SetValue(int32_t((float(px - h) / track) * track + float(h)));
    }
}

namespace {

PyObject* MakeBar(PyObject* self, PyObject*)
{
    if (auto* slider = dynamic_cast<VTSlider3*>(TwinBrother(self))) {
        GilRelease release;
        slider->MakeBar();
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"MakeBar", MakeBar, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPySlider3", gMethods);

} // namespace

PyTypeObject& PySlider3Type()
{
    return gType;
}
