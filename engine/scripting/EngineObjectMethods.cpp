// The engine object's methods. Every method parses its arguments first (a parse failure is
// printed, cleared and answered with None), then reaches the engine without the interpreter lock.
// Work that touches what the main thread draws (the loading board, the display) is handed to the
// main thread when the script runs on another thread.
#include "engine/core/CursorManager.h"
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/ImageCache.h"
#include "engine/core/Localization.h"
#include "engine/core/MusicPlayer.h"
#include "engine/core/ProfileStore.h"
#include "engine/core/SoundManager.h"
#include "engine/scripting/ArgParser.h"
#include "engine/scripting/EngineObject.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/detail/EngineCalls.h"
#include "framework/core/PakFile.h"
#include "framework/core/StringUtils.h"

#include <Python.h>

#include <string>

namespace {

using EngineCalls::Unlocked;
using EngineCalls::WithProfiles;

// Longest "link.txt" read by the survey edition's Shutdown.
constexpr size_t kLinkFileBytes = 16384;

PyObject* Bool(bool value)
{
    if (value)
        Py_RETURN_TRUE;
    Py_RETURN_FALSE;
}

// Runs task now on the main thread; from any other thread it runs at the beginning of the next
// application step on the main thread, with the services of that moment.
template <class Task>
void OnMainThread(VTEngineServices& services, Task task)
{
    if (services.IsMainThread()) {
        task(services);
        return;
    }
    services.PostToMainThread([task]() {
        if (VTEngineServices* now = GetEngineServices())
            task(*now);
    });
}

// ---- levels, loading screen, cursor ----

PyObject* LoadLevel(PyObject*, PyObject* args)
{
    std::string name;
    if (!ParseScriptArgs(args, "s", {&name}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) { e.StartLevelLoad(name); });
    Py_RETURN_NONE;
}

PyObject* SetLoadingSkin(PyObject*, PyObject* args)
{
    std::string name;
    if (!ParseScriptArgs(args, "s", {&name}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        OnMainThread(e, [name](VTEngineServices& now) { now.SelectLoadingPicture(name); });
    });
    Py_RETURN_NONE;
}

PyObject* SetCursor(PyObject*, PyObject* args)
{
    std::string mode;
    if (!ParseScriptArgs(args, "s", {&mode}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTCursorManager* cursors = e.CursorManager())
            cursors->SetCursor(mode);
    });
    Py_RETURN_NONE;
}

// ---- key table ----

PyObject* SetKeyInt(PyObject*, PyObject* args)
{
    std::string key;
    int value = 0;
    if (!ParseScriptArgs(args, "si", {&key, &value}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTLocalization* keys = e.KeyTable())
            keys->SetInt(key, value);
    });
    Py_RETURN_NONE;
}

PyObject* SetKeyLoc(PyObject*, PyObject* args)
{
    std::string key, textKey;
    if (!ParseScriptArgs(args, "ss", {&key, &textKey}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        VTLocalization* keys = e.KeyTable();
        VTLocalization* texts = e.TextTable();
        if (keys)
            keys->SetText(key, texts ? texts->GetText(textKey) : std::wstring());
    });
    Py_RETURN_NONE;
}

PyObject* CompareLoc(PyObject*, PyObject* args)
{
    std::string first, second;
    if (!ParseScriptArgs(args, "ss", {&first, &second}))
        return ScriptArgFailure();
    bool equal = true; // without a text table both texts are empty
    Unlocked([&](VTEngineServices& e) {
        if (VTLocalization* texts = e.TextTable())
            equal = texts->GetText(first) == texts->GetText(second);
    });
    return Bool(equal);
}

PyObject* SetKeyText(PyObject*, PyObject* args)
{
    std::string key;
    std::wstring text;
    if (!ParseScriptArgs(args, "su", {&key, &text}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTLocalization* keys = e.KeyTable())
            keys->SetText(key, text);
    });
    Py_RETURN_NONE;
}

PyObject* ClearKey(PyObject*, PyObject* args)
{
    std::string key;
    if (!ParseScriptArgs(args, "s", {&key}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTLocalization* keys = e.KeyTable())
            keys->SetText(key, std::wstring());
    });
    Py_RETURN_NONE;
}

// ---- sound and music ----

PyObject* MusicChange(PyObject*, PyObject* args)
{
    std::string name;
    if (!ParseScriptArgs(args, "s", {&name}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTMusicPlayer* music = e.MusicPlayer())
            music->PlayMusic(name);
    });
    Py_RETURN_NONE;
}

PyObject* MusicPause(PyObject*, PyObject*)
{
    Unlocked([](VTEngineServices& e) {
        if (VTMusicPlayer* music = e.MusicPlayer())
            music->Pause();
    });
    Py_RETURN_NONE;
}

