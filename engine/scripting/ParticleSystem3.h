// A particle system made by a script widget's CreatePS, with its twin "VTPyParticleSystem3": the
// script plays, stops, clears and resets it and writes its descriptor values. Its owner widget
// updates and draws it; it lives until the script's Reset (an owner going first only forgets it),
// or, when the script never resets it, until the interpreter ends.
#pragma once
#include "engine/effects/ParticleSystem.h"
#include "engine/scripting/WidgetBrother.h"

class VTCandyWidget3;

class VTParticleSystem3 : public VTParticleSystem, public VTPyWidgetBrotherInterface {
public:
    // Registered under owner in the effects' registry (owner's widget advances it, never the
    // registry's owner walk), images from catalogue (may be null). Script object None.
    VTParticleSystem3(const VTParticleSystemDesc& desc, VTCandyWidget3* owner, VTTextureCatalogue* catalogue);
    ~VTParticleSystem3() override;

    // update_fn under the owner's menu-root rule, then the particles.
    void Update(float seconds) override;

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    // Out of the owner's list (when the owner is still there), then deleted.
    void DestroyTwin() override;

    VTCandyWidget3* Owner() const { return owner_; }
    void ForgetOwner() { owner_ = nullptr; }

private:
    VTCandyWidget3* owner_;
};

// CreatePS of a script widget: a system with the script defaults and texture name on owner; returns
// its twin object (new reference), or null with an error set. Interpreter lock held.
PyObject* CreateScriptParticleSystem(VTCandyWidget3& owner, const std::string& textureName);
// Destroys every script particle system the scripts did not Reset, as Reset would (the
// interpreter's end: no script can reach them any more). Main thread, before the interpreter is
// finalised and while the owner widgets that have not forgotten their systems still exist.
void ReleaseScriptParticleSystems();
