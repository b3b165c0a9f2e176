// Software reference device: the device rules written out plainly, one pixel at a time. Speed is
// not its purpose (the OpenGL device draws for real); exact, repeatable results are.
#include "platform/SoftwareDevice3D.h"

#include "platform/MemorySurface.h"
#include "platform/detail/PixelMasks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Platform {

int32_t TextureBytesPerTexel(uint32_t format)
{
    switch (format) {
    case kTexA8R8G8B8: return 4;
    case kTexA4R4G4B4:
    case kTexR5G6B5: return 2;
    case kTexPalette8: return 1;
    default: return 0;
    }
}

namespace {

class SoftwareTexture final : public Texture3D {
public:
    SoftwareTexture(std::shared_ptr<FailureInjector> failures, int32_t w, int32_t h, uint32_t format)
        : failures_(std::move(failures)), w_(w), h_(h), format_(format), bpp_(TextureBytesPerTexel(format)),
          texels_(size_t(w) * size_t(h) * size_t(bpp_))
    {
    }
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }
    uint32_t Format() const override { return format_; }
    HRESULT Lock(TextureLock& out) override
    {
        if (HRESULT hr = failures_->Check("LockTexture"); Failed(hr))
            return hr;
        if (locked_)
            return DDERR_SURFACEBUSY;
        locked_ = true;
        out.bits = texels_.data();
        out.pitch = w_ * bpp_;
        return DD_OK;
    }
    HRESULT Unlock() override
    {
        if (!locked_)
            return DDERR_NOTLOCKED;
        locked_ = false;
        return DD_OK;
    }
    // The texel as 0xAARRGGBB; channels narrower than 8 bits repeat their top bits downward.
    uint32_t Texel(int32_t x, int32_t y) const
    {
        const uint8_t* p = texels_.data() + (size_t(y) * size_t(w_) + size_t(x)) * size_t(bpp_);
        switch (format_) {
        case kTexA8R8G8B8: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        case kTexA4R4G4B4: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            return (uint32_t((v >> 12) & 0xF) * 17u << 24) | (uint32_t((v >> 8) & 0xF) * 17u << 16) |
                   (uint32_t((v >> 4) & 0xF) * 17u << 8) | uint32_t(v & 0xF) * 17u;
        }
        case kTexR5G6B5: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            const uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
            return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
        }
        default: return 0xFFFFFFFFu;
        }
    }
private:
    std::shared_ptr<FailureInjector> failures_;
    int32_t w_, h_;
    uint32_t format_;
    int32_t bpp_;
    std::vector<uint8_t> texels_;
    bool locked_ = false;
};

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// a * b / 255 rounded, both in 0..255.
uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

uint32_t ApplyOp(uint32_t op, uint32_t a1, uint32_t a2, int shift)
{
    switch (op) {
    case kOpSelectArg1: return Channel(a1, shift);
    case kOpSelectArg2: return Channel(a2, shift);
    case kOpModulate: return Mul255(Channel(a1, shift), Channel(a2, shift));
    default: return Channel(a1, shift);
    }
}

uint32_t BlendFactor(uint32_t blend, uint32_t srcAlpha)
{
    switch (blend) {
    case kBlendZero: return 0;
    case kBlendSrcAlpha: return srcAlpha;
    case kBlendInvSrcAlpha: return 255 - srcAlpha;
    default: return 255; // kBlendOne
    }
}

SoftwareDevice3D::Call Op(const char* op, uint32_t state = 0, uint32_t value = 0, int stage = 0)
{
    SoftwareDevice3D::Call c;
    c.op = op;
    c.state = state;
    c.value = value;
    c.stage = stage;
    return c;
}

const char* PrimitiveName(Primitive p)
{
    switch (p) {
    case Primitive::TriangleStrip: return "DrawPrimitive:Strip";
    case Primitive::TriangleFan: return "DrawPrimitive:Fan";
    case Primitive::TriangleList: return "DrawPrimitive:List";
    default: return "DrawPrimitive:Line";
    }
}

} // namespace

