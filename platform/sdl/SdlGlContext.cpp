// A window's own OpenGL context through SDL (SDL_GL_CreateContext on a window made with
// SDL_WINDOW_OPENGL), presenting with SDL_GL_SwapWindow. The main loop paces frames itself, so
// the swap does not wait for the vertical blank.
#include "platform/gl/GlContext.h"
#include "platform/gl/GlDriverPin.h"
#include "platform/sdl/SdlMouseScale.h"

#include <SDL.h>

namespace Platform {

namespace {

class SdlGlContext final : public GlContext {
public:
    SdlGlContext(WindowId id, SDL_Window* window, SDL_GLContext context) : id_(id), window_(window), context_(context)
    {
    }
    ~SdlGlContext() override
    {
        ForgetIfCurrent();
        SetWindowMouseScale(id_, 0, 0);
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_GL_DeleteContext(context_);
    }
    bool IsAlive() const override { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetWindowFromID(id_) == window_; }
    bool GetDrawableSize(int32_t& width, int32_t& height) override
    {
        if (!IsAlive())
            return false;
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window_, &w, &h);
        width = w;
        height = h;
        return w > 0 && h > 0;
    }
    bool SwapBuffers() override
    {
        if (!MakeCurrent())
            return false;
        SDL_GL_SwapWindow(window_);
        return true;
    }
    WindowId Window() const override { return id_; }
    void SetShownMode(int32_t width, int32_t height) override { SetWindowMouseScale(id_, width, height); }

protected:
    bool Bind() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }
    void Unbind() override
    {
        if (IsAlive())
            SDL_GL_MakeCurrent(window_, nullptr);
    }

private:
    WindowId id_;
    SDL_Window* window_;
    SDL_GLContext context_;
};

} // namespace

std::shared_ptr<GlContext> CreateWindowGlContext(WindowId window, std::string* reason)
{
    auto fail = [&](const std::string& why) {
        if (reason)
            *reason = why;
        return nullptr;
    };
    SDL_Window* w = SDL_WasInit(SDL_INIT_VIDEO) && window ? SDL_GetWindowFromID(window) : nullptr;
    if (!w)
        return fail("no such window");
    if (!(SDL_GetWindowFlags(w) & SDL_WINDOW_OPENGL))
        return fail("the window takes no OpenGL context (the video driver offers none)");
    ReleaseCurrentGlContext();
    SDL_GLContext context = SDL_GL_CreateContext(w);
    if (!context)
        return fail(std::string("SDL_GL_CreateContext failed: ") + SDL_GetError());
    PinLoadedGlDrivers();
    auto ctx = std::make_shared<SdlGlContext>(window, w, context);
    SDL_GL_MakeCurrent(w, nullptr); // current again through MakeCurrent, which keeps the books
    if (!ctx->MakeCurrent())
        return fail(std::string("SDL_GL_MakeCurrent failed: ") + SDL_GetError());
    SDL_GL_SetSwapInterval(0);
    int major = 0;
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &major);
    if (!SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") && major < 3)
        return fail("OpenGL below 3.0 (no framebuffer objects)");
    return ctx;
}

} // namespace Platform
