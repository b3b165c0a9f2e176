// The 3-D renderer as the application uses it: on the OpenGL device (headless EGL context), with
// the application's minimised state, registry, 3-D settings and demo synchronisation behind it.
#pragma once
#include "framework/app/DisplayFactory.h"
#include "framework/display/DisplayRenderer.h"

#include <memory>

namespace Platform {
class Driver3D;
}

namespace Fw {

class AppBase;

// A renderer for app's display (DDInterface::SetRenderer), or null when no OpenGL context can be
// made here: the display then stays in 2-D. app must outlive the renderer.
std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app);
// The display factory for SetDisplayFactory that also attaches CreateD3DRenderer's renderer, so
// the display draws through OpenGL once the capability test passes (2-D without a context).
DisplayFactory D3DDisplayFactory();
// The same on a driver of the caller's choice (e.g. the software reference device).
std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app, std::unique_ptr<Platform::Driver3D> driver);

} // namespace Fw