SoftwareDevice3D::SoftwareDevice3D(Surface* target) : SoftwareDevice3D(target, Options{}) {}

SoftwareDevice3D::SoftwareDevice3D(Surface* target, Options options)
    : options_(std::move(options)), failures_(std::make_shared<FailureInjector>())
{
    if (target)
        BindTarget(target);
}

void SoftwareDevice3D::BindTarget(Surface* target)
{
    target->AddRef();
    if (target_)
        target_->Release();
    target_ = target;
    SurfaceDesc desc;
    target_->GetSurfaceDesc(desc);
    vpX_ = vpY_ = 0;
    vpW_ = desc.width;
    vpH_ = desc.height;
}

SoftwareDevice3D::~SoftwareDevice3D()
{
    if (target_)
        target_->Release();
}

void SoftwareDevice3D::InjectFailure(const std::string& op, HRESULT hr, int skip, bool persistent)
{
    failures_->table[op] = FailureInjector::Failure{hr, skip, persistent};
}

HRESULT FailureInjector::Check(const std::string& op)
{
    auto it = table.find(op);
    if (it == table.end())
        return DD_OK;
    if (it->second.skip > 0) {
        --it->second.skip;
        return DD_OK;
    }
    const HRESULT hr = it->second.hr;
    if (!it->second.persistent)
        table.erase(it);
    return hr;
}

HRESULT SoftwareDevice3D::Record(Call call)
{
    HRESULT hr = failures_->Check(call.op);
    if (Succeeded(hr) && call.op == "DrawPrimitive")
        hr = failures_->Check(PrimitiveName(call.primitive));
    if (options_.record)
        calls_.push_back(std::move(call));
    return hr;
}

std::vector<SoftwareDevice3D::Call> SoftwareDevice3D::CallsOf(const std::string& op) const
{
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.op == op)
            out.push_back(c);
    return out;
}

uint32_t SoftwareDevice3D::GetRenderStateValue(RenderState state) const { return states_.render[int(state)]; }

uint32_t SoftwareDevice3D::GetStageStateValue(int stage, StageState state) const
{
    return states_.stage[stage][int(state)];
}

HRESULT SoftwareDevice3D::GetCaps(Device3DCaps& caps)
{
    if (HRESULT hr = Record(Op("GetCaps")); Failed(hr))
        return hr;
    caps = options_.caps;
    return DD_OK;
}

HRESULT SoftwareDevice3D::EnumTextureFormats(std::vector<uint32_t>& formats)
{
    if (HRESULT hr = Record(Op("EnumTextureFormats")); Failed(hr))
        return hr;
    formats = options_.formats;
    return DD_OK;
}

HRESULT SoftwareDevice3D::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (HRESULT hr = Record(Op("SetViewport")); Failed(hr))
        return hr;
    if (width < 0 || height < 0)
        return D3DERR_INVALIDCALL;
    vpX_ = x;
    vpY_ = y;
    vpW_ = width;
    vpH_ = height;
    return DD_OK;
}

HRESULT SoftwareDevice3D::SetRenderTarget(Surface* target)
{
    if (HRESULT hr = Record(Op("SetRenderTarget")); Failed(hr))
        return hr;
    if (!target)
        return D3DERR_INVALIDCALL;
    if (target != target_)
        BindTarget(target);
    return DD_OK;
}

HRESULT SoftwareDevice3D::Clear(uint32_t color)
{
    if (HRESULT hr = Record(Op("Clear", 0, color)); Failed(hr))
        return hr;
    if (!target_)
        return D3DERR_INVALIDCALL;
    SurfaceDesc d;
    if (HRESULT hr = target_->Lock(nullptr, d, DDLOCK_WAIT); Failed(hr))
        return hr;
    const uint32_t value = detail::PackArgb(color, d.pixelFormat);
    const int32_t bpp = d.pixelFormat.bitCount / 8;
    const int32_t x0 = std::max(vpX_, 0), y0 = std::max(vpY_, 0);
    const int32_t x1 = std::min(vpX_ + vpW_, d.width), y1 = std::min(vpY_ + vpH_, d.height);
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
            detail::StorePixel(static_cast<uint8_t*>(d.surface) + size_t(y) * size_t(d.pitch) + size_t(x) * size_t(bpp),
                               bpp, value);
    target_->Unlock(nullptr);
    return DD_OK;
}

