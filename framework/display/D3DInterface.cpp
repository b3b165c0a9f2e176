// The 3-D renderer: scene set-up, the error check, untextured and textured drawing with the
// Sutherland-Hodgman clipper, and the renderer's texture records.
#include "framework/display/D3DInterface.h"

#include "framework/core/DirectXErrors.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cmath>

namespace Fw {

using namespace Platform;

namespace {

constexpr int32_t kTrianglesPerList = 100;

uint32_t Pack(const Color& c)
{
    return (uint32_t(c.alpha & 0xFF) << 24) | (uint32_t(c.red & 0xFF) << 16) | (uint32_t(c.green & 0xFF) << 8) |
           uint32_t(c.blue & 0xFF);
}

Vertex3D V(float x, float y, uint32_t color, float u = 0, float v = 0)
{
    Vertex3D out;
    out.x = x;
    out.y = y;
    out.diffuse = color;
    out.u = u;
    out.v = v;
    return out;
}

// Component of a vertex by the clipper's index: 0 x, 1 y, 3 u, 4 v, 5 u1, 6 v1.
float& Component(Vertex3D& v, int index)
{
    switch (index) {
    case 0: return v.x;
    case 1: return v.y;
    case 3: return v.u;
    case 4: return v.v;
    case 5: return v.u1;
    case 6: return v.v1;
    default: return v.z;
    }
}

Vertex3D Lerp(const Vertex3D& a, const Vertex3D& b, float t)
{
    Vertex3D r = a;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.u = a.u + (b.u - a.u) * t;
    r.v = a.v + (b.v - a.v) * t;
    r.u1 = a.u1 + (b.u1 - a.u1) * t;
    r.v1 = a.v1 + (b.v1 - a.v1) * t;
    // Colours are interpolated per channel, so a clipped Gouraud edge keeps its gradient.
    uint32_t c = 0;
    for (int s = 0; s < 32; s += 8) {
        const float ca = float((a.diffuse >> s) & 0xFF), cb = float((b.diffuse >> s) & 0xFF);
        c |= uint32_t(std::lround(std::clamp(ca + (cb - ca) * t, 0.0f, 255.0f))) << s;
    }
    r.diffuse = c;
    return r;
}

// One Sutherland-Hodgman pass: keeps the side where component >= bound (keepAbove) or <= bound.
void ClipPass(std::vector<Vertex3D>& poly, int index, float bound, bool keepAbove)
{
    if (poly.empty())
        return;
    std::vector<Vertex3D> out;
    out.reserve(poly.size() + 2);
    auto inside = [&](Vertex3D& v) { return keepAbove ? Component(v, index) >= bound : Component(v, index) <= bound; };
    Vertex3D prev = poly.back();
    bool prevIn = inside(prev);
    for (Vertex3D cur : poly) {
        const bool curIn = inside(cur);
        if (curIn != prevIn) {
            const float a = Component(prev, index), b = Component(cur, index);
            out.push_back(Lerp(prev, cur, (bound - a) / (b - a)));
        }
        if (curIn)
            out.push_back(cur);
        prev = cur;
        prevIn = curIn;
    }
    poly.swap(out);
}

void ClipToRect(std::vector<Vertex3D>& poly, const Rect& clip)
{
    ClipPass(poly, 0, float(clip.x), true);
    ClipPass(poly, 1, float(clip.y), true);
    ClipPass(poly, 0, float(clip.x + clip.width), false);
    ClipPass(poly, 1, float(clip.y + clip.height), false);
}

bool InsideRect(const Vertex3D& v, const Rect& clip)
{
    return v.x >= float(clip.x) && v.y >= float(clip.y) && v.x <= float(clip.x + clip.width) &&
           v.y <= float(clip.y + clip.height);
}

MemoryImage* AsMemoryImage(Image* image) { return dynamic_cast<MemoryImage*>(image); }

} // namespace

D3DInterface::D3DInterface(Driver3D& driver, D3DHost& host) : driver_(driver), host_(host) {}

D3DInterface::~D3DInterface() { Cleanup(); }

bool D3DInterface::TestCapability(WindowId window)
{
    driver_.SetTargetWindow(window);
    bool is3D = true;
    RunD3DTest(tester_, host_.GetTestSettings(), &driver_, &host_, is3D);
    return is3D;
}

bool D3DInterface::Init(DDInterface& display)
{
    return InitOnSurface(display.GetDrawSurface(), display.GetDrawWidth(), display.GetDrawHeight(),
                         display.IsWindowed(), &display.GetDisplayLock(), true);
}

bool D3DInterface::InitOnSurface(Surface* drawSurface, int32_t width, int32_t height, bool windowed,
                                 CritSect* displayLock, bool inWindow)
{
    errorText_.clear();
    displayLock_ = displayLock ? displayLock : &ownLock_;
    if (!drawSurface) {
        CheckDXError(DDERR_INVALIDPARAMS, "Query DrawSurface");
        return false;
    }
    drawSurface_ = SurfaceRef::Share(drawSurface);
    width_ = width;
    height_ = height;
    windowed_ = windowed;
    if ((!inWindow || Failed(driver_.CreateWindowDevice(drawSurface, device_)) || !device_) &&
        CheckDXError(driver_.CreateDevice(drawSurface, device_), "CreateDevice IID_IDirect3DHALDevice"))
        return false;
    Device3DCaps caps;
    if (CheckDXError(device_->GetCaps(caps), ""))
        return false;
    limits_.SetFromCaps(caps);
    std::vector<uint32_t> formats;
    limits_.formats = 0;
    if (Succeeded(device_->EnumTextureFormats(formats)))
        for (uint32_t f : formats)
            limits_.formats |= f;
    if (!caps.alphaPalette)
        limits_.formats &= ~uint32_t(kTexPalette8);
    CheckDXError(device_->SetViewport(0, 0, width_, height_), "SetViewport");
    CheckDXError(device_->Clear(0xFF000000u), "Clear");
    return true;
}

bool D3DInterface::CheckDXError(HRESULT hr, const std::string& label)
{
    if (Succeeded(hr))
        return false;
    errorText_ = label + ": " + GetDirectXErrorName(uint32_t(hr));
    host_.WriteRuntimeError(errorText_);
    return true;
}

void D3DInterface::Flush()
{
    if (!sceneOpen_)
        return;
    if (device_)
        device_->EndScene();
    sceneOpen_ = false;
    errorText_.clear();
}

bool D3DInterface::PresentToWindow(const WindowPresentation& how)
{
    return device_ && !CheckDXError(device_->Present(how), "Present");
}

bool D3DInterface::ReadBack()
{
    return device_ && !CheckDXError(device_->ReadBack(), "ReadBack");
}

void D3DInterface::Cleanup()
{
    Flush();
    {
        ScopedCritSect lock(*displayLock_);
        for (auto& [image, data] : images_)
            image->textureData = nullptr;
        images_.clear();
    }
    device_.reset();
    drawSurface_.reset();
}

void D3DInterface::RemoveTextureData(MemoryImage* image)
{
    if (!image || !image->textureData)
        return;
    image->textureData = nullptr;
    ScopedCritSect lock(*displayLock_);
    images_.erase(image);
}

bool D3DInterface::PreDraw()
{
    if (host_.IsMinimized() || !device_)
        return false;
    if (sceneOpen_)
        return true;
    if (Failed(device_->SetRenderTarget(drawSurface_.get()))) {
        renderTargetLost_ = true;
        return false;
    }
    renderTargetLost_ = false;
    if (CheckDXError(device_->BeginScene(), "BeginScene"))
        return false;
    Device3D& d = *device_;
    d.SetRenderState(RenderState::AlphaBlendEnable, 1);
    d.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    d.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    d.SetRenderState(RenderState::Lighting, 0);
    for (int s = 0; s < kStageCount; ++s) {
        d.SetTextureStageState(s, StageState::MinFilter, kFilterLinear);
        d.SetTextureStageState(s, StageState::MagFilter, kFilterLinear);
        d.SetTextureStageState(s, StageState::MipFilter, kFilterPoint);
        d.SetTextureStageState(s, StageState::AlphaOp, kOpModulate);
        d.SetTextureStageState(s, StageState::AddressU, kAddressClamp);
        d.SetTextureStageState(s, StageState::AddressV, kAddressClamp);
    }
    // The set-up filters linearly, so that is the state recorded: a first unfiltered blit of the
    // scene must switch the filter off, not skip the call as if it were off already.
    linearFilter_ = true;
    d.SetRenderState(RenderState::DitherEnable, 0);
    d.SetRenderState(RenderState::SpecularEnable, 0);
    d.SetRenderState(RenderState::ZWriteEnable, 0);
    d.SetRenderState(RenderState::ZEnable, 0);
    d.SetRenderState(RenderState::CullMode, kCullNone);
    sceneOpen_ = true;
    return true;
}

void D3DInterface::SetDrawMode(int32_t drawMode)
{
    CheckDXError(device_->SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha), "SetRenderState SRCBLEND");
    CheckDXError(device_->SetRenderState(RenderState::DestBlend, drawMode == 1 ? kBlendOne : kBlendInvSrcAlpha),
                 "SetRenderState DESTBLEND");
}

