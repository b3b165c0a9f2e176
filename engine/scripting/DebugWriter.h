// A file-like object for sys.stderr in debug mode: every write goes unbuffered to a log file and to
// the debugger output.
#pragma once

typedef struct _object PyObject;

// New writer appending to fileName (truncated first), or null when the file cannot be opened.
PyObject* NewDebugWriter(const char* fileName);
