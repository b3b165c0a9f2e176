// Script values: a reference-counted engine object wrapping one interpreter object together with the
// kind of value it holds. Every operation takes the interpreter lock itself, so values may be used
// from any thread that is allowed to run scripts; once the interpreter has been finalised a value is
// destroyed without touching it.
#pragma once
#include "engine/scripting/ArgParser.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

typedef struct _object PyObject;

// Intrusive count: starts at 1; the holder that brings it to 0 deletes the object.
class VTBaseRefCntr {
public:
    VTBaseRefCntr() = default;
    VTBaseRefCntr(const VTBaseRefCntr&) : refCount(1) {}
    VTBaseRefCntr& operator=(const VTBaseRefCntr&) { return *this; }
    virtual ~VTBaseRefCntr() = default;

    void AddRef() { ++refCount; }
    // Lowers the count; deletes the object and returns true when it reaches 0.
    bool Release()
    {
        if (--refCount == 0) {
            delete this;
            return true;
        }
        return false;
    }
    int32_t RefCount() const { return refCount; }

private:
    int32_t refCount = 1;
};

// Set while the interpreter runs; values release interpreter references only while it is set.
extern std::atomic<bool> gPythonAlive;

class VTPythonObject : public VTBaseRefCntr {
public:
    enum Kind : int32_t {
        kInt = 0,
        kFloat = 1,
        kString = 2,
        kUnicode = 3,
        kList = 4,
        kTuple = 5,
        kDict = 6,
        kCallable = 7,
        kModule = 8,
        kOther = 9,
        kNone = 10,
    };

    // One argument of BuildTuple: "i" int, "f" double, "s" narrow text, "O" a value.
    using TupleArg = std::variant<int, double, const char*, const VTPythonObject*>;
    // One out pointer of Parse: "i" int*, "f" double*, "s" std::string*, "u" std::wstring*, "O" value*.
    using ParseOut = ScriptArgOut;

    VTPythonObject();
    explicit VTPythonObject(PyObject* object); // takes its own interpreter reference
    VTPythonObject(const VTPythonObject& other);
    explicit VTPythonObject(int value);
    explicit VTPythonObject(double value);
    explicit VTPythonObject(const char* text);     // becomes a str (UTF-8, undecodable bytes escaped)
    explicit VTPythonObject(const wchar_t* text);
    ~VTPythonObject() override;

    static VTPythonObject* CreateFromPyObject(PyObject* object);

    Kind GetKind() const { return kind_; }
    PyObject* GetObject() const { return object_; }
    const std::string& GetName() const { return name_; }

    int AsInt() const;                // -10000 for kinds other than int and float
    float AsFloat() const;            // -10000.0 for kinds other than int and float
    double AsDouble() const;          // the same in double precision
    const char* AsString() const;     // narrow text of a string value, else null; valid until the next call
    const wchar_t* AsUnicode() const; // wide text of a string value, else null; valid until the next call
    PyObject* NewRef() const;         // the object with one more interpreter reference, or null

    VTPythonObject* GetAttr(const char* name) const; // new heap value or null
    VTPythonObject* GetModuleDict() const;
    bool GetDictItem(const char* key, VTPythonObject& out) const;
    bool GetListItem(int index, VTPythonObject& out) const;
    bool Parse(const char* format, std::initializer_list<ParseOut> outs) const;
    uint32_t PackColorFromInts() const;
    uint32_t PackColorFromFloats() const;

    VTPythonObject& operator=(const VTPythonObject& other);
    void Clear();
    void MakeList(int size);
    void SetListFloat(int index, float value);
    void SetListUnicode(int index, const wchar_t* text);
    void BuildTuple(const char* format, std::initializer_list<TupleArg> values = {});
    VTPythonObject& Call(VTPythonObject& result, const VTPythonObject* arguments) const;
    // For a caller that holds the interpreter lock already (one lock for a whole callback): the
    // tuple BuildTuple makes, as a new reference (null if it cannot be made), and Call with the
    // result dropped (a script error printed and cleared), false when not callable or it raised.
    static PyObject* NewTupleHeld(const char* format, std::initializer_list<TupleArg> values);
    bool CallHeld(PyObject* arguments) const;
    bool ImportModule(const char* name);
    void AddModule(const char* name);
    bool ReloadModule();
    void SetName(const char* name);
    void SetOwnerModule(VTPythonObject* module) { owner_ = module; }
    void AddFunction(VTPythonObject* function);
    size_t FunctionCount() const { return functions_ ? functions_->size() : 0; }

private:
    void Adopt(PyObject* object); // takes over a new reference and classifies it
    void Share(const VTPythonObject& other);
    void RemoveFunction(VTPythonObject* function);

    std::string name_;
    Kind kind_ = kNone;
    PyObject* object_ = nullptr;
    VTPythonObject* owner_ = nullptr; // module of a fetched function; holds one engine count on it
    std::unique_ptr<std::vector<VTPythonObject*>> functions_; // module values only; holds no references
    mutable std::string narrow_;
    mutable std::wstring wide_;
};

// The host's shared value holding None (null while the interpreter is down).
VTPythonObject* GetSharedNoneValue();
void SetSharedNoneValue(VTPythonObject* value);

// Prints and clears a pending interpreter error (traceback to sys.stderr; an exception that keeps
// repeating as a repeat count, see ScriptErrorReport.h), then flushes the runtime's streams. Takes
// the interpreter lock itself.
void PrintAndClearScriptError();
