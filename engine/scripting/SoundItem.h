// The scripts' sound objects (Python type "SoundItem", made by the engine object's CreateSound):
// one playable instance of a named sound, played with or without a fade-in, paused, resumed,
// faded out, asked whether it plays, and released by the script's Reset. Without an instance (an
// unknown name, no sound manager) every method does nothing and "play_active" is 0.
#pragma once
#include <string>

typedef struct _object PyObject;

// A new sound item for the sound name (interpreter lock held): its Python object, new reference.
PyObject* CreateSoundItem(const std::string& name);
