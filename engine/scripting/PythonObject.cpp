// Script values over the Python 3.11 C API. The engine's narrow strings are bytes when they come from
// a script and str when the engine makes them (UTF-8 with surrogateescape, so any byte sequence
// round-trips); every text reader accepts both.
#include "engine/scripting/PythonObject.h"
#include "engine/scripting/ScriptErrorReport.h"

#include "engine/scripting/GilGuard.h"
#include "engine/scripting/PyText.h"
#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstring>

std::atomic<bool> gPythonAlive{false};

namespace {

VTPythonObject* gSharedNone = nullptr;

// An int outside 32 bits was a "long" to the original scripts: it is the "other" kind.
bool FitsInt32(PyObject* o)
{
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
    if (overflow != 0 || (v == -1 && PyErr_Occurred())) {
        PyErr_Clear();
        return false;
    }
    return v >= INT32_MIN && v <= INT32_MAX;
}

VTPythonObject::Kind Classify(PyObject* o)
{
    // Later tests win: a callable list subclass is a list.
    VTPythonObject::Kind kind = VTPythonObject::kOther;
    if (PyLong_Check(o) && FitsInt32(o))
        kind = VTPythonObject::kInt;
    if (PyFloat_Check(o))
        kind = VTPythonObject::kFloat;
    if (PyBytes_Check(o))
        kind = VTPythonObject::kString;
    if (PyUnicode_Check(o))
        kind = VTPythonObject::kUnicode;
    if (PyTuple_Check(o))
        kind = VTPythonObject::kTuple;
    if (PyCallable_Check(o))
        kind = VTPythonObject::kCallable;
    if (PyModule_Check(o))
        kind = VTPythonObject::kModule;
    if (o == Py_None)
        kind = VTPythonObject::kNone;
    if (PyDict_Check(o))
        kind = VTPythonObject::kDict;
    if (PyList_Check(o))
        kind = VTPythonObject::kList;
    return kind;
}

} // namespace

bool PyNarrowText(PyObject* o, std::string& out)
{
    if (PyBytes_Check(o)) {
        out.assign(PyBytes_AS_STRING(o), size_t(PyBytes_GET_SIZE(o)));
        return true;
    }
    if (PyUnicode_Check(o)) {
        PyObject* b = PyUnicode_AsEncodedString(o, "utf-8", "surrogateescape");
        if (!b) {
            PyErr_Clear();
            return false;
        }
        out.assign(PyBytes_AS_STRING(b), size_t(PyBytes_GET_SIZE(b)));
        Py_DECREF(b);
        return true;
    }
    return false;
}

bool PyWideText(PyObject* o, std::wstring& out)
{
    PyObject* u = nullptr;
    if (PyUnicode_Check(o)) {
        u = o;
        Py_INCREF(u);
    } else if (PyBytes_Check(o)) {
        u = PyUnicode_DecodeUTF8(PyBytes_AS_STRING(o), PyBytes_GET_SIZE(o), "surrogateescape");
    }
    if (!u) {
        PyErr_Clear();
        return false;
    }
    Py_ssize_t size = 0;
    wchar_t* w = PyUnicode_AsWideCharString(u, &size);
    Py_DECREF(u);
    if (!w) {
        PyErr_Clear();
        return false;
    }
    out.assign(w, size_t(size));
    PyMem_Free(w);
    return true;
}

PyObject* PyStrFromNarrow(const char* text)
{
    return PyUnicode_DecodeUTF8(text, Py_ssize_t(std::strlen(text)), "surrogateescape");
}

VTPythonObject* GetSharedNoneValue() { return gSharedNone; }
void SetSharedNoneValue(VTPythonObject* value) { gSharedNone = value; }

void PrintAndClearScriptError()
{
    GilGuard gil;
    if (!gil.Held())
        return;
    ReportScriptException();
    std::fflush(nullptr);
    PyErr_Clear();
}

VTPythonObject::VTPythonObject() = default;

VTPythonObject::VTPythonObject(PyObject* object)
{
    if (!object)
        return;
    GilGuard gil;
    Py_INCREF(object);
    Adopt(object);
}

VTPythonObject::VTPythonObject(const VTPythonObject& other) : VTBaseRefCntr(other)
{
    GilGuard gil;
    Share(other);
}

VTPythonObject::VTPythonObject(int value)
{
    GilGuard gil;
    if (gil.Held()) {
        object_ = PyLong_FromLong(value);
        kind_ = kInt;
    }
}

