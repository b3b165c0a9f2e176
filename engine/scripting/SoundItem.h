// The scripts' sound objects (Python type "SoundItem", made by the engine object's CreateSound):
// one playable instance of a named sound, played with or without a fade-in, paused, resumed,
// faded out, asked whether it plays, and released by the script's Reset (those never reset go when
// the interpreter ends). Without an instance (an unknown name, no sound manager) every method does
// nothing and "play_active" is 0.
#pragma once
#include <string>

typedef struct _object PyObject;

// A new sound item for the sound name (interpreter lock held): its Python object, new reference.
PyObject* CreateSoundItem(const std::string& name);
// Releases every sound item the scripts did not Reset, as Reset would (the interpreter's end: no
// script can reach them any more). Interpreter lock held, before the interpreter is finalised.
void ReleaseScriptSoundItems();
