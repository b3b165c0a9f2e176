// What the exported effect functions share: reading their argument in its form, fetching the parts
// bound to the effect (each null when unbound, so a function can return 0 without acting), the
// widget facts they read, and truncation to an integer. Internal to engine/effects.
#pragma once
#include "engine/effects/Effect.h"
#include "engine/effects/EffectState.h"
#include "framework/core/Point.h"
#include "framework/core/SaturatingTrunc.h"
#include "engine/effects/IEffect.h"
#include "engine/effects/EffectWidget.h"
#include "framework/widgets/Widget.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/WidgetGroup.h"

#include <cstdint>
#include <optional>
#include <string_view>

class VTTypeInTarget;

namespace EffectSupport {

// A control-form call: the owner effect and the value; nullopt when the state or its owner is null.
struct ControlCall {
    VTEffect& effect;
    float v;
};
std::optional<ControlCall> ReadControl(void* argument);
// A message-form call: the effect, or null.
inline VTEffect* ReadMessage(void* argument)
{
    return static_cast<VTEffect*>(argument);
}

inline VTIEffect* Target(const VTEffect& effect)
{
    return effect.Target();
}
inline Fw::Point* Offset(const VTEffect& effect)
{
    return effect.Value<Fw::Point>(VTEffectValueId::Offset);
}
inline Fw::Point* ScalePoint(const VTEffect& effect)
{
    return effect.Value<Fw::Point>(VTEffectValueId::ScalePoint);
}
inline VTWidgetGroup* Group(const VTEffect& effect)
{
    return effect.Value<VTWidgetGroup>(VTEffectValueId::WidgetGroup);
}
// The effect's widget (kept as the framework widget), or null when unbound or not an engine widget.
inline VTEffectWidget* Widget(const VTEffect& effect)
{
    return dynamic_cast<VTEffectWidget*>(effect.Value<Fw::Widget>(VTEffectValueId::Widget));
}

// What the functions read of the widget (id 6): position and size as the doubles its resize keeps,
// and its integer size.
using WidgetGeometry = VTEffectWidgetGeometry;
inline WidgetGeometry Geometry(const VTEffectWidget& widget)
{
    return widget.EffectGeometry();
}
inline void SetAngle(VTEffectWidget& widget, float degrees)
{
    widget.SetEffectAngle(degrees);
}
inline bool IsMouseOver(const VTEffectWidget& widget)
{
    return widget.IsEffectMouseOver();
}
// The effect interface of the named child, or null when the widget has no such child.
inline VTIEffect* ChildTarget(VTEffectWidget& widget, std::string_view name)
{
    return widget.EffectChild(name);
}
// The widget's text side, or null when it shows no text.
VTTypeInTarget* TextOf(VTEffectWidget& widget);
// Shows the first ceil(length x fraction) characters of the text.
void SetShownFraction(VTTypeInTarget& text, float fraction);

// x truncated toward zero, clamped to the 32-bit range (NaN gives 0).
inline int32_t Trunc(double x)
{
    return Fw::SaturatingTrunc(x);
}

// The parabola a v^2 + b v through (0, 0), (x1, y1) and (1, 1): fitted in double precision through
// the point as single-precision figures, coefficients rounded to single precision. Fitting through
// the float point is what makes a + b round to exactly 1 for the curves in use, so they end at 1.
struct Parabola {
    float a;
    float b;
};
Parabola FitParabola(float x1, float y1);

// (1 - v)^2 and v^2 in single precision.
inline float Decel(float v)
{
    const float w = 1.0f - v;
    return w * w;
}
inline float Accel(float v)
{
    return v * v;
}

} // namespace EffectSupport