void D3DInterface::SetLinearFilter(bool on)
{
    if (on == linearFilter_ || !device_)
        return;
    const char* label = on ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
    CheckDXError(device_->SetTextureStageState(0, StageState::MinFilter, on ? kFilterLinear : kFilterPoint), label);
    CheckDXError(device_->SetTextureStageState(0, StageState::MagFilter, on ? kFilterLinear : kFilterPoint), label);
    CheckDXError(device_->SetTextureStageState(0, StageState::MipFilter, on ? kFilterPoint : kFilterNone), label);
    CheckDXError(device_->SetTextureStageState(0, StageState::TexCoordIndex, 0), label);
    linearFilter_ = on;
}

bool D3DInterface::CreateImageTexture(MemoryImage* image)
{
    if (!image || !device_)
        return false;
    bool fresh = false;
    auto* data = static_cast<TextureData*>(image->textureData);
    if (!data) {
        auto record = std::make_unique<TextureData>();
        data = record.get();
        image->textureData = data;
        ScopedCritSect lock(*displayLock_);
        images_[image] = std::move(record);
        fresh = true;
    }
    data->CheckCreateTextures(*image, *device_, limits_, *this);
    if (fresh && image->purgeBits)
        image->PurgeBits();
    return data->format != 0;
}

bool D3DInterface::RecoverBits(MemoryImage* image)
{
    auto* data = image ? static_cast<TextureData*>(image->textureData) : nullptr;
    return data && data->RecoverBits(*image, *this);
}

