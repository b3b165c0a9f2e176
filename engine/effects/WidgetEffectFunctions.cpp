// The effect functions that change one widget: through the effect's target (VTIEffect), through its
// offset and scale-point pairs (ids 3 and 5), and through the widget itself (id 6). Offsets and
// scale points written into the pairs take effect at the widget's next transform and draw.
#include "engine/effects/EffectFunctions.h"

#include "engine/effects/detail/EffectFunctionSupport.h"
#include "framework/core/MersenneTwister.h"

#include <cmath>
#include <numbers>

using namespace EffectSupport;

namespace {

// Calls apply(part, v) when the call has an effect and fetch(effect) finds its part.
template <class Fetch, class Apply>
int32_t WithPart(void* argument, Fetch fetch, Apply apply)
{
    const auto call = ReadControl(argument);
    if (!call)
        return 0;
    auto* part = fetch(call->effect);
    if (part == nullptr)
        return 0;
    apply(*part, call->v);
    return 1;
}

// Calls apply(target, v) when the call has an effect with a target.
template <class Apply>
int32_t WithTarget(void* argument, Apply apply)
{
    return WithPart(argument, [](auto& effect) { return Target(effect); }, apply);
}

// Calls apply(widget, v) when the effect has its widget.
template <class Apply>
int32_t WithWidget(void* argument, Apply apply)
{
    return WithPart(argument, [](auto& effect) { return Widget(effect); }, apply);
}

// Calls apply(offset, v) when the effect has its offset pair.
template <class Apply>
int32_t WithOffset(void* argument, Apply apply)
{
    return WithPart(argument, [](auto& effect) { return Offset(effect); }, apply);
}

// Calls apply(offset, geometry, v) when the effect has its offset pair and its widget.
template <class Apply>
int32_t WithOffsetAndSize(void* argument, Apply apply)
{
    const auto call = ReadControl(argument);
    if (!call)
        return 0;
    Fw::Point* offset = Offset(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    if (offset == nullptr || widget == nullptr)
        return 0;
    apply(*offset, Geometry(*widget), call->v);
    return 1;
}

// Offset x of a slide, then the child "girl_front" moved back by as much and shown opaque.
int32_t SlideWithGirl(void* argument, double (*distance)(const WidgetGeometry&, float v))
{
    const auto call = ReadControl(argument);
    if (!call)
        return 0;
    Fw::Point* offset = Offset(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    if (offset == nullptr || widget == nullptr)
        return 0;
    const int32_t x = Trunc(distance(Geometry(*widget), call->v));
    offset->x = x;
    VTIEffect* girl = ChildTarget(*widget, "girl_front");
    if (girl == nullptr)
        return 0;
    girl->SetOffsetX(-x);
    girl->SetAlpha(1.0f);
    return 1;
}

float QuadraticScale(float x1, float y1, float v)
{
    const Parabola curve = FitParabola(x1, y1);
    return static_cast<float>(curve.a * static_cast<double>(v) * v + curve.b * static_cast<double>(v));
}

constexpr double kTwoPi = 2.0 * std::numbers::pi;

} // namespace

extern "C" {

int32_t DlgSetCenterScalePoint(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    Fw::Point* point = ScalePoint(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    if (point == nullptr || widget == nullptr)
        return 0;
    const WidgetGeometry g = Geometry(*widget);
    point->x = Trunc(0.5 * g.width + g.x);
    point->y = Trunc(0.5 * g.height + g.y);
    return 1;
}

int32_t DlgShiftDown(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.y = Trunc(v * 0.2 * g.height);
    });
}

int32_t DlgShiftToRight(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.x = Trunc(v * 400.0 - 200.0); });
}

int32_t SparklingStar(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    Fw::Point* offset = Offset(call->effect);
    Fw::Point* point = ScalePoint(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    if (offset == nullptr || point == nullptr || widget == nullptr)
        return 0;
    const WidgetGeometry g = Geometry(*widget);
    offset->x = Trunc(Fw::MTRandFloat(static_cast<float>(800 - g.intWidth)));
    offset->y = Trunc(Fw::MTRandFloat(static_cast<float>(600 - g.intHeight)));
    point->x = offset->x + g.intWidth / 2;
    point->y = offset->y + g.intHeight / 2;
    return 1;
}

int32_t Rotate360(void* state)
{
    return WithWidget(state, [](VTEffectWidget& w, float v) { SetAngle(w, v * 360.0f); });
}

int32_t DlgShiftDownAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.y = Trunc(static_cast<double>(v) * v * 0.2 * g.height);
    });
}

int32_t DlgSlideDownAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.y = Trunc(static_cast<double>(v) * v * g.height);
    });
}

int32_t DlgSlideRightAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.x = Trunc(static_cast<double>(v) * v * g.width);
    });
}

int32_t DlgSlideLeftAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.x = -Trunc(static_cast<double>(v) * v * g.width);
    });
}

int32_t DlgSlideUp20(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.y = Trunc(v * -20.0); });
}

