// OpenGL fixed-function device over a headless EGL context (Mesa surfaceless platform).
// Render target surfaces are mirrored in an RGBA8 framebuffer object: the surface's pixels are
// loaded at BeginScene (software drawing may have touched them between frames) and written back
// at EndScene, so callers see the same surface contract as with the software device.
#define GL_GLEXT_PROTOTYPES 1
#define EGL_EGLEXT_PROTOTYPES 1
#include "platform/gl/GlDevice3D.h"

#include "platform/MemorySurface.h"
#include "platform/detail/DeviceStates.h"
#include "platform/detail/PixelMasks.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace Platform {

namespace {

struct GlContext {
    bool ok = false;
    std::string reason;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint white = 0; // 1x1 white texture for enabled stages without a texture
};

GlContext& Context()
{
    static GlContext ctx;
    static std::once_flag once;
    std::call_once(once, [] {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay) {
            ctx.reason = "EGL has no eglGetPlatformDisplayEXT";
            return;
        }
        ctx.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (ctx.display == EGL_NO_DISPLAY || !eglInitialize(ctx.display, &major, &minor)) {
            ctx.reason = "EGL surfaceless Mesa platform unavailable";
            return;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            ctx.reason = "EGL offers no desktop OpenGL API";
            return;
        }
        const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (!eglChooseConfig(ctx.display, configAttribs, &config, 1, &count) || count < 1)
            config = nullptr; // EGL_KHR_no_config_context: a context needs no config when it has no surface
        ctx.context = eglCreateContext(ctx.display, config, EGL_NO_CONTEXT, nullptr);
        if (ctx.context == EGL_NO_CONTEXT) {
            ctx.reason = "no OpenGL context could be created through EGL";
            return;
        }
        if (!eglMakeCurrent(ctx.display, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx.context)) {
            ctx.reason = "the OpenGL context cannot be made current without a surface";
            return;
        }
        GLint fboCapable = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &fboCapable);
        if (fboCapable < 3) {
            ctx.reason = "OpenGL below 3.0 (no framebuffer objects)";
            return;
        }
        glGenTextures(1, &ctx.white);
        glBindTexture(GL_TEXTURE_2D, ctx.white);
        const uint32_t white = 0xFFFFFFFFu;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
        ctx.ok = true;
    });
    return ctx;
}

struct GlFormat {
    GLint internal;
    GLenum format, type;
};

