// The Python types of the script twins: the widget twin types (the ones a parent, child or mask
// argument may be) and the particle-system twin type. Each type object is defined beside its class.
#pragma once

typedef struct _typeobject PyTypeObject;

PyTypeObject& PyCandyWidget3Type();     // "VTPyCandyWidget3"
PyTypeObject& PyParticleSystem3Type();  // "VTPyParticleSystem3"
PyTypeObject& SoundItemType();          // "SoundItem" (not a twin)

// Whether type is one of the widget twin types.
bool IsWidgetTwinType(const PyTypeObject* type);
// Whether type is any twin type (widgets and particle systems).
bool IsScriptTwinType(const PyTypeObject* type);