HRESULT SoftwareDevice3D::BeginScene()
{
    if (HRESULT hr = Record(Op("BeginScene")); Failed(hr))
        return hr;
    if (inScene_)
        return D3DERR_SCENE_IN_SCENE;
    inScene_ = true;
    return DD_OK;
}

HRESULT SoftwareDevice3D::EndScene()
{
    if (HRESULT hr = Record(Op("EndScene")); Failed(hr))
        return hr;
    if (!inScene_)
        return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    return DD_OK;
}

HRESULT SoftwareDevice3D::SetRenderState(RenderState state, uint32_t value)
{
    if (HRESULT hr = Record(Op("SetRenderState", uint32_t(state), value)); Failed(hr))
        return hr;
    if (std::find(options_.ignoredStates.begin(), options_.ignoredStates.end(), state) == options_.ignoredStates.end())
        states_.render[int(state)] = value;
    return DD_OK;
}

HRESULT SoftwareDevice3D::SetTextureStageState(int stage, StageState state, uint32_t value)
{
    if (HRESULT hr = Record(Op("SetTextureStageState", uint32_t(state), value, stage));
        Failed(hr))
        return hr;
    if (stage < 0 || stage >= kStageCount)
        return D3DERR_INVALIDCALL;
    states_.stage[stage][int(state)] = value;
    return DD_OK;
}

HRESULT SoftwareDevice3D::SetTexture(int stage, const Texture3DRef& texture)
{
    Call call = Op("SetTexture");
    call.stage = stage;
    call.texture = texture.get();
    if (HRESULT hr = Record(std::move(call)); Failed(hr))
        return hr;
    if (stage < 0 || stage >= kStageCount)
        return D3DERR_INVALIDCALL;
    textures_[stage] = texture;
    return DD_OK;
}

HRESULT SoftwareDevice3D::CreateTexture(int32_t width, int32_t height, uint32_t format, Texture3DRef& out)
{
    out.reset();
    Call call = Op("CreateTexture");
    call.state = format;
    if (HRESULT hr = Record(std::move(call)); Failed(hr))
        return hr;
    if (width < 1 || height < 1 || (options_.caps.maxTextureWidth > 0 && width > options_.caps.maxTextureWidth) ||
        (options_.caps.maxTextureHeight > 0 && height > options_.caps.maxTextureHeight))
        return DDERR_INVALIDPARAMS;
    if (std::find(options_.formats.begin(), options_.formats.end(), format) == options_.formats.end())
        return DDERR_INVALIDPIXELFORMAT;
    out = std::make_shared<SoftwareTexture>(failures_, width, height, format);
    return DD_OK;
}

HRESULT SoftwareDevice3D::DrawPrimitive(Primitive type, const Vertex3D* vertices, int32_t count, int textureCount)
{
    Call call = Op("DrawPrimitive");
    call.primitive = type;
    call.textureCount = textureCount;
    if (options_.record)
        call.vertices.assign(vertices, vertices + std::max(count, 0));
    if (HRESULT hr = Record(std::move(call)); Failed(hr))
        return hr;
    if (!inScene_ || !target_ || !vertices || count < 0)
        return D3DERR_INVALIDCALL;
    SurfaceDesc d;
    if (HRESULT hr = target_->Lock(nullptr, d, DDLOCK_WAIT); Failed(hr))
        return hr;
    switch (type) {
    case Primitive::TriangleStrip:
        for (int32_t i = 0; i + 2 < count; ++i) {
            // Odd triangles of a strip are reversed so the whole strip keeps one winding.
            if (i % 2 == 0)
                DrawTriangle(vertices[i], vertices[i + 1], vertices[i + 2], textureCount, d);
            else
                DrawTriangle(vertices[i + 1], vertices[i], vertices[i + 2], textureCount, d);
        }
        break;
    case Primitive::TriangleFan:
        for (int32_t i = 1; i + 1 < count; ++i)
            DrawTriangle(vertices[0], vertices[i], vertices[i + 1], textureCount, d);
        break;
    case Primitive::TriangleList:
        for (int32_t i = 0; i + 2 < count; i += 3)
            DrawTriangle(vertices[i], vertices[i + 1], vertices[i + 2], textureCount, d);
        break;
    case Primitive::LineStrip:
        for (int32_t i = 0; i + 1 < count; ++i)
            DrawLine(vertices[i], vertices[i + 1], textureCount, d);
        break;
    }
    target_->Unlock(nullptr);
    return DD_OK;
}