GlFormat FormatOf(uint32_t code)
{
    switch (code) {
    case kTexA4R4G4B4: return {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
    case kTexR5G6B5: return {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    default: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    }
}

class GlTexture final : public Texture3D {
public:
    GlTexture(int32_t w, int32_t h, uint32_t format)
        : w_(w), h_(h), format_(format), staging_(size_t(w) * size_t(h) * size_t(TextureBytesPerTexel(format)))
    {
        const GlFormat f = FormatOf(format);
        glGenTextures(1, &name_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, f.internal, w, h, 0, f.format, f.type, staging_.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    ~GlTexture() override { glDeleteTextures(1, &name_); }
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }
    uint32_t Format() const override { return format_; }
    HRESULT Lock(TextureLock& out) override
    {
        if (locked_)
            return DDERR_SURFACEBUSY;
        locked_ = true;
        out.bits = staging_.data();
        out.pitch = w_ * TextureBytesPerTexel(format_);
        return DD_OK;
    }
    HRESULT Unlock() override
    {
        if (!locked_)
            return DDERR_NOTLOCKED;
        locked_ = false;
        const GlFormat f = FormatOf(format_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w_, h_, f.format, f.type, staging_.data());
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_GENERIC;
    }
    GLuint Name() const { return name_; }

private:
    int32_t w_, h_;
    uint32_t format_;
    std::vector<uint8_t> staging_;
    GLuint name_ = 0;
    bool locked_ = false;
};

GLenum BlendOf(uint32_t b)
{
    switch (b) {
    case kBlendZero: return GL_ZERO;
    case kBlendSrcAlpha: return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    default: return GL_ONE;
    }
}

GLenum CombineOf(uint32_t op)
{
    switch (op) {
    case kOpSelectArg1:
    case kOpSelectArg2: return GL_REPLACE;
    default: return GL_MODULATE;
    }
}

GLenum SourceOf(uint32_t arg, int stage)
{
    switch (arg) {
    case kArgDiffuse: return GL_PRIMARY_COLOR;
    case kArgTexture: return GL_TEXTURE;
    default: return stage == 0 ? GL_PRIMARY_COLOR : GL_PREVIOUS;
    }
}

class GlDevice3D final : public Device3D {
public:
    explicit GlDevice3D(Surface* target)
    {
        glGenFramebuffers(1, &fbo_);
        glGenTextures(1, &color_);
        SetRenderTarget(target);
    }
    ~GlDevice3D() override
    {
        glDeleteFramebuffers(1, &fbo_);
        glDeleteTextures(1, &color_);
        if (target_)
            target_->Release();
    }

    HRESULT GetCaps(Device3DCaps& caps) override
    {
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        caps = Device3DCaps{1, 1, maxSize, maxSize, 0, false};
        return DD_OK;
    }
    HRESULT EnumTextureFormats(std::vector<uint32_t>& formats) override
    {
        formats = {kTexA8R8G8B8, kTexA4R4G4B4, kTexR5G6B5};
        return DD_OK;
    }
    HRESULT SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        if (width < 0 || height < 0)
            return D3DERR_INVALIDCALL;
        vp_[0] = x;
        vp_[1] = y;
        vp_[2] = width;
        vp_[3] = height;
        return DD_OK;
    }
    HRESULT Clear(uint32_t color) override
    {
        if (!target_)
            return D3DERR_INVALIDCALL;
        const bool outside = !inScene_;
        if (outside)
            if (HRESULT hr = Load(); Failed(hr))
                return hr;
        Bind();
        glEnable(GL_SCISSOR_TEST);
        glScissor(vp_[0], vp_[1], vp_[2], vp_[3]);
        glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                     float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        return outside ? Store() : DD_OK;
    }
    HRESULT SetRenderTarget(Surface* target) override
    {
        if (!target)
            return D3DERR_INVALIDCALL;
        if (target == target_)
            return DD_OK;
        SurfaceDesc d;
        if (HRESULT hr = target->GetSurfaceDesc(d); Failed(hr))
            return hr;
        if (d.pixelFormat.bitCount != 16 && d.pixelFormat.bitCount != 32)
            return DDERR_INVALIDPIXELFORMAT;
        target->AddRef();
        if (target_)
            target_->Release();
        target_ = target;
        w_ = d.width;
        h_ = d.height;
        vp_[0] = vp_[1] = 0;
        vp_[2] = w_;
        vp_[3] = h_;
        glBindTexture(GL_TEXTURE_2D, color_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w_, h_, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
        return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? DD_OK : DDERR_GENERIC;
    }
    HRESULT BeginScene() override
    {
        if (inScene_)
            return D3DERR_SCENE_IN_SCENE;
        if (!target_)
            return D3DERR_INVALIDCALL;
        if (HRESULT hr = Load(); Failed(hr))
            return hr;
        inScene_ = true;
        return DD_OK;
    }
    HRESULT EndScene() override
    {
        if (!inScene_)
            return D3DERR_SCENE_NOT_IN_SCENE;
        inScene_ = false;
        return Store();
    }
    HRESULT SetRenderState(RenderState state, uint32_t value) override
    {
        states_.render[int(state)] = value;
        return DD_OK;
    }
    HRESULT SetTextureStageState(int stage, StageState state, uint32_t value) override
    {
        if (stage < 0 || stage >= kStageCount)
            return D3DERR_INVALIDCALL;
        states_.stage[stage][int(state)] = value;
        return DD_OK;
    }
    HRESULT SetTexture(int stage, const Texture3DRef& texture) override
    {
        if (stage < 0 || stage >= kStageCount)
            return D3DERR_INVALIDCALL;
        textures_[stage] = texture;
        return DD_OK;
    }
    HRESULT CreateTexture(int32_t width, int32_t height, uint32_t format, Texture3DRef& out) override
    {
        out.reset();
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        if (width < 1 || height < 1 || width > maxSize || height > maxSize)
            return DDERR_INVALIDPARAMS;
        if (format != kTexA8R8G8B8 && format != kTexA4R4G4B4 && format != kTexR5G6B5)
            return DDERR_INVALIDPIXELFORMAT;
        out = std::make_shared<GlTexture>(width, height, format);
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_OUTOFMEMORY;
    }
    HRESULT DrawPrimitive(Primitive type, const Vertex3D* vertices, int32_t count, int textureCount) override
    {
        if (!inScene_ || !vertices || count < 0)
            return D3DERR_INVALIDCALL;
        Bind();
        ApplyStates(textureCount);
        const GLsizei stride = sizeof(Vertex3D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, &vertices[0].diffuse);
        for (int s = 0; s < kStageCount; ++s) {
            glClientActiveTexture(GLenum(GL_TEXTURE0 + s));
            const bool second = states_.stage[s][int(StageState::TexCoordIndex)] != 0 && textureCount > 1;
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, second ? &vertices[0].u1 : &vertices[0].u);
        }
        GLenum mode = GL_TRIANGLE_STRIP;
        switch (type) {
        case Primitive::TriangleFan: mode = GL_TRIANGLE_FAN; break;
        case Primitive::TriangleList: mode = GL_TRIANGLES; break;
        case Primitive::LineStrip: mode = GL_LINE_STRIP; break;
        default: break;
        }
        glDrawArrays(mode, 0, count);
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_GENERIC;
    }

private:
    void Bind()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
        glViewport(vp_[0], vp_[1], vp_[2], vp_[3]);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        // Surface row 0 is framebuffer row 0: y = 0 maps to the bottom of the framebuffer, so
        // loading and storing need no flip. The viewport's origin is its top-left pixel.
        glOrtho(double(vp_[0]), double(vp_[0] + vp_[2]), double(vp_[1]), double(vp_[1] + vp_[3]), -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 0.0f);
    }

    void ApplyStates(int textureCount)
    {
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
        glDisable(GL_DITHER);
        if (states_.render[int(RenderState::AlphaBlendEnable)]) {
            glEnable(GL_BLEND);
            glBlendFunc(BlendOf(states_.render[int(RenderState::SrcBlend)]),
                        BlendOf(states_.render[int(RenderState::DestBlend)]));
        } else {
            glDisable(GL_BLEND);
        }
        // Device culling names the winding on the screen (y down); the framebuffer here has y up,
        // which reverses every winding.
        const uint32_t cull = states_.render[int(RenderState::CullMode)];
        if (cull == 2 || cull == 3) {
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(cull == 3 ? GL_BACK : GL_FRONT);
        } else {
            glDisable(GL_CULL_FACE);
        }
        bool disabled = false;
        for (int s = 0; s < kStageCount; ++s) {
            glActiveTexture(GLenum(GL_TEXTURE0 + s));
            const uint32_t* st = states_.stage[s];
            disabled = disabled || st[int(StageState::ColorOp)] == kOpDisable;
            if (disabled) {
                glDisable(GL_TEXTURE_2D);
                continue;
            }
            glEnable(GL_TEXTURE_2D);
            auto* tex = static_cast<GlTexture*>(textures_[s].get());
            glBindTexture(GL_TEXTURE_2D, tex && textureCount > 0 ? tex->Name() : Context().white);
            const bool linearMag = st[int(StageState::MagFilter)] == kFilterLinear;
            const bool linearMin = st[int(StageState::MinFilter)] == kFilterLinear;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, linearMin ? GL_LINEAR : GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                            st[int(StageState::AddressU)] == kAddressClamp ? GL_CLAMP_TO_EDGE : GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                            st[int(StageState::AddressV)] == kAddressClamp ? GL_CLAMP_TO_EDGE : GL_REPEAT);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
            const uint32_t colorOp = st[int(StageState::ColorOp)];
            const uint32_t alphaOp = st[int(StageState::AlphaOp)] == kOpDisable ? kOpSelectArg1
                                                                                 : st[int(StageState::AlphaOp)];
            const uint32_t alphaArg1 = st[int(StageState::AlphaOp)] == kOpDisable ? kArgCurrent
                                                                                   : st[int(StageState::AlphaArg1)];
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GLint(CombineOf(colorOp)));
            const bool rgbSecond = colorOp == kOpSelectArg2;
            glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB,
                      GLint(SourceOf(rgbSecond ? st[int(StageState::ColorArg2)] : st[int(StageState::ColorArg1)], s)));
            glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GLint(SourceOf(st[int(StageState::ColorArg2)], s)));
            glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
            glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GLint(CombineOf(alphaOp)));
            const bool alphaSecond = alphaOp == kOpSelectArg2;
            glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA,
                      GLint(SourceOf(alphaSecond ? st[int(StageState::AlphaArg2)] : alphaArg1, s)));
            glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GLint(SourceOf(st[int(StageState::AlphaArg2)], s)));
            glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
            glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
        }
        glActiveTexture(GL_TEXTURE0);
    }

    // Surface pixels -> framebuffer.
    HRESULT Load()
    {
        SurfaceDesc d;
        if (HRESULT hr = target_->Lock(nullptr, d, DDLOCK_WAIT); Failed(hr))
            return hr;
        Convert(d, true);
        target_->Unlock(nullptr);
        glBindTexture(GL_TEXTURE_2D, color_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w_, h_, GL_BGRA, GL_UNSIGNED_BYTE, mirror_.data());
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_GENERIC;
    }

    // Framebuffer -> surface pixels.
    HRESULT Store()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        mirror_.resize(size_t(w_) * size_t(h_));
        glReadPixels(0, 0, w_, h_, GL_BGRA, GL_UNSIGNED_BYTE, mirror_.data());
        if (glGetError() != GL_NO_ERROR)
            return DDERR_GENERIC;
        SurfaceDesc d;
        if (HRESULT hr = target_->Lock(nullptr, d, DDLOCK_WAIT); Failed(hr))
            return hr;
        Convert(d, false);
        target_->Unlock(nullptr);
        return DD_OK;
    }

    // Copies between the locked surface and the 0xAARRGGBB mirror, one way.
    void Convert(SurfaceDesc& d, bool toMirror)
    {
        mirror_.resize(size_t(w_) * size_t(h_));
        const int32_t bpp = d.pixelFormat.bitCount / 8;
        const bool plain = d.pixelFormat == kFormatX8R8G8B8;
        for (int32_t y = 0; y < h_; ++y) {
            uint8_t* row = static_cast<uint8_t*>(d.surface) + size_t(y) * size_t(d.pitch);
            uint32_t* m = mirror_.data() + size_t(y) * size_t(w_);
            if (plain) {
                if (toMirror)
                    std::memcpy(m, row, size_t(w_) * 4);
                else
                    std::memcpy(row, m, size_t(w_) * 4);
                continue;
            }
            for (int32_t x = 0; x < w_; ++x) {
                uint8_t* p = row + size_t(x) * size_t(bpp);
                if (toMirror)
                    m[x] = detail::UnpackArgb(detail::LoadPixel(p, bpp), d.pixelFormat);
                else
                    detail::StorePixel(p, bpp, detail::PackArgb(m[x], d.pixelFormat));
            }
        }
    }

    Surface* target_ = nullptr;
    int32_t w_ = 0, h_ = 0;
    int32_t vp_[4] = {};
    GLuint fbo_ = 0, color_ = 0;
    bool inScene_ = false;
    detail::DeviceStates states_;
    Texture3DRef textures_[kStageCount];
    std::vector<uint32_t> mirror_;
};

} // namespace

