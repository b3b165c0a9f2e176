// The Python type "ExtPythonManager" of the engine object: an object whose payload is the script host.
#pragma once

typedef struct _object PyObject;
class VTExtPythonManager;

// New instance with a null host pointer (new reference), or null on failure.
PyObject* NewExtPythonManagerObject();
// The host an engine object points at, or null for anything else.
VTExtPythonManager* EngineObjectHost(PyObject* object);
void SetEngineObjectHost(PyObject* object, VTExtPythonManager* host);