uint32_t SoftwareDevice3D::Sample(int stage, float u, float v) const
{
    const auto* tex = static_cast<const SoftwareTexture*>(textures_[stage].get());
    const int32_t w = tex->Width(), h = tex->Height();
    const uint32_t* st = states_.stage[stage];
    auto address = [](int32_t i, int32_t n, uint32_t mode) {
        if (mode == kAddressWrap)
            return ((i % n) + n) % n;
        return std::clamp(i, 0, n - 1);
    };
    const uint32_t au = st[int(StageState::AddressU)], av = st[int(StageState::AddressV)];
    if (st[int(StageState::MagFilter)] != kFilterLinear) {
        const int32_t x = address(int32_t(std::floor(double(u) * w)), w, au);
        const int32_t y = address(int32_t(std::floor(double(v) * h)), h, av);
        return tex->Texel(x, y);
    }
    // Bilinear: texel centres at (i + 0.5) / size; weights in 1/256 steps so results repeat exactly.
    const double fx = double(u) * w - 0.5, fy = double(v) * h - 0.5;
    const double flx = std::floor(fx), fly = std::floor(fy);
    const int32_t x0 = int32_t(flx), y0 = int32_t(fly);
    const uint32_t wx = uint32_t(std::lround((fx - flx) * 256.0)), wy = uint32_t(std::lround((fy - fly) * 256.0));
    const uint32_t t00 = tex->Texel(address(x0, w, au), address(y0, h, av));
    const uint32_t t10 = tex->Texel(address(x0 + 1, w, au), address(y0, h, av));
    const uint32_t t01 = tex->Texel(address(x0, w, au), address(y0 + 1, h, av));
    const uint32_t t11 = tex->Texel(address(x0 + 1, w, au), address(y0 + 1, h, av));
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t top = Channel(t00, shift) * (256 - wx) + Channel(t10, shift) * wx;
        const uint32_t bottom = Channel(t01, shift) * (256 - wx) + Channel(t11, shift) * wx;
        out |= ((top * (256 - wy) + bottom * wy + 32768) >> 16) << shift;
    }
    return out;
}

