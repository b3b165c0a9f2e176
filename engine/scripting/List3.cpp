#include "engine/scripting/List3.h"

#include "engine/scripting/ArgParser.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"
#include "engine/widgets/ScrollBar.h"
#include "framework/graphics/Font.h"

#include <Python.h>

#include <string_view>

namespace {

// "btn_<part>_<state>" names the frame record of a scroll bar part in a state.
bool ScrollFrameName(std::string_view name, int32_t& part, int32_t& state)
{
    static constexpr std::string_view kParts[] = {"btn_up_", "btn_down_", "btn_scroll_"};
    static constexpr std::string_view kStates[] = {"norm", "over", "down", "gray"};
    for (int32_t p = 0; p < 3; ++p) {
        if (name.substr(0, kParts[p].size()) != kParts[p])
            continue;
        for (int32_t s = 0; s < 4; ++s)
            if (name.substr(kParts[p].size()) == kStates[s]) {
                part = p;
                state = s;
                return true;
            }
    }
    return false;
}

} // namespace

VTList3::VTList3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTList(parent), VTPyWidgetBrotherInterface(scriptObject)
{
}

bool VTList3::GetClassAttr(VTPythonObject& out, const char* name)
{
    if (GetCandyWidgetAttr(*this, out, name))
        return true;
    const std::string_view n = name;
    if (n == "active_item")
        out = VTPythonObject(GetActiveItem());
    else if (n == "selected_item")
        out = VTPythonObject(GetSelectedItem());
    else if (n == "page_pos")
        out = VTPythonObject(GetFirstVisibleLine());
    else if (n == "page_max")
        out = VTPythonObject(GetLineHeight() > 0 ? height / GetLineHeight() : 0);
    else if (n == "items_count")
        out = VTPythonObject(static_cast<int>(GetLines().size()));
    else
        return false;
    return true;
}

bool VTList3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    auto setColor = [this](int32_t index, const Fw::Color& color) {
        const VTTextAttr& a = GetTextAttr(index);
        const int32_t lineHeight = GetLineHeight(); // a colour leaves the line height as it is
        SetTextAttr(index, a.font, color, a.disabledColor);
        SetLineHeight(lineHeight);
    };
    auto setFont = [this](int32_t index, Fw::Font* font) {
        const VTTextAttr& a = GetTextAttr(index);
        SetTextAttr(index, font, a.color, a.disabledColor);
    };
    int32_t part = 0, state = 0;
    if (n == "left_indent") {
        textX = value.AsInt();
    } else if (n == "sel_color") {
        selectionColor = ColorFromInts(value);
    } else if (n == "text_color") {
        setColor(2, ColorFromInts(value));
        setColor(1, ColorFromInts(value));
    } else if (n == "text_color_sh") {
        setColor(0, ColorFromInts(value));
    } else if (n == "font") {
        Fw::Font* font = FontByName(value.AsString());
        setFont(2, font);
        setFont(1, font);
    } else if (n == "line_spacing") {
        SetLineHeight(value.AsInt());
    } else if (n == "font_sh") {
        setFont(0, FontByName(value.AsString()));
    } else if (ScrollFrameName(n, part, state)) {
        ParseFrameDesc(value, scrollFrames[size_t(part)][size_t(state)]);
    } else if (n == "img_check") {
        VTFrameDesc desc;
        if (ParseFrameDesc(value, desc))
            InitTextureFromDesc(CheckTexture(), desc);
    } else if (n == "active_item") {
        SetActiveItem(value.AsInt());
        InvalidateImage();
    } else if (n == "page_pos") {
        SetFirstVisibleLine(value.AsInt());
        if (VTScrollBar* bar = GetScrollBar())
            bar->position = value.AsInt();
        InvalidateImage();
    } else if (n == "selected_item") {
        SetSelectedItem(value.AsInt());
    } else if (n == "img_check_offset") {
        checkX = value.AsInt();
    } else if (n == "scrollbar_offset") {
        scrollBarOffsetX = value.AsInt();
    } else {
        return false;
    }
    return true;
}

void VTList3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

void VTList3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTList::UpdateAll(mf);
}

void VTList3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTList::Update();
}

void VTList3::Draw(Fw::Graphics* g)
{
    ScriptWidgetWalkScope walk;
    VTList::Draw(g);
}

void VTList3::OnPagePosChanged()
{
    ScriptWidgetWalkScope walk;
    CallScriptHook(ScriptObject(), "update_pos", nullptr);
}

namespace {

VTList3* ListOf(PyObject* self)
{
    return dynamic_cast<VTList3*>(TwinBrother(self));
}

PyObject* AddLine(PyObject* self, PyObject* args)
{
    std::wstring line;
    if (!ParseScriptArgs(args, "u", {&line}))
        return ScriptArgFailure();
    if (VTList3* list = ListOf(self)) {
        GilRelease release;
        list->AddLine(line);
    }
    Py_RETURN_NONE;
}

PyObject* Clear(PyObject* self, PyObject*)
{
    if (VTList3* list = ListOf(self)) {
        GilRelease release;
        list->Clear();
    }
    Py_RETURN_NONE;
}

PyObject* MakeScrollbar(PyObject* self, PyObject*)
{
    if (VTList3* list = ListOf(self)) {
        GilRelease release;
        list->MakeScrollbar();
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"AddLine", AddLine, METH_VARARGS, nullptr},
    {"Clear", Clear, METH_VARARGS, nullptr},
    {"MakeScrollbar", MakeScrollbar, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyList3", gMethods);

} // namespace

PyTypeObject& PyList3Type()
{
    return gType;
}