bool GlContextAvailable(std::string* reason)
{
    GlContext& ctx = Context();
    if (!ctx.ok) {
        if (reason)
            *reason = ctx.reason;
        return false;
    }
    if (eglGetCurrentContext() != ctx.context)
        eglMakeCurrent(ctx.display, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx.context);
    return true;
}

std::string GlRendererName()
{
    if (!GlContextAvailable())
        return {};
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

std::unique_ptr<Device3D> CreateGlDevice3D(Surface* target, std::string* reason)
{
    if (!GlContextAvailable(reason))
        return nullptr;
    return std::make_unique<GlDevice3D>(target);
}

bool GlDriver3D::ProbeNewerAdapterIdentity(AdapterIdentity&) { return false; }

HRESULT GlDriver3D::GetDeviceIdentifier(AdapterIdentity& out)
{
    if (!GlContextAvailable())
        return DDERR_GENERIC;
    out.driverName = driverPath;
    out.description = GlRendererName();
    return DD_OK;
}

HRESULT GlDriver3D::GetAvailableVidMem(uint64_t& total)
{
    total = videoMemory;
    return DD_OK;
}

HRESULT GlDriver3D::CreateRenderTarget(int32_t width, int32_t height, Surface** out)
{
    return MemorySurface::Create(width, height, desktop.bitDepth == 16 ? kFormat565 : kFormatX8R8G8B8,
                                 DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN, 0, out);
}

HRESULT GlDriver3D::CreateDevice(Surface* target, std::unique_ptr<Device3D>& out)
{
    out = CreateGlDevice3D(target);
    return out ? DD_OK : DDERR_GENERIC;
}

} // namespace Platform