void SoftwareDevice3D::ShadePixel(int32_t x, int32_t y, uint32_t diffuse, const float* uv, int textureCount,
                                  SurfaceDesc& d)
{
    if (x < vpX_ || y < vpY_ || x >= vpX_ + vpW_ || y >= vpY_ + vpH_ || x < 0 || y < 0 || x >= d.width ||
        y >= d.height)
        return;
    uint32_t current = diffuse;
    for (int s = 0; s < kStageCount; ++s) {
        const uint32_t* st = states_.stage[s];
        const uint32_t colorOp = st[int(StageState::ColorOp)];
        if (colorOp == kOpDisable)
            break;
        // A stage without a texture (or a draw without coordinates) reads the texture as white.
        uint32_t texel = 0xFFFFFFFFu;
        if (textures_[s] && textureCount > 0) {
            const int idx = std::min<int>(int(st[int(StageState::TexCoordIndex)]), textureCount - 1);
            texel = Sample(s, uv[idx * 2], uv[idx * 2 + 1]);
        }
        auto arg = [&](uint32_t a) { return a == kArgDiffuse ? diffuse : a == kArgTexture ? texel : current; };
        const uint32_t c1 = arg(st[int(StageState::ColorArg1)]), c2 = arg(st[int(StageState::ColorArg2)]);
        uint32_t alphaOp = st[int(StageState::AlphaOp)];
        uint32_t a;
        if (alphaOp == kOpDisable)
            a = Channel(current, 24);
        else
            a = ApplyOp(alphaOp, arg(st[int(StageState::AlphaArg1)]), arg(st[int(StageState::AlphaArg2)]), 24);
        current = (a << 24) | (ApplyOp(colorOp, c1, c2, 16) << 16) | (ApplyOp(colorOp, c1, c2, 8) << 8) |
                  ApplyOp(colorOp, c1, c2, 0);
    }
    const int32_t bpp = d.pixelFormat.bitCount / 8;
    uint8_t* p = static_cast<uint8_t*>(d.surface) + size_t(y) * size_t(d.pitch) + size_t(x) * size_t(bpp);
    uint32_t out = current;
    if (states_.render[int(RenderState::AlphaBlendEnable)]) {
        const uint32_t dst = detail::UnpackArgb(detail::LoadPixel(p, bpp), d.pixelFormat);
        const uint32_t sa = current >> 24;
        const uint32_t sf = BlendFactor(states_.render[int(RenderState::SrcBlend)], sa);
        const uint32_t df = BlendFactor(states_.render[int(RenderState::DestBlend)], sa);
        out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= std::min<uint32_t>((Channel(current, shift) * sf + Channel(dst, shift) * df + 127) / 255, 255)
                   << shift;
    }
    detail::StorePixel(p, bpp, detail::PackArgb(out, d.pixelFormat));
}

namespace {
struct Attr {
    double c[4];   // b, g, r, a
    double uv[4];  // u, v, u1, v1
};
Attr AttrOf(const Vertex3D& v)
{
    Attr a;
    for (int i = 0; i < 4; ++i)
        a.c[i] = double((v.diffuse >> (i * 8)) & 0xFF);
    a.uv[0] = v.u;
    a.uv[1] = v.v;
    a.uv[2] = v.u1;
    a.uv[3] = v.v1;
    return a;
}
uint32_t PackColor(const double* c)
{
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i)
        out |= uint32_t(std::clamp(std::lround(c[i]), 0l, 255l)) << (i * 8);
    return out;
}
} // namespace

void SoftwareDevice3D::DrawTriangle(const Vertex3D& a, const Vertex3D& b0, const Vertex3D& c0, int textureCount,
                                    SurfaceDesc& d)
{
    const Vertex3D* b = &b0;
    const Vertex3D* c = &c0;
    auto edge = [](const Vertex3D& p, const Vertex3D& q, double x, double y) {
        return (double(q.x) - p.x) * (y - p.y) - (double(q.y) - p.y) * (x - p.x);
    };
    double area = edge(a, *b, c->x, c->y);
    if (area == 0)
        return;
    // Positive area: clockwise on the screen (y grows downward).
    const uint32_t cull = states_.render[int(RenderState::CullMode)];
    if ((cull == 3 && area < 0) || (cull == 2 && area > 0))
        return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    const Attr A = AttrOf(a), B = AttrOf(*b), C = AttrOf(*c);
    // Top-left rule: a pixel centre on an edge belongs to the triangle only for top and left edges.
    auto owns = [](const Vertex3D& p, const Vertex3D& q) {
        const double dx = double(q.x) - p.x, dy = double(q.y) - p.y;
        return dy < 0 || (dy == 0 && dx > 0);
    };
    const bool ownBC = owns(*b, *c), ownCA = owns(*c, a), ownAB = owns(a, *b);
    const double minX = std::min({double(a.x), double(b->x), double(c->x)});
    const double maxX = std::max({double(a.x), double(b->x), double(c->x)});
    const double minY = std::min({double(a.y), double(b->y), double(c->y)});
    const double maxY = std::max({double(a.y), double(b->y), double(c->y)});
    const int32_t x0 = std::max<int32_t>(int32_t(std::ceil(std::max(minX, -1.0))), std::max(vpX_, 0));
    const int32_t x1 = std::min<int32_t>(int32_t(std::floor(std::min(maxX, 65536.0))), std::min(vpX_ + vpW_, d.width) - 1);
    const int32_t y0 = std::max<int32_t>(int32_t(std::ceil(std::max(minY, -1.0))), std::max(vpY_, 0));
    const int32_t y1 = std::min<int32_t>(int32_t(std::floor(std::min(maxY, 65536.0))), std::min(vpY_ + vpH_, d.height) - 1);
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            const double w0 = edge(*b, *c, x, y), w1 = edge(*c, a, x, y), w2 = edge(a, *b, x, y);
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            if ((w0 == 0 && !ownBC) || (w1 == 0 && !ownCA) || (w2 == 0 && !ownAB))
                continue;
            const double l0 = w0 / area, l1 = w1 / area, l2 = w2 / area;
            double col[4];
            float uv[4];
            for (int i = 0; i < 4; ++i) {
                col[i] = A.c[i] * l0 + B.c[i] * l1 + C.c[i] * l2;
                uv[i] = float(A.uv[i] * l0 + B.uv[i] * l1 + C.uv[i] * l2);
            }
            ShadePixel(x, y, PackColor(col), uv, textureCount, d);
        }
    }
}

