// The 3-D renderer: draws the frame through a device of the 3-D device layer onto the display's
// draw surface when the display is in 3-D mode. Surface images route fills, lines, polygons, blits
// (as textured quads, one per texture piece) and textured triangles here. Every failing device call
// is recorded (error text and the registry value "Test3D\RuntimeError"); the display leaves 3-D
// mode at its next present. Vertices are pre-transformed; no depth, no lighting.
#pragma once
#include "framework/core/CritSect.h"
#include "framework/display/D3DTester.h"
#include "framework/display/DisplayRenderer.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/Renderer3D.h"
#include "platform/Device3D.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Fw {

// What the renderer needs of the application.
class D3DHost : public D3DTestHost {
public:
    virtual bool IsMinimized() = 0;
    // Stores the renderer's last error text as "Test3D\RuntimeError".
    virtual void WriteRuntimeError(const std::string& text) = 0;
    virtual D3DTestSettings GetTestSettings() = 0;

protected:
    ~D3DHost() = default;
};

class D3DInterface : public DisplayRenderer, public Renderer3D, public D3DErrorCheck {
public:
    // driver and host must outlive the renderer.
    D3DInterface(Platform::Driver3D& driver, D3DHost& host);
    ~D3DInterface() override;

    // ---- DisplayRenderer ----
    bool TestCapability(Platform::WindowId window) override;
    bool Init(DDInterface& display) override;
    std::string GetErrorText() override { return errorText_; }
    void Flush() override;
    void Cleanup() override;
    void RemoveTextureData(MemoryImage* image) override;
    bool RecoverTextureBits(MemoryImage* image) override { return RecoverBits(image); }
    Renderer3D* GetDrawing() override { return this; }
    bool PresentsToWindow() override { return device_ && device_->PresentsToWindow(); }
    bool PresentToWindow(const Platform::WindowPresentation& how) override;
    bool ReadBack() override;

    // Init on a bare draw surface (the display's Init calls this with its own). With inWindow the
    // driver's window device is taken when it has one (the frame then goes straight to the window).
    bool InitOnSurface(Platform::Surface* drawSurface, int32_t width, int32_t height, bool windowed,
                       CritSect* displayLock, bool inWindow = false);

    // ---- Renderer3D ----
    void FillRect(const Rect& rect, const Color& color, int32_t drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode) override;
    bool PolyFill(const Point* points, int32_t count, const Rect& clip, const Color& color, int32_t drawMode,
                  int32_t tx, int32_t ty) override;
    void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int32_t drawMode,
             bool linear) override;
    void BltTransformed(Image* image, const Rect* clip, const Color& color, int32_t drawMode, const Rect& srcRect,
                        const Matrix3& matrix, bool linear, float x, float y, const SecondTexture* second) override;
    void DrawTrianglesTex(Image* texture, const TriVertexTriangle* triangles, int32_t count, const Rect& clip,
                          const Color& color, int32_t drawMode, float tx, float ty, bool linear) override;
    bool TransformStackEmpty() override { return transformStack_.empty(); }

    // ---- D3DErrorCheck ----
    bool CheckDXError(Platform::HRESULT hr, const std::string& label) override;

    bool PreDraw();
    void SetDrawMode(int32_t drawMode);
    void SetLinearFilter(bool on);
    // The image's texture record, made or refreshed; false when it has no usable format.
    bool CreateImageTexture(MemoryImage* image);
    bool RecoverBits(MemoryImage* image);
    void PushTransform(const Matrix3& m) { transformStack_.push_back(m); }
    void PopTransform() { if (!transformStack_.empty()) transformStack_.pop_back(); }

    bool IsRenderTargetLost() const { return renderTargetLost_; }
    bool IsSceneOpen() const { return sceneOpen_; }
    const RendererLimits& GetLimits() const { return limits_; }
    Platform::Device3D* GetDevice() { return device_.get(); }
    D3DTester* GetTester() { return tester_.get(); }
    size_t TexturedImageCount() const { return images_.size(); }

private:
    // Sets each texture piece under srcRect on stage 0 and calls draw(left, top, width, height,
    // u0, v0, u1, v1) with the part's place relative to srcRect's origin.
    template <class DrawQuad>
    void WalkPieces(TextureData& data, const Rect& srcRect, DrawQuad&& draw);
    void DrawTexturedQuad(Platform::Vertex3D* quad, const Rect* clip, int textureCount, const char* label);
    void DrawFan(std::vector<Platform::Vertex3D>& poly, const Rect* clip, int textureCount, const char* label);
    void ApplyTransform(Platform::Vertex3D& v) const;
    void EmptyStage1();
    // PreDraw, the draw mode and no texture on stage 0; false when nothing may be drawn.
    bool BeginUntextured(int32_t drawMode);

    Platform::Driver3D& driver_;
    D3DHost& host_;
    std::unique_ptr<D3DTester> tester_;
    std::unique_ptr<Platform::Device3D> device_;
    Platform::SurfaceRef drawSurface_;
    CritSect ownLock_;
    CritSect* displayLock_ = &ownLock_;
    int32_t width_ = 800, height_ = 600;
    bool sceneOpen_ = false;
    bool windowed_ = true;
    bool renderTargetLost_ = false;
    bool linearFilter_ = false;
    std::string errorText_;
    RendererLimits limits_;
    std::map<MemoryImage*, std::unique_ptr<TextureData>> images_;
    std::vector<Matrix3> transformStack_;
};

} // namespace Fw
