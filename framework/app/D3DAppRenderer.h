// The 3-D renderer as the application uses it: on the OpenGL device (the window's own context, or the
// headless one), with the application's minimised state, registry, 3-D settings and demo sync behind it.
#pragma once
#include "framework/app/DisplayFactory.h"
#include "framework/display/DisplayRenderer.h"

#include <memory>

namespace Platform {
class Driver3D;
}

namespace Fw {

class AppBase;

// A renderer for app's display (DDInterface::SetRenderer) on the OpenGL driver: its capability
// test fails, and the display stays in 2-D, when no OpenGL context can be made here or the
// renderer draws in software (unless 3-D was asked for). app must outlive the renderer.
std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app);
// The display factory for SetDisplayFactory that also attaches CreateD3DRenderer's renderer, so
// the display draws through OpenGL, into the window's own context, once the capability test passes.
DisplayFactory D3DDisplayFactory();
// The same on a driver of the caller's choice (e.g. the software reference device).
std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app, std::unique_ptr<Platform::Driver3D> driver);

} // namespace Fw
