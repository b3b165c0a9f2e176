// Parsing, firing and advancing effects.
#include "engine/effects/Effect.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "engine/effects/EffectFunctionTable.h"
#include "engine/effects/ParticleSystemRegistry.h"

#include <unordered_map>

namespace {

constexpr size_t kTextBuffer = 128; // room of the catalogue's text attributes

int32_t CommandCode(const std::string& text)
{
    if (text == "start")
        return kEffectCommandStart;
    if (text == "stop")
        return kEffectCommandStop;
    if (text == "pause")
        return kEffectCommandPause;
    if (text == "resume")
        return kEffectCommandResume;
    if (text == "call")
        return kEffectCommandCall;
    return kEffectCommandNone;
}

} // namespace

VTEffect::VTEffect() = default;

VTEffect::~VTEffect()
{
    // The particle systems that effect functions made go with the effect.
    if (particleRegistry_ != nullptr)
        particleRegistry_->DestroyByOwner(ParticleOwnerKey());
    // Timers go in index order; values and the target are not ours.
    for (auto& entry : timers_)
        entry.second.reset();
    messages_.clear();
    values_.clear();
    timers_.clear();
}

void VTEffect::Parse(const Platform::XmlNode& element)
{
    std::unordered_map<std::string, VTTimer*> byName; // a later timer of the same name wins
    int32_t index = 0;
    XmlForEachNode(element, "timers/timer", [&](const Platform::XmlNode& node) {
        auto timer = std::make_unique<VTTimer>(this);
        timer->ReadDefinition(node);
        std::string name;
        XmlGetAttributeString(node, "name", name, kTextBuffer);
        if (!name.empty())
            byName[name] = timer.get();
        timers_[index++] = std::move(timer);
        return true;
    });

    XmlForEachNode(element, "messages/message", [&](const Platform::XmlNode& node) {
        VTEffectMessage message;
        std::string timerId;
        XmlGetAttributeString(node, "timer_id", timerId, kTextBuffer);
        if (auto found = byName.find(timerId); !timerId.empty() && found != byName.end())
            message.timer = found->second;
        std::string command;
        XmlGetAttributeString(node, "command", command, kTextBuffer);
        message.command = CommandCode(command);
        if (message.command == kEffectCommandCall)
            message.function = FindMessageFunction(timerId);
        std::string name;
        XmlGetAttributeString(node, "name", name, kTextBuffer);
        messages_.emplace(std::move(name), message); // after earlier messages of the same name
        return true;
    });
}

bool VTEffect::FireEvent(std::string_view name)
{
    const auto [first, last] = messages_.equal_range(name);
    if (first == last)
        return false;
    for (auto it = first; it != last; ++it) {
        const VTEffectMessage& message = it->second;
        if (!message.enabled)
            continue;
        switch (message.command) {
        case kEffectCommandStop:
            if (message.timer != nullptr) {
                message.timer->SetRunning(false);
                message.timer->Restart();
            }
            break;
        case kEffectCommandStart:
            if (message.timer != nullptr) {
                message.timer->Restart();
                message.timer->SetRunning(true);
            }
            break;
        case kEffectCommandResume:
            if (message.timer != nullptr)
                message.timer->SetRunning(true);
            break;
        case kEffectCommandPause:
            if (message.timer != nullptr)
                message.timer->SetRunning(false);
            break;
        case kEffectCommandCall:
            if (message.function != nullptr)
                message.function(this);
            break;
        default:
            break;
        }
    }
    if (enabled_)
        Update(0.0f);
    return true;
}

void VTEffect::Update(float seconds)
{
    if (!enabled_)
        return;
    for (auto& [index, timer] : timers_) {
        if (!timer->IsFinished() && timer->IsRunning())
            timer->Advance(seconds);
    }
}

void* VTEffect::GetValue(int32_t id) const
{
    const auto found = values_.find(id);
    return found == values_.end() ? nullptr : found->second;
}

bool VTEffect::SetValue(int32_t id, void* value)
{
    values_[id] = value;
    return true;
}

VTTimer* VTEffect::GetTimer(int32_t index) const
{
    const auto found = timers_.find(index);
    return found == timers_.end() ? nullptr : found->second.get();
}

void VTEffect::ForEachMessage(
    const std::function<void(const std::string& name, const VTEffectMessage&)>& visit) const
{
    for (const auto& [name, message] : messages_)
        visit(name, message);
}
