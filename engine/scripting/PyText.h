// Text between the engine and the interpreter. Narrow engine text is UTF-8; bytes that are not
// UTF-8 travel as escaped surrogates, so any byte sequence round-trips through a str.
#pragma once
#include <Python.h>

#include <string>

// Narrow text of a bytes or str object; false (no error pending) for anything else.
bool PyNarrowText(PyObject* object, std::string& out);
// Wide text of a str or bytes (UTF-8) object; false (no error pending) for anything else.
bool PyWideText(PyObject* object, std::wstring& out);
// New str from narrow engine text.
PyObject* PyStrFromNarrow(const char* text);
