#include "engine/scripting/ClassTwinSupport.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/WidgetServices.h"

#include <Python.h>

#include <algorithm>
#include <string>

PyObject* ResetWidgetTwin(PyObject* self, PyObject*)
{
    const VTPythonObject twin(self);
    RunScriptTreeChange([twin]() {
        if (VTPyWidgetBrotherInterface* brother = TwinBrother(twin.GetObject()))
            brother->DestroyTwin();
    });
    Py_RETURN_NONE;
}

bool ParseFrameDesc(const VTPythonObject& value, VTFrameDesc& desc)
{
    VTFrameDesc parsed;
    if (value.GetKind() != VTPythonObject::kTuple ||
        !value.Parse("siiii", {&parsed.image, &parsed.u, &parsed.v, &parsed.width, &parsed.height}))
        return false;
    desc = std::move(parsed);
    return true;
}

void InitTextureFromDesc(VTTexture& texture, const VTFrameDesc& desc)
{
    VTEngineServices* services = GetEngineServices();
    if (VTTextureCatalogue* catalogue = services ? services->TextureCatalogue() : nullptr)
        texture.InitFromDesc(*catalogue, desc);
}

Fw::Color ColorFromInts(const VTPythonObject& value)
{
    int channels[4] = {};
    for (int i = 0; i < 4; ++i) {
        VTPythonObject item;
        channels[i] = value.GetListItem(i, item) ? std::clamp(item.AsInt(), 0, 255) : 0;
    }
    return Fw::Color(channels[1], channels[2], channels[3], channels[0]);
}

Fw::Font* FontByName(const char* name)
{
    return GetWidgetServices().GetFont(name ? name : "");
}

namespace {

Fw::Color StyleColor(const VTPythonObject& entry, const char* key)
{
    VTPythonObject value;
    if (!entry.GetDictItem(key, value) || value.GetKind() == VTPythonObject::kNone)
        return Fw::Color(0xFFFFFFFFu);
    return ColorFromInts(value);
}

} // namespace

void ForEachScriptStyle(const VTPythonObject& styles, std::initializer_list<const char*> keys,
                        const char* secondColor,
                        const std::function<void(const char*, const ScriptTextStyle&)>& apply)
{
    for (const char* key : keys) {
        VTPythonObject entry;
        if (!styles.GetDictItem(key, entry) || entry.GetKind() != VTPythonObject::kDict)
            continue;
        ScriptTextStyle style;
        style.color = StyleColor(entry, "color");
        style.second = StyleColor(entry, secondColor);
        VTPythonObject font;
        std::string name; // any length
        if (entry.GetDictItem("font", font))
            if (const char* text = font.AsString())
                name = text;
        style.font = FontByName(name.c_str());
        apply(key, style);
    }
}

void CallScriptHook(const VTPythonObject& scriptObject, const char* name, const VTPythonObject* arguments)
{
    VTPythonObject* hook = scriptObject.GetAttr(name);
    if (!hook)
        return; // no such hook: nothing to call
    if (hook->GetKind() == VTPythonObject::kCallable) {
        VTPythonObject result;
        hook->Call(result, arguments);
    }
    hook->Release();
}
