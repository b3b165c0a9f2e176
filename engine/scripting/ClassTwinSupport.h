// What the script twins of the widget classes (texts, edit boxes, lists, check boxes, sliders) share:
// the Reset method, frame records written as "siiii" tuples, the "styles" dictionaries of texts and
// edit boxes, fonts by name, and calling a hook of the script object ("on_key_enter", "update_pos").
#pragma once
#include "engine/core/Texture.h"
#include "engine/scripting/PythonObject.h"
#include "framework/graphics/Color.h"

#include <functional>

typedef struct _object PyObject;
namespace Fw {
class Font;
}

// The twin method Reset: destroys the engine widget (after the update walk when inside it).
// Interpreter lock held.
PyObject* ResetWidgetTwin(PyObject* self, PyObject* args);

// A frame record from a "siiii" tuple; false (desc unchanged) for anything else.
bool ParseFrameDesc(const VTPythonObject& value, VTFrameDesc& desc);
// A still texture from a frame record (empty without a texture catalogue).
void InitTextureFromDesc(VTTexture& texture, const VTFrameDesc& desc);

// A list [a, r, g, b] of integers as a colour (alpha from the first item).
Fw::Color ColorFromInts(const VTPythonObject& value);
// The font of that name (null when there is none).
Fw::Font* FontByName(const char* name);

// One entry of a "styles" dictionary: its "font", "color" and second colour (named secondColor).
struct ScriptTextStyle {
    Fw::Font* font = nullptr;
    Fw::Color color{0xFFFFFFFFu};
    Fw::Color second{0xFFFFFFFFu};
};
// For each key of styles (a dictionary) that has a dictionary entry, apply(key, style). Keys are
// asked in the order given.
void ForEachScriptStyle(const VTPythonObject& styles, std::initializer_list<const char*> keys,
                        const char* secondColor,
                        const std::function<void(const char*, const ScriptTextStyle&)>& apply);

// Calls the script object's attribute name with arguments (null: none) when it has one that can be
// called; a failing call is printed and cleared. Without the interpreter lock.
void CallScriptHook(const VTPythonObject& scriptObject, const char* name, const VTPythonObject* arguments);
