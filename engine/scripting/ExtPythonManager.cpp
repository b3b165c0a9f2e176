// Interpreter start-up and shutdown. The interpreter is configured not to read the environment, not
// to install signal handlers and not to write bytecode; the main thread gives up the interpreter lock
// after start-up and every later call takes it through GilGuard.
#include "engine/scripting/ExtPythonManager.h"

#include "engine/core/DebugSettings.h"
#include "engine/scripting/DebugWriter.h"
#include "engine/scripting/EngineObject.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ParticleSystem3.h"
#include "engine/scripting/PyUtils.h"
#include "engine/scripting/SoundItem.h"
#include "engine/scripting/WidgetBrother.h"

#include <Python.h>

VTExtPythonManager* gExtPythonManager = nullptr;

namespace {

void RegisterBuiltinModules()
{
    static bool registered = false;
    if (!registered) {
        PyImport_AppendInittab("py_utils", &PyInit_py_utils);
        registered = true;
    }
}

bool InitializeInterpreter()
{
    PyConfig config;
    PyConfig_InitPythonConfig(&config);
    config.install_signal_handlers = 0;
    config.use_environment = 0;
    config.write_bytecode = 0;
    config.parse_argv = 0;
    config.user_site_directory = 0;
    const PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    return !PyStatus_Exception(status) && Py_IsInitialized();
}

void AppendPath(PyObject* path, const std::string& entry)
{
    PyObject* item = PyUnicode_DecodeFSDefault(entry.c_str());
    if (item) {
        PyList_Append(path, item);
        Py_DECREF(item);
    }
    PyErr_Clear();
}

} // namespace

VTExtPythonManager::VTExtPythonManager(std::string programFolder, ScriptApplication* application)
    : application_(application), programFolder_(std::move(programFolder))
{
}

VTExtPythonManager::~VTExtPythonManager()
{
    if (engineObject_)
        engineObject_->Release();
    engineObject_ = nullptr;
}

bool VTExtPythonManager::Start()
{
    RegisterBuiltinModules();
    if (!InitializeInterpreter()) {
        running_ = false;
        gPythonAlive = false;
        return false;
    }
    // From here on this thread holds the interpreter lock until the end of Start.
    if (gDebugSettings && gDebugSettings->debugMode) {
        debugLog_ = std::fopen("DebugLog.txt", "w");
        logWriter_ = NewDebugWriter("PythonLogFile.txt");
        if (logWriter_) {
            previousStderr_ = PySys_GetObject("stderr"); // borrowed
            Py_XINCREF(previousStderr_);
            PySys_SetObject("stderr", logWriter_);
        }
        PyErr_Clear();
    }
    running_ = true;
    gPythonAlive = true;

    SetSharedNoneValue(new VTPythonObject(Py_None));
    mainModule_ = new VTPythonObject();
    mainModule_->AddModule("__main__");

    // Register py_utils in sys.modules before any script runs.
    if (PyObject* utils = PyImport_ImportModule("py_utils"))
        Py_DECREF(utils);
    PyErr_Clear();

    if (PyObject* path = PySys_GetObject("path")) { // borrowed
        std::string base = programFolder_;
        if (!base.empty() && base.back() != '/')
            base += '/';
        AppendPath(path, base + "prog.dat");
        AppendPath(path, base + "prog.dat/lib");
    }
    // Twins may be made on worker threads: their types are made ready here, once, first.
    ReadyScriptTwinTypes();
    mainThreadState_ = PyEval_SaveThread();
    return running_;
}

bool VTExtPythonManager::Finalize()
{
    if (!running_)
        return true;
    PyEval_RestoreThread(mainThreadState_);
    mainThreadState_ = nullptr;
    // Particle systems and sound items the scripts made and never reset end with them.
    ReleaseScriptParticleSystems();
    ReleaseScriptSoundItems();
    if (previousStderr_) {
        PySys_SetObject("stderr", previousStderr_);
        Py_DECREF(previousStderr_);
        previousStderr_ = nullptr;
    }
    Py_CLEAR(logWriter_);
    if (debugLog_) {
        std::fclose(debugLog_);
        debugLog_ = nullptr;
    }
    if (engineObject_) {
        engineObject_->Release();
        engineObject_ = nullptr;
    }
    if (VTPythonObject* none = GetSharedNoneValue()) {
        SetSharedNoneValue(nullptr);
        none->Release();
    }
    if (mainModule_) {
        mainModule_->Release();
        mainModule_ = nullptr;
    }
    // Values still alive after this point are destroyed without touching the interpreter.
    gPythonAlive = false;
    Py_FinalizeEx();
    running_ = false;
    return true;
}

VTPythonObject* VTExtPythonManager::ImportModule(const char* name)
{
    auto* module = new VTPythonObject();
    if (!module->ImportModule(name)) {
        module->Release();
        return nullptr;
    }
    return module;
}

bool VTExtPythonManager::ReloadModule(VTPythonObject* module)
{
    if (!module || module->GetKind() != VTPythonObject::kModule)
        return false;
    return module->ReloadModule();
}

VTPythonObject* VTExtPythonManager::GetFunction(VTPythonObject* module, const char* name)
{
    if (!module)
        return nullptr;
    VTPythonObject* value = module->GetAttr(name);
    if (!value)
        return nullptr;
    if (value->GetKind() != VTPythonObject::kCallable) {
        value->Release();
        return nullptr;
    }
    value->SetName(name);
    module->AddFunction(value); // the function holds one count on its module
    value->SetOwnerModule(module);
    return value;
}

VTPythonObject* VTExtPythonManager::GetEngineObject()
{
    GilGuard gil;
    if (!gil.Held())
        return nullptr;
    if (!engineObject_) {
        PyObject* object = NewExtPythonManagerObject();
        if (!object) {
            PyErr_Clear();
            return nullptr;
        }
        SetEngineObjectHost(object, this);
        engineObject_ = VTPythonObject::CreateFromPyObject(object);
        Py_DECREF(object);
    }
    return engineObject_;
}

bool StartInterpreter(const std::string& programFolder, ScriptApplication* application)
{
    gExtPythonManager = new VTExtPythonManager(programFolder, application);
    return gExtPythonManager->Start();
}

void DestroyInterpreter()
{
    if (!gExtPythonManager)
        return;
    gExtPythonManager->Finalize();
    delete gExtPythonManager;
    gExtPythonManager = nullptr;
}
