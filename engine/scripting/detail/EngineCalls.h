// Shared by the engine object's attribute code and its methods: how a script call reaches the
// engine. Each call gives up the interpreter lock before it touches the engine, so engine locks are
// never taken under it (lock order: engine locks, then the interpreter lock).
#pragma once
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"

#include <mutex>


namespace EngineCalls {

// Serialises the scripts' use of the profile store: scripts call in from the start-up worker, the
// level-load thread and the main thread.
std::mutex& ProfileLock();

// Runs fn(services) without the interpreter lock; nothing when no engine is there. The calling
// thread must hold the interpreter lock (a function called from a script).
template <class Fn>
void Unlocked(Fn&& fn)
{
    GilRelease release;
    if (VTEngineServices* services = GetEngineServices())
        fn(*services);
}

// Runs fn(store) without the interpreter lock and under the profile lock; nothing when no engine
// or no profile store is there. Same calling thread as Unlocked.
template <class Fn>
void WithProfiles(Fn&& fn)
{
    Unlocked([&](VTEngineServices& services) {
        if (VTProfileStore* store = services.ProfileStore()) {
            std::lock_guard lock(ProfileLock());
            fn(*store);
        }
    });
}

// The engine object's method table (terminated by an empty row).
PyMethodDef* MethodTable();

// The widget and sound methods (EngineObjectWidgets.cpp).
PyObject* CreateWidget(PyObject* self, PyObject* args);
PyObject* CreateText(PyObject* self, PyObject* args);
PyObject* CreateEdit(PyObject* self, PyObject* args);
PyObject* CreateListbox(PyObject* self, PyObject* args);
PyObject* CreateCheckbox(PyObject* self, PyObject* args);
PyObject* CreateSlider(PyObject* self, PyObject* args);
PyObject* AddWidget(PyObject* self, PyObject* args);
PyObject* RemoveWidget(PyObject* self, PyObject* args);
PyObject* CreateSound(PyObject* self, PyObject* args);
// The attribute "mouse_widget": the twin of the widget under the mouse, or None (new reference).
PyObject* MouseWidgetTwin();

} // namespace EngineCalls
