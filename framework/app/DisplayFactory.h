// How the application object gets its display: a factory installed with SetDisplayFactory makes
// it for the application; without one (or when it makes nothing) StubDisplay stands in.
#pragma once
#include "framework/display/AppDisplay.h"

#include <functional>
#include <memory>

namespace Fw {

class AppBase;

using DisplayFactory = std::function<std::unique_ptr<AppDisplay>(AppBase& app)>;
// Installs the factory CreateMainWindow uses; an empty one restores StubDisplay. Returns the old one.
DisplayFactory SetDisplayFactory(DisplayFactory factory);
std::unique_ptr<AppDisplay> CreateDisplay(AppBase& app);
// The DirectDraw-style display (DDInterface) on the application's settings, 2-D only.
DisplayFactory DDDisplayFactory();

} // namespace Fw