void D3DInterface::ApplyTransform(Vertex3D& v) const
{
    if (transformStack_.empty())
        return;
    const FloatPoint p = transformStack_.back().TransformPoint(FloatPoint(v.x, v.y));
    v.x = p.x;
    v.y = p.y;
}

void D3DInterface::EmptyStage1()
{
    CheckDXError(device_->SetTexture(1, nullptr), "SetTexture NULL");
    device_->SetTextureStageState(1, StageState::ColorOp, kOpDisable);
    device_->SetTextureStageState(1, StageState::AlphaOp, kOpDisable);
}

bool D3DInterface::BeginUntextured(int32_t drawMode)
{
    if (!PreDraw())
        return false;
    SetDrawMode(drawMode);
    return !CheckDXError(device_->SetTexture(0, nullptr), "SetTexture NULL");
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int32_t drawMode)
{
    if (!BeginUntextured(drawMode))
        return;
    const uint32_t c = Pack(color);
    const float l = float(rect.x) - 0.5f, t = float(rect.y) - 0.5f;
    const float r = l + float(rect.width), b = t + float(rect.height);
    Vertex3D quad[4] = {V(l, t, c), V(l, b, c), V(r, t, c), V(r, b, c)};
    for (Vertex3D& v : quad)
        ApplyTransform(v);
    CheckDXError(device_->DrawPrimitive(Primitive::TriangleStrip, quad, 4, 0), "DrawPrimitive (Rect)");
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode)
{
    if (!BeginUntextured(drawMode))
        return;
    const uint32_t c = Pack(color);
    // The device leaves out a strip's last pixel: the extra half-pixel step covers the end point.
    Vertex3D line[3] = {V(float(x1), float(y1), c), V(float(x2), float(y2), c),
                        V(float(x2) + 0.5f, float(y2) + 0.5f, c)};
    CheckDXError(device_->DrawPrimitive(Primitive::LineStrip, line, 3, 0), "DrawPrimitive (Line)");
}