PyObject* MusicResume(PyObject*, PyObject*)
{
    Unlocked([](VTEngineServices& e) {
        if (VTMusicPlayer* music = e.MusicPlayer())
            music->Resume();
    });
    Py_RETURN_NONE;
}

PyObject* SoundPlay(PyObject*, PyObject* args)
{
    std::string name;
    if (!ParseScriptArgs(args, "s", {&name}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTSoundManager* sounds = e.SoundManager())
            sounds->PlaySound(name);
    });
    Py_RETURN_NONE;
}

// ---- volumes (kept in the profile store's header, applied through it) ----

PyObject* SetGroupVolume(PyObject*, PyObject* args)
{
    std::string group;
    int volume = 0;
    if (!ParseScriptArgs(args, "si", {&group, &volume}))
        return ScriptArgFailure();
    WithProfiles([&](VTProfileStore& store) {
        VTProfileSettings& settings = store.Settings();
        if (group == "music") {
            settings.musicVolume = volume;
            store.ApplyMusicVolume();
            return;
        }
        if (group == "ui")
            settings.uiVolume = volume;
        else if (group == "game")
            settings.gameVolume = volume;
        else if (group == "ambient")
            settings.ambientVolume = volume;
        store.ApplyGroupVolumes(); // an unknown group only re-applies them
    });
    Py_RETURN_NONE;
}

PyObject* SetMasterVolume(PyObject*, PyObject* args)
{
    std::string which;
    int volume = 0;
    if (!ParseScriptArgs(args, "si", {&which, &volume}))
        return ScriptArgFailure();
    WithProfiles([&](VTProfileStore& store) {
        if (which == "sfx_master") {
            store.Settings().masterSoundVolume = volume;
            store.ApplyGroupVolumes();
        } else if (which == "music_master") {
            store.Settings().masterMusicVolume = volume;
            store.ApplyMusicVolume();
        }
    });
    Py_RETURN_NONE;
}

// ---- log, shutdown, screen mode ----

PyObject* WriteLog(PyObject* self, PyObject* args)
{
    std::string text;
    if (!ParseScriptArgs(args, "s", {&text}))
        return ScriptArgFailure();
    VTExtPythonManager* host = EngineObjectHost(self);
    const int number = host ? host->NextWriteLogNumber() : 0;
    GilRelease release;
    DebugLog("%4d. WriteLog: %s\n", number, text.c_str());
    Py_RETURN_NONE;
}

// The first line of "link.txt" (through the archive layer), trimmed; empty when it is missing.
std::string ReadSurveyLink()
{
    PakFile* file = PakFOpen("link.txt", "rb");
    if (!file)
        return {};
    std::string bytes(kLinkFileBytes, '\0');
    bytes.resize(PakFRead(bytes.data(), 1, bytes.size(), file));
    PakFClose(file);
    bytes = bytes.substr(0, bytes.find('\0'));
    return Fw::Trim(bytes.substr(0, bytes.find('\n')));
}

PyObject* Shutdown(PyObject*, PyObject*)
{
    Unlocked([](VTEngineServices& e) {
        if (gDebugSettings && gDebugSettings->surveyEdition) {
            const std::string url = ReadSurveyLink();
            if (!url.empty())
                e.OpenUrl(url);
        }
        e.EndMainLoop();
    });
    Py_RETURN_NONE;
}

PyObject* SetFullscreenMode(PyObject*, PyObject* args)
{
    int flag = 0;
    if (!ParseScriptArgs(args, "i", {&flag}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        OnMainThread(e, [flag](VTEngineServices& now) {
            now.SwitchScreenMode(flag == 0);
            if (VTProfileStore* store = now.ProfileStore()) {
                std::lock_guard lock(EngineCalls::ProfileLock());
                store->Settings().windowed = now.IsWindowed() ? 1 : 0;
            }
        });
    });
    Py_RETURN_NONE;
}

// ---- profiles ----

PyObject* ProfileCreate(PyObject*, PyObject* args)
{
    std::wstring name;
    if (!ParseScriptArgs(args, "u", {&name}))
        return ScriptArgFailure();
    bool created = false;
    WithProfiles([&](VTProfileStore& store) { created = store.CreateProfile(name); });
    return PyLong_FromLong(created ? 1 : 0);
}

PyObject* ProfileDelete(PyObject*, PyObject* args)
{
    int index = 0;
    if (!ParseScriptArgs(args, "i", {&index}))
        return ScriptArgFailure();
    WithProfiles([&](VTProfileStore& store) {
        store.DeleteProfile(index); // an index out of range changes and writes nothing
    });
    Py_RETURN_NONE;
}

