// What the effect functions ask of the application they run in: the lock of all mouse input by a
// full-screen root dialog and its release. The engine's application object installs itself when it
// is made and removes itself before it goes; without one the functions do nothing. Main thread.
#pragma once

class VTEffectHost {
public:
    virtual ~VTEffectHost() = default;
    // The root dialog to the front of the top-level widgets and visible: it then takes all mouse input.
    virtual void WidgetsLock() = 0;
    // The root dialog invisible again.
    virtual void WidgetsUnlock() = 0;
};

// The installed host, or null.
VTEffectHost* GetEffectHost();
// Installs host (null removes it); returns the one installed before.
VTEffectHost* SetEffectHost(VTEffectHost* host);