void D3DInterface::DrawFan(std::vector<Vertex3D>& poly, const Rect* clip, int textureCount, const char* label)
{
    if (clip)
        ClipToRect(poly, *clip);
    if (poly.size() >= 3)
        CheckDXError(device_->DrawPrimitive(Primitive::TriangleFan, poly.data(), int32_t(poly.size()), textureCount),
                     label);
}

bool D3DInterface::PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color,
                            int32_t drawMode, int32_t tx, int32_t ty)
{
    if (count < 3 || !points || !BeginUntextured(drawMode))
        return false;
    const uint32_t c = Pack(color);
    std::vector<Vertex3D> poly;
    poly.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i)
        poly.push_back(V(float(points[i].x + tx), float(points[i].y + ty), c));
    DrawFan(poly, &clip, 0, "DrawPrimitive (Tri) 2");
    return true;
}

void D3DInterface::DrawTexturedQuad(Vertex3D* quad, const Rect* clip, int textureCount, const char* label)
{
    bool inside = true;
    if (clip)
        for (int i = 0; i < 4; ++i)
            inside = inside && InsideRect(quad[i], *clip);
    if (inside) {
        CheckDXError(device_->DrawPrimitive(Primitive::TriangleStrip, quad, 4, textureCount), label);
        return;
    }
    // Strip order (0, 1, 2, 3) is fan order (0, 1, 3, 2).
    std::vector<Vertex3D> poly = {quad[0], quad[1], quad[3], quad[2]};
    DrawFan(poly, clip, textureCount, "DrawPrimitive (Tri) 2");
}

template <class DrawQuad>
void D3DInterface::WalkPieces(TextureData& data, const Rect& srcRect, DrawQuad&& draw)
{
    for (int32_t py = srcRect.y; py < srcRect.y + srcRect.height;) {
        int32_t rowHeight = 0;
        for (int32_t px = srcRect.x; px < srcRect.x + srcRect.width;) {
            int32_t w = srcRect.x + srcRect.width - px, h = srcRect.y + srcRect.height - py;
            float u0, v0, u1, v1;
            Texture3D* tex = data.GetTexture(px, py, w, h, u0, v0, u1, v1);
            if (!tex || w <= 0 || h <= 0)
                return;
            for (const TexturePiece& p : data.pieces)
                if (p.texture.get() == tex) {
                    if (CheckDXError(device_->SetTexture(0, p.texture), "SetTexture gTexture"))
                        return;
                    break;
                }
            // The part's corners relative to the source rectangle's origin.
            draw(float(px - srcRect.x), float(py - srcRect.y), float(w), float(h), u0, v0, u1, v1);
            px += w;
            rowHeight = h;
        }
        py += rowHeight;
    }
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int32_t drawMode,
                       bool linear)
{
    if (!transformStack_.empty()) {
        Matrix3 m;
        BltTransformed(image, nullptr, color, drawMode, srcRect, m.Translate(x, y), true, 0, 0, nullptr);
        return;
    }
    MemoryImage* src = AsMemoryImage(image);
    if (!src || !PreDraw() || !CreateImageTexture(src))
        return;
    SetDrawMode(drawMode);
    SetLinearFilter(linear);
    EmptyStage1();
    const uint32_t c = Pack(color);
    WalkPieces(*static_cast<TextureData*>(src->textureData), srcRect,
               [&](float l, float t, float w, float h, float u0, float v0, float u1, float v1) {
                   l += x - 0.5f;
                   t += y - 0.5f;
                   Vertex3D quad[4] = {V(l, t, c, u0, v0), V(l + w, t, c, u1, v0), V(l, t + h, c, u0, v1),
                                       V(l + w, t + h, c, u1, v1)};
                   DrawTexturedQuad(quad, nullptr, 1, "DrawPrimitive (Tri) 1");
               });
}

