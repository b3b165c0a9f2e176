// Sound items: the engine-side item (its sound instance and the wrapper that keeps its Python
// object alive until Reset) and the Python type. The instance is used and destroyed without the
// interpreter lock: its destructor removes the fade worker first and waits for a running step, so a
// fade started by Stop or FadePlay never reaches it afterwards.
#include "engine/scripting/SoundItem.h"

#include "engine/core/SoundInstance.h"
#include "engine/core/SoundManager.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/StaticType.h"
#include "engine/scripting/TwinTypes.h"

#include <memory>
#include <mutex>
#include <set>

namespace {

struct SoundItem {
    std::unique_ptr<VTSoundInstance> instance;
    VTPythonObject* pyObject = nullptr; // the lasting reference to the Python object
};

struct SoundItemObject {
    PyObject_HEAD
    SoundItem* item;
};

SoundItem* ItemOf(PyObject* self) { return reinterpret_cast<SoundItemObject*>(self)->item; }

// The items not released yet (made on whichever thread runs the script).
std::mutex gLiveMutex;
std::set<SoundItem*> gLive;

void Forget(SoundItem* item)
{
    std::lock_guard lock(gLiveMutex);
    gLive.erase(item);
}

// What Reset releases of an item once its Python object no longer points at it: the sound instance
// (its destructor leaves the channel alone), the wrapper's reference and the item.
void DestroyItem(SoundItem* item)
{
    item->instance.reset();
    if (item->pyObject)
        item->pyObject->Release();
    delete item;
}

PyObject* Reset(PyObject* self, PyObject*)
{
    SoundItem* item = ItemOf(self);
    if (!item)
        Py_RETURN_NONE;
    reinterpret_cast<SoundItemObject*>(self)->item = nullptr;
    Forget(item);
    Py_INCREF(self); // the wrapper's reference goes below; the call's self must outlive it
    {
        GilRelease release;
        DestroyItem(item);
    }
    Py_DECREF(self);
    Py_RETURN_NONE;
}

template <void (*Fn)(VTSoundInstance&)>
PyObject* Call(PyObject* self, PyObject*)
{
    SoundItem* item = ItemOf(self);
    if (item && item->instance) {
        GilRelease release;
        Fn(*item->instance);
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", Reset, METH_VARARGS, nullptr},
    {"Play", Call<[](VTSoundInstance& s) { s.Play(false); }>, METH_VARARGS, nullptr},
    {"Pause", Call<[](VTSoundInstance& s) { s.Pause(); }>, METH_VARARGS, nullptr},
    {"Stop", Call<[](VTSoundInstance& s) { s.FadeOut(false); }>, METH_VARARGS, nullptr},
    {"StopAndReset", Call<[](VTSoundInstance& s) { s.FadeOut(true); }>, METH_VARARGS, nullptr},
    {"FadePlay", Call<[](VTSoundInstance& s) { s.Play(true); }>, METH_VARARGS, nullptr},
    {"Resume", Call<[](VTSoundInstance& s) { s.Resume(); }>, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyObject* GetAttr(PyObject* self, PyObject* name)
{
    if (PyUnicode_Check(name) && PyUnicode_CompareWithASCIIString(name, "play_active") == 0) {
        SoundItem* item = ItemOf(self);
        bool playing = false;
        if (item && item->instance) {
            GilRelease release;
            playing = item->instance->IsPlaying();
        }
        return PyLong_FromLong(playing ? 1 : 0);
    }
    return PyObject_GenericGetAttr(self, name);
}

int SetAttr(PyObject* self, PyObject* name, PyObject*)
{
    PyErr_Format(PyExc_AttributeError, "'%s' object has no attribute '%U'", Py_TYPE(self)->tp_name, name);
    return -1;
}

PyTypeObject gType = [] {
    PyTypeObject t = MakeStaticType("SoundItem", sizeof(SoundItemObject));
    t.tp_dealloc = [](PyObject* self) { PyObject_Free(self); }; // the item is not touched
    t.tp_getattro = GetAttr;
    t.tp_setattro = SetAttr;
    t.tp_methods = gMethods;
    return t;
}();

} // namespace

PyTypeObject& SoundItemType() { return gType; }

PyObject* CreateSoundItem(const std::string& name)
{
    SoundItemObject* object = NewStaticInstance<SoundItemObject>(gType);
    if (!object)
        return nullptr;
    auto* item = new SoundItem;
    object->item = item;
    PyObject* o = reinterpret_cast<PyObject*>(object);
    item->pyObject = VTPythonObject::CreateFromPyObject(o);
    {
        std::lock_guard lock(gLiveMutex);
        gLive.insert(item);
    }
    {
        GilRelease release;
        if (VTEngineServices* services = GetEngineServices())
            if (VTSoundManager* sounds = services->SoundManager())
                item->instance = sounds->CreateInstance(name);
    }
    return o;
}

void ReleaseScriptSoundItems()
{
    for (;;) {
        SoundItem* item = nullptr;
        {
            std::lock_guard lock(gLiveMutex);
            if (gLive.empty())
                return;
            item = *gLive.begin();
            gLive.erase(gLive.begin());
        }
        if (item->pyObject)
            if (PyObject* o = item->pyObject->GetObject())
                reinterpret_cast<SoundItemObject*>(o)->item = nullptr;
        DestroyItem(item);
    }
}
