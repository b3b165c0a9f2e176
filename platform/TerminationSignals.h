// SIGTERM and SIGINT as close requests. The first one asks the program to end in order: the window
// system's pump turns it into a close request of the main window, which the application handles
// as it handles the window's close button. A second one ends the process at once (exit code
// 128 + the signal's number), for a program whose orderly end does not come.
#pragma once

namespace Platform {

// Installs the handlers of both signals (again after another library replaced them). Main thread.
void InstallTerminationSignals();
// True once for each signal received and not yet taken; the pump takes them. Any thread.
bool TakeTerminationSignal();
// Whether a termination signal has arrived in this process (stays true). Any thread.
bool TerminationSignalled();

} // namespace Platform
