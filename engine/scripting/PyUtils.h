// The module py_utils: logging, window title, reading files through the archive layer, time marks
// and the debug-settings flags, for every script.
#pragma once

typedef struct _object PyObject;

// Module initialiser registered with the interpreter before it starts.
PyObject* PyInit_py_utils();

// Resets the module's process-wide state (quiet-exit flag; the last time mark becomes now, as at
// the program's start). For tests.
void ResetPyUtilsState();
