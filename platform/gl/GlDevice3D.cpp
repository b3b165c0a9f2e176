// OpenGL fixed-function devices. A device draws into an RGBA8 framebuffer object the size of its
// render target. Surface devices load the surface's pixels at BeginScene (software drawing may
// have touched them between frames) and write them back at EndScene, so callers see the surface
// contract of the software device; window devices keep the frame and blit it into the window.
#define GL_GLEXT_PROTOTYPES 1
#include "platform/gl/GlDevice3D.h"

#include "platform/MemorySurface.h"
#include "platform/detail/DeviceStates.h"
#include "platform/detail/PixelMasks.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Platform {

namespace {

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
    GlTexture(std::shared_ptr<GlContext> ctx, int32_t w, int32_t h, uint32_t format)
        : ctx_(std::move(ctx)), w_(w), h_(h), format_(format),
          staging_(size_t(w) * size_t(h) * size_t(TextureBytesPerTexel(format)))
    {
        const GlFormat f = FormatOf(format);
        glGenTextures(1, &name_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, f.internal, w, h, 0, f.format, f.type, staging_.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    ~GlTexture() override
    {
        if (ctx_->MakeCurrent()) // a dead context took its textures with it
            glDeleteTextures(1, &name_);
    }
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
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
        const GlFormat f = FormatOf(format_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w_, h_, f.format, f.type, staging_.data());
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_GENERIC;
    }
    GLuint Name() const { return name_; }

private:
    std::shared_ptr<GlContext> ctx_;
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
    GlDevice3D(std::shared_ptr<GlContext> ctx, Surface* target, bool window) : ctx_(std::move(ctx)), window_(window)
    {
        glGenFramebuffers(1, &fbo_);
        glGenTextures(1, &color_);
        SetRenderTarget(target);
    }
    ~GlDevice3D() override
    {
        if (ctx_->MakeCurrent()) {
            glDeleteFramebuffers(1, &fbo_);
            glDeleteTextures(1, &color_);
            if (cursor_)
                glDeleteTextures(1, &cursor_);
        }
        if (target_)
            target_->Release();
    }

    HRESULT GetCaps(Device3DCaps& caps) override
    {
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
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
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
        const bool outside = !inScene_ && !window_;
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
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
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
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
        if (!window_)
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
        if (window_)
            return DD_OK;
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
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
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        if (width < 1 || height < 1 || width > maxSize || height > maxSize)
            return DDERR_INVALIDPARAMS;
        if (format != kTexA8R8G8B8 && format != kTexA4R4G4B4 && format != kTexR5G6B5)
            return DDERR_INVALIDPIXELFORMAT;
        out = std::make_shared<GlTexture>(ctx_, width, height, format);
        return glGetError() == GL_NO_ERROR ? DD_OK : DDERR_OUTOFMEMORY;
    }
    HRESULT DrawPrimitive(Primitive type, const Vertex3D* vertices, int32_t count, int textureCount) override
    {
        if (!inScene_ || !vertices || count < 0)
            return D3DERR_INVALIDCALL;
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
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

    bool PresentsToWindow() const override { return window_; }

    HRESULT ReadBack() override
    {
        // A surface device's target is current except inside a scene.
        if (!target_ || (!window_ && !inScene_))
            return DD_OK;
        if (!ctx_->MakeCurrent())
            return DDERR_SURFACELOST;
        return Store();
    }

    HRESULT Present(const WindowPresentation& how) override
    {
        if (!window_ || !target_)
            return DDERR_UNSUPPORTED;
        int32_t dw = 0, dh = 0;
        if (!ctx_->MakeCurrent() || !ctx_->GetDrawableSize(dw, dh))
            return DDERR_SURFACELOST;
        if (how.modeWidth <= 0 || how.modeHeight <= 0)
            return D3DERR_INVALIDCALL;
        // The mode fitted into the drawable, aspect kept, centred (64-bit products).
        int64_t shownW = dw, shownH = int64_t(how.modeHeight) * dw / how.modeWidth;
        if (shownH > dh) {
            shownH = dh;
            shownW = int64_t(how.modeWidth) * dh / how.modeHeight;
        }
        const int64_t left = (dw - shownW) / 2, top = (dh - shownH) / 2;
        auto mapX = [&](int32_t x) { return GLint(left + int64_t(x) * shownW / how.modeWidth); };
        auto mapY = [&](int32_t y) { return GLint(top + int64_t(y) * shownH / how.modeHeight); };
        ctx_->SetShownMode(how.modeWidth, how.modeHeight);
        const SurfaceRect& f = how.frameArea;
        const GLint x0 = mapX(f.left), x1 = mapX(f.right), y0 = mapY(f.top), y1 = mapY(f.bottom);

        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, dw, dh);
        // Black bars only where the frame leaves the drawable uncovered (a swap leaves the back
        // buffer undefined); a frame that fills the window needs no clear.
        if (x0 > 0 || y0 > 0 || x1 < dw || y1 < dh) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        // Frame row 0 is the picture's top and sits at the framebuffer object's bottom; the
        // window's top is at the default framebuffer's top: the blit turns it upside down.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
        const bool sameSize = x1 - x0 == w_ && y1 - y0 == h_;
        glBlitFramebuffer(0, 0, w_, h_, x0, dh - y0, x1, dh - y1, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (how.cursor && how.cursorWidth > 0 && how.cursorHeight > 0)
            DrawCursor(how, dw, dh, x0, y0, x1, y1, mapX, mapY);
        const bool ok = glGetError() == GL_NO_ERROR;
        ctx_->SwapBuffers();
        glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
        return ok ? DD_OK : DDERR_GENERIC;
    }

private:
    // The cursor blended over the window's back buffer (never into the frame, which stays clean).
    template <class MapX, class MapY>
    void DrawCursor(const WindowPresentation& how, int32_t dw, int32_t dh, GLint x0, GLint y0, GLint x1, GLint y1,
                    MapX mapX, MapY mapY)
    {
        if (!cursor_)
            glGenTextures(1, &cursor_);
        glActiveTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, cursor_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, how.cursorWidth, how.cursorHeight, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, how.cursor);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_CULL_FACE);
        glEnable(GL_SCISSOR_TEST);
        glScissor(x0, dh - y1, std::max(x1 - x0, 0), std::max(y1 - y0, 0));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, double(dw), double(dh), 0.0, -1.0, 1.0); // y down, window pixels
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, 1);
        const float l = float(mapX(how.cursorX)), t = float(mapY(how.cursorY));
        const float r = float(mapX(how.cursorX + how.cursorWidth)), b = float(mapY(how.cursorY + how.cursorHeight));
        const float quad[] = {l, t, 0, 0, r, t, 1, 0, l, b, 0, 1, r, b, 1, 1};
        glClientActiveTexture(GL_TEXTURE1);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), quad);
        glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), quad + 2);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glDisable(GL_SCISSOR_TEST);
    }

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
            glBindTexture(GL_TEXTURE_2D, tex && textureCount > 0 ? tex->Name() : ctx_->WhiteTexture());
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

    std::shared_ptr<GlContext> ctx_;
    bool window_ = false;
    GLuint cursor_ = 0;
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
    const std::shared_ptr<GlContext> ctx = HeadlessGlContext(reason);
    return ctx && ctx->MakeCurrent();
}

std::string GlRendererName()
{
    const std::shared_ptr<GlContext> ctx = HeadlessGlContext();
    return ctx ? ctx->RendererName() : std::string();
}

std::unique_ptr<Device3D> CreateGlDevice3D(Surface* target, std::string* reason)
{
    return CreateGlDevice3D(HeadlessGlContext(reason), target, false);
}

std::unique_ptr<Device3D> CreateGlDevice3D(const std::shared_ptr<GlContext>& context, Surface* target, bool window)
{
    if (!context || !context->MakeCurrent())
        return nullptr;
    return std::make_unique<GlDevice3D>(context, target, window);
}

} // namespace Platform