void SoftwareDevice3D::DrawLine(const Vertex3D& a, const Vertex3D& b, int textureCount, SurfaceDesc& d)
{
    // Steps along the major axis through pixel centres; the end pixel is left out, so a strip
    // draws each joint once.
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const double len = xMajor ? dx : dy;
    if (len == 0)
        return;
    const double start = xMajor ? a.x : a.y;
    const int32_t first = int32_t(std::lround(start));
    const int32_t last = int32_t(std::lround(xMajor ? double(b.x) : double(b.y)));
    const int32_t step = len > 0 ? 1 : -1;
    const Attr A = AttrOf(a), B = AttrOf(b);
    for (int32_t i = first; i != last; i += step) {
        const double t = std::clamp((i - start) / len, 0.0, 1.0);
        const double minor = xMajor ? a.y + dy * t : a.x + dx * t;
        const int32_t m = int32_t(std::floor(minor + 0.5));
        double col[4];
        float uv[4];
        for (int k = 0; k < 4; ++k) {
            col[k] = A.c[k] + (B.c[k] - A.c[k]) * t;
            uv[k] = float(A.uv[k] + (B.uv[k] - A.uv[k]) * t);
        }
        ShadePixel(xMajor ? i : m, xMajor ? m : i, PackColor(col), uv, textureCount, d);
    }
}

// ---- driver ----

bool SoftwareDriver3D::ProbeNewerAdapterIdentity(AdapterIdentity& out)
{
    if (!newerProbeWorks)
        return false;
    out = identity;
    return true;
}

HRESULT SoftwareDriver3D::GetDeviceIdentifier(AdapterIdentity& out)
{
    if (Failed(identifierResult))
        return identifierResult;
    out = identity;
    return DD_OK;
}

HRESULT SoftwareDriver3D::GetAvailableVidMem(uint64_t& total)
{
    if (Failed(vidMemResult))
        return vidMemResult;
    total = videoMemory;
    return DD_OK;
}

HRESULT SoftwareDriver3D::CreateRenderTarget(int32_t width, int32_t height, Surface** out)
{
    if (renderTargetFactory)
        return renderTargetFactory(width, height, out);
    return MemorySurface::Create(width, height, desktop.bitDepth == 16 ? kFormat565 : kFormatX8R8G8B8,
                                 DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN, 0, out);
}

HRESULT SoftwareDriver3D::CreateDevice(Surface* target, std::unique_ptr<Device3D>& out)
{
    if (Failed(createDeviceResult))
        return createDeviceResult;
    auto device = std::make_unique<SoftwareDevice3D>(target, deviceOptions);
    if (onDeviceCreated)
        onDeviceCreated(*device);
    ++devicesCreated;
    out = std::move(device);
    return DD_OK;
}

} // namespace Platform