PyObject* ProfileSelect(PyObject*, PyObject* args)
{
    int index = 0;
    if (!ParseScriptArgs(args, "i", {&index}))
        return ScriptArgFailure();
    WithProfiles([&](VTProfileStore& store) {
        store.SetSelected(index); // kept as given; reads never go outside the list
    });
    Py_RETURN_NONE;
}

// ---- particle systems of the engine object (none: they are made by the particle type) ----

PyObject* CreatePS(PyObject*, PyObject*) { Py_RETURN_NONE; }
PyObject* RemovePS(PyObject*, PyObject*) { Py_RETURN_NONE; }

// ---- image cache ----

PyObject* ImgCachePush(PyObject*, PyObject* args)
{
    std::string group, id;
    if (!ParseScriptArgs(args, "ss", {&group, &id}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTImageCache* cache = e.ImageCache())
            cache->Push(group, id);
    });
    Py_RETURN_NONE;
}

PyObject* ImgCachePop(PyObject*, PyObject* args)
{
    std::string group, id;
    if (!ParseScriptArgs(args, "ss", {&group, &id}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTImageCache* cache = e.ImageCache())
            cache->Pop(group, id);
    });
    Py_RETURN_NONE;
}

PyObject* ImgCacheReset(PyObject*, PyObject* args)
{
    std::string group;
    if (!ParseScriptArgs(args, "s", {&group}))
        return ScriptArgFailure();
    Unlocked([&](VTEngineServices& e) {
        if (VTImageCache* cache = e.ImageCache())
            cache->Reset(group);
    });
    Py_RETURN_NONE;
}

// In the order of the engine's script interface.
PyMethodDef gMethods[] = {
    {"CreateWidget", EngineCalls::CreateWidget, METH_VARARGS, nullptr},
    {"CreateText", EngineCalls::CreateText, METH_VARARGS, nullptr},
    {"CreateEdit", EngineCalls::CreateEdit, METH_VARARGS, nullptr},
    {"CreateListbox", EngineCalls::CreateListbox, METH_VARARGS, nullptr},
    {"CreateCheckbox", EngineCalls::CreateCheckbox, METH_VARARGS, nullptr},
    {"CreateSlider", EngineCalls::CreateSlider, METH_VARARGS, nullptr},
    {"AddWidget", EngineCalls::AddWidget, METH_VARARGS, nullptr},
    {"RemoveWidget", EngineCalls::RemoveWidget, METH_VARARGS, nullptr},
    {"LoadLevel", LoadLevel, METH_VARARGS, nullptr},
    {"SetCursor", SetCursor, METH_VARARGS, nullptr},
    {"SetKeyInt", SetKeyInt, METH_VARARGS, nullptr},
    {"SetKeyLoc", SetKeyLoc, METH_VARARGS, nullptr},
    {"CompareLoc", CompareLoc, METH_VARARGS, nullptr},
    {"SetKeyText", SetKeyText, METH_VARARGS, nullptr},
    {"MusicChange", MusicChange, METH_VARARGS, nullptr},
    {"MusicPause", MusicPause, METH_VARARGS, nullptr},
    {"MusicResume", MusicResume, METH_VARARGS, nullptr},
    {"ClearKey", ClearKey, METH_VARARGS, nullptr},
    {"SoundPlay", SoundPlay, METH_VARARGS, nullptr},
    {"SetGroupVolume", SetGroupVolume, METH_VARARGS, nullptr},
    {"SetMasterVolume", SetMasterVolume, METH_VARARGS, nullptr},
    {"CreateSound", EngineCalls::CreateSound, METH_VARARGS, nullptr},
    {"WriteLog", WriteLog, METH_VARARGS, nullptr},
    {"Shutdown", Shutdown, METH_VARARGS, nullptr},
    {"SetLoadingSkin", SetLoadingSkin, METH_VARARGS, nullptr},
    {"SetFullscreenMode", SetFullscreenMode, METH_VARARGS, nullptr},
    {"ProfileCreate", ProfileCreate, METH_VARARGS, nullptr},
    {"ProfileDelete", ProfileDelete, METH_VARARGS, nullptr},
    {"ProfileSelect", ProfileSelect, METH_VARARGS, nullptr},
    {"CreatePS", CreatePS, METH_VARARGS, nullptr},
    {"RemovePS", RemovePS, METH_VARARGS, nullptr},
    {"ImgCachePush", ImgCachePush, METH_VARARGS, nullptr},
    {"ImgCachePop", ImgCachePop, METH_VARARGS, nullptr},
    {"ImgCacheReset", ImgCacheReset, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

} // namespace

std::mutex& EngineCalls::ProfileLock()
{
    static std::mutex lock;
    return lock;
}

PyMethodDef* EngineCalls::MethodTable() { return gMethods; }
