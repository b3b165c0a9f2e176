// The end of the program when the X display connection is lost (the X server ended or the
// connection broke). Xlib's own handler calls exit(), whose static destructors call back into the
// dead connection (SDL's shutdown among them) and never return; this one writes one line to the
// debugger output and ends the process at once with kDisplayLostExitCode. Main thread.
#pragma once

namespace Platform {

inline constexpr int kDisplayLostExitCode = 1;

// Installs the handler; called once SDL's video runs on its X11 driver.
void WatchX11Connection();

} // namespace Platform
