// The plain script widget: an engine widget that a script makes with the engine object's
// CreateWidget and drives through its twin "VTPyCandyWidget3". Its transform differs from the
// engine widget's on purpose: the pivot (scale point) is in the widget's own coordinates, the
// effect offset is added after the rotation, and x and y scale separately. It draws its textures
// tinted by its colour scale and alpha (multiplied by its engine ancestors'), optionally through a
// mask widget's first texture, then its particle systems. Made without mouse input until the
// script sets "allow_mouse". Main thread (scripts on other threads build widgets outside the tree).
#pragma once
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/CandyWidget.h"

#include <memory>
#include <vector>

class VTParticleSystem3;
class VTTexture;

class VTCandyWidget3 : public VTCandyWidget, public VTPyWidgetBrotherInterface {
public:
    // scriptObject: the object the widget is made for (a reference is kept); parent: the engine
    // widget it belongs to (may be null).
    VTCandyWidget3(PyObject* scriptObject, VTCandyWidget* parent);
    // Deletes the mask texture; the particle systems stay (their script resets them) but forget it.
    ~VTCandyWidget3() override;

    // ---- twin ----
    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    // ---- widget ----
    // Changes scripts make to the tree while this subtree updates wait until it is done.
    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void MouseEnter() override;
    // Always with "allow_solid_rect"; else the mask texture's pixel; else any texture's pixel.
    bool HitTest(int32_t x, int32_t y) override;
    // Not cached: rebuilt on each call from the widget's fields and the engine parent's transform.
    const Fw::Matrix3& GetTransform() override;
    void GetColorScale(float* r, float* g, float* b) override;
    void SetScale(float s) override; // both scales

    void SetScaleX(float s);
    void SetScaleY(float s);
    // Replaces the texture used for hit tests (null removes it).
    void SetMaskTexture(std::unique_ptr<VTTexture> texture);
    // maskTwin: a widget twin object whose widget masks this one's textures; null removes it. The
    // widget is reached through its twin, so a mask widget that goes away simply stops masking.
    void SetMaskWidget(const VTPythonObject& maskTwin) { maskWidgetTwin_ = maskTwin; }
    VTCandyWidget* GetMaskWidget() const;
    void AddParticleSystem(VTParticleSystem3* system) { particleSystems_.push_back(system); }
    // Removes the first occurrence.
    void RemoveParticleSystem(VTParticleSystem3* system);
    const std::vector<VTParticleSystem3*>& ParticleSystems() const { return particleSystems_; }

    bool alwaysHit = false; // "allow_solid_rect"
    bool isMask = false;    // "is_mask": the own textures are not drawn
    float colorR = 1.0f, colorG = 1.0f, colorB = 1.0f;
    float scaleX = 1.0f, scaleY = 1.0f;

private:
    // The textures get the draw matrix (the inverse of the transform while a mask widget is set)
    // and the application area as clip rectangle.
    void PlaceTextures();
    void DrawDebugFrame(Fw::Graphics& g);
    std::string MouseOwnerPath();

    std::unique_ptr<VTTexture> maskTexture_;
    VTPythonObject maskWidgetTwin_;
    std::vector<VTParticleSystem3*> particleSystems_;
    Fw::Matrix3 transform3_;
};
