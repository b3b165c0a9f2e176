// What the exported effect functions read and set on the widget an effect belongs to: the position
// and size its resize keeps, its rotation, whether the mouse is over it, and the effect interface of
// a named child. The engine widget base implements it. An effect keeps its widget (value 6) as the
// framework widget (Fw::Widget*); the functions reach this interface from there.
#pragma once
#include <cstdint>
#include <string_view>

class VTIEffect;

// Position and size as the doubles the widget's resize keeps, and its integer size.
struct VTEffectWidgetGeometry {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    int32_t intWidth = 0;
    int32_t intHeight = 0;
};

class VTEffectWidget {
public:
    virtual ~VTEffectWidget() = default;

    virtual VTEffectWidgetGeometry EffectGeometry() const = 0;
    // The rotation in degrees.
    virtual void SetEffectAngle(float degrees) = 0;
    virtual bool IsEffectMouseOver() const = 0;
    // The effect interface of the child called name, or null when there is none.
    virtual VTIEffect* EffectChild(std::string_view name) = 0;
};
