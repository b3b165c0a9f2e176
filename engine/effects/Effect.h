// An effect animates one widget: a named bundle from the effect catalogue of timers (Timer.h) and
// of messages that tie an event name to a command on one timer ("start", "stop", "pause",
// "resume") or to a direct call of a message-form effect function ("call"). The widget fires events
// on it by name, advances it once per update, and binds values (EffectValueIds.h) that the effect
// functions read. Main thread only; created by CreateEffectByName (EffectCatalogue.h).
#pragma once
#include "engine/effects/LevelEffect.h"
#include "engine/effects/EffectState.h"
#include "engine/effects/Timer.h"
#include "engine/effects/WidgetEffect.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class VTIEffect;
class VTParticleSystemRegistry;

enum VTEffectCommand : int32_t {
    kEffectCommandNone = 0,
    kEffectCommandStop = 1,   // stop the timer, then restart it (it stands at its start)
    kEffectCommandStart = 2,  // restart the timer, then run it
    kEffectCommandResume = 3, // run the timer on from where it stands
    kEffectCommandPause = 4,  // stop the timer where it stands
    kEffectCommandCall = 5,   // call the message's function with the effect
};

struct VTEffectMessage {
    VTTimer* timer = nullptr; // not owned; null when no timer of the effect has the name
    int32_t command = kEffectCommandNone;
    bool enabled = true;
    VTEffectFunction function = nullptr; // "call" only; null when the name is not a message-form function
};

// Level objects fire events at it as a LevelEffect; its widget drives it as a VTWidgetEffect.
class VTEffect : public LevelEffect, public VTWidgetEffect {
public:
    VTEffect();
    ~VTEffect() override;
    VTEffect(const VTEffect&) = delete;
    VTEffect& operator=(const VTEffect&) = delete;

    // Reads the timers ("timers/timer") and then the messages ("messages/message") of an effect
    // element.
    void Parse(const Platform::XmlNode& element);

    // Runs the messages filed under name, in file order, then advances the running timers by zero
    // seconds (a control at the current time fires at once). False, changing nothing, when no
    // message carries the name.
    bool FireEvent(std::string_view name) override;
    // Advances every running, unfinished timer by seconds, in timer order.
    void Update(float seconds) override;

    // The value bound under id, or null. Values are not owned.
    void* GetValue(int32_t id) const;
    template <class T>
    T* Value(int32_t id) const
    {
        return static_cast<T*>(GetValue(id));
    }
    // Binds or rebinds id; always true.
    bool SetValue(int32_t id, void* value) override;

    // The widget interface the functions change; not owned.
    VTIEffect* Target() const { return target_; }
    void SetTarget(VTIEffect* target) override { target_ = target; }

    bool IsEnabled() const { return enabled_; }

    // The key under which the effect's particle systems are registered: the effect as its widget
    // holds it, so the widget's update advances them.
    const void* ParticleOwnerKey() const { return static_cast<const VTWidgetEffect*>(this); }
    // Remembers the registry the effect's particle systems were registered in; the effect deletes
    // them from it when it goes.
    void SetParticleRegistry(VTParticleSystemRegistry* registry) { particleRegistry_ = registry; }

    // The timer at index (its place in the definition), or null.
    VTTimer* GetTimer(int32_t index) const;
    size_t TimerCount() const { return timers_.size(); }
    size_t MessageCount() const { return messages_.size(); }
    // Calls visit for every message, in event-name order and file order within a name.
    void ForEachMessage(const std::function<void(const std::string& name, const VTEffectMessage&)>& visit) const;

private:
    bool enabled_ = true;
    std::map<int32_t, std::unique_ptr<VTTimer>> timers_;
    std::map<int32_t, void*> values_;
    VTIEffect* target_ = nullptr;
    VTParticleSystemRegistry* particleRegistry_ = nullptr;
    std::multimap<std::string, VTEffectMessage, std::less<>> messages_;
};