VTPythonObject::VTPythonObject(double value)
{
    GilGuard gil;
    if (gil.Held()) {
        object_ = PyFloat_FromDouble(value);
        kind_ = kFloat;
    }
}

VTPythonObject::VTPythonObject(const char* text)
{
    GilGuard gil;
    if (gil.Held() && text) {
        object_ = PyStrFromNarrow(text);
        kind_ = object_ ? kString : kNone;
    }
}

VTPythonObject::VTPythonObject(const wchar_t* text)
{
    GilGuard gil;
    if (gil.Held() && text) {
        object_ = PyUnicode_FromWideChar(text, Py_ssize_t(std::wcslen(text)));
        kind_ = object_ ? kUnicode : kNone;
    }
}

VTPythonObject::~VTPythonObject() { Clear(); }

VTPythonObject* VTPythonObject::CreateFromPyObject(PyObject* object) { return new VTPythonObject(object); }

void VTPythonObject::Adopt(PyObject* object)
{
    object_ = object;
    kind_ = object ? Classify(object) : kNone;
}

void VTPythonObject::Share(const VTPythonObject& other)
{
    if (other.object_ && gPythonAlive)
        Py_INCREF(other.object_);
    object_ = gPythonAlive ? other.object_ : nullptr;
    kind_ = object_ ? other.kind_ : kNone;
}

int VTPythonObject::AsInt() const
{
    GilGuard gil;
    if (!object_ || !gil.Held())
        return -10000;
    if (kind_ == kInt)
        return int(PyLong_AsLong(object_));
    if (kind_ == kFloat)
        return int(PyFloat_AsDouble(object_)); // truncates toward zero
    return -10000;
}

float VTPythonObject::AsFloat() const { return float(AsDouble()); }

double VTPythonObject::AsDouble() const
{
    GilGuard gil;
    if (!object_ || !gil.Held())
        return -10000.0;
    if (kind_ == kFloat)
        return PyFloat_AsDouble(object_);
    if (kind_ == kInt)
        return double(PyLong_AsLong(object_));
    return -10000.0;
}

const char* VTPythonObject::AsString() const
{
    GilGuard gil;
    if (!object_ || !gil.Held() || (kind_ != kString && kind_ != kUnicode))
        return nullptr;
    return PyNarrowText(object_, narrow_) ? narrow_.c_str() : nullptr;
}

const wchar_t* VTPythonObject::AsUnicode() const
{
    GilGuard gil;
    if (!object_ || !gil.Held() || (kind_ != kString && kind_ != kUnicode))
        return nullptr;
    return PyWideText(object_, wide_) ? wide_.c_str() : nullptr;
}

PyObject* VTPythonObject::NewRef() const
{
    GilGuard gil;
    if (!object_ || !gil.Held())
        return nullptr;
    Py_INCREF(object_);
    return object_;
}

VTPythonObject* VTPythonObject::GetAttr(const char* name) const
{
    GilGuard gil;
    if (!gil.Held())
        return nullptr;
    if (!object_) {
        if (gSharedNone)
            gSharedNone->AddRef();
        return gSharedNone;
    }
    PyObject* attr = PyObject_GetAttrString(object_, name);
    if (!attr) {
        if (PyErr_Occurred())
            PyErr_Clear();
        return nullptr;
    }
    auto* value = new VTPythonObject();
    value->Adopt(attr); // takes over the reference the lookup returned
    return value;
}

VTPythonObject* VTPythonObject::GetModuleDict() const
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kModule || !object_)
        return nullptr;
    PyObject* dict = PyModule_GetDict(object_); // borrowed
    if (!dict) {
        PyErr_Clear();
        return nullptr;
    }
    return CreateFromPyObject(dict);
}

bool VTPythonObject::GetDictItem(const char* key, VTPythonObject& out) const
{
    GilGuard gil;
    if (!gil.Held() || (kind_ != kDict && kind_ != kOther) || !object_ || !PyDict_Check(object_))
        return false;
    PyObject* item = PyDict_GetItemString(object_, key); // borrowed; null when absent
    out = VTPythonObject(item);
    return true;
}

bool VTPythonObject::GetListItem(int index, VTPythonObject& out) const
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kList || !object_)
        return false;
    // Negative indices are refused here rather than left to the list access.
    if (index < 0 || index >= PyList_Size(object_))
        return false;
    out = VTPythonObject(PyList_GetItem(object_, index));
    return true;
}

namespace {

bool IsParseLetter(char c) { return c == 'i' || c == 'f' || c == 's' || c == 'u' || c == 'O'; }

} // namespace

