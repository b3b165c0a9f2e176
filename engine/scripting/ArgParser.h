// Argument conversion for script-facing functions and script values, with the rules the game's
// scripts were written for: "i" int (a float is truncated), "f" double (an int converts), "s" narrow
// text (bytes or str), "u" wide text (str or bytes), "O" any object. ParseScriptArgs also wants the
// item count to match the format and sets a TypeError on failure, as the interpreter's parser would.
#pragma once
#include <initializer_list>
#include <string>
#include <variant>

typedef struct _object PyObject;
class VTPythonObject;

// One out pointer per letter: "O" fills a borrowed PyObject* or a value.
using ScriptArgOut = std::variant<int*, double*, std::string*, std::wstring*, PyObject**, VTPythonObject*>;

// Converts one item for one letter; false when the item does not fit (no error left pending).
bool ConvertScriptArg(char letter, PyObject* item, const ScriptArgOut& out);

bool ParseScriptArgs(PyObject* args, const char* format, std::initializer_list<ScriptArgOut> outs);

// The failure path every script-facing function takes: print the pending error if any, flush the
// runtime's streams, clear the error, and return None (new reference).
PyObject* ScriptArgFailure();
