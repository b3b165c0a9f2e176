// The OpenGL contexts the 3-D device draws in: the process's headless one (EGL surfaceless Mesa,
// for tests and runs without a window) and a window's own (made by the window system, presenting
// with a buffer swap). At most one context is current per thread; making one current releases the
// other first (GLX and EGL refuse a context while the other API has one current). All contexts
// are used on the main thread only.
#pragma once
#include "platform/WindowMessages.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Platform {

class GlContext {
public:
    virtual ~GlContext();
    GlContext() = default;
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // Makes the context current on the calling thread; false when it is gone (its window was
    // destroyed: its objects went with it, so callers skip deleting them).
    bool MakeCurrent();
    virtual bool IsAlive() const { return true; }
    // A window context's drawable in pixels; false for a headless context.
    virtual bool GetDrawableSize(int32_t& width, int32_t& height)
    {
        (void)width;
        (void)height;
        return false;
    }
    // Shows the back buffer (window contexts); false for a headless context.
    virtual bool SwapBuffers() { return false; }
    // The screen mode's size as shown in the window (mouse positions are mapped into it).
    virtual void SetShownMode(int32_t width, int32_t height)
    {
        (void)width;
        (void)height;
    }
    // The window it belongs to (0: headless).
    virtual WindowId Window() const { return 0; }
    // GL_RENDERER ("" when the context cannot be made current).
    std::string RendererName();
    // A 1 x 1 white texture of this context (for enabled stages without a texture).
    uint32_t WhiteTexture();

protected:
    friend void ReleaseCurrentGlContext();
    virtual bool Bind() = 0;
    virtual void Unbind() = 0;
    // Called by subclasses' destructors before they destroy the context.
    void ForgetIfCurrent();

private:
    uint32_t white_ = 0;
};

// Releases whatever context the thread has current (before another API makes its own current).
void ReleaseCurrentGlContext();

// The process's headless context, made once on first use; null with the reason when it cannot be
// made (no EGL, no surfaceless platform, no OpenGL API, OpenGL below 3.0).
std::shared_ptr<GlContext> HeadlessGlContext(std::string* reason = nullptr);

// A context of the window, which must have been made able to take one (the window system makes
// its windows so when the video driver offers OpenGL); null with the reason otherwise. Main thread.
std::shared_ptr<GlContext> CreateWindowGlContext(WindowId window, std::string* reason = nullptr);

} // namespace Platform
