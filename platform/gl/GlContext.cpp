// Context switching and the headless EGL context (Mesa surfaceless platform).
#define EGL_EGLEXT_PROTOTYPES 1
#include "platform/gl/GlContext.h"
#include "platform/gl/GlDriverPin.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <mutex>

namespace Platform {

namespace {

// The context current on the main thread (contexts are used there only).
GlContext* gCurrent = nullptr;

class EglHeadlessContext final : public GlContext {
public:
    std::string reason;
    bool ok = false;

    EglHeadlessContext() { Make(); }

protected:
    bool Bind() override { return ok && eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_); }
    void Unbind() override { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

private:
    void Make()
    {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay) {
            reason = "EGL has no eglGetPlatformDisplayEXT";
            return;
        }
        display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor)) {
            reason = "EGL surfaceless Mesa platform unavailable";
            return;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            reason = "EGL offers no desktop OpenGL API";
            return;
        }
        const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (!eglChooseConfig(display_, configAttribs, &config, 1, &count) || count < 1)
            config = nullptr; // EGL_KHR_no_config_context: a context needs no config when it has no surface
        context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
        if (context_ == EGL_NO_CONTEXT) {
            reason = "no OpenGL context could be created through EGL";
            return;
        }
        PinLoadedGlDrivers();
        ok = true;
        if (!MakeCurrent()) {
            ok = false;
            reason = "the OpenGL context cannot be made current without a surface";
            return;
        }
        GLint major3 = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major3);
        if (major3 < 3) {
            ok = false;
            reason = "OpenGL below 3.0 (no framebuffer objects)";
        }
    }

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
};

} // namespace

GlContext::~GlContext() { ForgetIfCurrent(); }

void GlContext::ForgetIfCurrent()
{
    if (gCurrent == this) {
        Unbind();
        gCurrent = nullptr;
    }
}

bool GlContext::MakeCurrent()
{
    if (!IsAlive())
        return false;
    if (gCurrent == this)
        return true;
    ReleaseCurrentGlContext();
    if (!Bind())
        return false;
    gCurrent = this;
    return true;
}

void ReleaseCurrentGlContext()
{
    if (gCurrent) {
        gCurrent->Unbind();
        gCurrent = nullptr;
    }
}

std::string GlContext::RendererName()
{
    if (!MakeCurrent())
        return {};
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

uint32_t GlContext::WhiteTexture()
{
    if (white_ == 0 && MakeCurrent()) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        const uint32_t white = 0xFFFFFFFFu;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
        white_ = name;
    }
    return white_;
}

std::shared_ptr<GlContext> HeadlessGlContext(std::string* reason)
{
    // Never destroyed: drivers may still be called at exit by objects that outlive main.
    static std::shared_ptr<EglHeadlessContext>* ctx = nullptr;
    static std::once_flag once;
    std::call_once(once, [] { ctx = new std::shared_ptr<EglHeadlessContext>(std::make_shared<EglHeadlessContext>()); });
    if (!(*ctx)->ok) {
        if (reason)
            *reason = (*ctx)->reason;
        return nullptr;
    }
    return *ctx;
}

} // namespace Platform