void D3DInterface::BltTransformed(Image* image, const Rect* clip, const Color& color, int32_t drawMode,
                                  const Rect& srcRect, const Matrix3& matrix, bool linear, float x, float y,
                                  const SecondTexture* second)
{
    MemoryImage* src = AsMemoryImage(image);
    MemoryImage* mask = second ? AsMemoryImage(second->image) : nullptr;
    if (!src || (second && !mask) || !PreDraw() || !CreateImageTexture(src) || (mask && !CreateImageTexture(mask)))
        return;
    SetDrawMode(drawMode);
    SetLinearFilter(linear);
    EmptyStage1();
    TextureData* maskData = mask ? static_cast<TextureData*>(mask->textureData) : nullptr;
    // A second image larger than one piece is drawn from its first piece only.
    auto maskCoords = [&](Vertex3D& v) {
        const FloatPoint p = second->matrix.TransformPoint(FloatPoint(v.x, v.y));
        auto fl = [](float f) { return float(f < 0 ? int32_t(f - 1.0f) : int32_t(f)); };
        v.u1 = (fl(p.x) + float(second->srcRect.x)) / float(maskData->Piece(0, 0).width);
        v.v1 = (fl(p.y) + float(second->srcRect.y)) / float(maskData->Piece(0, 0).height);
    };
    auto* data = static_cast<TextureData*>(src->textureData);
    const uint32_t c = Pack(color);
    Matrix3 m = matrix;
    if (!transformStack_.empty())
        m = transformStack_.back().Multiply(matrix);
    auto corner = [&](float cx, float cy, float u, float v) {
        const FloatPoint p = m.TransformPoint(FloatPoint(cx, cy));
        return V(p.x + x - 0.5f, p.y + y - 0.5f, c, u, v);
    };
    WalkPieces(*data, srcRect, [&](float l, float t, float w, float h, float u0, float v0, float u1, float v1) {
        Vertex3D quad[4] = {corner(l, t, u0, v0), corner(l + w, t, u1, v0), corner(l, t + h, u0, v1),
                            corner(l + w, t + h, u1, v1)};
        if (!maskData) {
            DrawTexturedQuad(quad, clip, 1, "DrawPrimitive (Tri) 3");
            return;
        }
        for (Vertex3D& v : quad)
            maskCoords(v);
        Device3D& d = *device_;
        d.SetTextureStageState(0, StageState::AlphaOp, kOpModulate);
        d.SetTextureStageState(0, StageState::AlphaArg1, kArgTexture);
        d.SetTextureStageState(0, StageState::AlphaArg2, kArgCurrent);
        if (CheckDXError(d.SetTexture(1, maskData->pieces[0].texture), "SetTexture gTexture"))
            return;
        d.SetTextureStageState(1, StageState::TexCoordIndex, 1);
        d.SetTextureStageState(1, StageState::ColorOp, kOpModulate);
        d.SetTextureStageState(1, StageState::ColorArg1, kArgTexture);
        d.SetTextureStageState(1, StageState::ColorArg2, kArgDiffuse);
        d.SetTextureStageState(1, StageState::AlphaOp, kOpModulate);
        d.SetTextureStageState(1, StageState::AlphaArg1, kArgTexture);
        d.SetTextureStageState(1, StageState::AlphaArg2, kArgCurrent);
        DrawTexturedQuad(quad, clip, 2, "DrawPrimitive (Tri) 3");
        EmptyStage1();
    });
}

