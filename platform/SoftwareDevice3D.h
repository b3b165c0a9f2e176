// The software reference 3-D device: draws pre-transformed triangles and lines into its render
// target surface with the device rules the renderer relies on (pixel centres on integers, top-left
// fill rule, two texture stages, point or bilinear sampling, clamp or wrap, the four blend factors),
// deterministically. Every call is recorded and any call can be made to fail, so tests can check
// what the renderer sends and how it reacts to a failing driver. Its driver stands in for the
// adapter queries (identity, video memory, desktop mode) with configurable answers.
#pragma once
#include "platform/Device3D.h"
#include "platform/detail/DeviceStates.h"

#include <functional>
#include <map>
#include <string>

namespace Platform {

// Injected failures, shared by a device and the textures it made (they may outlive it).
struct FailureInjector {
    struct Failure {
        HRESULT hr;
        int skip;
        bool persistent;
    };
    std::map<std::string, Failure> table;
    // The injected result for op, DD_OK when none is due.
    HRESULT Check(const std::string& op);
};

class SoftwareDevice3D final : public Device3D {
public:
    // One recorded call: op is the method name ("DrawPrimitive", "SetRenderState", ...).
    struct Call {
        std::string op;
        Primitive primitive = Primitive::TriangleStrip;
        std::vector<Vertex3D> vertices;
        int textureCount = 0;
        int stage = 0;
        uint32_t state = 0; // RenderState / StageState as a number
        uint32_t value = 0;
        Texture3D* texture = nullptr;
    };
    struct Options {
        Device3DCaps caps{1, 1, 2048, 2048, 0, false};
        std::vector<uint32_t> formats{kTexA8R8G8B8, kTexA4R4G4B4, kTexR5G6B5};
        bool record = true; // keep the call log (off for benchmarks)
        // States the device accepts but does not apply, as a faulty driver would.
        std::vector<RenderState> ignoredStates;
    };

    explicit SoftwareDevice3D(Surface* target);
    SoftwareDevice3D(Surface* target, Options options);
    ~SoftwareDevice3D() override;

    HRESULT GetCaps(Device3DCaps& caps) override;
    HRESULT EnumTextureFormats(std::vector<uint32_t>& formats) override;
    HRESULT SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;
    HRESULT Clear(uint32_t color) override;
    HRESULT SetRenderTarget(Surface* target) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT SetRenderState(RenderState state, uint32_t value) override;
    HRESULT SetTextureStageState(int stage, StageState state, uint32_t value) override;
    HRESULT SetTexture(int stage, const Texture3DRef& texture) override;
    HRESULT DrawPrimitive(Primitive type, const Vertex3D* vertices, int32_t count, int textureCount) override;
    HRESULT CreateTexture(int32_t width, int32_t height, uint32_t format, Texture3DRef& out) override;

    // Failure injection: the next call of op (a method name, or "DrawPrimitive:Line",
    // "DrawPrimitive:Strip", "DrawPrimitive:Fan", "DrawPrimitive:List" for one primitive type;
    // "LockTexture" for texture locks) after skip successful ones fails with hr, once or for good.
    void InjectFailure(const std::string& op, HRESULT hr, int skip = 0, bool persistent = false);
    void ClearFailures() { failures_->table.clear(); }

    const std::vector<Call>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Recorded calls of one op.
    std::vector<Call> CallsOf(const std::string& op) const;
    // Current state, for tests.
    uint32_t GetRenderStateValue(RenderState state) const;
    uint32_t GetStageStateValue(int stage, StageState state) const;
    bool InScene() const { return inScene_; }

private:
    void BindTarget(Surface* target);
    HRESULT Record(Call call);
    void DrawTriangle(const Vertex3D& a, const Vertex3D& b, const Vertex3D& c, int textureCount,
                      SurfaceDesc& target);
    void DrawLine(const Vertex3D& a, const Vertex3D& b, int textureCount, SurfaceDesc& target);
    void ShadePixel(int32_t x, int32_t y, uint32_t diffuse, const float* uv, int textureCount, SurfaceDesc& target);
    uint32_t Sample(int stage, float u, float v) const;

    Surface* target_ = nullptr;
    Options options_;
    std::vector<Call> calls_;
    std::shared_ptr<FailureInjector> failures_;
    bool inScene_ = false;
    int32_t vpX_ = 0, vpY_ = 0, vpW_ = 0, vpH_ = 0;
    detail::DeviceStates states_;
    Texture3DRef textures_[kStageCount];
};

// The adapter as the software device's driver reports it; every answer is a field tests may set.
class SoftwareDriver3D final : public Driver3D {
public:
    AdapterIdentity identity{"", "Software reference rasterizer"};
    bool newerProbeWorks = false;
    HRESULT identifierResult = DD_OK;
    uint64_t videoMemory = 64ull << 20;
    HRESULT vidMemResult = DD_OK;
    DesktopMode desktop{1024, 768, 0, 32};
    HRESULT createDeviceResult = DD_OK;
    SoftwareDevice3D::Options deviceOptions;
    // Makes render targets when set (e.g. a 24-bit surface); else a memory surface of the desktop's
    // 16- or 32-bit format.
    std::function<HRESULT(int32_t, int32_t, Surface**)> renderTargetFactory;
    // Called with each device made, before it is handed out (to inject failures).
    std::function<void(SoftwareDevice3D&)> onDeviceCreated;

    bool ProbeNewerAdapterIdentity(AdapterIdentity& out) override;
    HRESULT GetDeviceIdentifier(AdapterIdentity& out) override;
    HRESULT GetAvailableVidMem(uint64_t& total) override;
    DesktopMode GetDesktopMode() override { return desktop; }
    HRESULT CreateRenderTarget(int32_t width, int32_t height, Surface** out) override;
    HRESULT CreateDevice(Surface* target, std::unique_ptr<Device3D>& out) override;
    int32_t devicesCreated = 0;
};

} // namespace Platform
