// What an engine widget asks of its effect: advancing it, firing named events at it, binding values
// and its target. VTEffect implements it; widgets hold their effect through this interface so they
// do not depend on the effect catalogue. Effects are made by name through the factory that the effect
// catalogue installs (CreateEffectByName); without one, widgets get no effect. Main thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class VTIEffect;

class VTWidgetEffect {
public:
    virtual ~VTWidgetEffect() = default;

    // Advances the effect's timers by seconds.
    virtual void Update(float seconds) = 0;
    // Runs the messages filed under name; false (and nothing changes) when none carries it.
    virtual bool FireEvent(std::string_view name) = 0;
    // Binds or rebinds id (see EffectValueIds.h); the pointer is not owned.
    virtual bool SetValue(int32_t id, void* value) = 0;
    // The widget interface the effect acts on; not owned.
    virtual void SetTarget(VTIEffect* target) = 0;
};

// Makes the catalogue's effect of a name, or null when it has none.
using VTWidgetEffectFactory = std::function<std::unique_ptr<VTWidgetEffect>(const std::string& name)>;

// Installs the factory (an empty one removes it). The effect catalogue installs its own when loaded.
void SetWidgetEffectFactory(VTWidgetEffectFactory factory);
// The installed factory's effect for name; null without a factory or for an empty name.
std::unique_ptr<VTWidgetEffect> CreateWidgetEffect(const std::string& name);