bool VTPythonObject::Parse(const char* format, std::initializer_list<ParseOut> outs) const
{
    GilGuard gil;
    if (!gil.Held() || !object_)
        return false;
    const size_t n = std::strlen(format);
    auto next = outs.begin();
    if (kind_ == kTuple || n != 1) {
        if (!PyTuple_Check(object_) || Py_ssize_t(n) > PyTuple_Size(object_))
            return false;
        for (size_t i = 0; i < n; ++i) {
            if (!IsParseLetter(format[i]))
                continue;
            if (next == outs.end())
                return false;
            if (!ConvertScriptArg(format[i], PyTuple_GetItem(object_, Py_ssize_t(i)), *next++))
                return false;
        }
        return true;
    }
    if (!IsParseLetter(format[0]) || next == outs.end())
        return false;
    if (format[0] == 'O') {
        auto* p = std::get_if<VTPythonObject*>(&*next);
        if (!p)
            return false;
        **p = *this;
        return true;
    }
    // A single value converts by its own kind.
    const bool numeric = kind_ == kInt || kind_ == kFloat;
    const bool text = kind_ == kString || kind_ == kUnicode;
    if ((format[0] == 'i' || format[0] == 'f') && !numeric)
        return false;
    if ((format[0] == 's' || format[0] == 'u') && !text)
        return false;
    return ConvertScriptArg(format[0], object_, *next);
}

uint32_t VTPythonObject::PackColorFromInts() const
{
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        VTPythonObject item;
        const int v = GetListItem(i, item) ? item.AsInt() : -10000;
        word = (word << 8) | uint32_t(v); // not clamped: callers pass 0..255
    }
    return word;
}

uint32_t VTPythonObject::PackColorFromFloats() const
{
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        VTPythonObject item;
        const float f = GetListItem(i, item) ? item.AsFloat() : -10000.0f;
        const int64_t v = int64_t(double(f) * 255.0);
        word = (word << 8) | uint32_t(v);
    }
    return word;
}

VTPythonObject& VTPythonObject::operator=(const VTPythonObject& other)
{
    if (this == &other)
        return *this;
    GilGuard gil;
    // Take the new reference before dropping the old one: other may be owned by this value's object.
    PyObject* keep = nullptr;
    if (gil.Held() && other.object_) {
        keep = other.object_;
        Py_INCREF(keep);
    }
    const Kind kind = other.kind_;
    Clear();
    object_ = keep;
    kind_ = keep ? kind : kNone;
    return *this;
}

void VTPythonObject::Clear()
{
    GilGuard gil;
    if (owner_) {
        VTPythonObject* owner = owner_;
        owner_ = nullptr;
        owner->RemoveFunction(this);
        owner->Release();
    }
    if (object_ && gil.Held())
        Py_DECREF(object_);
    object_ = nullptr;
    functions_.reset();
    name_.clear();
    kind_ = kNone;
}

void VTPythonObject::MakeList(int size)
{
    GilGuard gil;
    Clear();
    if (!gil.Held() || size < 0)
        return;
    object_ = PyList_New(size);
    if (!object_) {
        PyErr_Clear();
        return;
    }
    // Items start as None: a script must never see an unset slot.
    for (int i = 0; i < size; ++i) {
        Py_INCREF(Py_None);
        PyList_SET_ITEM(object_, i, Py_None);
    }
    kind_ = kList;
}

void VTPythonObject::SetListFloat(int index, float value)
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kList || !object_ || index < 0 || index >= PyList_Size(object_))
        return;
    PyList_SetItem(object_, index, PyFloat_FromDouble(value));
}

void VTPythonObject::SetListUnicode(int index, const wchar_t* text)
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kList || !object_ || !text || index < 0 || index >= PyList_Size(object_))
        return;
    PyList_SetItem(object_, index, PyUnicode_FromWideChar(text, Py_ssize_t(std::wcslen(text))));
}

void VTPythonObject::BuildTuple(const char* format, std::initializer_list<TupleArg> values)
{
    GilGuard gil;
    Clear();
    if (!gil.Held())
        return;
    object_ = NewTupleHeld(format, values);
    kind_ = object_ ? kTuple : kNone;
}

