// Static type object of the engine object: its payload (the script host), its attributes and, through
// the method table of EngineObjectMethods.cpp, its methods. Attribute values are read from the
// engine without the interpreter lock and turned into interpreter objects afterwards.
#include "engine/scripting/EngineObject.h"

#include "engine/core/DebugSettings.h"
#include "engine/core/ProfileStore.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/PyText.h"
#include "engine/scripting/PythonObject.h"
#include "engine/scripting/StaticType.h"
#include "engine/scripting/detail/EngineCalls.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using EngineCalls::Unlocked;
using EngineCalls::WithProfiles;

struct EngineObject {
    PyObject_HEAD
    VTExtPythonManager* host;
};

// The selected profile's values. A selected index outside the list (ProfileSelect does not check
// it) reads as no profile: empty name and data.
struct SelectedProfile {
    size_t count = 0;
    int32_t selected = -1;
    std::wstring name;
    std::string data;
};

SelectedProfile ReadSelectedProfile()
{
    SelectedProfile profile;
    WithProfiles([&](VTProfileStore& store) {
        profile.count = store.Count();
        profile.selected = store.Selected();
        if (profile.selected >= 0 && size_t(profile.selected) < profile.count)
            profile.name = store.Name(size_t(profile.selected));
        profile.data = store.GetSelectedData();
    });
    return profile;
}

PyObject* WideStr(const std::wstring& text)
{
    return PyUnicode_FromWideChar(text.c_str(), Py_ssize_t(text.size()));
}

PyObject* UsersList()
{
    std::vector<std::wstring> names;
    WithProfiles([&](VTProfileStore& store) { names = store.Names(); });
    PyObject* list = PyList_New(Py_ssize_t(names.size()));
    if (!list)
        return nullptr;
    for (size_t i = 0; i < names.size(); ++i) {
        PyObject* item = WideStr(names[i]);
        if (!item) {
            Py_DECREF(list);
            return nullptr;
        }
        PyList_SET_ITEM(list, Py_ssize_t(i), item); // steals item
    }
    return list;
}

// One of the profile store's settings (volumes), 0 without a store.
int32_t ProfileSetting(int32_t VTProfileSettings::*field)
{
    int32_t value = 0;
    WithProfiles([&](VTProfileStore& store) { value = store.Settings().*field; });
    return value;
}

bool AskEngine(bool (VTEngineServices::*question)(), bool absent)
{
    bool answer = absent;
    Unlocked([&](VTEngineServices& e) { answer = (e.*question)(); });
    return answer;
}

bool DebugFlag(bool VTDebugSettings::*flag) { return gDebugSettings && gDebugSettings->*flag; }

PyObject* HiddensColor()
{
    const std::array<float, 4> color =
        gDebugSettings ? gDebugSettings->hiddensColor : std::array<float, 4>{1.0f, 0.0f, 0.0f, 0.5f};
    PyObject* list = PyList_New(4);
    if (!list)
        return nullptr;
    for (Py_ssize_t i = 0; i < 4; ++i) {
        PyObject* item = PyFloat_FromDouble(double(color[size_t(i)]));
        if (!item) {
            Py_DECREF(list);
            return nullptr;
        }
        PyList_SET_ITEM(list, i, item);
    }
    return list;
}