int32_t DlgSlideDown20(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.y = Trunc((1.0 - v) * -20.0); });
}

int32_t DlgSlideLeftAccel400(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.x = 400 - Trunc(static_cast<double>(v) * v * 400.0); });
}

int32_t DlgSlideLeftAccel400M(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.x = Trunc(static_cast<double>(v) * v * -400.0); });
}

int32_t DlgShow(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float) { t.SetVisible(true); });
}

int32_t DlgHide(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float) { t.SetVisible(false); });
}

int32_t EffectItemShow(void* state) __attribute__((alias("DlgShow")));
int32_t EffectItemHide(void* state) __attribute__((alias("DlgHide")));

int32_t DlgReset(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float) {
        t.SetAlpha(1.0f);
        t.SetScale(1.0f);
        t.SetOffsetX(0);
        t.SetOffsetY(0);
    });
}

int32_t DlgScaleUpRecoil(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetScale(QuadraticScale(0.85f, 1.05f, v)); });
}

int32_t DlgScaleUpEaseOut(void* state)
{
    // Through (0, 1), (0.5, 1.8), (1, 2): the unit parabola through (0.5, 0.8), lifted by 1.
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetScale(QuadraticScale(0.5f, 0.8f, v) + 1.0f); });
}

int32_t DlgSmallScaleUpAccel(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetScale(1.1f - v * v * 0.1f); });
}

int32_t DlgSmallScaleDownAccel(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetScale(1.0f - v * v * 0.1f); });
}

int32_t DlgBigScaleDownAccel(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetScale(1.0f + (1.0f - v * v) * 3.0f); });
}

int32_t DlgStampSplash(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) {
        const float s = v * 0.7f;
        if (s < 0.4f) {
            t.SetAlpha(s);
            t.SetScale(4.0f - 6.0f * s);
        } else if (s < 0.5f) {
            t.SetAlpha(0.4f + (s - 0.4f) * 0.6f);
            t.SetScale(4.0f - 6.0f * s);
        } else {
            t.SetAlpha(1.0f);
            t.SetScale(1.0f);
        }
    });
}

int32_t DlgFadeIn(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetAlpha(v); });
}

int32_t DlgTypeIn(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    VTIEffect* target = Target(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    VTTypeInTarget* text = widget ? TextOf(*widget) : nullptr;
    if (target == nullptr || text == nullptr)
        return 0;
    target->SetAlpha(1.0f);
    SetShownFraction(*text, call->v);
    return 1;
}

int32_t DlgFadeOut(void* state)
{
    return WithTarget(state, [](VTIEffect& t, float v) { t.SetAlpha(1.0f - v); });
}

int32_t DlgSlideFromRightAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.x = Trunc(Decel(v) * g.width);
    });
}

int32_t DlgUpgradeBtnBlink(void* state)
{
    const auto call = ReadControl(state);
    if (!call)
        return 0;
    VTIEffect* target = Target(call->effect);
    VTEffectWidget* widget = Widget(call->effect);
    if (target == nullptr || widget == nullptr)
        return 0;
    const float v = call->v;
    float alpha = 1.0f;
    if (!IsMouseOver(*widget)) {
        if (v > 0.0f && v <= 0.2f)
            alpha = 1.0f - v / 0.2f;
        else if (v > 0.3f && v <= 0.5f)
            alpha = 1.0f - (v - 0.3f) / 0.2f;
    }
    target->SetAlpha(alpha);
    return 1;
}

int32_t DlgSlideDownAccel485(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) {
        const float angle = static_cast<float>(kTwoPi) * (v * v);
        o.y = Trunc(-std::cos(static_cast<double>(angle)) * 242.0 * Decel(v));
    });
}

int32_t DlgSlideFromBottomAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.y = Trunc(Decel(v) * g.height);
    });
}

int32_t DlgSlideFromBottomAccel485(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) {
        o.y = Trunc((242.0 - 242.0 * std::sin(kTwoPi * v * v)) * Decel(v) - 242.0);
    });
}

int32_t DlgSlideFromLeftAccel(void* state)
{
    return WithOffsetAndSize(state, [](Fw::Point& o, const WidgetGeometry& g, float v) {
        o.x = Trunc(Trunc(Accel(v) * g.width) - g.width);
    });
}

int32_t DlgSlideFromLeftAccel400(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.x = Trunc(Accel(v) * 400.0); });
}

int32_t DlgSlideFromLeftAccel400M(void* state)
{
    return WithOffset(state, [](Fw::Point& o, float v) { o.x = -400 - Trunc(Accel(v) * -400.0); });
}

int32_t DlgSlideRightAccelGirl(void* state)
{
    return SlideWithGirl(state, [](const WidgetGeometry& g, float v) { return static_cast<double>(v) * v * g.width; });
}

int32_t DlgSlideFromRightAccelGirl(void* state)
{
    return SlideWithGirl(state, [](const WidgetGeometry& g, float v) { return Decel(v) * g.width; });
}

} // extern "C"
