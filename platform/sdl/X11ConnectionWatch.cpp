// Xlib's I/O error handler: the one place that includes Xlib. A handler that returns makes Xlib
// call exit(), so this one never returns.
#include "platform/sdl/X11ConnectionWatch.h"
#include "platform/DebugOutput.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace Platform {
namespace {

int OnIoError(Display* display)
{
    const int error = errno;
    const char* name = display ? DisplayString(display) : nullptr;
    std::string line = "The connection to the X display ";
    line += (name && *name) ? name : "(unnamed)";
    line += " was lost (";
    line += error ? std::strerror(error) : "the server closed it";
    line += "): the program ends at once with exit code " + std::to_string(kDisplayLostExitCode) + ".\n";
    OutputDebugText(line);
    std::fflush(nullptr);
    ::_exit(kDisplayLostExitCode);
}

} // namespace

void WatchX11Connection() { XSetIOErrorHandler(&OnIoError); }

} // namespace Platform