void D3DInterface::DrawTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count,
                                    const Rect& clip, const Color& color, int32_t drawMode, float tx, float ty,
                                    bool linear)
{
    MemoryImage* src = AsMemoryImage(texture);
    if (!src || !triangles || count <= 0 || !PreDraw() || !CreateImageTexture(src))
        return;
    SetDrawMode(drawMode);
    SetLinearFilter(linear);
    EmptyStage1();
    auto* data = static_cast<TextureData*>(src->textureData);
    const uint32_t c = Pack(color);
    auto vertex = [&](const TriVertex& t) {
        return V(t.x + tx, t.y + ty, t.colour ? t.colour : c, t.u * data->maxTotalU, t.v * data->maxTotalV);
    };
    if (data->maxTotalU <= 1.0f && data->maxTotalV <= 1.0f) {
        if (CheckDXError(device_->SetTexture(0, data->pieces[0].texture), "SetTexture gTexture"))
            return;
        std::vector<Vertex3D> list;
        for (int32_t first = 0; first < count; first += kTrianglesPerList) {
            const int32_t n = std::min(kTrianglesPerList, count - first);
            list.clear();
            for (int32_t i = 0; i < n; ++i)
                for (int k = 0; k < 3; ++k)
                    list.push_back(vertex(triangles[first + i][k]));
            CheckDXError(device_->DrawPrimitive(Primitive::TriangleList, list.data(), int32_t(list.size()), 1),
                         "DrawPrimitive (TriList)");
        }
        return;
    }
    // Several pieces: each triangle is cut along the piece borders in texture space.
    for (int32_t i = 0; i < count; ++i) {
        Vertex3D tri[3] = {vertex(triangles[i][0]), vertex(triangles[i][1]), vertex(triangles[i][2])};
        const float minU = std::min({tri[0].u, tri[1].u, tri[2].u}), maxU = std::max({tri[0].u, tri[1].u, tri[2].u});
        const float minV = std::min({tri[0].v, tri[1].v, tri[2].v}), maxV = std::max({tri[0].v, tri[1].v, tri[2].v});
        const int32_t c0 = std::clamp(int32_t(std::floor(minU)), 0, data->columns - 1);
        const int32_t c1 = std::clamp(int32_t(std::ceil(maxU)), 0, data->columns);
        const int32_t r0 = std::clamp(int32_t(std::floor(minV)), 0, data->rows - 1);
        const int32_t r1 = std::clamp(int32_t(std::ceil(maxV)), 0, data->rows);
        for (int32_t row = r0; row < r1; ++row)
            for (int32_t col = c0; col < c1; ++col) {
                const TexturePiece& piece = data->Piece(col, row);
                std::vector<Vertex3D> poly(tri, tri + 3);
                for (Vertex3D& v : poly) {
                    v.u -= float(col);
                    v.v -= float(row);
                    if (col == data->columns - 1)
                        v.u *= float(data->pieceWidth) / float(piece.width);
                    if (row == data->rows - 1)
                        v.v *= float(data->pieceHeight) / float(piece.height);
                }
                ClipPass(poly, 3, 0.0f, true);
                ClipPass(poly, 4, 0.0f, true);
                ClipPass(poly, 3, 1.0f, false);
                ClipPass(poly, 4, 1.0f, false);
                if (poly.size() < 3)
                    continue;
                if (CheckDXError(device_->SetTexture(0, piece.texture), "SetTexture gTexture"))
                    return;
                DrawFan(poly, &clip, 1, "DrawPrimitive (Tri) 4");
            }
    }
}

} // namespace Fw
