// The interface through which an effect changes its widget: transparency, uniform scale, visibility,
// the point about which the widget scales and rotates, and the offset added to its position. Every
// engine widget implements it (VTCandyWidget); effects hold it as their target, never owned.
#pragma once
#include <cstdint>

class VTIEffect {
public:
    virtual ~VTIEffect() = default;

    // Opacity factor, 0 transparent to 1 opaque.
    virtual void SetAlpha(float alpha) = 0;
    // Uniform scale; the widget's transform is rebuilt at its next use.
    virtual void SetScale(float scale) = 0;
    // The widget's own SetVisible.
    virtual void SetVisible(bool visible) = 0;
    // The scale point, in the parent's coordinates; the transform is rebuilt at its next use.
    virtual void SetScalePointX(int32_t x) = 0;
    virtual void SetScalePointY(int32_t y) = 0;
    // Displacement added to the position before rotation.
    virtual void SetOffsetX(int32_t x) = 0;
    virtual void SetOffsetY(int32_t y) = 0;
};
