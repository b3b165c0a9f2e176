// Keeps the OpenGL driver modules loaded once a context has used them. The window system unloads
// its GL library when the last GL window goes, and Mesa then unloads its driver, whose one-time
// state (kept in the driver's own globals) would go with it and be set up again by the next
// context; tools that look for lost memory at exit also see that state as lost once its module is
// gone. Pinning the driver modules for the life of the process avoids both.
#pragma once

namespace Platform {

// Marks every loaded module of the OpenGL driver (Mesa's "dri" and "gallium" modules) never to be
// unloaded. Cheap to repeat; call after a context has been made.
void PinLoadedGlDrivers();

} // namespace Platform
