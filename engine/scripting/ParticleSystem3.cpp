// Script particle systems and the Python type "VTPyParticleSystem3".
#include "engine/scripting/ParticleSystem3.h"

#include "engine/effects/EffectParticles.h"
#include "engine/scripting/CandyWidget3.h"
#include "engine/scripting/ClassTwinSupport.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/StaticType.h"
#include "engine/scripting/TwinTypes.h"

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

// The script systems not destroyed yet (made on whichever thread runs the script).
std::mutex gLiveMutex;
std::set<VTParticleSystem3*> gLive;

} // namespace

VTParticleSystem3::VTParticleSystem3(const VTParticleSystemDesc& desc, VTCandyWidget3* owner,
                                     VTTextureCatalogue* catalogue)
    : VTParticleSystem(&desc, owner, GetEffectParticleRegistry(), catalogue), VTPyWidgetBrotherInterface(nullptr),
      owner_(owner)
{
    std::lock_guard lock(gLiveMutex);
    gLive.insert(this);
}

VTParticleSystem3::~VTParticleSystem3()
{
    std::lock_guard lock(gLiveMutex);
    gLive.erase(this);
}

void VTParticleSystem3::Update(float seconds)
{
    CallUpdateFn(owner_);
    VTParticleSystem::Update(seconds);
}

bool VTParticleSystem3::GetClassAttr(VTPythonObject&, const char*) { return false; }

namespace {

// "age_clr": {age: [a, r, g, b], ...} becomes the colour keys. Anything but a dict is ignored.
void SetAgeColors(VTParticleSystemDesc& desc, const VTPythonObject& value)
{
    std::vector<VTColorAgeKey> keys;
    {
        GilGuard gil;
        PyObject* dict = value.GetObject();
        if (!gil.Held() || !dict || !PyDict_Check(dict))
            return;
        Py_ssize_t pos = 0;
        PyObject *key = nullptr, *color = nullptr;
        while (PyDict_Next(dict, &pos, &key, &color)) {
            VTColorAgeKey k;
            k.age = VTPythonObject(key).AsFloat();
            k.color = Fw::Color(VTPythonObject(color).PackColorFromInts());
            keys.push_back(k);
        }
    }
    desc.SetAgeColors(std::move(keys)); // more than eight keys are refused
}

} // namespace

bool VTParticleSystem3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    VTParticleSystemDesc& d = Desc();
    const std::string_view n = name;
    struct FloatField { const char* name; float VTParticleSystemDesc::*field; };
    static constexpr FloatField kFloats[] = {
        {"born_speed", &VTParticleSystemDesc::emissionRate}, {"born_move_vel", &VTParticleSystemDesc::startSpeed},
        {"born_size", &VTParticleSystemDesc::startSize},     {"die_size", &VTParticleSystemDesc::endSize},
        {"life_time", &VTParticleSystemDesc::lifeTime},      {"pos_x", &VTParticleSystemDesc::positionX},
        {"pos_y", &VTParticleSystemDesc::positionY},         {"scatter_range", &VTParticleSystemDesc::angleSpread},
        {"friction_time", &VTParticleSystemDesc::frictionTime}, {"error", &VTParticleSystemDesc::randomFactor},
    };
    for (const FloatField& f : kFloats) {
        if (n == f.name) {
            d.*f.field = value.AsFloat();
            return true;
        }
    }
    if (n == "gravity_x")
        d.driftX = value.AsFloat();
    else if (n == "gravity_y")
        d.driftY = value.AsFloat();
    else if (n == "age_clr")
        SetAgeColors(d, value);
    else
        return false;
    return true;
}

void VTParticleSystem3::DestroyTwin()
{
    if (owner_)
        owner_->RemoveParticleSystem(this);
    delete this;
}

// ---- the Python type ----

namespace {

VTParticleSystem3* SystemOf(PyObject* self) { return dynamic_cast<VTParticleSystem3*>(TwinBrother(self)); }

template <void (*Fn)(VTParticleSystem3&)>
PyObject* Call(PyObject* self, PyObject*)
{
    if (VTParticleSystem3* system = SystemOf(self)) {
        GilRelease release;
        Fn(*system);
    }
    Py_RETURN_NONE;
}

PyMethodDef gMethods[] = {
    {"Reset", ResetWidgetTwin, METH_VARARGS, nullptr},
    {"Play", Call<[](VTParticleSystem3& s) { s.Play(); }>, METH_VARARGS, nullptr},
    {"Stop", Call<[](VTParticleSystem3& s) { s.Stop(); }>, METH_VARARGS, nullptr},
    {"ResetPS", Call<[](VTParticleSystem3& s) { s.Reset(); }>, METH_VARARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyTypeObject gType = MakeTwinType("VTPyParticleSystem3", gMethods);

} // namespace

PyTypeObject& PyParticleSystem3Type() { return gType; }

PyObject* CreateScriptParticleSystem(VTCandyWidget3& owner, const std::string& textureName)
{
    VTParticleSystem3* system = nullptr;
    {
        GilRelease release;
        VTEngineServices* services = GetEngineServices();
        const VTParticleSystemDesc desc = VTParticleSystemDesc::ScriptDefaults(textureName);
        system = new VTParticleSystem3(desc, &owner, services ? services->TextureCatalogue() : nullptr);
        owner.AddParticleSystem(system);
    }
    return system->MakeTwinObject(gType);
}

void ReleaseScriptParticleSystems()
{
    for (;;) {
        VTParticleSystem3* system = nullptr;
        {
            std::lock_guard lock(gLiveMutex);
            if (gLive.empty())
                return;
            system = *gLive.begin();
        }
        system->DestroyTwin(); // leaves the live set in its destructor
    }
}
