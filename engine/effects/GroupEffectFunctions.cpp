// The effect functions that animate a widget group (value id 256): every entry, or the first or
// second entry only. A field whose pointer the entry leaves null is skipped.
#include "engine/effects/EffectFunctions.h"

#include "engine/core/RandomFloat.h"
#include "engine/effects/detail/EffectFunctionSupport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace EffectSupport;

namespace {

// Runs apply(entry, v) on every entry of the effect's group; 0 when the call or group is missing.
template <class Apply>
int32_t ForEachEntry(void* argument, Apply apply)
{
    const auto call = ReadControl(argument);
    if (!call)
        return 0;
    VTWidgetGroup* group = Group(call->effect);
    if (group == nullptr)
        return 0;
    for (VTWidgetGroupEntry& entry : group->entries)
        apply(entry, call->v);
    return 1;
}

// Runs apply(entry, v) on the entry at index alone; a group too short for it changes nothing.
template <class Apply>
int32_t AtEntry(void* argument, size_t index, Apply apply)
{
    const auto call = ReadControl(argument);
    if (!call)
        return 0;
    VTWidgetGroup* group = Group(call->effect);
    if (group == nullptr || group->entries.size() <= index)
        return 0;
    apply(group->entries[index], call->v);
    return 1;
}

void SetScale(VTWidgetGroupEntry& entry, float scale)
{
    if (entry.scale != nullptr)
        *entry.scale = scale;
}

void SetAlpha(VTWidgetGroupEntry& entry, float alpha)
{
    if (entry.alpha != nullptr)
        *entry.alpha = alpha;
}

void SetOffsetX(VTWidgetGroupEntry& entry, int32_t x)
{
    if (entry.offset != nullptr)
        entry.offset[0] = x;
}

void SetOffsetY(VTWidgetGroupEntry& entry, int32_t y)
{
    if (entry.offset != nullptr)
        entry.offset[1] = y;
}

void SetColors(VTWidgetGroupEntry& entry, uint32_t first, uint32_t second)
{
    if (entry.firstColor != nullptr)
        *entry.firstColor = first;
    if (entry.secondColor != nullptr)
        *entry.secondColor = second;
    SetAlpha(entry, 1.0f);
}

double SinPi(float v)
{
    return std::sin(std::numbers::pi * v);
}

} // namespace

extern "C" {

int32_t EffectScaleZero(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float) { SetScale(e, 0.0f); });
}

int32_t EffectScaleUpRecoil(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        const Parabola curve = FitParabola(0.9f, 1.1f);
        SetScale(e, static_cast<float>(curve.a * static_cast<double>(v) * v + curve.b * static_cast<double>(v)));
    });
}

int32_t EffectScaleDownToOne(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) { SetScale(e, (1.0f - v) * 1.5f + 1.0f); });
}

int32_t EffectScaleDown(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) { SetScale(e, 1.0f - v); });
}

int32_t EffectFadeIn(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) { SetAlpha(e, v); });
}

int32_t EffectFadeOut(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) { SetAlpha(e, 1.0f - v); });
}

int32_t EffectFadeOne(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float) { SetAlpha(e, 1.0f); });
}

int32_t EffectBlinkHPOff(void* state) __attribute__((alias("EffectFadeOne")));

int32_t EffectFadeZero(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float) { SetAlpha(e, 0.0f); });
}

int32_t EffectSlideUpAccel(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        SetOffsetY(e, Trunc(-static_cast<double>(v) * v * 20.0));
    });
}

int32_t EffectShake(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float) {
        const int32_t x = Trunc(RandomFloat(-2.0f, 2.0f));
        const int32_t y = Trunc(RandomFloat(-2.0f, 2.0f));
        SetOffsetX(e, x);
        SetOffsetY(e, y);
    });
}

int32_t EffectSetCheckmarkScalepoint(void* state)
{
    return AtEntry(state, 0, [](VTWidgetGroupEntry& e, float) {
        if (e.scalePoint != nullptr) {
            e.scalePoint[0] = 13;
            e.scalePoint[1] = 15;
        }
    });
}

int32_t EffectSetCashBonusColor(void* state)
{
    return AtEntry(state, 0, [](VTWidgetGroupEntry& e, float) { SetColors(e, 0x5AFF00FFu, 0x000000FFu); });
}

int32_t EffectSetCashPenaltyColor(void* state)
{
    return AtEntry(state, 0, [](VTWidgetGroupEntry& e, float) { SetColors(e, 0xFF0000FFu, 0xFFFFFFFFu); });
}

int32_t EffectSetCashPenaltyOffset(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float) { SetOffsetY(e, 50); });
}

int32_t EffectSetChainColor(void* state)
{
    return AtEntry(state, 0, [](VTWidgetGroupEntry& e, float) { SetColors(e, 0xFFF7C2FFu, 0x4C1900FFu); });
}

int32_t UpgradeEffectBlink(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        const float s = 10.0f * v;
        const float f = s - std::floor(s);
        SetAlpha(e, f > 0.3f ? std::min(v + 0.3f, 1.0f) : v);
    });
}

int32_t WindowFadeOut(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        SetAlpha(e, 1.0f - v);
        if (v == 1.0f && e.visible != nullptr)
            *e.visible = false;
    });
}

int32_t WindowReset(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    if (auto* flag = call->effect.Value<uint8_t>(VTEffectValueId::ResetFlag))
        *flag = 1;
    if (VTWidgetGroup* group = Group(call->effect)) {
        for (VTWidgetGroupEntry& e : group->entries) {
            if (e.visible != nullptr)
                *e.visible = true;
            SetAlpha(e, 1.0f);
        }
    }
    return 1;
}

int32_t EffectBlinkHP(void* state)
{
    return AtEntry(state, 1, [](VTWidgetGroupEntry& e, float v) {
        SetAlpha(e, static_cast<float>(0.5 * SinPi(v) + 0.5));
    });
}

int32_t EffectScalePulse(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        SetScale(e, static_cast<float>(SinPi(v) * 0.2 + 1.0));
    });
}

int32_t EffectJumpUp(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) { SetOffsetY(e, Trunc(SinPi(v) * -5.0)); });
}

int32_t EffectSlideFromBottomDecel(void* state)
{
    return ForEachEntry(state, [](VTWidgetGroupEntry& e, float v) {
        SetOffsetY(e, Trunc(static_cast<double>(Decel(v)) * 20.0));
    });
}

} // extern "C"