PyObject* VTPythonObject::NewTupleHeld(const char* format, std::initializer_list<TupleArg> values)
{
    const size_t n = std::strlen(format);
    PyObject* tuple = PyTuple_New(Py_ssize_t(n));
    if (!tuple) {
        PyErr_Clear();
        return nullptr;
    }
    auto next = values.begin();
    for (size_t p = 0; p < n; ++p) {
        PyObject* item = nullptr;
        const char letter = format[p];
        if ((letter == 'i' || letter == 'f' || letter == 's' || letter == 'O') && next != values.end()) {
            const TupleArg& v = *next++;
            if (letter == 'i') {
                if (auto* i = std::get_if<int>(&v))
                    item = PyLong_FromLong(*i);
                else if (auto* d = std::get_if<double>(&v))
                    item = PyLong_FromLong(long(*d));
            } else if (letter == 'f') {
                if (auto* d = std::get_if<double>(&v))
                    item = PyFloat_FromDouble(*d);
                else if (auto* i = std::get_if<int>(&v))
                    item = PyFloat_FromDouble(*i);
            } else if (letter == 's') {
                if (auto* s = std::get_if<const char*>(&v); s && *s)
                    item = PyStrFromNarrow(*s);
            } else if (auto* o = std::get_if<const VTPythonObject*>(&v); o && *o) {
                item = (*o)->NewRef();
            }
        }
        // A position without a value holds None rather than an unset slot the script could crash on.
        if (!item) {
            Py_INCREF(Py_None);
            item = Py_None;
        }
        PyTuple_SET_ITEM(tuple, Py_ssize_t(p), item);
    }
    return tuple;
}

bool VTPythonObject::CallHeld(PyObject* arguments) const
{
    if (kind_ != kCallable || !object_)
        return false;
    PyObject* ret = PyObject_CallObject(object_, arguments);
    if (!ret) {
        PrintAndClearScriptError();
        return false;
    }
    Py_DECREF(ret);
    return true;
}

VTPythonObject& VTPythonObject::Call(VTPythonObject& result, const VTPythonObject* arguments) const
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kCallable || !object_) {
        result = VTPythonObject(0);
        return result;
    }
    PyObject* ret = PyObject_CallObject(object_, arguments ? arguments->object_ : nullptr);
    if (!ret) {
        PrintAndClearScriptError();
        result.Clear();
        return result;
    }
    result.Clear();
    result.Adopt(ret);
    return result;
}

bool VTPythonObject::ImportModule(const char* name)
{
    GilGuard gil;
    Clear();
    if (!gil.Held())
        return false;
    PyObject* module = PyImport_ImportModule(name);
    if (!module) {
        PrintAndClearScriptError();
        return false;
    }
    object_ = module;
    kind_ = kModule;
    functions_ = std::make_unique<std::vector<VTPythonObject*>>();
    return true;
}

void VTPythonObject::AddModule(const char* name)
{
    GilGuard gil;
    Clear();
    if (!gil.Held())
        return;
    PyObject* module = PyImport_AddModule(name); // borrowed
    if (!module) {
        PyErr_Clear();
        return;
    }
    Py_INCREF(module);
    object_ = module;
    kind_ = kModule;
    functions_ = std::make_unique<std::vector<VTPythonObject*>>();
}

bool VTPythonObject::ReloadModule()
{
    GilGuard gil;
    if (!gil.Held() || kind_ != kModule || !object_)
        return false;
    PyObject* reloaded = PyImport_ReloadModule(object_);
    Py_DECREF(object_);
    object_ = reloaded;
    if (!reloaded) {
        PrintAndClearScriptError();
        return false;
    }
    if (!functions_)
        return false;
    // Clearing a missing function removes it from the list: walk a copy.
    const std::vector<VTPythonObject*> functions = *functions_;
    for (VTPythonObject* f : functions) {
        VTPythonObject* fresh = GetAttr(f->name_.c_str());
        if (fresh && fresh->object_) {
            Py_INCREF(fresh->object_);
            Py_XDECREF(f->object_);
            f->object_ = fresh->object_;
        } else {
            Platform::OutputDebugStringA("Function not found\n");
            f->Clear();
        }
        if (fresh)
            fresh->Release();
    }
    return false;
}

void VTPythonObject::SetName(const char* name)
{
    // The name field holds 255 characters; longer names are cut.
    name_.assign(name ? name : "");
    if (name_.size() > 255)
        name_.resize(255);
}

void VTPythonObject::AddFunction(VTPythonObject* function)
{
    if (!functions_)
        functions_ = std::make_unique<std::vector<VTPythonObject*>>();
    functions_->push_back(function);
    AddRef();
}

void VTPythonObject::RemoveFunction(VTPythonObject* function)
{
    if (!functions_)
        return;
    std::erase(*functions_, function);
}
