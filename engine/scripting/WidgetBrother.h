// The link between an engine object that scripts made and its Python twin: the twin object (a
// Python object pointing back at the engine object, null once the engine object is gone), the
// script object the engine object was made for, the per-frame "update_fn", the name given by
// AddWidget, and the attribute dispatch every twin type shares ("debug", "update_fn", then the
// class's attributes, then its methods). The attributes every widget twin has are here too.
// Reference counts: the engine object holds one reference to its twin object and one to its script
// object for its whole life; scripts hold their own. Neither side ever frees the other: the twin
// object's deallocation only frees the Python object, and an engine object going away (Reset, or
// its owner deleting it) clears the twin's pointer.
// Locks: the class attribute operations and CallUpdateFn run without the interpreter lock (script
// values take it themselves), so engine locks may be taken inside them.
#pragma once
#include "engine/scripting/PythonObject.h"

#include <string>

class VTCandyWidget;
typedef struct _object PyObject;
typedef struct _typeobject PyTypeObject;
struct PyMethodDef;

class VTPyWidgetBrotherInterface {
public:
    // Keeps a reference to scriptObject (may be null: None).
    explicit VTPyWidgetBrotherInterface(PyObject* scriptObject);
    // Clears the twin object's pointer, then drops the twin object, the script object and update_fn.
    virtual ~VTPyWidgetBrotherInterface();
    VTPyWidgetBrotherInterface(const VTPyWidgetBrotherInterface&) = delete;
    VTPyWidgetBrotherInterface& operator=(const VTPyWidgetBrotherInterface&) = delete;

    // The class's own attribute read: fills out and returns true when name is one of them.
    virtual bool GetClassAttr(VTPythonObject& out, const char* name) = 0;
    // The class's own attribute write: true when it took name.
    virtual bool SetClassAttr(const VTPythonObject& value, const char* name) = 0;
    // Destroys the whole engine object this interface is part of (detached from everything first).
    virtual void DestroyTwin() = 0;
    // The widget this twin stands for; null when it is not a widget (a particle system).
    virtual VTCandyWidget* TwinWidget() { return nullptr; }

    // Per-frame callback: update_fn(frame milliseconds as a float) when it is set, skipped while the
    // engine's "esc_menu_active" is set unless widget or one of its ancestors is a menu root. Main
    // thread, without the interpreter lock and without the script lock.
    void CallUpdateFn(VTCandyWidget* widget);

    // Makes the twin object of type pointing at this and keeps it (interpreter lock held). Returns a
    // new reference for the caller, or null with an error set.
    PyObject* MakeTwinObject(PyTypeObject& type);
    // The twin object (borrowed), or null before MakeTwinObject.
    PyObject* TwinObject() const;
    const std::string& Uid() const { return uid_; }
    void SetUid(const std::string& uid) { uid_ = uid; }
    bool IsDebug() const { return debug_; }
    bool IsMenuRoot() const { return menuRoot_; }
    void SetMenuRoot() { menuRoot_ = true; }
    const VTPythonObject& ScriptObject() const { return scriptObject_; }

private:
    friend struct TwinAccess;

    std::string uid_;
    bool debug_ = false;
    bool menuRoot_ = false;
    VTPythonObject updateFn_;
    VTPythonObject* ownObject_ = nullptr; // wraps the twin object: the lasting reference
    VTPythonObject scriptObject_;
};

// A static twin type named name with methods (terminated by an empty row): payload the brother
// pointer, attribute access through it, deallocation that frees only the Python object.
PyTypeObject MakeTwinType(const char* name, PyMethodDef* methods);
// The brother of a twin object of any twin type (null after Reset); null for anything else.
VTPyWidgetBrotherInterface* TwinBrother(PyObject* object);
// Whether object is a twin of one of the widget twin types (the types whose objects can be
// parents, children and masks).
bool IsWidgetTwin(PyObject* object);
// The widget of a widget twin; null for anything else and after Reset.
VTCandyWidget* WidgetOfTwin(PyObject* object);
// Makes every twin type, the sound item type and the particle type ready. Interpreter start-up,
// under the interpreter lock, before any script runs.
void ReadyScriptTwinTypes();

// The attributes every widget twin shares. Without the interpreter lock.
bool GetCandyWidgetAttr(VTCandyWidget& widget, VTPythonObject& out, const char* name);
bool SetCandyWidgetAttr(VTCandyWidget& widget, VTPyWidgetBrotherInterface& brother, const VTPythonObject& value,
                        const char* name);
