// Argument-tuple parsing for script-facing functions, with the rules the game's scripts were written
// for: "i" int (a float is truncated), "f" double (an int converts), "s" narrow text (bytes or str),
// "u" wide text (str or bytes), "O" any object (borrowed). The item count must match the format.
// On failure a TypeError is set, as the interpreter's own parser would.
#pragma once
#include <initializer_list>
#include <string>
#include <variant>

typedef struct _object PyObject;

using ScriptArgOut = std::variant<int*, double*, std::string*, std::wstring*, PyObject**>;

bool ParseScriptArgs(PyObject* args, const char* format, std::initializer_list<ScriptArgOut> outs);

// The failure path every script-facing function takes: print the pending error if any, flush the
// runtime's streams, clear the error, and return None (new reference).
PyObject* ScriptArgFailure();