// The attribute's value (new reference), or null with nothing pending when the name is not one of
// the engine object's own.
PyObject* ReadAttribute(std::string_view name)
{
    if (name == "mouse_widget")
        return EngineCalls::MouseWidgetTwin();
    if (name == "profile_data")
        return PyStrFromNarrow(ReadSelectedProfile().data.c_str());
    if (name == "users_list")
        return UsersList();
    if (name == "active_user")
        return PyLong_FromLong(ReadSelectedProfile().selected);
    if (name == "active_user_name") {
        const SelectedProfile profile = ReadSelectedProfile();
        if (profile.count == 0)
            PrintScriptTraceback();
        return WideStr(profile.name);
    }
    if (name == "master_sfx")
        return PyLong_FromLong(ProfileSetting(&VTProfileSettings::masterSoundVolume));
    if (name == "master_music")
        return PyLong_FromLong(ProfileSetting(&VTProfileSettings::masterMusicVolume));
    if (name == "is_fullscreen")
        return PyLong_FromLong(AskEngine(&VTEngineServices::IsWindowed, true) ? 0 : 1);
    if (name == "windowmode_allowed")
        return PyLong_FromLong(AskEngine(&VTEngineServices::IsFullScreenForced, false) ? 0 : 1);
    if (name == "esc_menu_active")
        return PyLong_FromLong(AskEngine(&VTEngineServices::IsEscMenuActive, false) ? 1 : 0);
    if (name == "dbg_scene")
        return PyStrFromNarrow(gDebugSettings ? gDebugSettings->dbgScene.c_str() : "");
    if (name == "dbg_menu")
        return PyLong_FromLong(DebugFlag(&VTDebugSettings::dbgMenu) ? 1 : 0);
    if (name == "show_hiddens")
        return PyLong_FromLong(DebugFlag(&VTDebugSettings::showHiddens) ? 1 : 0);
    if (name == "hiddens_color")
        return HiddensColor();
    return nullptr;
}

PyObject* GetAttr(PyObject* self, PyObject* nameObject)
{
    if (PyUnicode_Check(nameObject)) {
        const char* name = PyUnicode_AsUTF8(nameObject);
        if (!name)
            return nullptr;
        if (PyObject* value = ReadAttribute(name))
            return value;
        if (PyErr_Occurred())
            return nullptr;
    }
    // The methods (bound to this object); AttributeError for any other name.
    return PyObject_GenericGetAttr(self, nameObject);
}

int SetAttr(PyObject* self, PyObject* nameObject, PyObject* value)
{
    const char* name = PyUnicode_Check(nameObject) ? PyUnicode_AsUTF8(nameObject) : nullptr;
    if (!name) {
        if (!PyErr_Occurred())
            PyErr_SetString(PyExc_TypeError, "attribute name must be a string");
        return -1;
    }
    const bool known = std::strcmp(name, "profile_data") == 0 || std::strcmp(name, "esc_menu_active") == 0;
    if (!known || !value) {
        // Deleting one of the two writable attributes is refused the same way.
        PyErr_Format(PyExc_AttributeError, "'%s' object has no attribute '%s'", Py_TYPE(self)->tp_name, name);
        return -1;
    }
    const VTPythonObject wrapped(value);
    if (std::strcmp(name, "esc_menu_active") == 0) {
        const bool active = wrapped.AsInt() != 0;
        Unlocked([&](VTEngineServices& e) { e.SetEscMenuActive(active); });
        return 0;
    }
    const char* text = wrapped.AsString();
    if (!text) {
        PyErr_Format(PyExc_TypeError, "profile_data must be a str, not %s", Py_TYPE(value)->tp_name);
        return -1;
    }
    const std::string data = text;
    WithProfiles([&](VTProfileStore& store) {
        // Saves; with no profile selected (or none at all) it tells the engine, which prints the
        // script's traceback, and stores nothing.
        store.SetSelectedData(data);
    });
    return 0;
}

PyTypeObject gEngineObjectType = [] {
    PyTypeObject t = MakeStaticType("ExtPythonManager", sizeof(EngineObject));
    t.tp_dealloc = [](PyObject* self) { PyObject_Free(self); }; // the host is not touched
    t.tp_getattro = GetAttr;
    t.tp_setattro = SetAttr;
    t.tp_methods = EngineCalls::MethodTable();
    return t;
}();

} // namespace

PyObject* NewExtPythonManagerObject()
{
    return reinterpret_cast<PyObject*>(NewStaticInstance<EngineObject>(gEngineObjectType));
}

VTExtPythonManager* EngineObjectHost(PyObject* object)
{
    if (!object || Py_TYPE(object) != &gEngineObjectType)
        return nullptr;
    return reinterpret_cast<EngineObject*>(object)->host;
}

void SetEngineObjectHost(PyObject* object, VTExtPythonManager* host)
{
    if (object && Py_TYPE(object) == &gEngineObjectType)
        reinterpret_cast<EngineObject*>(object)->host = host;
}
